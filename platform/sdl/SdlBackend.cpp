// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/SdlBackend.h"

#include <SDL.h>
#include <poll.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <new>
#include <utility>

#include "platform/Dialog.h"
#include "platform/PopupMenu.h"
#include "platform/TextLayout.h"
#include "platform/Wnd.h"
#include "platform/sdl/Drawing.h"
#include "platform/sdl/Keys.h"
#include "platform/sdl/TextLibrary.h"
#include "platform/sdl/Widgets.h"
#include "platform/sdl/X11Connection.h"

namespace platform::sdl {
namespace {

// For bench/measure-runtime, opt-in: the moment the first frame reached the screen, written to
// the file $FLOEMAZE_TRACE_FIRST_FRAME names.
void TraceFirstFrame() {
    static bool traced = false;
    if (traced) return;
    traced = true;
    const char* path = std::getenv("FLOEMAZE_TRACE_FIRST_FRAME");
    if (path == nullptr) return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    if (FILE* file = std::fopen(path, "w")) {
        std::fprintf(file, "%lld.%09ld\n", static_cast<long long>(now.tv_sec), now.tv_nsec);
        std::fclose(file);
    }
}

// Window surfaces are 32-bit B, G, R, X in memory, which is SDL's XRGB8888 on little-endian.
constexpr Uint32 kSurfaceFormat = SDL_PIXELFORMAT_XRGB8888;
constexpr const char* kFontFamily = "DejaVu Sans";
constexpr const char* kFallbackFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

void Allocate(Bitmap& bitmap, int width, int height) {
    bitmap.width = std::clamp(width, 1, kMaxBitmapSide);
    bitmap.height = std::clamp(height, 1, kMaxBitmapSide);
    bitmap.bitCount = 32;
    bitmap.bottomUp = false;
    bitmap.stride = static_cast<std::size_t>(bitmap.width) * 4;
    bitmap.owned = AllocatePixels(bitmap.stride * static_cast<std::size_t>(bitmap.height));
    if (!bitmap.owned) throw std::bad_alloc();
    bitmap.bits = bitmap.owned.get();
}

// An SDL surface over a bitmap's memory, for blits to the window; null when SDL refuses.
SDL_Surface* Wrap(Bitmap& bitmap) {
    return SDL_CreateRGBSurfaceWithFormatFrom(bitmap.bits, bitmap.width, bitmap.height, 32,
                                              static_cast<int>(bitmap.stride), kSurfaceFormat);
}

SDL_Rect ToSdl(const RECT& r) {
    return SDL_Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool ContainsWord(const char* list, std::string_view word) {
    if (list == nullptr) return false;
    std::string_view rest(list);
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        std::string_view item = rest.substr(0, comma);
        while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
        if (item.size() == word.size() &&
            std::equal(item.begin(), item.end(), word.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            return true;
        }
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return false;
}

class SdlBackend;

// A window: an SDL window whose client area shows what is drawn into its surface, rectangle by
// rectangle, with an open menu drawn over it.
//
// Drawing goes straight into SDL's own window surface where its format and size are the ones the
// drawing code expects: a frame is then written once, and no memory of the window's own is
// touched before the first one is on the screen. While a menu lies over the window, or where
// SDL's surface does not fit, drawing goes to a memory copy instead, which Present blits.
class SdlPeer final : public WindowPeer {
public:
    SdlPeer(SdlBackend& backend, CWnd& window, SDL_Window* handle, CWnd* owner, int width,
            int height);
    ~SdlPeer() override;
    SdlPeer(const SdlPeer&) = delete;
    SdlPeer& operator=(const SdlPeer&) = delete;

    Bitmap* Surface() override {
        Retarget();
        return &m_surface;
    }
    void Present(const RECT& rect) override;
    void SetClientSize(int width, int height) override;
    void Show() override;
    void SetTitle(const std::string& title) override;
    void SetIcon(const Icon* icon) override;
    bool IsMinimized() const override;
    void Minimize() override;
    void BeginMove() override;
    void OpenSystemMenu(const CMenu& menu, std::optional<POINT> at) override;

    CWnd& Window() const { return m_window; }
    SDL_Window* Handle() const { return m_handle; }
    Uint32 Id() const { return SDL_GetWindowID(m_handle); }
    bool Shown() const { return m_shown; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    RECT ClientRect() const { return RECT{0, 0, m_width, m_height}; }
    /// Whether drawing goes straight into SDL's window surface (false: into the memory copy).
    bool DrawsDirectly() const { return m_surface.bits != nullptr && !m_surface.owned; }
    /// Shows overlay with its top-left at at over the surface; null takes it away again.
    void SetOverlay(Bitmap* overlay, POINT at);

private:
    void PlaceCentred();
    /// Points m_surface at SDL's window surface or at the memory copy, whichever fits now, and
    /// carries what the window shows over from the one to the other.
    void Retarget();
    void DropCopy();

    SdlBackend& m_backend;
    CWnd& m_window;
    SDL_Window* m_handle;
    CWnd* m_owner;
    int m_width;
    int m_height;
    Bitmap m_surface;               // what drawing writes to; no memory until the first drawing
    SDL_Surface* m_wrap = nullptr;  // the memory copy as an SDL surface, while there is one
    Bitmap* m_overlay = nullptr;
    SDL_Surface* m_overlayWrap = nullptr;
    POINT m_overlayAt{};
    bool m_shown = false;
};

// The box of AfxMessageBox: a window of its own with the text and an OK button.
class MessageBoxWindow final : public CWnd {
public:
    MessageBoxWindow(const Font* font, std::string text) : m_font(font), m_text(std::move(text)) {}
    ~MessageBoxWindow() override { DestroyPeer(); }

    /// Makes and shows the window, centred on owner; false when the window system gives none.
    bool Open(const std::string& caption, CWnd* owner) {
        m_layout = LayoutMessageBox(m_text, m_font);
        if (!CreatePeer(m_layout.width, m_layout.height, true, caption, owner)) return false;
        Draw();
        Peer()->Show();
        return true;
    }
    void Close() { DestroyPeer(); }
    const bool& Done() const { return m_done; }

protected:
    void OnPaint() override { Draw(); }
    void OnKeyDown(UINT key, UINT /*repeatCount*/, UINT /*flags*/) override {
        if (key == VK_RETURN || key == VK_SPACE || key == VK_ESCAPE) m_done = true;
    }
    void OnLButtonDown(UINT /*flags*/, CPoint point) override {
        m_tracking = PtInRect(&m_layout.button, point) != FALSE;
        SetPressed(m_tracking);
    }
    void OnMouseMove(UINT /*flags*/, CPoint point) override {
        if (m_tracking) SetPressed(PtInRect(&m_layout.button, point) != FALSE);
    }
    void OnLButtonUp(UINT /*flags*/, CPoint point) override {
        if (!m_tracking) return;
        m_tracking = false;
        SetPressed(false);
        if (PtInRect(&m_layout.button, point)) m_done = true;
    }
    // The close button of the window manager, Alt+F4 and "Schließen" answer like OK.
    void OnClose() override { m_done = true; }

private:
    void SetPressed(bool pressed) {
        if (pressed == m_pressed) return;
        m_pressed = pressed;
        Draw();
    }
    void Draw() {
        if (!HasWindow()) return;
        Bitmap& surface = *Peer()->Surface();
        PaintMessageBox(surface, m_layout, m_font, m_pressed);
        Peer()->Present(RECT{0, 0, surface.width, surface.height});
    }

    const Font* m_font;
    std::string m_text;
    MessageBoxLayout m_layout;
    bool m_done = false;
    bool m_tracking = false;
    bool m_pressed = false;
};

class SdlBackend final : public Backend {
public:
    SdlBackend();
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    std::unique_ptr<WindowPeer> CreateWindow(CWnd& window, const WindowSpec& spec) override;
    bool WaitForEvents(std::optional<std::uint32_t> timeoutMs) override;
    bool ClockedTimers() const override { return true; }
    int MessageBox(CWnd* owner, const std::string& text, const std::string& caption,
                   UINT type) override;
    void PaintDialog(CDialog& dialog, const DialogTemplate& dialogTemplate) override;

    void Register(SdlPeer& peer) { m_peers[peer.Id()] = &peer; }
    void Unregister(SdlPeer& peer);
    SdlPeer* Find(Uint32 windowId) const;
    SdlPeer* PeerOf(const CWnd* window) const;
    void BeginMove(SdlPeer& peer);
    void OpenMenu(SdlPeer& peer, const CMenu& menu, std::optional<POINT> at);

private:
    struct Move {
        SdlPeer* peer;
        POINT grab;  // where the pointer holds the window, in client pixels
    };
    struct Menu {
        SdlPeer* peer;
        PopupMenu menu;
        Bitmap picture;
    };

    void Handle(const SDL_Event& event);
    void HandleWindowEvent(const SDL_WindowEvent& event);
    void HandleKey(const SDL_KeyboardEvent& event);
    void HandleButton(const SDL_MouseButtonEvent& event);
    void HandleMotion(const SDL_MouseMotionEvent& event);
    void FollowPointer(bool released);
    /// Where the pointer is on the screen, and whether the left button is held. On X11 the server
    /// is asked: SDL answers from its last raw input event, which a warped pointer (remote
    /// desktops, test tools) never sends, and a moved window would not follow it.
    bool LeftHeldAt(SdlPeer& peer, int& x, int& y) const;
    void ActivateModalWindow();
    void MenuOutcome(PopupMenu::Outcome outcome);
    void CloseMenu();
    void LoadFonts();
    const Font* TextFont();
    const Font* DialogFont();

    std::map<Uint32, SdlPeer*> m_peers;
    std::optional<Move> m_move;
    bool m_swallowLeftUp = false;  // the release of a move that ended without its event
    Uint32 m_pressWindow = 0;      // where the left button was last pressed, and at which point
    POINT m_pressPoint{};
    // A window that a move has placed under the pointer: SDL's idea of where the pointer is in
    // it is off by the last step of the move until the pointer moves again.
    Uint32 m_shiftedWindow = 0;
    std::unique_ptr<Menu> m_menu;
    std::unique_ptr<Font> m_textFont;    // message boxes and menus
    std::unique_ptr<Font> m_dialogFont;  // template dialogs, whose layout is in dialog units
    bool m_fontsTried = false;
    int m_x11Fd = -1;  // the X connection, once a window exists on X11
};

// -- SdlPeer ---------------------------------------------------------------------------------

SdlPeer::SdlPeer(SdlBackend& backend, CWnd& window, SDL_Window* handle, CWnd* owner, int width,
                 int height)
    : m_backend(backend),
      m_window(window),
      m_handle(handle),
      m_owner(owner),
      m_width(width),
      m_height(height) {
    m_backend.Register(*this);
    PlaceCentred();
}

SdlPeer::~SdlPeer() {
    m_backend.Unregister(*this);
    // Without a window manager nobody gives the keyboard back to the owner.
    SdlPeer* owner = m_backend.PeerOf(m_owner);
    const bool hadFocus = SDL_GetKeyboardFocus() == m_handle;
    SDL_FreeSurface(m_overlayWrap);
    SDL_FreeSurface(m_wrap);
    SDL_DestroyWindow(m_handle);
    if (hadFocus && owner != nullptr && owner->Shown() && !owner->IsMinimized()) {
        SDL_SetWindowInputFocus(owner->Handle());
    }
}

void SdlPeer::PlaceCentred() {
    SDL_Rect area{};
    const int display = SDL_GetWindowDisplayIndex(m_handle);
    if (SDL_GetDisplayUsableBounds(std::max(display, 0), &area) != 0) {
        area = SDL_Rect{0, 0, 0, 0};
    }
    int x = area.x + (area.w - m_width) / 2;
    int y = area.y + (area.h - m_height) / 2;
    if (SdlPeer* owner = m_backend.PeerOf(m_owner)) {
        int ownerX = 0;
        int ownerY = 0;
        SDL_GetWindowPosition(owner->Handle(), &ownerX, &ownerY);
        x = ownerX + (owner->Width() - m_width) / 2;
        y = ownerY + (owner->Height() - m_height) / 2;
        // A box centred on a window near the edge stays on the screen.
        if (area.w > 0 && area.h > 0) {
            x = std::clamp(x, area.x, std::max(area.x, area.x + area.w - m_width));
            y = std::clamp(y, area.y, std::max(area.y, area.y + area.h - m_height));
        }
    }
    SDL_SetWindowPosition(m_handle, x, y);
}

void SdlPeer::Retarget() {
    SDL_Surface* screen = SDL_GetWindowSurface(m_handle);
    const bool fits = screen != nullptr && screen->pixels != nullptr &&
                      screen->format->format == kSurfaceFormat && screen->w == m_width &&
                      screen->h == m_height;
    // What the window shows is still in SDL's surface only if that is the one drawn into before:
    // SDL makes a new, empty one when the window's size changes.
    const bool shownThere = fits && DrawsDirectly() && m_surface.bits == screen->pixels;
    if (fits && m_overlay == nullptr) {
        if (shownThere) return;
        PrefaultPixels(screen->pixels, static_cast<std::size_t>(screen->pitch) *
                                           static_cast<std::size_t>(m_height));
        if (m_wrap != nullptr) SDL_BlitSurface(m_wrap, nullptr, screen, nullptr);
        DropCopy();
        m_surface.width = m_width;
        m_surface.height = m_height;
        m_surface.bitCount = 32;
        m_surface.bottomUp = false;
        m_surface.stride = static_cast<std::size_t>(screen->pitch);
        m_surface.bits = static_cast<unsigned char*>(screen->pixels);
        return;
    }
    if (m_surface.owned && m_surface.width == m_width && m_surface.height == m_height) return;
    Bitmap copy;
    Allocate(copy, m_width, m_height);
    if (shownThere) {
        for (int y = 0; y < m_height; ++y) std::memcpy(copy.Row(y), m_surface.Row(y), copy.stride);
    }
    DropCopy();
    m_surface = std::move(copy);
    m_wrap = Wrap(m_surface);
}

void SdlPeer::DropCopy() {
    SDL_FreeSurface(m_wrap);
    m_wrap = nullptr;
    m_surface.owned.reset();
    m_surface.bits = nullptr;
}

void SdlPeer::Present(const RECT& rect) {
    RECT area{};
    const RECT whole = ClientRect();
    if (!IntersectRect(&area, &rect, &whole)) return;
    Retarget();
    SDL_Surface* screen = SDL_GetWindowSurface(m_handle);
    if (screen == nullptr || (m_wrap == nullptr && !DrawsDirectly())) return;
    if (DrawsDirectly()) {
        const SDL_Rect changed = ToSdl(area);
        SDL_UpdateWindowSurfaceRects(m_handle, &changed, 1);
        TraceFirstFrame();
        return;
    }
    SDL_Rect source = ToSdl(area);
    SDL_Rect target = source;
    SDL_BlitSurface(m_wrap, &source, screen, &target);
    if (m_overlay != nullptr && m_overlayWrap != nullptr) {
        const RECT overlay{m_overlayAt.x, m_overlayAt.y, m_overlayAt.x + m_overlay->width,
                           m_overlayAt.y + m_overlay->height};
        RECT both{};
        if (IntersectRect(&both, &area, &overlay)) {
            target = ToSdl(both);
            source = target;
            source.x -= m_overlayAt.x;
            source.y -= m_overlayAt.y;
            SDL_BlitSurface(m_overlayWrap, &source, screen, &target);
        }
    }
    const SDL_Rect changed = ToSdl(area);
    SDL_UpdateWindowSurfaceRects(m_handle, &changed, 1);
    TraceFirstFrame();
}

void SdlPeer::SetClientSize(int width, int height) {
    width = std::clamp(width, 1, kMaxBitmapSide);
    height = std::clamp(height, 1, kMaxBitmapSide);
    if (width == m_width && height == m_height) return;
    m_width = width;
    m_height = height;
    // The next drawing finds a surface of the new size, empty as a new window's.
    DropCopy();
    SDL_SetWindowSize(m_handle, m_width, m_height);
    // Before it is shown a window is still placed where a new one of its size would be.
    if (!m_shown) PlaceCentred();
}

void SdlPeer::Show() {
    SdlPeer* owner = m_backend.PeerOf(m_owner);
    SDL_Window* focused = SDL_GetKeyboardFocus();
    SDL_ShowWindow(m_handle);
    SDL_RaiseWindow(m_handle);
    m_shown = true;
    // The program's first window, and a box opened from the window the user works in, take the
    // keyboard, also where no window manager hands it over.
    if (owner != nullptr ? focused == owner->Handle() : focused == nullptr) {
        SDL_SetWindowInputFocus(m_handle);
    }
}

void SdlPeer::SetTitle(const std::string& title) {
    SDL_SetWindowTitle(m_handle, ToValidUtf8(title).c_str());
}

void SdlPeer::SetIcon(const Icon* icon) {
    if (icon == nullptr || icon->images.empty()) return;
    const IconImage& image = icon->images.front();  // the largest
    if (image.size <= 0 || image.pixels.size() != static_cast<std::size_t>(image.size) *
                                                      static_cast<std::size_t>(image.size)) {
        return;
    }
    // SDL copies the pixels; the surface only lends them.
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(image.pixels.data()), image.size, image.size, 32, image.size * 4,
        SDL_PIXELFORMAT_ARGB8888);
    if (picture == nullptr) return;
    SDL_SetWindowIcon(m_handle, picture);
    SDL_FreeSurface(picture);
}

bool SdlPeer::IsMinimized() const {
    return (SDL_GetWindowFlags(m_handle) & SDL_WINDOW_MINIMIZED) != 0;
}

void SdlPeer::Minimize() {
    SDL_MinimizeWindow(m_handle);
}

void SdlPeer::BeginMove() {
    m_backend.BeginMove(*this);
}

void SdlPeer::OpenSystemMenu(const CMenu& menu, std::optional<POINT> at) {
    m_backend.OpenMenu(*this, menu, at);
}

void SdlPeer::SetOverlay(Bitmap* overlay, POINT at) {
    const RECT before = m_overlay != nullptr
                            ? RECT{m_overlayAt.x, m_overlayAt.y, m_overlayAt.x + m_overlay->width,
                                   m_overlayAt.y + m_overlay->height}
                            : RECT{};
    SDL_FreeSurface(m_overlayWrap);
    m_overlayWrap = nullptr;
    m_overlay = overlay;
    m_overlayAt = at;
    if (m_overlay != nullptr) m_overlayWrap = Wrap(*m_overlay);
    if (!IsRectEmpty(&before)) Present(before);
    if (m_overlay != nullptr) {
        Present(RECT{at.x, at.y, at.x + m_overlay->width, at.y + m_overlay->height});
    }
}

// -- SdlBackend ------------------------------------------------------------------------------

SdlBackend::SdlBackend() {
    // Text input (and its input method) is not used: keys arrive as key events.
    SDL_StopTextInput();
}

SdlBackend::~SdlBackend() {
    m_menu.reset();
    m_textFont.reset();
    m_dialogFont.reset();
    if (const TextLibrary* text = OpenedTextLibrary();
        text != nullptr && text->TTF_WasInit() != 0) {
        text->TTF_Quit();
    }
    SDL_Quit();
}

const Font* SdlBackend::TextFont() {
    LoadFonts();
    return m_textFont.get();
}

const Font* SdlBackend::DialogFont() {
    LoadFonts();
    return m_dialogFont.get();
}

void SdlBackend::LoadFonts() {
    // The fonts are looked up when the first text is drawn, not at start: finding them through
    // fontconfig costs more than opening the window.
    if (m_fontsTried) return;
    m_fontsTried = true;
    std::string why;
    const TextLibrary* text = OpenTextLibrary(why);
    if (text == nullptr || text->TTF_Init() != 0) {
        std::fprintf(stderr,
                     "%s: cannot draw text in message boxes and dialogs: %s. Install the Debian "
                     "packages libsdl2-ttf-2.0-0 and libfontconfig1.\n",
                     ApplicationName().c_str(), text == nullptr ? why.c_str() : SDL_GetError());
        return;
    }
    std::string file = Font::FindFile(kFontFamily);
    // The font's file is all that is needed: fontconfig's configuration and caches go at once,
    // before the glyphs take memory of their own.
    Font::ReleaseFontLookup();
    if (file.empty()) file = kFallbackFontFile;
    std::string error;
    // Message boxes and menus use the desktop's 9-point message font, dialogs their 8-point
    // shell font, whose size the dialog units are measured in.
    m_textFont = Font::Open(file, 9, error);
    if (m_textFont) m_dialogFont = Font::Open(file, 8, error);
    if (!m_textFont || !m_dialogFont) {
        m_textFont.reset();
        std::fprintf(stderr,
                     "%s: cannot open the font \"%s\" (%s); message boxes and dialogs show no "
                     "text. Install the Debian package fonts-dejavu-core.\n",
                     ApplicationName().c_str(), file.c_str(), error.c_str());
    }
}

std::unique_ptr<WindowPeer> SdlBackend::CreateWindow(CWnd& window, const WindowSpec& spec) {
    CloseMenu();
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (!spec.caption) flags |= SDL_WINDOW_BORDERLESS;
    const int width = std::clamp(spec.width, 1, kMaxBitmapSide);
    const int height = std::clamp(spec.height, 1, kMaxBitmapSide);
    SDL_Window* handle = SDL_CreateWindow(ToValidUtf8(spec.title).c_str(), SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (handle == nullptr) {
        std::fprintf(stderr, "%s: cannot create a window: %s\n", ApplicationName().c_str(),
                     SDL_GetError());
        return nullptr;
    }
    if (SdlPeer* owner = PeerOf(spec.owner)) SDL_SetWindowModalFor(handle, owner->Handle());
    if (m_x11Fd < 0) m_x11Fd = X11ConnectionFd(handle);
    return std::make_unique<SdlPeer>(*this, window, handle, spec.owner, width, height);
}

void SdlBackend::Unregister(SdlPeer& peer) {
    if (m_menu && m_menu->peer == &peer) m_menu.reset();
    if (m_move && m_move->peer == &peer) m_move.reset();
    if (m_shiftedWindow == peer.Id()) m_shiftedWindow = 0;
    m_peers.erase(peer.Id());
}

SdlPeer* SdlBackend::Find(Uint32 windowId) const {
    const auto found = m_peers.find(windowId);
    return found != m_peers.end() ? found->second : nullptr;
}

SdlPeer* SdlBackend::PeerOf(const CWnd* window) const {
    if (window == nullptr) return nullptr;
    for (const auto& [id, peer] : m_peers) {
        if (&peer->Window() == window) return peer;
    }
    return nullptr;
}

bool SdlBackend::WaitForEvents(std::optional<std::uint32_t> timeoutMs) {
    SDL_Event event;
    if (m_x11Fd >= 0) {
        // On X11 the wait is a poll on the X connection. SDL's own wait wakes itself with an event
        // sent to one of the windows over a second connection; when that window is destroyed at
        // the same moment (a box closed by a key), the server may see the destroy first, and the
        // error ends the program when it closes its display.
        SDL_PumpEvents();
        if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) == SDL_FALSE) {
            pollfd connection{m_x11Fd, POLLIN, 0};
            const int wait =
                timeoutMs ? static_cast<int>(std::min<std::uint32_t>(*timeoutMs, INT_MAX)) : -1;
            poll(&connection, 1, wait);
            SDL_PumpEvents();
        }
        while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
            Handle(event);
        }
        // SDL drops a motion whose point in the window is the one it saw last, which is what a
        // window that follows the pointer mostly shows: every wake-up of a move follows it.
        if (m_move) FollowPointer(false);
        return true;
    }
    // Elsewhere SDL's wait: blocks until an event comes or the next timer is due.
    const int got =
        timeoutMs ? SDL_WaitEventTimeout(
                        &event, static_cast<int>(std::min<std::uint32_t>(*timeoutMs, INT_MAX)))
                  : SDL_WaitEvent(&event);
    if (got == 0) {
        // An error while waiting without a timer would otherwise spin.
        if (!timeoutMs) SDL_Delay(10);
        return true;
    }
    Handle(event);
    while (SDL_PollEvent(&event) != 0) Handle(event);
    return true;
}

void SdlBackend::Handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_WINDOWEVENT:
            HandleWindowEvent(event.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            HandleKey(event.key);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            HandleButton(event.button);
            break;
        case SDL_MOUSEMOTION:
            HandleMotion(event.motion);
            break;
        default:
            // SDL_QUIT follows the close of the last window, which its own event has handled.
            break;
    }
}

void SdlBackend::HandleWindowEvent(const SDL_WindowEvent& event) {
    SdlPeer* peer = Find(event.windowID);
    if (peer == nullptr) return;
    CWnd* window = &peer->Window();
    switch (event.event) {
        case SDL_WINDOWEVENT_EXPOSED:
            // What the surface holds goes back at once; the window then paints itself afresh.
            peer->Present(peer->ClientRect());
            PostPaint(window);
            break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            PostPaint(window);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            // A window under a modal box hands the focus on to the box, as a disabled window does.
            if (!InputAllowed(window)) ActivateModalWindow();
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (m_menu && m_menu->peer == peer) CloseMenu();
            break;
        case SDL_WINDOWEVENT_CLOSE:
            if (m_menu && m_menu->peer == peer) CloseMenu();
            // A window below a modal box is disabled: its close button does nothing.
            if (InputAllowed(window)) PostToQueue(MSG{window, WM_SYSCOMMAND, SC_CLOSE, 0});
            break;
        default:
            break;
    }
}

void SdlBackend::HandleKey(const SDL_KeyboardEvent& event) {
    SdlPeer* peer = Find(event.windowID);
    const SDL_Keycode key = event.keysym.sym;
    const Uint16 mods = event.keysym.mod;
    const bool down = event.type == SDL_KEYDOWN;
    if (m_menu) {
        if (!down) return;
        if ((mods & KMOD_ALT) != 0 && key == SDLK_SPACE) {
            CloseMenu();
        } else if (peer == nullptr || peer == m_menu->peer) {
            MenuOutcome(m_menu->menu.Key(VirtualKey(key, mods)));
        }
        return;
    }
    if (peer == nullptr) return;
    CWnd* window = &peer->Window();
    if ((mods & KMOD_ALT) != 0) {
        // With Alt held keys are system keys: Alt+Space opens the system menu, Alt+F4 closes;
        // the window gets no key message for them.
        if (!down || !InputAllowed(window)) return;
        if (key == SDLK_SPACE) PostToQueue(MSG{window, WM_SYSCOMMAND, SC_KEYMENU, ' '});
        if (key == SDLK_F4) PostToQueue(MSG{window, WM_SYSCOMMAND, SC_CLOSE, 0});
        return;
    }
    const UINT vk = VirtualKey(key, mods);
    if (vk == 0) return;
    // lParam: repeat count 1, scan code in bits 16..23, bit 30 for a key that was down already
    // (auto-repeat), bits 30 and 31 on release.
    LPARAM flags = 1 | static_cast<LPARAM>((event.keysym.scancode & 0xFF) << 16);
    if (!down) flags |= LPARAM{3} << 30;
    if (down && event.repeat != 0) flags |= LPARAM{1} << 30;
    PostToQueue(MSG{window, down ? WM_KEYDOWN : WM_KEYUP, vk, flags});
}

void SdlBackend::HandleButton(const SDL_MouseButtonEvent& event) {
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    const bool left = event.button == SDL_BUTTON_LEFT;
    if (m_move) {
        if (!down && left) FollowPointer(true);
        return;
    }
    SdlPeer* peer = Find(event.windowID);
    POINT point{event.x, event.y};
    X11PointerState pointer;
    if (peer != nullptr && event.windowID == m_shiftedWindow &&
        X11Pointer(peer->Handle(), pointer)) {
        point = POINT{pointer.windowX, pointer.windowY};
    }
    if (m_menu) {
        if (peer != m_menu->peer) {
            if (down) CloseMenu();
        } else {
            MenuOutcome(down ? m_menu->menu.PointerDown(point) : m_menu->menu.PointerUp(point));
        }
        return;
    }
    if (!down && left && m_swallowLeftUp) {
        m_swallowLeftUp = false;
        return;
    }
    if (peer == nullptr || (!left && event.button != SDL_BUTTON_RIGHT)) return;
    if (down && !InputAllowed(&peer->Window())) {
        ActivateModalWindow();
        return;
    }
    if (down && left) {
        m_swallowLeftUp = false;
        m_pressWindow = event.windowID;
        m_pressPoint = point;
    }
    // The buttons held after this event: SDL's state may already include later events.
    Uint32 held = SDL_GetMouseState(nullptr, nullptr);
    const Uint32 mask = SDL_BUTTON(event.button);
    held = down ? (held | mask) : (held & ~mask);
    WPARAM keys = 0;
    if ((held & SDL_BUTTON_LMASK) != 0) keys |= MK_LBUTTON;
    if ((held & SDL_BUTTON_RMASK) != 0) keys |= MK_RBUTTON;
    const UINT message =
        left ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
    PostToQueue(MSG{&peer->Window(), message, keys, MAKELPARAM(point.x, point.y)});
}

void SdlBackend::HandleMotion(const SDL_MouseMotionEvent& event) {
    if (event.windowID == m_shiftedWindow) m_shiftedWindow = 0;
    if (m_move) {
        FollowPointer(false);
        return;
    }
    SdlPeer* peer = Find(event.windowID);
    if (peer == nullptr) return;
    const POINT point{event.x, event.y};
    if (m_menu) {
        if (peer == m_menu->peer) MenuOutcome(m_menu->menu.PointerMove(point));
        return;
    }
    WPARAM keys = 0;
    if ((event.state & SDL_BUTTON_LMASK) != 0) keys |= MK_LBUTTON;
    if ((event.state & SDL_BUTTON_RMASK) != 0) keys |= MK_RBUTTON;
    PostToQueue(MSG{&peer->Window(), WM_MOUSEMOVE, keys, MAKELPARAM(point.x, point.y)});
}

bool SdlBackend::LeftHeldAt(SdlPeer& peer, int& x, int& y) const {
    X11PointerState state;
    if (m_x11Fd >= 0 && X11Pointer(peer.Handle(), state)) {
        x = state.x;
        y = state.y;
        return state.leftHeld;
    }
    return (SDL_GetGlobalMouseState(&x, &y) & SDL_BUTTON_LMASK) != 0;
}

void SdlBackend::BeginMove(SdlPeer& peer) {
    int x = 0;
    int y = 0;
    // A press that is over already (a quick click) moves nothing.
    if (!LeftHeldAt(peer, x, y)) return;
    CloseMenu();
    POINT grab = m_pressPoint;
    if (m_pressWindow != peer.Id()) {
        int windowX = 0;
        int windowY = 0;
        SDL_GetWindowPosition(peer.Handle(), &windowX, &windowY);
        grab = POINT{x - windowX, y - windowY};
    }
    m_move = Move{&peer, grab};
    FollowPointer(false);
}

// Moves the window so that the point it was grabbed at stays under the pointer. The window
// system's own move does not work for a window without a frame on X11, so the window is placed
// from the pointer's screen position.
void SdlBackend::FollowPointer(bool released) {
    if (!m_move) return;
    int x = 0;
    int y = 0;
    const bool held = LeftHeldAt(*m_move->peer, x, y);
    SDL_SetWindowPosition(m_move->peer->Handle(), x - m_move->grab.x, y - m_move->grab.y);
    m_shiftedWindow = m_move->peer->Id();
    if (released) {
        m_move.reset();
    } else if (!held) {
        // Released without its event yet: that event, when it comes, belongs to the move.
        m_move.reset();
        m_swallowLeftUp = true;
    }
}

void SdlBackend::ActivateModalWindow() {
    SdlPeer* modal = PeerOf(InnermostModalWindow());
    if (modal == nullptr || !modal->Shown() || SDL_GetKeyboardFocus() == modal->Handle()) return;
    SDL_RaiseWindow(modal->Handle());
    SDL_SetWindowInputFocus(modal->Handle());
}

void SdlBackend::OpenMenu(SdlPeer& peer, const CMenu& menu, std::optional<POINT> at) {
    CloseMenu();
    const Font* font = TextFont();
    const MeasureText measure = [font](std::string_view text) {
        return font != nullptr ? font->Width(text) : static_cast<int>(text.size()) * 7;
    };
    m_menu = std::make_unique<Menu>(Menu{&peer, PopupMenu(menu, measure), Bitmap{}});
    m_menu->menu.Place(at.value_or(POINT{0, 0}), peer.ClientRect());
    if (!at) m_menu->menu.HighlightFirst();
    const RECT bounds = m_menu->menu.Bounds();
    Allocate(m_menu->picture, bounds.right - bounds.left, bounds.bottom - bounds.top);
    PaintMenu(m_menu->picture, m_menu->menu, font);
    peer.SetOverlay(&m_menu->picture, POINT{bounds.left, bounds.top});
}

void SdlBackend::MenuOutcome(PopupMenu::Outcome outcome) {
    if (!m_menu) return;
    switch (outcome) {
        case PopupMenu::Outcome::None:
            break;
        case PopupMenu::Outcome::Redraw: {
            PaintMenu(m_menu->picture, m_menu->menu, m_textFont.get());
            const RECT bounds = m_menu->menu.Bounds();
            m_menu->peer->Present(bounds);
            break;
        }
        case PopupMenu::Outcome::Close:
            CloseMenu();
            break;
        case PopupMenu::Outcome::Choose: {
            CWnd* window = &m_menu->peer->Window();
            const UINT id = m_menu->menu.Chosen();
            CloseMenu();
            PostToQueue(MSG{window, WM_SYSCOMMAND, id, 0});
            break;
        }
    }
}

void SdlBackend::CloseMenu() {
    if (!m_menu) return;
    std::unique_ptr<Menu> menu = std::move(m_menu);
    menu->peer->SetOverlay(nullptr, POINT{});
}

int SdlBackend::MessageBox(CWnd* owner, const std::string& text, const std::string& caption,
                           UINT /*type*/) {
    CloseMenu();
    m_move.reset();
    const std::string message = ToValidUtf8(text);
    const Font* font = TextFont();
    if (font == nullptr) {
        // The box cannot show its text; the terminal still can.
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), message.c_str());
    }
    MessageBoxWindow box(font, message);
    if (!box.Open(ToValidUtf8(caption), owner)) {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), message.c_str());
        return IDOK;
    }
    RunModalLoop(box.Done(), &box);
    box.Close();
    return IDOK;
}

void SdlBackend::PaintDialog(CDialog& dialog, const DialogTemplate& dialogTemplate) {
    WindowPeer* peer = dialog.Peer();
    if (peer == nullptr) return;
    Bitmap& surface = *peer->Surface();
    PaintDialogItems(surface, dialogTemplate, DialogFont());
    peer->Present(RECT{0, 0, surface.width, surface.height});
}

}  // namespace

bool IsVisibleDriver(const char* chosen, const char* requested) {
    if (chosen == nullptr) return false;
    const std::string_view name(chosen);
    if (name == "offscreen" || name == "dummy" || name == "evdev") {
        return ContainsWord(requested, name);
    }
    return true;
}

std::string NoDisplayReason(const char* display, const char* waylandDisplay,
                            std::string_view sdlError) {
    const bool hasX = display != nullptr && *display != '\0';
    const bool hasWayland = waylandDisplay != nullptr && *waylandDisplay != '\0';
    std::string reason = "cannot open the game window: there is no display to show it on.\n";
    reason += "  Tried: ";
    reason += hasX ? "the X display \"" + std::string(display) + "\", which could not be opened"
                   : "an X display, but DISPLAY is not set";
    reason += hasWayland ? "; the Wayland display \"" + std::string(waylandDisplay) +
                               "\", which could not be opened"
                         : "; a Wayland display, but WAYLAND_DISPLAY is not set";
    reason += ".\n";
    if (!sdlError.empty()) reason += "  SDL reports: " + std::string(sdlError) + "\n";
    reason +=
        "  Start the game from a graphical desktop session, or set DISPLAY to a running X server "
        "(for example DISPLAY=:0).";
    return reason;
}

std::unique_ptr<Backend> CreateSdlBackend(std::string& reason) {
    // Ctrl+C and kill end the program as usual; there is nothing to save.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The plain software framebuffer (X11 shared memory) rather than one through OpenGL: far less
    // processor time, memory and start-up time for a few small rectangles a tick.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The pointer stays captured while a button is held, so the release outside still arrives.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "1");
    // A children's game has no business keeping the screen saver away, nor the compositor.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");

    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        reason =
            NoDisplayReason(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), SDL_GetError());
        return nullptr;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!IsVisibleDriver(driver, std::getenv("SDL_VIDEODRIVER"))) {
        reason = NoDisplayReason(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), "");
        reason += "\n  (SDL fell back to its invisible \"" + std::string(driver ? driver : "?") +
                  "\" video driver; set SDL_VIDEODRIVER=" + std::string(driver ? driver : "?") +
                  " to run without a display on purpose.)";
        SDL_Quit();
        return nullptr;
    }
    return std::make_unique<SdlBackend>();
}

}  // namespace platform::sdl
