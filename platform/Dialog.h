// SPDX-License-Identifier: GPL-3.0-or-later
// CDialog: a modal window made from a dialog template, and the templates themselves.
#pragma once

#include <string>
#include <vector>

#include "platform/Wnd.h"

namespace platform {

/// One control of a dialog template. Positions are in dialog units.
struct DialogItem {
    enum class Kind { Static, Icon, Button };
    Kind kind = Kind::Static;
    int id = -1;       ///< -1: no id of its own; IDOK for the OK button
    std::string text;  ///< the text, or for an icon the icon resource id as decimal text
    bool defaultButton = false;
    int x = 0, y = 0, width = 0, height = 0;
};

/// A dialog template: size in dialog units, caption and controls, in the 8-point shell font.
struct DialogTemplate {
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    bool caption = false;  ///< a caption bar with the title (false: no frame at all)
    std::string title;
    std::vector<DialogItem> items;
};

/// The template with the given resource id, or null.
const DialogTemplate* FindDialogTemplate(int id);
/// Horizontal and vertical dialog base units of the shell font, in pixels: a dialog unit is
/// baseX / 4 pixels wide and baseY / 8 pixels high.
constexpr int kDialogBaseUnitX = 6;
constexpr int kDialogBaseUnitY = 13;
constexpr int DialogUnitsToPixelsX(int units) {
    return units * kDialogBaseUnitX / 4;
}
constexpr int DialogUnitsToPixelsY(int units) {
    return units * kDialogBaseUnitY / 8;
}
/// An item's rectangle in client pixels.
RECT DialogItemRect(const DialogItem& item);

}  // namespace platform

/// A modal dialog. DoModal creates the window from the template, runs OnInitDialog, shows the
/// window and dispatches messages until EndDialog; then it destroys the window.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    /// Runs the dialog; returns the value given to EndDialog (IDCANCEL when the window could not
    /// be made or the loop ended without one).
    virtual INT_PTR DoModal();
    /// Called once the window exists, before it is shown. TRUE: the platform sets the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);
    bool IsEnded() const { return m_ended; }
    UINT TemplateId() const { return m_templateId; }
    const platform::DialogTemplate* Template() const { return m_template; }

    // -- pieces of DoModal, for tests on the headless backend ------------------------------
    /// Creates the window, runs OnInitDialog and shows the window (its first WM_PAINT is queued).
    BOOL Open();
    /// Destroys the window and returns the dialog's result.
    INT_PTR Close();

    /// The dialog manager's keyboard handling: Enter and Space choose OK, Escape cancels, the
    /// navigation keys are used up.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    /// Draws the template's controls.
    void OnPaint() override;
    void OnClose() override;
    /// A release over a push button chooses it.
    void OnLButtonUp(UINT flags, CPoint point) override;

private:
    UINT m_templateId;
    const platform::DialogTemplate* m_template;
    CWnd* m_parent;
    bool m_ended = false;
    int m_result = IDCANCEL;
};
