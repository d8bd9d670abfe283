// The board: ice passages on the open sea ("Weg.bmp") and the baby seal walking on them
// ("Babyrobbe.bmp").
#include <cmath>
#include <numbers>

#include "tools/assetgen/Palette.h"
#include "tools/assetgen/Pictures.h"
#include "tools/assetgen/Seal.h"

namespace assetgen {

namespace {

using namespace palette;
constexpr double F = layout::kField;

// Open sides of a passage piece.
enum Side : unsigned { kUp = 1, kDown = 2, kLeft = 4, kRight = 8 };

// Frame row of "Weg.bmp" column 0 for each combination of open neighbours.
constexpr unsigned kPassageSides[16] = {
    0,  // row 0: not used
    kUp,
    kDown,
    kLeft,
    kRight,
    kUp | kDown,
    kUp | kLeft,
    kUp | kRight,
    kDown | kLeft,
    kDown | kRight,
    kLeft | kRight,
    kUp | kDown | kLeft,
    kUp | kDown | kRight,
    kUp | kLeft | kRight,
    kDown | kLeft | kRight,
    kUp | kDown | kLeft | kRight,
};

// Water between the floes: the same flat sea on every tile, so neighbouring tiles join without a
// seam.
void Water(cairo_t* cr) {
    cairo_rectangle(cr, 0, 0, F, F);
    SetColour(cr, kSea);
    cairo_fill(cr);
}

// The ice of a passage: a rounded slab with a margin of water on its closed sides and arms that
// reach the field's edge on its open sides, so passages of neighbouring fields join up.
void IceShape(cairo_t* cr, unsigned sides, double margin, double radius) {
    const double m = margin;
    RoundedRect(cr, m, m, F - 2 * m, F - 2 * m, radius);
    const double half = F / 2;
    if (sides & kUp) cairo_rectangle(cr, m, 0, F - 2 * m, half);
    if (sides & kDown) cairo_rectangle(cr, m, half, F - 2 * m, half);
    if (sides & kLeft) cairo_rectangle(cr, 0, m, half, F - 2 * m);
    if (sides & kRight) cairo_rectangle(cr, half, m, half, F - 2 * m);
}

constexpr double kMargin = 2;

void Passage(cairo_t* cr, unsigned sides, Random& random) {
    Water(cr);
    // A light seam of shallow water round the floe.
    IceShape(cr, sides, kMargin - 1, 6);
    SetColour(cr, kSeaLight);
    cairo_fill(cr);
    // The floe's side, then its top, raised by a pixel.
    IceShape(cr, sides, kMargin, 5);
    SetColour(cr, kIceDeep);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, 0, -1);
    IceShape(cr, sides, kMargin + 0.5, 4.5);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    SetColour(cr, kIceShade);
    cairo_fill(cr);
    cairo_translate(cr, 0.6, 0.6);
    cairo_new_path(cr);
    IceShape(cr, sides, kMargin + 1, 4);
    SetColour(cr, kIce);
    cairo_fill(cr);
    // A few glints of snow on the ice.
    for (int i = 0; i < 3; ++i) {
        const double x = random.Uniform(4, F - 4);
        const double y = random.Uniform(4, F - 4);
        Ellipse(cr, x, y, 0.7, 0.7);
        SetColour(cr, kSnow);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// Sixteen pictures of the same patch of sea. A wall tile changes its picture at random about
// every second and a half, so the variants differ only gently: the ripples drift by a pixel and
// some variants carry a small glint.
void Wall(cairo_t* cr, int variant) {
    Water(cr);
    const double phase = variant * 2 * std::numbers::pi / 16;
    struct Ripple {
        double x, y, length;
    };
    constexpr Ripple kRipples[] = {{6.5, 6.5, 6}, {16.5, 11.5, 7}, {8.5, 18.5, 6}};
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 1.1);
    for (int k = 0; k < 3; ++k) {
        const Ripple& r = kRipples[k];
        const double dx = 1.0 * std::sin(phase + k * 2.1);
        const double alpha = 0.45 + 0.2 * std::sin(phase * 2 + k * 1.3);
        const double x = r.x + dx;
        const double l = r.length;
        cairo_move_to(cr, x - l / 2, r.y);
        cairo_curve_to(cr, x - l / 4, r.y - 1.6, x, r.y - 1.6, x, r.y);
        cairo_curve_to(cr, x, r.y + 0.0, x + l / 4, r.y - 1.6, x + l / 2, r.y);
        SetColour(cr, kSeaLight, alpha);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    if (variant % 3 == 0) {
        const double x = 4 + (variant * 7) % 17;
        const double y = 4 + (variant * 11) % 17;
        Star(cr, x, y, 1.6, 0.35);
        SetColour(cr, kFoam, 0.85);
        cairo_fill(cr);
    }
}

// The family field: a round floe with a warm glow, the baby seal's parents on it and a heart.
void Family(cairo_t* cr) {
    Water(cr);
    RadialSource(cr, 12.5, 12.5, 4, 15, {{0, kSun, 0.9}, {0.7, kSun, 0.35}, {1, kSun, 0.0}});
    cairo_paint(cr);
    RoundedRect(cr, 0.5, 1.5, 24, 23, 8);
    SetColour(cr, kIceDeep);
    cairo_fill(cr);
    RoundedRect(cr, 0.5, 0.5, 24, 23, 8);
    RadialSource(cr, 12.5, 10, 2, 14, {{0, Mix(kSnow, kSun, 0.25)}, {1, kIce}});
    cairo_fill(cr);
    const SealLook parent = AdultLook();
    for (int i = 0; i < 2; ++i) {
        cairo_save(cr);
        cairo_translate(cr, i == 0 ? -0.8 : 10.3, i == 0 ? 7.6 : 6.6);
        cairo_scale(cr, 0.6, 0.66);
        FrontSeal(cr, parent, Face{Eyes::Open, Mouth::Smile}, i);
        cairo_restore(cr);
    }
    Heart(cr, 12.5, 4.2, 6.5);
    SetColour(cr, Mix(kHeart, kInk, 0.3));
    cairo_set_line_width(cr, 1.0);
    cairo_stroke_preserve(cr);
    SetColour(cr, kHeart);
    cairo_fill(cr);
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
    Canvas canvas(3 * layout::kField, 16 * layout::kField);
    cairo_t* cr = canvas.Cr();
    Random random(0x57E6);
    for (int row = 0; row < 16; ++row) {
        InField(cr, 0, row, [&] {
            if (row == 0) {
                Wall(cr, 0);
            } else {
                Passage(cr, kPassageSides[row], random);
            }
        });
        InField(cr, 1, row, [&] { Wall(cr, row); });
        InField(cr, 2, row, [&] {
            if (row == 0) {
                Family(cr);
            } else {
                Wall(cr, row);
            }
        });
    }
    return ToOpaqueImage(canvas);
}

CDIB BabySeal() {
    constexpr int kColumns = 4;  // up, down, left, right
    constexpr int kRows = 2;     // walking phases
    Canvas content(kColumns * layout::kField, kRows * layout::kField);
    Canvas backdrop(kColumns * layout::kField, kRows * layout::kField);
    cairo_set_source_rgb(backdrop.Cr(), kIce.r, kIce.g, kIce.b);
    cairo_paint(backdrop.Cr());
    cairo_t* cr = content.Cr();
    const SealLook pup = PupLook();
    for (int phase = 0; phase < kRows; ++phase) {
        InField(cr, 0, phase, [&] { BackSeal(cr, pup, phase); });
        InField(cr, 1, phase, [&] { FrontSeal(cr, pup, Face{}, phase); });
        for (int right = 0; right < 2; ++right) {
            SidePose pose;
            pose.hump = phase == 0 ? 0.0 : 2.2;
            pose.flipper = phase == 0 ? -1.3 : 1.3;
            pose.tailSpread = phase == 0 ? 1.1 : 0.6;
            pose.headTurn = phase == 0 ? 0.0 : -0.08;
            pose.facingRight = right == 1;
            InField(cr, 2 + right, phase, [&] { SideSeal(cr, pup, Face{}, pose); });
        }
    }
    return ToKeyedImage(content, backdrop);
}

}  // namespace assetgen
