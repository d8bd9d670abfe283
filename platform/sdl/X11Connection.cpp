// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/X11Connection.h"

#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#endif
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <utility>
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
    if (X11Info(window, info)) return ConnectionNumber(info.info.x11.display);
#else
    (void)window;
#endif
    return -1;
}

void X11SetIcons(SDL_Window* window, const Icon& icon) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    if (!X11Info(window, info)) return;
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

#if defined(SDL_VIDEO_DRIVER_X11)
struct X11Canvas::State {
    Display* display = nullptr;
    Window window = 0;
    GC gc = nullptr;
    Visual* visual = nullptr;
    int depth = 0;
};

X11Canvas::X11Canvas(std::unique_ptr<State> state) : m_state(std::move(state)) {}

X11Canvas::~X11Canvas() {
    XFreeGC(m_state->display, m_state->gc);
}

std::unique_ptr<X11Canvas> X11Canvas::Of(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!X11Info(window, info)) return nullptr;
    Display* display = info.info.x11.display;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, info.info.x11.window, &attributes) == 0) return nullptr;
    // Our pixels go as they are only to a 24-bit window whose pixels are 32 bits wide with red,
    // green and blue in SDL's XRGB8888 places; elsewhere SDL's surface converts them. SDL gives
    // its windows a direct-colour visual where there is one, with a colour map that changes
    // nothing, as its own surface relies on.
    const Visual* visual = attributes.visual;
    if (attributes.depth != 24 || visual == nullptr ||
        (visual->c_class != TrueColor && visual->c_class != DirectColor) ||
        visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF) {
        return nullptr;
    }
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    bool wide = false;
    for (int i = 0; i < count; ++i) {
        if (formats[i].depth == 24) wide = formats[i].bits_per_pixel == 32;
    }
    if (formats != nullptr) XFree(formats);
    if (!wide) return nullptr;
    auto state = std::make_unique<State>();
    state->display = display;
    state->window = info.info.x11.window;
    state->visual = attributes.visual;
    state->depth = attributes.depth;
    state->gc = XCreateGC(display, state->window, 0, nullptr);
    if (state->gc == nullptr) return nullptr;
    return std::unique_ptr<X11Canvas>(new X11Canvas(std::move(state)));
}

void X11Canvas::Put(const Bitmap& bitmap, const RECT& part, int x, int y) {
    RECT area{};
    const RECT whole{0, 0, bitmap.width, bitmap.height};
    if (bitmap.bitCount != 32 || bitmap.bottomUp || bitmap.bits == nullptr ||
        !IntersectRect(&area, &part, &whole)) {
        return;
    }
    XImage image{};
    image.width = bitmap.width;
    image.height = bitmap.height;
    image.format = ZPixmap;
    image.data = reinterpret_cast<char*>(bitmap.bits);
    // B, G, R, X in memory is a 32-bit pixel stored least significant byte first, on any host.
    image.byte_order = LSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = LSBFirst;
    image.bitmap_pad = 32;
    image.depth = m_state->depth;
    image.bytes_per_line = static_cast<int>(bitmap.stride);
    image.bits_per_pixel = 32;
    image.red_mask = m_state->visual->red_mask;
    image.green_mask = m_state->visual->green_mask;
    image.blue_mask = m_state->visual->blue_mask;
    if (XInitImage(&image) == 0) return;
    // Xlib splits a picture larger than one request allows.
    XPutImage(m_state->display, m_state->window, m_state->gc, &image, area.left, area.top,
              x + (area.left - part.left), y + (area.top - part.top),
              static_cast<unsigned>(area.right - area.left),
              static_cast<unsigned>(area.bottom - area.top));
}

void X11Canvas::Fill(const RECT& rect, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    if (IsRectEmpty(&rect)) return;
    XSetForeground(
        m_state->display, m_state->gc,
        (static_cast<unsigned long>(red) << 16) | (static_cast<unsigned long>(green) << 8) | blue);
    XFillRectangle(m_state->display, m_state->window, m_state->gc, rect.left, rect.top,
                   static_cast<unsigned>(rect.right - rect.left),
                   static_cast<unsigned>(rect.bottom - rect.top));
}

void X11Canvas::Flush() {
    XFlush(m_state->display);
}
#else
struct X11Canvas::State {};
X11Canvas::X11Canvas(std::unique_ptr<State> state) : m_state(std::move(state)) {}
X11Canvas::~X11Canvas() = default;
std::unique_ptr<X11Canvas> X11Canvas::Of(SDL_Window* /*window*/) {
    return nullptr;
}
void X11Canvas::Put(const Bitmap&, const RECT&, int, int) {}
void X11Canvas::Fill(const RECT&, std::uint8_t, std::uint8_t, std::uint8_t) {}
void X11Canvas::Flush() {}
#endif

}  // namespace platform::sdl
