// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/X11Connection.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace platform::sdl {

int X11ConnectionFd(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE &&
        info.subsystem == SDL_SYSWM_X11 && info.info.x11.display != nullptr) {
        return ConnectionNumber(info.info.x11.display);
    }
#else
    (void)window;
#endif
    return -1;
}

bool X11Pointer(SDL_Window* window, X11PointerState& state) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11 || info.info.x11.display == nullptr) {
        return false;
    }
    Window root = 0;
    Window child = 0;
    unsigned int mask = 0;
    if (XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, &state.x,
                      &state.y, &state.windowX, &state.windowY, &mask) == False) {
        return false;  // the pointer is on another screen
    }
    state.leftHeld = (mask & Button1Mask) != 0;
    return true;
#else
    (void)window;
    (void)state;
    return false;
#endif
}

}  // namespace platform::sdl
