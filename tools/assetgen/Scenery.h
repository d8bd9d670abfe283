// SPDX-License-Identifier: GPL-3.0-or-later
// The arctic scenery the pictures share: sky, sea, ice floes, icebergs, clouds, sparkles and
// outlined text.
#pragma once

#include <cairo.h>

#include <string>

#include "tools/assetgen/Canvas.h"

namespace assetgen {

/// Sky from top to horizon over the rectangle (x, y, width, height).
void Sky(cairo_t* cr, double x, double y, double width, double height);
/// Sea from the horizon at y down to bottom over the width, with calm wave lines.
void Sea(cairo_t* cr, double x, double width, double horizon, double bottom, Random& random);

/// A floating ice floe: an oval slab of thickness depth seen a little from above, its top centred
/// at (cx, cy). Its water ring is drawn with it.
void Floe(cairo_t* cr, double cx, double cy, double rx, double ry, double depth);
/// A snowy iceberg standing on the waterline at baseY, width wide and height high.
void Iceberg(cairo_t* cr, double cx, double baseY, double width, double height, Random& random);
/// A soft round cloud of the given width.
void Cloud(cairo_t* cr, double cx, double cy, double width, double alpha = 0.9);
/// A four-pointed glint of radius r.
void Sparkle(cairo_t* cr, double cx, double cy, double r, double alpha = 1.0,
             Rgb colour = Hex(0xFFFFFF));
/// A six-armed snowflake of radius r.
void Snowflake(cairo_t* cr, double cx, double cy, double r, double alpha = 1.0);
/// A red heart with a dark edge.
void DrawHeart(cairo_t* cr, double cx, double cy, double width);
/// A round sun with a soft glow.
void Sun(cairo_t* cr, double cx, double cy, double r);

/// How a text is drawn: fill, outline of width outline (0 for none) and an optional shadow.
struct TextStyle {
    double size = 20;
    Rgb fill;
    Rgb outline;
    double outlineWidth = 0;
    double shadow = 0;  ///< offset of a soft dark shadow, 0 for none
};
/// Text centred on cx with its baseline at y.
void CentredText(cairo_t* cr, const std::string& text, double cx, double y, const TextStyle& style);
/// Text starting at x with its baseline at y.
void LeftText(cairo_t* cr, const std::string& text, double x, double y, const TextStyle& style);

}  // namespace assetgen
