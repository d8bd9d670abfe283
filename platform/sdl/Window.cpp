// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/Window.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "platform/TextLayout.h"
#include "platform/Wnd.h"
#include "platform/sdl/FirstFrameTrace.h"
#include "platform/sdl/WindowSystem.h"
#include "platform/sdl/X11Connection.h"

namespace platform::sdl {
namespace {

// Window surfaces are 32-bit B, G, R, X in memory, which is SDL's XRGB8888 on little-endian.
constexpr Uint32 kSurfaceFormat = SDL_PIXELFORMAT_XRGB8888;
// Around the game on a full screen: the deep blue of the sea under the ice, darker, so that the
// pictures stand out and a projector does not glare.
constexpr Uint8 kBorderRed = 22;
constexpr Uint8 kBorderGreen = 46;
constexpr Uint8 kBorderBlue = 70;
// The enlarged pixels go to the X server in bands of about 256 KiB: few requests, little memory.
constexpr std::size_t kBandPixels = 64 * 1024;

// An SDL surface over a bitmap's memory, for blits to the window; null when SDL refuses.
SDL_Surface* Wrap(Bitmap& bitmap) {
    return SDL_CreateRGBSurfaceWithFormatFrom(bitmap.bits, bitmap.width, bitmap.height, 32,
                                              static_cast<int>(bitmap.stride), kSurfaceFormat);
}

SDL_Rect ToSdl(const RECT& r) {
    return SDL_Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool g_firstFrame = false;

// SDL's surface as a bitmap, for drawing straight into it and for the scaler.
Bitmap Over(SDL_Surface* surface) {
    return PixelsAsBitmap(surface->pixels, surface->w, surface->h,
                          static_cast<std::size_t>(surface->pitch));
}

// Calls fill with each part of area on the border of a full screen around the game.
template <typename Fill>
void ForEachBorderPart(const ScreenView& view, const RECT& area, Fill fill) {
    const RECT& t = view.target;
    const std::array<RECT, 4> border{
        RECT{0, 0, view.screenWidth, t.top}, RECT{0, t.bottom, view.screenWidth, view.screenHeight},
        RECT{0, t.top, t.left, t.bottom}, RECT{t.right, t.top, view.screenWidth, t.bottom}};
    for (const RECT& band : border) {
        RECT part{};
        if (IntersectRect(&part, &band, &area)) fill(part);
    }
}

// Only the program's first frame counts.
void TraceFirstFrame() {
    if (g_firstFrame) return;
    g_firstFrame = true;
    WriteFirstFrameTrace(ApplicationName().c_str());
}

}  // namespace

bool FirstFramePresented() {
    return g_firstFrame;
}

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

SdlPeer::SdlPeer(SdlBackend& backend, CWnd& window, SDL_Window* handle, CWnd* owner, int width,
                 int height, int scale)
    : m_backend(backend),
      m_window(window),
      m_handle(handle),
      m_owner(owner),
      m_width(width),
      m_height(height),
      m_scale(scale) {
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
    m_canvas.reset();
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
    const int width = m_width * m_scale;
    const int height = m_height * m_scale;
    int x = area.x + (area.w - width) / 2;
    int y = area.y + (area.h - height) / 2;
    if (SdlPeer* owner = m_backend.PeerOf(m_owner)) {
        int ownerX = 0;
        int ownerY = 0;
        SDL_GetWindowPosition(owner->Handle(), &ownerX, &ownerY);
        const RECT ownerRect = owner->ScreenRect();
        x = ownerX + (ownerRect.right - width) / 2;
        y = ownerY + (ownerRect.bottom - height) / 2;
        // A box centred on a window near the edge stays on the screen.
        if (area.w > 0 && area.h > 0) {
            x = std::clamp(x, area.x, std::max(area.x, area.x + area.w - width));
            y = std::clamp(y, area.y, std::max(area.y, area.y + area.h - height));
        }
    }
    SDL_SetWindowPosition(m_handle, x, y);
}

X11Canvas* SdlPeer::Canvas() {
    if (ShowsClientPixels()) return nullptr;
    if (!m_canvasTried) {
        m_canvasTried = true;
        // The way round, should an X server take the pixels wrongly.
        const char* surface = std::getenv("FLOEMAZE_SDL_SURFACE");
        if (surface == nullptr || std::strcmp(surface, "1") != 0)
            m_canvas = X11Canvas::Of(m_handle);
    }
    return m_canvas.get();
}

void SdlPeer::Retarget() {
    // Asked for its surface, SDL makes one as large as the window is on the screen: a scaled
    // window drawn through the canvas never asks.
    SDL_Surface* screen = Canvas() == nullptr ? SDL_GetWindowSurface(m_handle) : nullptr;
    const bool fits = ShowsClientPixels() && screen != nullptr && screen->pixels != nullptr &&
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
        m_surface = Over(screen);
        return;
    }
    if (m_surface.owned && m_surface.width == m_width && m_surface.height == m_height) return;
    MoveToCopy(shownThere);
}

void SdlPeer::MoveToCopy(bool keep) {
    Bitmap copy;
    Allocate(copy, m_width, m_height);
    if (keep) {
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

void SdlPeer::KeepInMemory() {
    if (DrawsDirectly()) MoveToCopy(true);
}

RECT SdlPeer::ScreenRect() const {
    if (!m_fullscreen) return RECT{0, 0, m_width * m_scale, m_height * m_scale};
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(m_handle, &width, &height);
    return RECT{0, 0, width, height};
}

int SdlPeer::TextScale() const {
    if (!m_fullscreen) return m_scale;
    const RECT& shown = View().target;
    return std::clamp(static_cast<int>((shown.bottom - shown.top) / std::max(m_height, 1)),
                      kMinScale, kMaxScale);
}

ScreenView SdlPeer::View() const {
    if (!m_fullscreen) return ScreenView::Scaled(m_width, m_height, m_scale);
    const RECT screen = ScreenRect();
    return ScreenView::Fullscreen(m_width, m_height, screen.right, screen.bottom);
}

void SdlPeer::Redraw() {
    if (ShowsClientPixels()) {
        Present(ClientRect());
        return;
    }
    m_scaledInto = nullptr;
    if (!PresentScreen(ScreenRect()) || m_backdrop != nullptr) return;
    // The whole window now shows the client area as the scaler leaves it; what it shows is kept
    // at the client's size, for telling what a later rectangle changes.
    const void* target = Canvas();
    if (target == nullptr) {
        SDL_Surface* screen = SDL_GetWindowSurface(m_handle);
        if (screen->format->format != kSurfaceFormat) return;
        target = screen->pixels;
    }
    if (m_onScreen.width != m_width || m_onScreen.height != m_height)
        Allocate(m_onScreen, m_width, m_height);
    KeepShown(ClientRect());
    m_scaledInto = target;
}

void SdlPeer::ShowScreenRect(const RECT& rect) {
    // At scale 1 the screen's pixels are the client's.
    if (ShowsClientPixels()) {
        Present(rect);
    } else {
        PresentScreen(rect);
    }
}

void SdlPeer::SetFullscreen(bool on) {
    if (on == m_fullscreen) return;
    // SDL replaces its surface when the window's size changes.
    KeepInMemory();
    m_fullscreen = on;
    if (!X11WithoutWindowManager(m_handle)) {
        SDL_SetWindowFullscreen(m_handle, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        // A window that was never shown as a window has no place of its own to go back to: the
        // window manager would put it anywhere.
        if (on && !m_shown) m_neverWindowed = true;
        if (!on && m_neverWindowed) {
            m_neverWindowed = false;
            SDL_SetWindowSize(m_handle, m_width * m_scale, m_height * m_scale);
            PlaceCentred();
        }
    } else if (on) {
        // Without a window manager the captionless window itself covers its display.
        m_coversDisplay = true;
        if (m_shown) {
            SDL_Point at{};
            SDL_GetWindowPosition(m_handle, &at.x, &at.y);
            m_windowedAt = at;
        }
        SDL_Rect display{};
        if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(m_handle), 0), &display) == 0) {
            SDL_SetWindowPosition(m_handle, display.x, display.y);
            SDL_SetWindowSize(m_handle, display.w, display.h);
            SDL_RaiseWindow(m_handle);
        }
    } else if (m_coversDisplay) {
        m_coversDisplay = false;
        SDL_SetWindowSize(m_handle, m_width * m_scale, m_height * m_scale);
        if (m_windowedAt) {
            SDL_SetWindowPosition(m_handle, m_windowedAt->x, m_windowedAt->y);
        } else {
            PlaceCentred();
        }
    }
    // Where the new size has arrived already; otherwise its event redraws.
    Redraw();
}

void SdlPeer::SetBackdrop(Bitmap* picture) {
    m_backdrop = picture;
    if (m_backdrop != nullptr) KeepInMemory();
}

void SdlPeer::BlitOverlay(SDL_Surface* screen, const RECT& area) {
    if (m_overlay == nullptr || m_overlayWrap == nullptr) return;
    const RECT overlay = OverlayRect();
    RECT both{};
    if (!IntersectRect(&both, &area, &overlay)) return;
    SDL_Rect target = ToSdl(both);
    SDL_Rect source = target;
    source.x -= m_overlayAt.x;
    source.y -= m_overlayAt.y;
    SDL_BlitSurface(m_overlayWrap, &source, screen, &target);
}

RECT SdlPeer::OverlayRect() const {
    if (m_overlay == nullptr) return RECT{};
    return RECT{m_overlayAt.x, m_overlayAt.y, m_overlayAt.x + m_overlay->width,
                m_overlayAt.y + m_overlay->height};
}

void SdlPeer::KeepShown(const RECT& rect) {
    RECT rows{};
    const RECT client = ClientRect();
    if (!IntersectRect(&rows, &rect, &client)) return;
    const auto offset = static_cast<std::size_t>(rows.left) * 4;
    for (LONG y = rows.top; y < rows.bottom; ++y) {
        std::memcpy(m_onScreen.Row(y) + offset, m_surface.Row(y) + offset,
                    static_cast<std::size_t>(rows.right - rows.left) * 4);
    }
}

void SdlPeer::ComposeOverlay(const Bitmap& band, const RECT& screen) const {
    const RECT overlay = OverlayRect();
    RECT both{};
    if (!IntersectRect(&both, &overlay, &screen)) return;
    const auto bytes = static_cast<std::size_t>(both.right - both.left) * 4;
    for (LONG y = both.top; y < both.bottom; ++y) {
        std::memcpy(
            band.Row(y - screen.top) + static_cast<std::size_t>(both.left - screen.left) * 4,
            m_overlay->Row(y - m_overlayAt.y) +
                static_cast<std::size_t>(both.left - m_overlayAt.x) * 4,
            bytes);
    }
}

void SdlPeer::PresentOnCanvas(X11Canvas& canvas, const ScreenView& view, const RECT& area,
                              bool onlyChanged) {
    const auto putOverlay = [&](const RECT& part) {
        RECT shown{};
        const RECT overlay = OverlayRect();
        if (!IntersectRect(&shown, &part, &overlay)) return;
        OffsetRect(&shown, -m_overlayAt.x, -m_overlayAt.y);
        canvas.Put(*m_overlay, shown, shown.left + m_overlayAt.x, shown.top + m_overlayAt.y);
    };
    if (m_backdrop != nullptr) {
        canvas.Put(*m_backdrop, area, area.left, area.top);
        putOverlay(area);
    } else {
        // The overlay goes into each band before it is sent, so that it never flickers.
        const auto put = [&](const Bitmap& band, const RECT& screen) {
            ComposeOverlay(band, screen);
            canvas.Put(band, RECT{0, 0, band.width, band.height}, screen.left, screen.top);
        };
        const RECT cover = ToClientCover(view, area);
        const bool tracked = Tracks(&canvas);
        if (onlyChanged && tracked) {
            // The game presents the union of what it changed, often far more than that: only
            // what differs from what the screen shows is enlarged and sent.
            CopyChangedBlocks(m_surface, m_onScreen, cover, [&](const RECT& block) {
                ScaleInBands(m_surface, view, block, kBandPixels, m_band, put);
            });
        } else {
            ScaleInBands(m_surface, view, cover, kBandPixels, m_band, put);
            if (tracked) KeepShown(cover);
        }
        ForEachBorderPart(view, area, [&](const RECT& part) {
            canvas.Fill(part, kBorderRed, kBorderGreen, kBorderBlue);
            putOverlay(part);
        });
    }
    canvas.Flush();
}

bool SdlPeer::PresentOnSurface(const ScreenView& view, const RECT& area, bool onlyChanged) {
    SDL_Surface* screen = SDL_GetWindowSurface(m_handle);
    if (screen == nullptr || screen->pixels == nullptr) return false;
    // While a change of size is on its way, its event redraws the window.
    if (screen->w != view.screenWidth || screen->h != view.screenHeight) return false;
    RECT changed = area;
    if (m_backdrop != nullptr) {
        if (SDL_Surface* picture = Wrap(*m_backdrop)) {
            SDL_Rect part = ToSdl(area);
            SDL_Rect target = part;
            SDL_BlitSurface(picture, &part, screen, &target);
            SDL_FreeSurface(picture);
        }
    } else {
        const RECT cover = ToClientCover(view, area);
        const RECT written = ToScreen(view, cover);
        UnionRect(&changed, &area, &written);
        const bool tracked = Tracks(screen->pixels);
        if (onlyChanged && m_overlay == nullptr && tracked) {
            // The game presents the union of what it changed, often far more than that: only
            // what differs from what the screen shows is enlarged and sent.
            Bitmap target = Over(screen);
            changed = ScaleChanged(m_surface, m_onScreen, target, view, cover);
            if (IsRectEmpty(&changed)) return true;
        } else if (screen->format->format == kSurfaceFormat) {
            Bitmap target = Over(screen);
            ScaleRect(m_surface, target, view, cover);
            if (tracked) KeepShown(cover);
        } else if (m_wrap != nullptr) {
            SDL_Rect source = ToSdl(cover);
            SDL_Rect target = ToSdl(written);
            SDL_BlitScaled(m_wrap, &source, screen, &target);
        }
        const Uint32 border = SDL_MapRGB(screen->format, kBorderRed, kBorderGreen, kBorderBlue);
        ForEachBorderPart(view, area, [&](const RECT& part) {
            const SDL_Rect fill = ToSdl(part);
            SDL_FillRect(screen, &fill, border);
        });
    }
    BlitOverlay(screen, changed);
    const SDL_Rect update = ToSdl(changed);
    SDL_UpdateWindowSurfaceRects(m_handle, &update, 1);
    return true;
}

bool SdlPeer::PresentScreen(const RECT& rect, bool onlyChanged) {
    Retarget();
    if (m_surface.bits == nullptr) return false;
    const ScreenView view = View();
    RECT area{};
    const RECT whole{0, 0, view.screenWidth, view.screenHeight};
    if (!IntersectRect(&area, &rect, &whole)) return false;
    if (X11Canvas* canvas = Canvas()) {
        PresentOnCanvas(*canvas, view, area, onlyChanged);
    } else if (!PresentOnSurface(view, area, onlyChanged)) {
        return false;
    }
    TraceFirstFrame();
    return true;
}

void SdlPeer::Present(const RECT& rect) {
    RECT area{};
    const RECT whole = ClientRect();
    if (!IntersectRect(&area, &rect, &whole)) return;
    if (!ShowsClientPixels()) {
        PresentScreen(ToScreen(View(), area), true);
        return;
    }
    Retarget();
    SDL_Surface* screen = SDL_GetWindowSurface(m_handle);
    if (screen == nullptr) return;
    if (!DrawsDirectly()) {
        if (m_wrap == nullptr) return;
        SDL_Rect source = ToSdl(area);
        SDL_Rect target = source;
        SDL_BlitSurface(m_wrap, &source, screen, &target);
        BlitOverlay(screen, area);
    }
    const SDL_Rect changed = ToSdl(area);
    SDL_UpdateWindowSurfaceRects(m_handle, &changed, 1);
    TraceFirstFrame();
}

void SdlPeer::SetClientSize(int width, int height) {
    width = std::clamp(width, 1, kMaxBitmapSide);
    height = std::clamp(height, 1, kMaxBitmapSide);
    // The main window's scale fits the size it is given before it is shown, not the one it was
    // made with.
    const int scale = m_backend.RescaleMain(*this, width, height);
    if (width == m_width && height == m_height && scale == m_scale) return;
    m_width = width;
    m_height = height;
    m_scale = scale;
    // The next drawing finds a surface of the new size, empty as a new window's.
    DropCopy();
    // A window that covers its display by itself takes its size when it leaves the full screen.
    if (m_coversDisplay) return;
    SDL_SetWindowSize(m_handle, m_width * m_scale, m_height * m_scale);
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
    X11SetIcons(m_handle, *icon);
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
    const RECT before = OverlayRect();
    SDL_FreeSurface(m_overlayWrap);
    m_overlayWrap = nullptr;
    m_overlay = overlay;
    m_overlayAt = at;
    if (m_overlay != nullptr) m_overlayWrap = Wrap(*m_overlay);
    if (!IsRectEmpty(&before)) ShowScreenRect(before);
    if (m_overlay != nullptr) ShowScreenRect(OverlayRect());
}

}  // namespace platform::sdl
