// SPDX-License-Identifier: GPL-3.0-or-later
// The X server connection behind SDL's windows, kept apart because Xlib's headers define names
// (None, True, Status) that clash with ordinary code.
#pragma once

struct SDL_Window;

namespace platform::sdl {

/// The file descriptor of the X connection that window's events arrive on, -1 when SDL does not
/// run on X11.
int X11ConnectionFd(SDL_Window* window);

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

}  // namespace platform::sdl
