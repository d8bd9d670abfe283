// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/X11Connection.h"

#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#endif
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace platform::sdl {
namespace {

// Written when the display is lost, from Xlib's handler, where nothing else is safe to call.
char g_lostLine[512] = "the display went away\n";
std::size_t g_lostLength = 22;

#if defined(SDL_VIDEO_DRIVER_X11)
// SDL's facts about window, when it is an X11 window.
bool X11Info(SDL_Window* window, SDL_SysWMinfo& info) {
    SDL_VERSION(&info.version);
    return window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE &&
           info.subsystem == SDL_SYSWM_X11 && info.info.x11.display != nullptr;
}

int OnConnectionLost(Display* /*display*/) {
    EndForLostDisplay();
}
#endif

}  // namespace

void EndProgramWhenDisplayIsLost(std::string_view program) {
#if defined(SDL_VIDEO_DRIVER_X11)
    const char* display = XDisplayName(nullptr);
    const int length = std::snprintf(
        g_lostLine, sizeof g_lostLine,
        "%.*s: the display went away (the connection to the X server \"%s\" was lost); ending.\n",
        static_cast<int>(std::min<std::size_t>(program.size(), 200)), program.data(),
        display != nullptr ? display : "");
    if (length > 0) g_lostLength = std::min<std::size_t>(length, sizeof g_lostLine - 1);
    XSetIOErrorHandler(OnConnectionLost);
#else
    (void)program;
#endif
}

void EndForLostDisplay() {
    if (write(STDERR_FILENO, g_lostLine, g_lostLength) < 0) {
        // Nobody is left to tell.
    }
    _exit(1);
}

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

void X11SetIcons(SDL_Window* window, const Icon& icon) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11 || info.info.x11.display == nullptr) {
        return;
    }
    // Width, height, then the pixels as 0xAARRGGBB, for each size; Xlib hands 32-bit properties
    // over as longs.
    std::vector<unsigned long> cardinals;
    for (const IconImage& image : icon.images) {
        const auto side = static_cast<std::size_t>(image.size);
        if (image.size <= 0 || image.pixels.size() != side * side) continue;
        cardinals.push_back(side);
        cardinals.push_back(side);
        cardinals.insert(cardinals.end(), image.pixels.begin(), image.pixels.end());
    }
    if (cardinals.empty()) return;
    Display* display = info.info.x11.display;
    XChangeProperty(display, info.info.x11.window, XInternAtom(display, "_NET_WM_ICON", False),
                    XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(cardinals.data()),
                    static_cast<int>(cardinals.size()));
    XFlush(display);
#else
    (void)window;
    (void)icon;
#endif
}

bool X11Pointer(SDL_Window* window, X11PointerState& state) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    if (!X11Info(window, info)) return false;
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

bool X11WithoutWindowManager(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    if (!X11Info(window, info)) return false;
    // A window manager that follows the desktop conventions names its own window on the root.
    Display* display = info.info.x11.display;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return true;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                          XA_WINDOW, &type, &format, &count, &after, &data);
    const bool found = status == Success && type == XA_WINDOW && count == 1;
    if (data != nullptr) XFree(data);
    return !found;
#else
    (void)window;
    return false;
#endif
}

}  // namespace platform::sdl
