// SPDX-License-Identifier: GPL-3.0-or-later
// The application icon, the baby seal's face on a patch of sea. It is a short list of painted
// ellipses: the game rasterises it at 48, 32 and 16 pixels, the picture generator at the desktop
// sizes and as a scalable SVG from the same list.
#pragma once

#include <span>

#include "platform/Icon.h"

namespace res {

/// An sRGB colour, each channel 0..1.
struct IconColour {
    double r, g, b;
};

/// One ellipse of the icon, painted over the ones before it. Coordinates are fractions of the
/// icon's side (0..1 on both axes, y downwards).
struct IconLayer {
    enum class Paint {
        Solid,     ///< `from`, at `opacity`
        Vertical,  ///< `from` at the top of the icon to `to` at its bottom
        Radial,  ///< `from` to `to`, by t = d² / radius² − `offset` (clamped to 0..1), where d is
                 ///< the distance from (`gx`, `gy`)
    };
    double cx, cy, rx, ry;
    Paint paint = Paint::Solid;
    IconColour from{}, to{};
    double opacity = 1.0;
    double gx = 0, gy = 0, radius = 1, offset = 0;
};

/// a + (b − a) × t, channel by channel: how the layers' shadings mix their two colours.
IconColour Mix(IconColour a, IconColour b, double t);
/// The layers from the back to the front.
std::span<const IconLayer> AppIconLayers();
/// The icon at size × size pixels, rasterised with 4 × 4 samples a pixel.
platform::IconImage RenderAppIcon(int size);
/// Draws the window's icon at 48, 32 and 16 pixels (about a millisecond).
platform::Icon MakeAppIcon();
/// The icon the program registers: MakeAppIcon's pixels, drawn when the game was built and
/// carried as data.
platform::Icon AppIcon();

}  // namespace res
