// SPDX-License-Identifier: GPL-3.0-or-later
// How a window's pixels reach a bigger screen: the whole-number scale a window opens at, the area
// a fullscreen window fills, the scaler that enlarges changed rectangles, and the way back from a
// point on the screen to the pixel it shows. Pure arithmetic on memory surfaces, no window system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/Gdi.h"
#include "platform/Types.h"

namespace platform {

constexpr int kMinScale = 1;
constexpr int kMaxScale = 4;
/// Share of the display's usable area that the automatically scaled window may take, in percent.
constexpr int kAutomaticScaleShare = 85;

/// How the game's windows reach the screen: plain values read once at start (the command line,
/// FLOEMAZE_SCALE) and given to the window system before it starts.
struct DisplayOptions {
    int scale = 0;            ///< kMinScale to kMaxScale; 0 picks the largest that fits the display
    bool fullscreen = false;  ///< the main window starts filling the screen
};

/// The largest scale from kMinScale to kMaxScale at which a width × height window fits into
/// kAutomaticScaleShare percent of a usable × usableHeight area; kMinScale when none does.
int AutomaticScale(int width, int height, int usableWidth, int usableHeight);

/// The largest area of a screen with the proportions width : height, centred on it.
RECT FittedArea(int width, int height, int screenWidth, int screenHeight);

/// Where a window's client area (its logical pixels) appears in the surface shown on the screen.
/// Pixel (x, y) of that surface within target shows the client pixel
/// ((x − target.left) · width / targetWidth, (y − target.top) · height / targetHeight), rounded
/// down: at a whole-number scale every client pixel becomes a square of scale × scale.
struct ScreenView {
    int width = 0;  ///< the client area, in logical pixels
    int height = 0;
    RECT target{};        ///< where it lies in the shown surface, in screen pixels
    int screenWidth = 0;  ///< the shown surface; what lies outside target is border
    int screenHeight = 0;

    /// A window shown at a whole-number scale, filling its surface.
    static ScreenView Scaled(int width, int height, int scale);
    /// A window filling the largest area of its proportions on a screen, the rest border.
    static ScreenView Fullscreen(int width, int height, int screenWidth, int screenHeight);
    /// Whether the view shows the client pixels as they are (scale 1, no border).
    bool Identity() const;
};

/// The screen pixels that show the client rectangle rect (clipped to the client area): exactly
/// those pixels whose client pixel lies in rect. Empty when rect is.
RECT ToScreen(const ScreenView& view, const RECT& rect);

/// The client pixel a point of the shown surface shows; none on the border around target.
std::optional<POINT> ToClient(const ScreenView& view, POINT point);
/// The same for any point: on the border (or beyond the surface) the result lies outside the
/// client area, as a pointer held outside a window is.
POINT ClientPoint(const ScreenView& view, POINT point);
/// The client rectangle whose pixels cover all of the screen rectangle rect within target.
RECT ToClientCover(const ScreenView& view, const RECT& rect);
/// The part of the shown surface inside part, seen as a surface of its own: the screen pixel at
/// part's top-left corner is its pixel (0, 0).
ScreenView PartOf(const ScreenView& view, const RECT& part);

/// Enlarges the client rectangle changed of source (a 32-bit surface of view's client size) into
/// target (a 32-bit surface of view's screen size) by pixel replication, writing exactly the
/// pixels ToScreen(view, changed) and nothing else.
void ScaleRect(const Bitmap& source, Bitmap& target, const ScreenView& view, const RECT& changed);

/// Brings target up to date with the client rectangle rect of source, as ScaleRect does, but
/// enlarges only the part of each client row that differs from shown (a client-sized copy of what
/// target shows, brought up to date too), so that a large rectangle with a small change costs
/// little. Returns the screen rectangle that holds every pixel written (empty when none was).
RECT ScaleChanged(const Bitmap& source, Bitmap& shown, Bitmap& target, const ScreenView& view,
                  const RECT& rect);

/// Brings shown (a client-sized copy of what the screen shows) up to date with the client
/// rectangle rect of source, and calls changed with each run of neighbouring rows that differ, as
/// the client rectangle that holds their differing pixels.
void CopyChangedBlocks(const Bitmap& source, Bitmap& shown, const RECT& rect,
                       const std::function<void(const RECT&)>& changed);

/// Enlarges the client rectangle changed of source as ScaleRect does, but into scratch, a band of
/// whole client rows at a time, and hands each band (a 32-bit top-down surface over scratch) to
/// put with the screen rectangle it shows. A band has at most bandPixels pixels, or the screen
/// rows of one client row where those alone are more; so a screen's worth of pixels never needs
/// to be held at once.
void ScaleInBands(const Bitmap& source, const ScreenView& view, const RECT& changed,
                  std::size_t bandPixels, std::vector<std::uint32_t>& scratch,
                  const std::function<void(const Bitmap& band, const RECT& screen)>& put);

}  // namespace platform
