// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Wnd.h"

#include "lang/Language.h"
#include "platform/Backend.h"

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
    if (flags != MF_STRING && flags != MF_SEPARATOR) return FALSE;
    m_items.push_back(
        Item{flags, static_cast<UINT>(id), flags == MF_STRING && text != nullptr ? text : ""});
    return TRUE;
}

CWnd::CWnd() = default;

CWnd::~CWnd() {
    DestroyPeer();
}

BOOL CWnd::CreatePeer(int width, int height, bool caption, const std::string& title, CWnd* owner,
                      bool screenPixels) {
    DestroyPeer();
    platform::WindowSpec spec;
    spec.width = width;
    spec.height = height;
    spec.caption = caption;
    spec.title = title;
    spec.owner = owner;
    spec.screenPixels = screenPixels;
    m_title = title;
    m_peer = platform::CurrentBackend().CreateWindow(*this, spec);
    return m_peer != nullptr;
}

void CWnd::DestroyPeer() {
    platform::ForgetWindow(this);
    m_peer.reset();
    m_systemMenu.reset();
}

void CWnd::SetWindowText(const char* text) {
    m_title = text != nullptr ? text : "";
    if (m_peer) m_peer->SetTitle(m_title);
}

BOOL CWnd::SetWindowPos(const CWnd* /*insertAfter*/, int /*x*/, int /*y*/, int cx, int cy,
                        UINT flags) {
    if (!m_peer) return FALSE;
    // Where the window stands is the window system's choice; only the size is the program's.
    if ((flags & SWP_NOSIZE) == 0) m_peer->SetClientSize(cx, cy);
    return TRUE;
}

void CWnd::GetClientRect(RECT* rect) const {
    if (rect == nullptr) return;
    *rect = RECT{};
    if (!m_peer) return;
    const platform::Bitmap* surface = m_peer->Surface();
    *rect = RECT{0, 0, surface->width, surface->height};
}

BOOL CWnd::IsIconic() const {
    return m_peer && m_peer->IsMinimized();
}

HICON CWnd::SetIcon(HICON icon, BOOL big) {
    HICON& slot = big ? m_bigIcon : m_smallIcon;
    HICON previous = slot;
    slot = icon;
    if (m_peer && big) m_peer->SetIcon(icon);
    return previous;
}

CMenu* CWnd::GetSystemMenu(BOOL revert) {
    if (!m_peer) return nullptr;
    if (!m_systemMenu || revert) {
        m_systemMenu = std::make_unique<CMenu>();
        m_systemMenu->AppendMenu(MF_STRING, SC_MINIMIZE, lang::Tr("Mi&nimieren"));
        m_systemMenu->AppendMenu(MF_STRING, SC_CLOSE, lang::Tr("&Schließen\tAlt+F4"));
    }
    return m_systemMenu.get();
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    platform::PostToQueue(MSG{this, message, wParam, lParam});
    return TRUE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Dispatch(MSG{this, message, wParam, lParam});
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, void* /*callback*/) {
    if (!m_peer) return 0;
    platform::StartTimer(this, id, elapse);
    return id;
}

BOOL CWnd::KillTimer(UINT_PTR id) {
    return platform::StopTimer(this, id);
}

BOOL CWnd::PreTranslateMessage(MSG* /*msg*/) {
    return FALSE;
}

LRESULT CWnd::Dispatch(const MSG& msg) {
    const MSG* outer = m_current;
    m_current = &msg;
    LRESULT result = 0;
    const CPoint point(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
    switch (msg.message) {
        case WM_PAINT:
            OnPaint();
            break;
        case WM_TIMER:
            OnTimer(msg.wParam);
            break;
        case WM_MOUSEMOVE:
            OnMouseMove(static_cast<UINT>(msg.wParam), point);
            break;
        case WM_LBUTTONDOWN:
            OnLButtonDown(static_cast<UINT>(msg.wParam), point);
            break;
        case WM_LBUTTONUP:
            OnLButtonUp(static_cast<UINT>(msg.wParam), point);
            break;
        case WM_KEYDOWN:
            OnKeyDown(static_cast<UINT>(msg.wParam), static_cast<UINT>(msg.lParam & 0xFFFF),
                      static_cast<UINT>((msg.lParam >> 16) & 0xFFFF));
            break;
        case WM_SYSCOMMAND:
            OnSysCommand(static_cast<UINT>(msg.wParam), msg.lParam);
            break;
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(OnQueryDragIcon());
            break;
        case WM_CLOSE:
            OnClose();
            break;
        default:
            result = Default();
            break;
    }
    m_current = outer;
    return result;
}

LRESULT CWnd::Default() {
    if (m_current == nullptr) return 0;
    const MSG& msg = *m_current;
    switch (msg.message) {
        case WM_NCLBUTTONDOWN:
            if (msg.wParam == HTCAPTION && m_peer) m_peer->BeginMove();
            return 0;
        case WM_RBUTTONUP:
            // A captionless window has no menu the window manager could show: the right button
            // opens the system menu instead.
            if (CMenu* menu = GetSystemMenu(FALSE)) {
                m_peer->OpenSystemMenu(*menu,
                                       POINT{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)});
            }
            return 0;
        case WM_SYSCOMMAND:
            switch (msg.wParam & 0xFFF0) {
                case SC_CLOSE:
                    SendMessage(WM_CLOSE);
                    break;
                case SC_MINIMIZE:
                    if (m_peer) m_peer->Minimize();
                    break;
                case SC_KEYMENU:
                    if (CMenu* menu = GetSystemMenu(FALSE)) m_peer->OpenSystemMenu(*menu, {});
                    break;
                default:
                    break;
            }
            return 0;
        case WM_SETICON: {
            const auto* icon = reinterpret_cast<HICON>(msg.lParam);
            return reinterpret_cast<LRESULT>(SetIcon(icon, msg.wParam == ICON_BIG));
        }
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(m_bigIcon);
        default:
            return 0;
    }
}

void CWnd::OnPaint() {
    Default();
}
void CWnd::OnTimer(UINT_PTR /*id*/) {
    Default();
}
void CWnd::OnMouseMove(UINT /*flags*/, CPoint /*point*/) {
    Default();
}
void CWnd::OnLButtonDown(UINT /*flags*/, CPoint /*point*/) {
    Default();
}
void CWnd::OnLButtonUp(UINT /*flags*/, CPoint /*point*/) {
    Default();
}
void CWnd::OnKeyDown(UINT /*key*/, UINT /*repeatCount*/, UINT /*flags*/) {
    Default();
}
void CWnd::OnSysCommand(UINT /*id*/, LPARAM /*lParam*/) {
    Default();
}
HCURSOR CWnd::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(Default());
}
void CWnd::OnClose() {
    DestroyPeer();
}
