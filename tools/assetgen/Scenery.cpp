// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/assetgen/Scenery.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/assetgen/Labels.h"
#include "tools/assetgen/Palette.h"

namespace assetgen {

using namespace palette;

namespace {
constexpr double kPi = std::numbers::pi;
}

void Sky(cairo_t* cr, double x, double y, double width, double height) {
    cairo_rectangle(cr, x, y, width, height);
    LinearSource(cr, 0, y, 0, y + height,
                 {{0, kSkyTop}, {0.7, Mix(kSkyTop, kSkyLow, 0.75)}, {1, kSkyLow}});
    cairo_fill(cr);
}

void Sea(cairo_t* cr, double x, double width, double horizon, double bottom, Random& random) {
    cairo_rectangle(cr, x, horizon, width, bottom - horizon);
    LinearSource(cr, 0, horizon, 0, bottom,
                 {{0, Mix(kSeaLight, kFoam, 0.35)}, {0.25, kSeaLight}, {1, kSea}});
    cairo_fill(cr);
    // Calm wave crests: short, flat and few near the horizon, longer towards the viewer.
    cairo_save(cr);
    cairo_rectangle(cr, x, horizon, width, bottom - horizon);
    cairo_clip(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const double depth = bottom - horizon;
    for (double y = horizon + 5; y < bottom; y += 4 + 8 * (y - horizon) / depth) {
        const double near = (y - horizon) / depth;  // 0 at the horizon, 1 at the bottom
        const double length = 6 + 14 * near;
        const double gap = 18 + 30 * near;
        for (double wx = x - random.Uniform(0, gap); wx < x + width; wx += length + gap) {
            const double lx = wx + random.Uniform(-4, 4);
            cairo_move_to(cr, lx, y);
            cairo_curve_to(cr, lx + length * 0.3, y - 1.5 - near, lx + length * 0.7, y - 1.5 - near,
                           lx + length, y);
        }
        cairo_set_line_width(cr, 1.0 + 0.8 * near);
        SetColour(cr, kFoam, 0.55 - 0.15 * near);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void Floe(cairo_t* cr, double cx, double cy, double rx, double ry, double depth) {
    // A ring of lighter water round the floe.
    Ellipse(cr, cx, cy + depth + 1, rx * 1.12, ry * 1.25 + 1);
    SetColour(cr, kFoam, 0.45);
    cairo_fill(cr);
    // The floe's side, then its snowy top.
    Ellipse(cr, cx, cy + depth, rx, ry);
    cairo_rectangle(cr, cx - rx, cy, 2 * rx, depth);
    LinearSource(cr, 0, cy, 0, cy + depth + ry, {{0, kIceShade}, {1, kIceDeep}});
    cairo_fill(cr);
    Ellipse(cr, cx, cy, rx, ry);
    RadialSource(cr, cx - rx * 0.3, cy - ry * 0.4, 0, rx * 1.2,
                 {{0, kSnow}, {0.6, kIce}, {1, kIceShade}});
    cairo_fill(cr);
}

void Iceberg(cairo_t* cr, double cx, double baseY, double width, double height, Random& random) {
    const double left = cx - width / 2;
    const int peaks = 2 + random.Below(2);
    cairo_new_path(cr);
    cairo_move_to(cr, left, baseY);
    double px = left;
    double py = baseY;
    for (int i = 0; i < peaks; ++i) {
        const double x = left + width * (i + 0.5) / peaks + random.Uniform(-0.08, 0.08) * width;
        const double y = baseY - height * (i == peaks / 2 ? 1.0 : random.Uniform(0.55, 0.85));
        cairo_curve_to(cr, px + (x - px) * 0.3, py - (py - y) * 0.7, x - width * 0.12, y, x, y);
        px = x;
        py = y;
    }
    cairo_curve_to(cr, px + width * 0.12, py, left + width - (left + width - px) * 0.3,
                   py + (baseY - py) * 0.3, left + width, baseY);
    cairo_close_path(cr);
    cairo_path_t* path = cairo_copy_path(cr);
    LinearSource(cr, left, baseY - height, left + width, baseY,
                 {{0, kSnow}, {0.45, kIce}, {0.55, kIceShade}, {1, Mix(kIceShade, kIceDeep, 0.5)}});
    cairo_fill(cr);
    // A reflection in the water.
    cairo_save(cr);
    cairo_translate(cr, 0, 2 * baseY);
    cairo_scale(cr, 1, -0.25);
    cairo_new_path(cr);
    cairo_append_path(cr, path);
    SetColour(cr, kSnow, 0.25);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_path_destroy(path);
}

void Cloud(cairo_t* cr, double cx, double cy, double width, double alpha) {
    const double r = width / 4;
    cairo_new_path(cr);
    Ellipse(cr, cx - r * 1.1, cy + r * 0.25, r * 0.9, r * 0.75);
    Ellipse(cr, cx, cy - r * 0.15, r * 1.1, r);
    Ellipse(cr, cx + r * 1.1, cy + r * 0.2, r, r * 0.8);
    cairo_rectangle(cr, cx - r * 1.1, cy + r * 0.2, r * 2.2, r * 0.8);
    SetColour(cr, kSnow, alpha);
    cairo_fill(cr);
}

void Sparkle(cairo_t* cr, double cx, double cy, double r, double alpha, Rgb colour) {
    const double w = r * 0.22;
    cairo_new_path(cr);
    cairo_move_to(cr, cx, cy - r);
    cairo_curve_to(cr, cx + w * 0.3, cy - w, cx + w, cy - w * 0.3, cx + r, cy);
    cairo_curve_to(cr, cx + w, cy + w * 0.3, cx + w * 0.3, cy + w, cx, cy + r);
    cairo_curve_to(cr, cx - w * 0.3, cy + w, cx - w, cy + w * 0.3, cx - r, cy);
    cairo_curve_to(cr, cx - w, cy - w * 0.3, cx - w * 0.3, cy - w, cx, cy - r);
    cairo_close_path(cr);
    SetColour(cr, colour, alpha);
    cairo_fill(cr);
}

void Snowflake(cairo_t* cr, double cx, double cy, double r, double alpha) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, std::max(0.8, r * 0.16));
    for (int i = 0; i < 6; ++i) {
        cairo_save(cr);
        cairo_rotate(cr, i * kPi / 3);
        cairo_move_to(cr, 0, 0);
        cairo_line_to(cr, 0, -r);
        cairo_move_to(cr, 0, -r * 0.55);
        cairo_line_to(cr, r * 0.25, -r * 0.8);
        cairo_move_to(cr, 0, -r * 0.55);
        cairo_line_to(cr, -r * 0.25, -r * 0.8);
        cairo_restore(cr);
    }
    SetColour(cr, kSnow, alpha);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void DrawHeart(cairo_t* cr, double cx, double cy, double width) {
    Heart(cr, cx, cy, width);
    SetColour(cr, Mix(kHeart, kInk, 0.35));
    cairo_set_line_width(cr, std::max(1.0, width * 0.08));
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    RadialSource(cr, cx - width * 0.15, cy - width * 0.15, 0, width * 0.6,
                 {{0, Mix(kHeart, kSnow, 0.35)}, {1, kHeart}});
    cairo_fill(cr);
}

void Sun(cairo_t* cr, double cx, double cy, double r) {
    cairo_arc(cr, cx, cy, r * 2.2, 0, 2 * kPi);
    RadialSource(cr, cx, cy, r * 0.8, r * 2.2, {{0, kSun, 0.45}, {1, kSun, 0.0}});
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    RadialSource(cr, cx - r * 0.3, cy - r * 0.3, 0, r, {{0, Mix(kSun, kSnow, 0.6)}, {1, kSun}});
    cairo_fill(cr);
}

namespace {
void StyledText(cairo_t* cr, const std::string& text, double x, double y, const TextStyle& style) {
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    if (style.shadow > 0) {
        cairo_new_path(cr);
        TextPath(cr, text, style.size, x + style.shadow * 0.5, y + style.shadow);
        SetColour(cr, kInk, 0.3);
        if (style.outlineWidth > 0) {
            cairo_set_line_width(cr, 2 * style.outlineWidth);
            cairo_stroke_preserve(cr);
        }
        cairo_fill(cr);
    }
    cairo_new_path(cr);
    TextPath(cr, text, style.size, x, y);
    if (style.outlineWidth > 0) {
        SetColour(cr, style.outline);
        cairo_set_line_width(cr, 2 * style.outlineWidth);
        cairo_stroke_preserve(cr);
    }
    SetColour(cr, style.fill);
    cairo_fill(cr);
    cairo_restore(cr);
}
}  // namespace

void CentredText(cairo_t* cr, const std::string& text, double cx, double y,
                 const TextStyle& style) {
    StyledText(cr, text, cx - TextWidth(text, style.size) / 2, y, style);
}

void LeftText(cairo_t* cr, const std::string& text, double x, double y, const TextStyle& style) {
    StyledText(cr, text, x, y, style);
}

double LabelSize(const std::string& text, double preferred, double width) {
    return std::max(kReadableSize, FitTextSize(text, preferred, width));
}

void DrawLabel(cairo_t* cr, const Label& label) {
    if (label.centred) {
        CentredText(cr, label.text, label.x, label.baseline, label.style);
    } else {
        LeftText(cr, label.text, label.x, label.baseline, label.style);
    }
}

std::pair<double, double> InkColumns(const Label& label) {
    // Unbounded, so that no part of the letters is cut off before it is measured.
    cairo_surface_t* surface = cairo_recording_surface_create(CAIRO_CONTENT_ALPHA, nullptr);
    cairo_t* cr = cairo_create(surface);
    cairo_new_path(cr);
    const double x =
        label.centred ? label.x - TextWidth(label.text, label.style.size) / 2 : label.x;
    TextPath(cr, label.text, label.style.size, x, label.baseline);
    double x0 = 0;
    double y0 = 0;
    double x1 = 0;
    double y1 = 0;
    cairo_fill_extents(cr, &x0, &y0, &x1, &y1);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return {x0, x1};
}

}  // namespace assetgen
