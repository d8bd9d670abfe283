// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Dialog.h"

#include "platform/App.h"
#include "platform/Backend.h"

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_templateId(templateId),
      m_template(platform::FindDialogTemplate(static_cast<int>(templateId))),
      m_parent(parent) {}

CDialog::~CDialog() = default;

BOOL CDialog::Open() {
    m_ended = false;
    m_result = IDCANCEL;
    m_template = platform::FindDialogTemplate(static_cast<int>(m_templateId));
    if (m_template == nullptr) return FALSE;
    // Without a parent a dialog belongs to the main window, as the framework's dialogs do.
    CWnd* owner = m_parent;
    if (owner == nullptr && AfxGetApp() != nullptr && AfxGetApp()->m_pMainWnd != this) {
        owner = AfxGetApp()->m_pMainWnd;
    }
    if (!CreatePeer(platform::DialogUnitsToPixelsX(m_template->width),
                    platform::DialogUnitsToPixelsY(m_template->height), m_template->caption,
                    m_template->title, owner)) {
        return FALSE;
    }
    OnInitDialog();
    // A dialog ended while it initialised is never shown.
    if (!m_ended) {
        Peer()->Show();
        PostMessage(WM_PAINT);
    }
    return TRUE;
}

INT_PTR CDialog::Close() {
    DestroyPeer();
    return m_result;
}

INT_PTR CDialog::DoModal() {
    if (!Open()) return IDCANCEL;
    if (!m_ended) platform::RunModalLoop(m_ended, this);
    return Close();
}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}
void CDialog::OnOK() {
    EndDialog(IDOK);
}
void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
}

void CDialog::OnClose() {
    OnCancel();
}

void CDialog::OnPaint() {
    if (m_template != nullptr && HasWindow() && !m_template->items.empty()) {
        platform::CurrentBackend().PaintDialog(*this, *m_template);
    }
    Default();
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    // The dialog manager's keyboard handling: Enter chooses the default button, Escape cancels,
    // and the navigation keys are used up moving between controls.
    if (msg->message != WM_KEYDOWN) return FALSE;
    switch (msg->wParam) {
        case VK_RETURN:
        case VK_SPACE:
            OnOK();
            return TRUE;
        case VK_ESCAPE:
            OnCancel();
            return TRUE;
        case VK_TAB:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            return TRUE;
        default:
            return FALSE;
    }
}

void CDialog::OnLButtonUp(UINT /*flags*/, CPoint point) {
    if (m_template != nullptr) {
        for (const platform::DialogItem& item : m_template->items) {
            if (item.kind != platform::DialogItem::Kind::Button) continue;
            const RECT area = platform::DialogItemRect(item);
            if (PtInRect(&area, point)) {
                if (item.id == IDOK) {
                    OnOK();
                } else if (item.id == IDCANCEL) {
                    OnCancel();
                } else {
                    EndDialog(item.id);
                }
                return;
            }
        }
    }
    Default();
}
