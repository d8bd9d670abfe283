// SPDX-License-Identifier: GPL-3.0-or-later
// A window of the SDL backend: an SDL window presented from a memory surface by rectangles.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/Scaling.h"

namespace platform::sdl {

class SdlBackend;
class X11Canvas;

/// Gives bitmap a 32-bit top-down memory surface of width × height (clamped to the largest side a
/// bitmap may have); throws std::bad_alloc when there is no memory.
void Allocate(Bitmap& bitmap, int width, int height);

/// Whether a window of the program has put a frame on the screen yet.
bool FirstFramePresented();

// A window: an SDL window whose client area shows what is drawn into its surface, rectangle by
// rectangle, with an open menu drawn over it.
//
// Drawing goes straight into SDL's own window surface where its format and size are the ones the
// drawing code expects: a frame is then written once, and no memory of the window's own is
// touched before the first one is on the screen. While a menu lies over the window, or where
// SDL's surface does not fit, drawing goes to a memory copy instead, which Present blits.
//
// A window shown at a scale above 1, or filling the screen, always draws into the memory copy at
// its own size; Present enlarges the changed rectangle and sends it to the X server a band at a
// time, so that the enlarged picture is not held in the program as well. Without X11 it goes
// into SDL's surface, whose pixels are the screen's. Menus and backdrops lie over it in the
// screen's pixels.
class SdlPeer final : public WindowPeer {
public:
    /// A window of width × height client pixels, shown scale times as large.
    SdlPeer(SdlBackend& backend, CWnd& window, SDL_Window* handle, CWnd* owner, int width,
            int height, int scale);
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
    int Scale() const { return m_scale; }
    /// The whole-number scale that text over the window and boxes opened from it are drawn at:
    /// the window's, and on a full screen the whole part of the game's enlargement there.
    int TextScale() const;
    bool Fullscreen() const { return m_fullscreen; }
    /// The window's size on the screen now, in the screen's pixels.
    RECT ScreenRect() const;
    /// Where the client area lies in what the window shows now.
    ScreenView View() const;
    /// Whether drawing goes straight into SDL's window surface (false: into the memory copy).
    bool DrawsDirectly() const { return m_surface.bits != nullptr && !m_surface.owned; }
    /// Shows overlay with its top-left at at (in the screen's pixels) over the window; null takes
    /// it away again.
    void SetOverlay(Bitmap* overlay, POINT at);
    /// Shows picture (as large as the window on the screen) instead of the scaled client area:
    /// a box the backend draws sharp at the scale. Null shows the client area again.
    void SetBackdrop(Bitmap* picture);
    /// Switches between filling the screen and the window at its place and scale.
    void SetFullscreen(bool on);
    /// Puts all of the window back on the screen, with the border around a full screen.
    void Redraw();
    /// Puts rect, in the screen's pixels, back on the screen.
    void ShowScreenRect(const RECT& rect);

private:
    void PlaceCentred();
    /// Whether the window shows its client pixels as they are: scale 1, no full screen, no
    /// backdrop.
    bool ShowsClientPixels() const {
        return m_scale == 1 && !m_fullscreen && m_backdrop == nullptr;
    }
    /// Puts the screen rectangle rect (in the screen's pixels) back on the screen; onlyChanged:
    /// only the client pixels that the screen does not show yet. False when nothing could be
    /// drawn (no surface yet, or one of a size on its way out).
    bool PresentScreen(const RECT& rect, bool onlyChanged = false);
    /// The parts of PresentScreen for a window drawn through an X11 canvas and for one drawn
    /// into SDL's surface, with area clipped to the screen.
    void PresentOnCanvas(X11Canvas& canvas, const ScreenView& view, const RECT& area,
                         bool onlyChanged);
    bool PresentOnSurface(const ScreenView& view, const RECT& area, bool onlyChanged);
    /// Whether m_onScreen holds what target (SDL's surface's pixels or the canvas) shows.
    bool Tracks(const void* target) const {
        return target == m_scaledInto && m_onScreen.width == m_width &&
               m_onScreen.height == m_height;
    }
    /// The X11 canvas of a window shown at another size than its pixels; null where there is none.
    X11Canvas* Canvas();
    /// Draws the part of the overlay within area (in the screen's pixels) onto screen.
    void BlitOverlay(SDL_Surface* screen, const RECT& area);
    /// Where the overlay lies, in the screen's pixels; empty without one.
    RECT OverlayRect() const;
    /// Brings m_onScreen up to date with the client rectangle rect, just put on the screen.
    void KeepShown(const RECT& rect);
    /// Copies the part of the overlay over band, which shows the screen rectangle screen.
    void ComposeOverlay(const Bitmap& band, const RECT& screen) const;
    /// Carries what the window shows into the memory copy, before SDL's surface goes away.
    void KeepInMemory();
    /// Points m_surface at SDL's window surface or at the memory copy, whichever fits now, and
    /// carries what the window shows over from the one to the other.
    void Retarget();
    /// Points m_surface at a new memory copy, with what the window shows if keep.
    void MoveToCopy(bool keep);
    void DropCopy();

    SdlBackend& m_backend;
    CWnd& m_window;
    SDL_Window* m_handle;
    CWnd* m_owner;
    int m_width;
    int m_height;
    int m_scale;
    bool m_fullscreen = false;
    bool m_coversDisplay = false;  // fills the screen by itself, where no window manager does
    bool m_neverWindowed = false;  // filled the screen from the start, through a window manager
    std::optional<SDL_Point> m_windowedAt;  // where it stood before, if it was shown
    Bitmap m_surface;               // what drawing writes to; no memory until the first drawing
    SDL_Surface* m_wrap = nullptr;  // the memory copy as an SDL surface, while there is one
    Bitmap* m_overlay = nullptr;
    SDL_Surface* m_overlayWrap = nullptr;
    POINT m_overlayAt{};
    Bitmap* m_backdrop = nullptr;
    // SDL's surface or the canvas, once Redraw has filled all of it
    const void* m_scaledInto = nullptr;
    Bitmap m_onScreen;  // what that shows, at the client's size, while the window is scaled
    std::unique_ptr<X11Canvas> m_canvas;
    bool m_canvasTried = false;
    std::vector<std::uint32_t> m_band;  // the enlarged pixels on their way to the canvas
    bool m_shown = false;
};

}  // namespace platform::sdl
