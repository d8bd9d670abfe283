// SPDX-License-Identifier: GPL-3.0-or-later
// The headless window system: windows are memory surfaces that tests read back, timers fire when
// a test says so, input arrives as messages a test injects, and message boxes go to the handler
// seam. Whole games run on it without a display.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Backend.h"
#include "platform/Scaling.h"
#include "platform/Wnd.h"

namespace platform::headless {

/// A window without a screen: a 32-bit top-down surface and a record of what was presented.
class HeadlessPeer final : public WindowPeer {
public:
    HeadlessPeer(int width, int height);
    Bitmap* Surface() override { return &m_surface; }
    void Present(const RECT& rect) override;
    void SetClientSize(int width, int height) override;
    void Show() override { m_shown = true; }
    void SetTitle(const std::string& title) override { m_title = title; }
    void SetIcon(const Icon* icon) override { m_icon = icon; }
    bool IsMinimized() const override { return m_minimized; }
    void Minimize() override { m_minimized = true; }
    void BeginMove() override { ++m_moves; }
    void OpenSystemMenu(const CMenu& menu, std::optional<POINT> at) override;

    void Restore() { m_minimized = false; }
    /// Shows the window at scale from now on: what is presented is enlarged into Screen() as the
    /// real window system does it.
    void ShowAtScale(int scale);
    /// The screen's pixels at the scale, while there is one.
    const Bitmap& Screen() const { return m_screen; }
    bool Shown() const { return m_shown; }
    const std::string& Title() const { return m_title; }
    const Icon* WindowIcon() const { return m_icon; }
    int MovesStarted() const { return m_moves; }
    int SystemMenusOpened() const { return m_menus; }
    /// Where the last system menu opened (none: from the keyboard).
    std::optional<POINT> LastMenuPoint() const { return m_menuPoint; }
    /// Pixels put on the screen since the last ResetPresented (overlaps counted twice).
    std::uint64_t PresentedPixels() const { return m_presentedPixels; }
    const std::vector<RECT>& PresentedRects() const { return m_presented; }
    void ResetPresented();
    /// Colour of a surface pixel as RGB(); 0xFFFFFFFF outside.
    COLORREF PixelAt(int x, int y) const;

private:
    Bitmap m_surface;
    Bitmap m_screen;
    std::optional<ScreenView> m_view;
    std::vector<RECT> m_presented;
    std::uint64_t m_presentedPixels = 0;
    std::string m_title;
    const Icon* m_icon = nullptr;
    bool m_shown = false;
    bool m_minimized = false;
    int m_moves = 0;
    int m_menus = 0;
    std::optional<POINT> m_menuPoint;
};

/// The backend. A script, when set, is called whenever a modal loop waits for events: it may
/// inject messages, fire timers and answer message boxes, and returns false when it has nothing
/// more to do, which ends the innermost modal loop. Without a script a message box writes its text
/// to standard error and answers OK at once; with one, it runs a modal loop like a real box until
/// the script answers it: the script's timers still reach the windows, their input does not.
class HeadlessBackend final : public Backend {
public:
    std::unique_ptr<WindowPeer> CreateWindow(CWnd& window, const WindowSpec& spec) override;
    bool WaitForEvents(std::optional<std::uint32_t> timeoutMs) override;
    bool ClockedTimers() const override { return false; }
    int MessageBox(CWnd* owner, const std::string& text, const std::string& caption,
                   UINT type) override;

    using Script = std::function<bool()>;
    /// Installs script and returns the previous one.
    Script SetScript(Script script);
    /// Answers the innermost open message box with button (a script calls this).
    void AnswerMessageBox(int button);
    /// Texts of the message boxes shown through this backend, oldest first.
    const std::vector<std::string>& MessageBoxTexts() const { return m_boxTexts; }
    /// Number of message boxes open now.
    int OpenMessageBoxes() const { return static_cast<int>(m_answers.size()); }

private:
    struct Answer {
        bool given = false;
        int button = IDOK;
    };
    Script m_script;
    std::vector<Answer*> m_answers;
    std::vector<std::string> m_boxTexts;
};

/// The headless backend in use, installing one if none or another backend is current.
HeadlessBackend& Use();
/// The headless peer of window, or null.
HeadlessPeer* PeerOf(const CWnd& window);

// -- input and timers, through the same dispatch as real events ---------------------------------
/// Delivers WM_TIMER for id if that timer runs on window; returns whether it did.
bool FireTimer(CWnd& window, UINT_PTR id);
void MouseMove(CWnd& window, int x, int y, bool leftHeld = false);
void LeftDown(CWnd& window, int x, int y);
void LeftUp(CWnd& window, int x, int y);
/// Press and release at (x, y), with a move there first.
void Click(CWnd& window, int x, int y);
void RightClick(CWnd& window, int x, int y);
void KeyDown(CWnd& window, UINT key);
void SysCommand(CWnd& window, UINT command);
/// Delivers WM_PAINT.
void Paint(CWnd& window);

}  // namespace platform::headless
