// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/headless/HeadlessBackend.h"

#include <cstdio>
#include <new>
#include <utility>

namespace platform::headless {

namespace {
void Allocate(Bitmap& surface, int width, int height) {
    surface.width = std::max(width, 0);
    surface.height = std::max(height, 0);
    surface.bitCount = 32;
    surface.bottomUp = false;
    surface.stride = static_cast<std::size_t>(surface.width) * 4;
    surface.owned = AllocatePixels(
        std::max<std::size_t>(surface.stride * static_cast<std::size_t>(surface.height), 4));
    if (!surface.owned) throw std::bad_alloc();
    surface.bits = surface.owned.get();
}
}  // namespace

HeadlessPeer::HeadlessPeer(int width, int height) {
    Allocate(m_surface, width, height);
}

void HeadlessPeer::ShowAtScale(int scale) {
    m_view = ScreenView::Scaled(m_surface.width, m_surface.height, scale);
    Allocate(m_screen, m_view->screenWidth, m_view->screenHeight);
    ScaleRect(m_surface, m_screen, *m_view, RECT{0, 0, m_surface.width, m_surface.height});
}

void HeadlessPeer::Present(const RECT& rect) {
    if (IsRectEmpty(&rect)) return;
    if (m_view) ScaleRect(m_surface, m_screen, *m_view, rect);
    m_presented.push_back(rect);
    m_presentedPixels += static_cast<std::uint64_t>(rect.right - rect.left) *
                         static_cast<std::uint64_t>(rect.bottom - rect.top);
}

void HeadlessPeer::SetClientSize(int width, int height) {
    if (width == m_surface.width && height == m_surface.height) return;
    Allocate(m_surface, width, height);
    if (m_view) ShowAtScale(m_view->screenWidth / std::max(m_view->width, 1));
}

void HeadlessPeer::OpenSystemMenu(const CMenu& /*menu*/, std::optional<POINT> at) {
    ++m_menus;
    m_menuPoint = at;
}

void HeadlessPeer::ResetPresented() {
    m_presented.clear();
    m_presentedPixels = 0;
}

COLORREF HeadlessPeer::PixelAt(int x, int y) const {
    if (x < 0 || x >= m_surface.width) return 0xFFFFFFFF;
    const unsigned char* row = m_surface.Row(y);
    if (row == nullptr) return 0xFFFFFFFF;
    const unsigned char* p = row + static_cast<std::size_t>(x) * 4;
    return RGB(p[2], p[1], p[0]);
}

std::unique_ptr<WindowPeer> HeadlessBackend::CreateWindow(CWnd& /*window*/,
                                                          const WindowSpec& spec) {
    return std::make_unique<HeadlessPeer>(spec.width, spec.height);
}

bool HeadlessBackend::WaitForEvents(std::optional<std::uint32_t> /*timeoutMs*/) {
    return m_script ? m_script() : false;
}

int HeadlessBackend::MessageBox(CWnd* /*owner*/, const std::string& text,
                                const std::string& caption, UINT /*type*/) {
    m_boxTexts.push_back(text);
    if (!m_script) {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
        return IDOK;
    }
    Answer answer;
    m_answers.push_back(&answer);
    RunModalLoop(answer.given, nullptr);
    m_answers.pop_back();
    return answer.given ? answer.button : IDOK;
}

void HeadlessBackend::AnswerMessageBox(int button) {
    if (m_answers.empty()) return;
    m_answers.back()->given = true;
    m_answers.back()->button = button;
}

HeadlessBackend::Script HeadlessBackend::SetScript(Script script) {
    return std::exchange(m_script, std::move(script));
}

HeadlessBackend& Use() {
    if (HasBackend()) {
        if (auto* headless = dynamic_cast<HeadlessBackend*>(&CurrentBackend())) return *headless;
    }
    SetBackend(std::make_unique<HeadlessBackend>());
    return static_cast<HeadlessBackend&>(CurrentBackend());
}

HeadlessPeer* PeerOf(const CWnd& window) {
    return dynamic_cast<HeadlessPeer*>(window.Peer());
}

bool FireTimer(CWnd& window, UINT_PTR id) {
    if (!TimerRuns(&window, id)) return false;
    DeliverMessage(MSG{&window, WM_TIMER, id, 0});
    return true;
}

void MouseMove(CWnd& window, int x, int y, bool leftHeld) {
    DeliverMessage(MSG{&window, WM_MOUSEMOVE, leftHeld ? MK_LBUTTON : 0u, MAKELPARAM(x, y)});
}

void LeftDown(CWnd& window, int x, int y) {
    DeliverMessage(MSG{&window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)});
}

void LeftUp(CWnd& window, int x, int y) {
    DeliverMessage(MSG{&window, WM_LBUTTONUP, 0, MAKELPARAM(x, y)});
}

void Click(CWnd& window, int x, int y) {
    MouseMove(window, x, y);
    LeftDown(window, x, y);
    LeftUp(window, x, y);
}

void RightClick(CWnd& window, int x, int y) {
    DeliverMessage(MSG{&window, WM_RBUTTONDOWN, 0, MAKELPARAM(x, y)});
    DeliverMessage(MSG{&window, WM_RBUTTONUP, 0, MAKELPARAM(x, y)});
}

void KeyDown(CWnd& window, UINT key) {
    DeliverMessage(MSG{&window, WM_KEYDOWN, key, 1});
}

void SysCommand(CWnd& window, UINT command) {
    DeliverMessage(MSG{&window, WM_SYSCOMMAND, command, 0});
}

void Paint(CWnd& window) {
    DeliverMessage(MSG{&window, WM_PAINT, 0, 0});
}

}  // namespace platform::headless
