// SPDX-License-Identifier: GPL-3.0-or-later
// The board: ice passages on the open sea ("Weg.bmp") and the baby seal walking on them
// ("Babyrobbe.bmp").
#include <cmath>
#include <numbers>

#include "tools/assetgen/Palette.h"
#include "tools/assetgen/Pictures.h"
#include "tools/assetgen/Scenery.h"
#include "tools/assetgen/Seal.h"

namespace assetgen {

namespace {

using namespace palette;
constexpr double F = layout::kField;

using res::tiles::kDown;
using res::tiles::kLeft;
using res::tiles::kRight;
using res::tiles::kUp;

// Water between the floes: the same flat sea at every field's edge, so neighbouring tiles join
// without a seam whatever picture each shows.
void Water(cairo_t* cr) {
    cairo_rectangle(cr, 0, 0, F, F);
    SetColour(cr, kSea);
    cairo_fill(cr);
}

// The top of a passage's floe: a rounded slab with water on its closed sides and arms on its open
// sides. The arms reach past the field's edge, so an arm looks the same across its width wherever
// the edge cuts it, and passages of neighbouring fields join up. The floe is seen a little from
// the south: its side shows below it, so the slab leaves more water at its bottom.
constexpr double kMargin = 2;
constexpr double kSide = 2;  ///< height of the floe's side below its top

void IceShape(cairo_t* cr, unsigned sides, double inset, double radius) {
    const double left = kMargin + inset;
    const double top = kMargin + inset;
    const double right = F - kMargin - inset;
    const double bottom = F - kMargin - kSide - inset;
    RoundedRect(cr, left, top, right - left, bottom - top, radius);
    if (sides & kUp) cairo_rectangle(cr, left, -F, right - left, F + F / 2);
    if (sides & kDown) cairo_rectangle(cr, left, F / 2, right - left, 2 * F);
    if (sides & kLeft) cairo_rectangle(cr, -F, top, F + F / 2, bottom - top);
    if (sides & kRight) cairo_rectangle(cr, F / 2, top, 2 * F, bottom - top);
}

void Passage(cairo_t* cr, unsigned sides, Random& random) {
    Water(cr);
    // Shallow water round the floe and its side.
    for (const double down : {0.0, kSide}) {
        cairo_save(cr);
        cairo_translate(cr, 0, down);
        IceShape(cr, sides, -1, 6);
        cairo_restore(cr);
    }
    SetColour(cr, kSeaLight);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, 0, kSide);
    IceShape(cr, sides, 0, 5);
    cairo_restore(cr);
    SetColour(cr, kIceDeep);
    cairo_fill(cr);
    IceShape(cr, sides, 0, 5);
    SetColour(cr, kIceShade);
    cairo_fill(cr);
    IceShape(cr, sides, 1, 4);
    SetColour(cr, kIce);
    cairo_fill(cr);
    IceShape(cr, sides, 3, 2.5);
    SetColour(cr, kSnow, 0.55);
    cairo_fill(cr);
    // Snow glints in the middle of the field only, away from the edges where tiles meet.
    for (int i = 0; i < 2; ++i) {
        const double x = random.Uniform(7, F - 7);
        const double y = random.Uniform(7, F - 9);
        const double r = random.Uniform(1.4, 2.2);
        Sparkle(cr, x, y, r, 0.9);
    }
}

// Sixteen pictures of the same patch of sea. A wall tile changes its picture at random every few
// seconds, so the variants differ only gently: the ripples drift by a pixel or two and now and
// then a glint sparkles. The edges stay plain water.
void Wall(cairo_t* cr, int variant) {
    Water(cr);
    const double phase = variant * 2 * std::numbers::pi / 16;
    struct Ripple {
        double x, y, length;
    };
    constexpr Ripple kRipples[] = {{7.5, 7.0, 7}, {16.5, 12.5, 8}, {9.0, 19.0, 7}};
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 1.2);
    for (int k = 0; k < 3; ++k) {
        const Ripple& r = kRipples[k];
        const double x = r.x + 1.2 * std::sin(phase + k * 2.1);
        const double l = r.length;
        cairo_move_to(cr, x - l / 2, r.y);
        cairo_curve_to(cr, x - l / 4, r.y - 1.6, x, r.y - 1.6, x, r.y);
        cairo_curve_to(cr, x + l / 4, r.y - 1.6, x + l / 2, r.y - 1.6, x + l / 2, r.y);
        SetColour(cr, kSeaLight, 0.5 + 0.2 * std::sin(phase * 2 + k * 1.3));
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    if (variant % 4 == 1) {
        const double x = 5 + (variant * 7) % 15;
        const double y = 5 + (variant * 11) % 15;
        Sparkle(cr, x, y, 2.2, 0.8);
    }
}

// The family field: a round floe of its own with a warm glow, the baby seal's parents waiting
// on it under a heart. It is a goal, so it stands out from the passages.
void Parent(cairo_t* cr, double cx, double lean) {
    cairo_save(cr);
    cairo_translate(cr, cx, 0);
    cairo_rotate(cr, lean);
    cairo_new_path(cr);
    Ellipse(cr, 0, 16.6, 4.4, 4.0);
    Ellipse(cr, 0, 11.4, 3.9, 3.7);
    SetColour(cr, kInkSoft);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke_preserve(cr);
    RadialSource(cr, -1.2, 10, 0.5, 9, {{0, kSealBelly}, {1, kSealGrey}});
    cairo_fill(cr);
    Ellipse(cr, 0, 17.6, 2.6, 2.2);
    SetColour(cr, kSealBelly, 0.9);
    cairo_fill(cr);
    for (const double side : {-1.0, 1.0}) {
        Ellipse(cr, side * 1.5, 11.1, 0.8, 0.95);
        SetColour(cr, kEye);
        cairo_fill(cr);
        Ellipse(cr, side * 1.5 - 0.25, 10.8, 0.3, 0.3);
        SetColour(cr, kSnow);
        cairo_fill(cr);
    }
    Ellipse(cr, 0, 12.7, 0.8, 0.55);
    SetColour(cr, kNose);
    cairo_fill(cr);
    cairo_restore(cr);
}

void Family(cairo_t* cr) {
    Water(cr);
    RadialSource(cr, F / 2, F / 2, 6, 14, {{0, kSun, 0.9}, {1, kSun, 0.0}});
    cairo_paint(cr);
    RoundedRect(cr, 1.5, 3.5, F - 3, F - 4.5, 8);
    SetColour(cr, kIceDeep);
    cairo_fill(cr);
    RoundedRect(cr, 1.5, 1.5, F - 3, F - 4.5, 8);
    SetColour(cr, kGold);
    cairo_fill(cr);
    RoundedRect(cr, 2.5, 2.5, F - 5, F - 6.5, 7);
    RadialSource(cr, F / 2, 10, 2, 14, {{0, Mix(kSnow, kSun, 0.2)}, {1, kIce}});
    cairo_fill(cr);
    Parent(cr, 7.9, -0.08);
    Parent(cr, 17.1, 0.08);
    DrawHeart(cr, F / 2, 5.6, 7.5);
}

void InField(cairo_t* cr, int column, int row, const auto& draw) {
    cairo_save(cr);
    cairo_translate(cr, column * F, row * F);
    cairo_rectangle(cr, 0, 0, F, F);
    cairo_clip(cr);
    draw();
    cairo_restore(cr);
}

}  // namespace

CDIB Tiles() {
    namespace tiles = res::tiles;
    constexpr res::PictureInfo kSheet = res::PictureOf(res::Picture::Path);
    Canvas canvas(kSheet.Width(), kSheet.Height());
    cairo_t* cr = canvas.Cr();
    Random random(0x57E6);
    for (int row = 0; row < kSheet.rows; ++row) {
        InField(cr, tiles::kPassageColumn, row, [&] {
            if (row == 0) {
                Wall(cr, 0);
            } else {
                Passage(cr, tiles::kPassageSides[static_cast<std::size_t>(row)], random);
            }
        });
        InField(cr, tiles::kWallColumn, row, [&] { Wall(cr, row % tiles::kWallPictures); });
        InField(cr, tiles::kFamilyColumn, row, [&] {
            if (row == tiles::kFamilyRow) {
                Family(cr);
            } else {
                Wall(cr, row);
            }
        });
    }
    return ToOpaqueImage(canvas);
}

CDIB BabySeal() {
    constexpr int kColumns = res::PictureOf(res::Picture::BabySeal).columns;  // by direction
    constexpr int kRows = res::PictureOf(res::Picture::BabySeal).rows;        // walking phases
    Canvas content(kColumns * layout::kField, kRows * layout::kField);
    Canvas backdrop(kColumns * layout::kField, kRows * layout::kField);
    cairo_set_source_rgb(backdrop.Cr(), kIce.r, kIce.g, kIce.b);
    cairo_paint(backdrop.Cr());
    cairo_t* cr = content.Cr();
    for (int phase = 0; phase < kRows; ++phase) {
        for (int direction = 0; direction < kColumns; ++direction) {
            InField(cr, direction, phase, [&] { WalkingPup(cr, direction, phase); });
        }
    }
    return ToKeyedImage(content, backdrop);
}

}  // namespace assetgen
