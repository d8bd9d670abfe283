// SPDX-License-Identifier: GPL-3.0-or-later
// The seam between the framework classes and a window system. A backend makes windows (peers)
// and turns the window system's events into messages; the message queue, the timers and the
// modal loops are common to all backends. Two backends exist, each a library of its own: SDL2 for
// the real game (platform/sdl) and a headless one, on memory surfaces, for tests and tools
// (platform/headless). Each program's main installs the one it runs on.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Gdi.h"
#include "platform/Icon.h"
#include "platform/Messages.h"

class CWnd;
class CMenu;
class CDialog;

namespace platform {

struct DialogTemplate;

/// What a new window looks like.
struct WindowSpec {
    int width = 0;   ///< client width in pixels
    int height = 0;  ///< client height in pixels
    bool caption = false;
    std::string title;
    CWnd* owner = nullptr;  ///< a dialog's owner: the new window is centred on it and modal to it
    /// Sized in the screen's own pixels, never scaled: a box the backend lays out and draws itself
    /// at the scale of the other windows.
    bool screenPixels = false;
};

/// A backend's window.
class WindowPeer {
public:
    virtual ~WindowPeer() = default;
    /// The client area's pixels; blits into a window device context write here.
    virtual Bitmap* Surface() = 0;
    /// Puts rect (within the surface) on the screen.
    virtual void Present(const RECT& rect) = 0;
    virtual void SetClientSize(int width, int height) = 0;
    virtual void Show() = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetIcon(const Icon* icon) = 0;
    virtual bool IsMinimized() const = 0;
    virtual void Minimize() = 0;
    /// Moves the window with the pointer until the left button is released (a press on a
    /// caption); returns when the move has ended or at once, as the window system does it.
    virtual void BeginMove() = 0;
    /// Opens the window's system menu at a client point (a right click), or with no point at the
    /// window's top-left corner with its first entry highlighted (from the keyboard). The chosen
    /// entry comes back as WM_SYSCOMMAND.
    virtual void OpenSystemMenu(const CMenu& menu, std::optional<POINT> at) = 0;
};

/// A window system.
class Backend {
public:
    virtual ~Backend() = default;
    virtual std::unique_ptr<WindowPeer> CreateWindow(CWnd& window, const WindowSpec& spec) = 0;
    /// Waits for events until timeoutMs have passed (forever when empty) or something arrived,
    /// and posts what arrived to the message queue. Returns false when no event can ever come
    /// again (a headless run whose script is over): a modal loop then ends.
    virtual bool WaitForEvents(std::optional<std::uint32_t> timeoutMs) = 0;
    /// Whether the message loop fires timers by the clock (false: tests fire them).
    virtual bool ClockedTimers() const = 0;
    /// Shows a modal message box owned by owner (may be null) and returns the button chosen.
    /// Runs a nested message loop (RunModalLoop) while it is open.
    virtual int MessageBox(CWnd* owner, const std::string& text, const std::string& caption,
                           UINT type) = 0;
    /// Width and height of a big icon (SM_CXICON, SM_CYICON).
    virtual int IconSize() const { return 32; }
    /// Draws the controls of a dialog made from a template (texts, icon, push buttons) into its
    /// window; nothing where there is no font to draw with.
    virtual void PaintDialog(CDialog& /*dialog*/, const DialogTemplate& /*dialogTemplate*/) {}
};

/// Starts a window system: the backend, or null with the reason in reason (for example that there
/// is no display).
using BackendFactory = std::unique_ptr<Backend> (*)(std::string& reason);

/// The backend in use. Making windows before a program has installed one is a programming error:
/// the program says so and aborts.
Backend& CurrentBackend();
/// Whether a backend is installed.
bool HasBackend();
/// Installs backend and returns the previous one.
std::unique_ptr<Backend> SetBackend(std::unique_ptr<Backend> backend);

// -- the message loop, shared by all backends ----------------------------------------------------

/// Queues msg for dispatch. Input for a window that a modal window disables is dropped when it is
/// dispatched, not when it is posted.
void PostToQueue(const MSG& msg);
/// Dispatches queued messages and timers, waiting for events in between, until *done is true.
/// Input to windows other than modalWindow (and its own modal children) is dropped while it runs;
/// null modalWindow means the loop of a modal dialog that accepts all input for itself.
void RunModalLoop(const bool& done, CWnd* modalWindow);
/// Dispatches one message to its window unless input is blocked for it; returns whether it was
/// dispatched.
bool DeliverMessage(const MSG& msg);
/// Whether pointer and key input may reach window now (no modal window of another runs).
bool InputAllowed(const CWnd* window);
/// The window of the innermost modal loop, which takes the input (null: none).
CWnd* InnermostModalWindow();
/// Queues WM_PAINT for window unless one is queued already.
void PostPaint(CWnd* window);
/// Dispatches everything queued now, without waiting.
void DrainQueue();
/// Number of messages waiting in the queue now.
std::size_t QueuedMessageCount();
/// Number of modal loops running.
int ModalDepth();

/// Registers and removes timers (CWnd::SetTimer, KillTimer) and forgets a destroyed window.
void StartTimer(CWnd* window, UINT_PTR id, UINT periodMs);
bool StopTimer(CWnd* window, UINT_PTR id);
void ForgetWindow(CWnd* window);
/// Number of timers running on window, and whether the one with id runs.
std::size_t TimerCount(const CWnd* window);
bool TimerRuns(const CWnd* window, UINT_PTR id);

/// The application's name, as shown in message box captions: the executable's file name.
std::string ApplicationName();
void SetApplicationName(std::string name);

}  // namespace platform
