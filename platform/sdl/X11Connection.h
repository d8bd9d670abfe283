// The X server connection behind SDL's windows, kept apart because Xlib's headers define names
// (None, True, Status) that clash with ordinary code.
#pragma once

struct SDL_Window;

namespace platform::sdl {

/// The file descriptor of the X connection that window's events arrive on, -1 when SDL does not
/// run on X11.
int X11ConnectionFd(SDL_Window* window);

}  // namespace platform::sdl
