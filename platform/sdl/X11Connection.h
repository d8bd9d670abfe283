// SPDX-License-Identifier: GPL-3.0-or-later
// The X server connection behind SDL's windows, kept apart because Xlib's headers define names
// (None, True, Status) that clash with ordinary code.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/Gdi.h"
#include "platform/Icon.h"

struct SDL_Window;

namespace platform::sdl {

/// The file descriptor of the X connection that window's events arrive on, -1 when SDL does not
/// run on X11.
int X11ConnectionFd(SDL_Window* window);

/// Makes the loss of the X connection (the server ended, the session logged out, the window
/// killed with xkill) end the program at once: one line on standard error, starting with
/// program, and exit status 1. Nothing is cleaned up, since every clean-up would talk over the
/// dead connection: Xlib's own handler exits through the destructors, which then spin or abort
/// inside Xlib. Does nothing where SDL does not run on X11.
void EndProgramWhenDisplayIsLost(std::string_view program);
/// Ends the program as a lost display does, for a connection seen hung up before Xlib saw it.
[[noreturn]] void EndForLostDisplay();

/// Gives window every size of icon as its _NET_WM_ICON, so that a task bar, a window switcher and
/// a title bar each take the size they draw instead of scaling SDL's one picture. Does nothing
/// where SDL does not run on X11.
void X11SetIcons(SDL_Window* window, const Icon& icon);

/// The pointer as the X server sees it now.
struct X11PointerState {
    int x = 0;  ///< on the screen
    int y = 0;
    int windowX = 0;  ///< relative to the window's client area
    int windowY = 0;
    bool leftHeld = false;
};
/// Asks the X server where the pointer is; false when SDL does not run on X11 for window.
bool X11Pointer(SDL_Window* window, X11PointerState& state);

/// Whether window is on an X server without a window manager (a kiosk, a test server), where
/// nobody answers a request to fill the screen; false elsewhere.
bool X11WithoutWindowManager(SDL_Window* window);

/// Draws pixels straight into an X11 window. A window shown larger than its pixels is drawn this
/// way: the enlarged picture then exists in the X server only, not a second time in the program
/// as SDL's window surface would hold it.
class X11Canvas {
public:
    /// The canvas of window; null where SDL does not run on X11 or the window's visual does not
    /// take 32-bit B, G, R, X pixels as they are.
    static std::unique_ptr<X11Canvas> Of(SDL_Window* window);
    ~X11Canvas();
    X11Canvas(const X11Canvas&) = delete;
    X11Canvas& operator=(const X11Canvas&) = delete;

    /// Sends the part of bitmap (32-bit B, G, R, X, top-down) to the window with its top-left
    /// corner at (x, y).
    void Put(const Bitmap& bitmap, const RECT& part, int x, int y);
    /// Fills rect of the window with one colour.
    void Fill(const RECT& rect, std::uint8_t red, std::uint8_t green, std::uint8_t blue);
    /// Sends what was put to the server.
    void Flush();

private:
    struct State;
    explicit X11Canvas(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

}  // namespace platform::sdl
