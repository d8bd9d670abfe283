// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/assetgen/Seal.h"

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "tools/assetgen/Palette.h"

namespace assetgen {

namespace {

using Path = std::function<void(cairo_t*)>;
constexpr double kPi = std::numbers::pi;

// Pixels per unit of the current transform.
double DeviceScale(cairo_t* cr) {
    double dx = 1;
    double dy = 0;
    cairo_user_to_device_distance(cr, &dx, &dy);
    return std::hypot(dx, dy);
}

// An outline of about 1.2 pixels on a field, growing more slowly than the picture.
double OutlineWidth(cairo_t* cr) {
    const double s = DeviceScale(cr);
    return 1.2 * std::pow(s, 0.6) / s;
}

void RotatedEllipse(cairo_t* cr, double cx, double cy, double rx, double ry, double angle) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    Ellipse(cr, 0, 0, rx, ry);
    cairo_restore(cr);
}

void FillFur(cairo_t* cr, const SealLook& look, double cx, double cy, double radius) {
    RadialSource(cr, cx, cy, radius * 0.1, radius,
                 {{0, Mix(look.fur, palette::kSnow, 0.3)}, {0.55, look.fur}, {1, look.shade}});
}

// The parts' outlines first, then their fills: the outline runs around the whole shape and not
// between the parts.
void Silhouette(cairo_t* cr, const SealLook& look, const std::vector<Path>& parts, double lightX,
                double lightY, double radius) {
    const double w = OutlineWidth(cr);
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (const Path& p : parts) {
        cairo_new_path(cr);
        p(cr);
        SetColour(cr, look.line);
        cairo_set_line_width(cr, 2 * w);
        cairo_stroke(cr);
    }
    for (const Path& p : parts) {
        cairo_new_path(cr);
        p(cr);
        FillFur(cr, look, lightX, lightY, radius);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// One small outlined part, such as a flipper.
void Limb(cairo_t* cr, const SealLook& look, const Path& path) {
    cairo_save(cr);
    cairo_new_path(cr);
    path(cr);
    SetColour(cr, look.line);
    cairo_set_line_width(cr, 2 * OutlineWidth(cr));
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    SetColour(cr, Mix(look.fur, look.shade, 0.7));
    cairo_fill(cr);
    cairo_restore(cr);
}

void Spots(cairo_t* cr, const SealLook& look, const std::vector<Path>& clip,
           std::initializer_list<double> xyr) {
    if (!look.spots) return;
    cairo_save(cr);
    cairo_new_path(cr);
    for (const Path& p : clip) p(cr);
    cairo_clip(cr);
    const double* v = std::data(xyr);
    for (std::size_t i = 0; i + 2 < xyr.size(); i += 3) {
        Ellipse(cr, v[i], v[i + 1], v[i + 2], v[i + 2] * 0.75);
    }
    SetColour(cr, palette::kSealDark, 0.45);
    cairo_fill(cr);
    cairo_restore(cr);
}

void Eye(cairo_t* cr, Eyes eyes, double x, double y, double size, double lineWidth) {
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    switch (eyes) {
        case Eyes::Open:
        case Eyes::Wide:
        case Eyes::LookUp: {
            const double k = eyes == Eyes::Wide ? 1.2 : 1.0;
            const double lift = eyes == Eyes::LookUp ? size * 0.35 : 0;
            Ellipse(cr, x, y, size * 0.8 * k, size * k);
            SetColour(cr, palette::kEye);
            cairo_fill(cr);
            Ellipse(cr, x - size * 0.3, y - size * 0.35 - lift, size * 0.36 * k, size * 0.36 * k);
            SetColour(cr, palette::kSnow);
            cairo_fill(cr);
            break;
        }
        case Eyes::Happy:
            cairo_move_to(cr, x - size * 0.9, y + size * 0.35);
            cairo_curve_to(cr, x - size * 0.5, y - size * 0.75, x + size * 0.5, y - size * 0.75,
                           x + size * 0.9, y + size * 0.35);
            SetColour(cr, palette::kEye);
            cairo_set_line_width(cr, lineWidth);
            cairo_stroke(cr);
            break;
        case Eyes::Asleep:
            cairo_move_to(cr, x - size * 0.9, y - size * 0.1);
            cairo_curve_to(cr, x - size * 0.5, y + size * 0.7, x + size * 0.5, y + size * 0.7,
                           x + size * 0.9, y - size * 0.1);
            SetColour(cr, palette::kEye);
            cairo_set_line_width(cr, lineWidth);
            cairo_stroke(cr);
            break;
    }
    cairo_restore(cr);
}

void Fish(cairo_t* cr, double cx, double cy, double length, double angle) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    const double l = length;
    cairo_new_path(cr);
    cairo_move_to(cr, -0.5 * l, 0);
    cairo_curve_to(cr, -0.3 * l, -0.32 * l, 0.15 * l, -0.3 * l, 0.3 * l, 0);
    cairo_line_to(cr, 0.5 * l, -0.2 * l);
    cairo_line_to(cr, 0.5 * l, 0.2 * l);
    cairo_line_to(cr, 0.3 * l, 0);
    cairo_curve_to(cr, 0.15 * l, 0.3 * l, -0.3 * l, 0.32 * l, -0.5 * l, 0);
    cairo_close_path(cr);
    SetColour(cr, Mix(palette::kFish, palette::kInk, 0.45));
    cairo_set_line_width(cr, 2 * OutlineWidth(cr) * 0.6);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    LinearSource(cr, 0, -0.3 * l, 0, 0.3 * l,
                 {{0, Mix(palette::kFish, palette::kSun, 0.5)}, {1, palette::kFish}});
    cairo_fill(cr);
    Ellipse(cr, -0.3 * l, -0.05 * l, 0.05 * l, 0.05 * l);
    SetColour(cr, palette::kEye);
    cairo_fill(cr);
    cairo_restore(cr);
}

// Eyes, nose, mouth, cheeks and whiskers on a head seen from the front; turn −1..1 turns the
// face towards the left or the right, as a head in three-quarter view.
void FrontFace(cairo_t* cr, const Face& face, double cx, double cy, double r, double turn = 0) {
    const double px = r * DeviceScale(cr);  // head radius in pixels
    const bool small = px < 12;
    // x of a feature that sits u head radii right of the middle of an unturned face.
    auto at = [cx, r, turn](double u) {
        return cx + r * (u * (1 - 0.3 * std::abs(turn)) + 0.45 * turn);
    };
    const double eyeSize = r * (small ? 0.24 : 0.2);
    const double eyeY = cy - r * 0.04;
    const double line = std::max(r * 0.09, 0.9 / DeviceScale(cr));

    // Cheeks, then the muzzle: a light pad under the nose.
    if (px >= 7) {
        Ellipse(cr, at(-0.6), cy + r * 0.3, r * 0.17, r * 0.1);
        Ellipse(cr, at(0.6), cy + r * 0.3, r * 0.17, r * 0.1);
        SetColour(cr, palette::kBlush, 0.65);
        cairo_fill(cr);
    }
    if (px >= 14) {
        Ellipse(cr, at(-0.15), cy + r * 0.42, r * 0.2, r * 0.15);
        Ellipse(cr, at(0.15), cy + r * 0.42, r * 0.2, r * 0.15);
        SetColour(cr, palette::kSnow, 0.8);
        cairo_fill(cr);
        cairo_save(cr);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_width(cr, std::max(r * 0.025, 0.7 / DeviceScale(cr)));
        SetColour(cr, palette::kPupLine, 0.55);
        for (int side : {-1, 1}) {
            for (int k = 0; k < 3; ++k) {
                cairo_move_to(cr, at(side * 0.3), cy + r * (0.38 + 0.07 * k));
                cairo_line_to(cr, at(side * 0.78), cy + r * (0.28 + 0.13 * k));
            }
        }
        cairo_stroke(cr);
        cairo_restore(cr);
    }
    // The far eye of a turned head is a little smaller.
    const double nearLeft = turn < 0 ? 1.0 - 0.15 * -turn : 1.0;
    const double nearRight = turn > 0 ? 1.0 - 0.15 * turn : 1.0;
    Eye(cr, face.eyes, at(-0.42), eyeY, eyeSize * nearLeft, line);
    Eye(cr, face.eyes, at(0.42), eyeY, eyeSize * nearRight, line);

    // Nose.
    const double noseX = at(0);
    const double noseY = cy + r * 0.26;
    Ellipse(cr, noseX, noseY, r * (small ? 0.17 : 0.14), r * (small ? 0.12 : 0.1));
    SetColour(cr, palette::kNose);
    cairo_fill(cr);

    if (px < 9 && face.mouth != Mouth::Fish) return;
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, line * 0.7);
    SetColour(cr, palette::kNose);
    switch (face.mouth) {
        case Mouth::Smile:
            cairo_move_to(cr, noseX - r * 0.2, noseY + r * 0.13);
            cairo_curve_to(cr, noseX - r * 0.16, noseY + r * 0.24, noseX - r * 0.03,
                           noseY + r * 0.24, noseX, noseY + r * 0.11);
            cairo_curve_to(cr, noseX + r * 0.03, noseY + r * 0.24, noseX + r * 0.16,
                           noseY + r * 0.24, noseX + r * 0.2, noseY + r * 0.13);
            cairo_stroke(cr);
            break;
        case Mouth::Open:
        case Mouth::Yawn:
            Ellipse(cr, noseX, noseY + r * 0.26, r * 0.11,
                    r * (face.mouth == Mouth::Yawn ? 0.16 : 0.09));
            SetColour(cr, Mix(palette::kHeart, palette::kNose, 0.4));
            cairo_fill(cr);
            break;
        case Mouth::Fish:
            Fish(cr, noseX, noseY + r * 0.3, r * 1.1, turn * 0.3);
            break;
    }
    cairo_restore(cr);
}

}  // namespace

SealLook PupLook() {
    return SealLook{palette::kPupFur, palette::kPupShade, palette::kPupLine, false};
}

SealLook AdultLook() {
    return SealLook{palette::kSealBelly, palette::kSealGrey, palette::kInkSoft, true};
}

void FrontSeal(cairo_t* cr, const SealLook& look, const Face& face, int phase) {
    const double up = phase == 0 ? 1.0 : -1.0;
    // Front flippers behind the body, one forward and one back.
    Limb(cr, look, [up](cairo_t* c) { RotatedEllipse(c, 4.8, 18.6 - up, 2.9, 1.5, 0.45 * up); });
    Limb(cr, look, [up](cairo_t* c) { RotatedEllipse(c, 20.2, 18.6 + up, 2.9, 1.5, 0.45 * up); });
    const std::vector<Path> parts = {
        [](cairo_t* c) { Ellipse(c, 12.5, 16.9, 8.0, 6.5); },
        [](cairo_t* c) { Ellipse(c, 12.5, 9.6, 7.3, 7.0); },
    };
    Silhouette(cr, look, parts, 10, 7, 16);
    // A lighter belly.
    Ellipse(cr, 12.5, 18.6, 4.2, 3.6);
    SetColour(cr, palette::kSnow, look.spots ? 0.35 : 0.55);
    cairo_fill(cr);
    Spots(cr, look, parts, {6.5, 16.5, 1.2, 18.5, 15.5, 1.0, 9.0, 4.5, 0.9, 16.5, 5.0, 0.8});
    FrontFace(cr, face, 12.5, 9.8, 7.0);
}

void SideSeal(cairo_t* cr, const SealLook& look, const Face& face, const SidePose& pose) {
    cairo_save(cr);
    if (pose.facingRight) {
        cairo_translate(cr, 25, 0);
        cairo_scale(cr, -1, 1);
    }
    const double h = pose.hump;
    const double s = pose.tailSpread;
    // Tail flippers behind the body.
    Limb(cr, look, [s](cairo_t* c) {
        cairo_move_to(c, 19.5, 15.6);
        cairo_curve_to(c, 21.0, 14.4 - s, 22.4, 13.2 - s * 1.2, 23.6, 13.2 - s * 1.4);
        cairo_curve_to(c, 24.0, 14.4, 23.0, 15.6, 22.0, 16.3);
        cairo_curve_to(c, 23.0, 16.8, 24.0, 18.0, 23.6, 19.4 + s * 1.2);
        cairo_curve_to(c, 22.4, 19.4 + s, 21.0, 18.2 + s, 19.5, 17.0);
        cairo_close_path(c);
    });
    // The body trails behind a big head seen in three-quarter view, so the face reads even on a
    // field of 25 pixels. A mirrored context shows it facing right; the face is drawn unmirrored.
    const double turn = pose.headTurn;
    const double headX = 8.2;
    const double headY = 10.6 - h * 0.3;
    const double headR = 6.5;
    const std::vector<Path> parts = {
        [h](cairo_t* c) {
            cairo_move_to(c, 6.0, 19.6);
            cairo_curve_to(c, 9.5, 21.8 - h * 0.6, 15.5, 21.6 - h * 0.6, 20.2, 18.4);
            cairo_curve_to(c, 21.6, 17.4, 21.5, 15.2, 20.2, 14.4);
            cairo_curve_to(c, 17.5, 12.2 - h, 13.0, 9.6 - h, 9.0, 10.2);
            cairo_close_path(c);
        },
        [=](cairo_t* c) {
            Ellipse(c, headX, headY, headR, headR * 0.95);
            // The snout bulges forward.
            Ellipse(c, headX - headR * 0.62, headY + headR * 0.3, headR * 0.42, headR * 0.36);
        },
    };
    Silhouette(cr, look, parts, 8, 7, 16);
    cairo_save(cr);
    cairo_new_path(cr);
    parts[0](cr);
    cairo_clip(cr);
    Ellipse(cr, 14.0, 21.2 - h * 0.6, 7.5, 2.6);
    SetColour(cr, palette::kSnow, look.spots ? 0.3 : 0.5);
    cairo_fill(cr);
    cairo_restore(cr);
    Spots(cr, look, {parts[0]}, {15.0, 13.8 - h * 0.6, 1.2, 18.5, 15.5, 1.0, 12.5, 17.0, 0.9});

    // Front flipper on the near side.
    const double f = pose.flipper;
    Limb(cr, look,
         [f, h](cairo_t* c) { RotatedEllipse(c, 11.4 + f, 19.8 - h * 0.4, 2.7, 1.2, 0.35); });

    // The face, drawn in unmirrored coordinates and turned towards the walking direction.
    double fx = headX;
    double fy = headY;
    cairo_user_to_device(cr, &fx, &fy);
    const double pixels = DeviceScale(cr);
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_translate(cr, fx, fy);
    cairo_scale(cr, pixels, pixels);
    cairo_rotate(cr, pose.facingRight ? -turn : turn);
    FrontFace(cr, face, 0, 0, headR, pose.facingRight ? 0.8 : -0.8);
    cairo_restore(cr);
    cairo_restore(cr);
}

void Flipper(cairo_t* cr, const SealLook& look, double x, double y, double length, double angle) {
    Limb(cr, look, [=](cairo_t* c) {
        cairo_save(c);
        cairo_translate(c, x, y);
        cairo_rotate(c, angle);
        cairo_move_to(c, 0, -length * 0.2);
        cairo_curve_to(c, length * 0.5, -length * 0.32, length * 1.0, -length * 0.25, length, 0);
        cairo_curve_to(c, length * 1.0, length * 0.25, length * 0.5, length * 0.32, 0,
                       length * 0.2);
        cairo_close_path(c);
        cairo_restore(c);
    });
}

namespace {

// Leaf-shaped flipper from its root at (x, y) towards angle, drawn as an outlined limb.
void Leaf(cairo_t* cr, const SealLook& look, double x, double y, double length, double width,
          double angle) {
    Limb(cr, look, [=](cairo_t* c) {
        cairo_save(c);
        cairo_translate(c, x, y);
        cairo_rotate(c, angle);
        cairo_move_to(c, 0, -width * 0.5);
        cairo_curve_to(c, length * 0.45, -width * 0.75, length, -width * 0.45, length, 0);
        cairo_curve_to(c, length, width * 0.45, length * 0.45, width * 0.75, 0, width * 0.5);
        cairo_close_path(c);
        cairo_restore(c);
    });
}

void PupFront(cairo_t* cr, const SealLook& look, int phase) {
    const double g = phase;  // gathered: the body squats, the head dips
    // The flippers paddle in turn: one reaches forward (down), the other pushes back.
    const double left = phase == 0 ? 1 : -1;
    Leaf(cr, look, 7.0, 17.5, 5.0, 3.0, kPi - 0.55 * left);
    Leaf(cr, look, 18.0, 17.5, 5.0, 3.0, 0.55 * left);
    const std::vector<Path> parts = {
        [g](cairo_t* c) { Ellipse(c, 12.5, 17.0 + 0.4 * g, 7.6 + 0.6 * g, 6.4 - 0.4 * g); },
        [g](cairo_t* c) { Ellipse(c, 12.5, 9.4 + 0.7 * g, 6.9, 6.6); },
    };
    Silhouette(cr, look, parts, 10, 7, 16);
    Ellipse(cr, 12.5, 19.0 + 0.3 * g, 4.0, 3.2);
    SetColour(cr, palette::kSnow, 0.6);
    cairo_fill(cr);
    FrontFace(cr, Face{}, 12.5, 9.7 + 0.7 * g, 6.9);
}

void PupBack(cairo_t* cr, const SealLook& look, int phase) {
    const double g = phase;
    // Tail flippers fanned out below, closing when the body gathers.
    const double spread = phase == 0 ? 0.55 : 0.25;
    Leaf(cr, look, 11.9, 20.5, 4.6, 2.8, kPi / 2 + spread);
    Leaf(cr, look, 13.1, 20.5, 4.6, 2.8, kPi / 2 - spread);
    const double left = phase == 0 ? 1 : -1;
    Leaf(cr, look, 7.0, 15.0, 4.8, 3.0, kPi - 0.5 * left);
    Leaf(cr, look, 18.0, 15.0, 4.8, 3.0, 0.5 * left);
    const std::vector<Path> parts = {
        [g](cairo_t* c) {
            // The back narrows towards the tail.
            const double top = 9.5 + g;
            cairo_move_to(c, 12.5, top);
            cairo_curve_to(c, 17.6 + g * 0.4, top, 20.2 + g * 0.4, 13.5, 19.6, 16.5);
            cairo_curve_to(c, 19.0, 19.5, 15.5, 21.6, 12.5, 21.6);
            cairo_curve_to(c, 9.5, 21.6, 6.0, 19.5, 5.4, 16.5);
            cairo_curve_to(c, 4.8 - g * 0.4, 13.5, 7.4 - g * 0.4, top, 12.5, top);
            cairo_close_path(c);
        },
        [g](cairo_t* c) { Ellipse(c, 12.5, 8.4 + 0.8 * g, 6.3, 6.0); },
    };
    Silhouette(cr, look, parts, 12.5, 5.5, 15);
    // The nape under the head and the line of the spine give the back its shape.
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 0.9);
    SetColour(cr, look.line, 0.55);
    cairo_move_to(cr, 8.8, 13.2 + 0.8 * g);
    cairo_curve_to(cr, 10.8, 14.6 + 0.8 * g, 14.2, 14.6 + 0.8 * g, 16.2, 13.2 + 0.8 * g);
    cairo_stroke(cr);
    SetColour(cr, look.shade, 0.9);
    cairo_move_to(cr, 12.5, 16.0 + 0.5 * g);
    cairo_line_to(cr, 12.5, 19.8);
    cairo_stroke(cr);
    cairo_restore(cr);
    // A soft shine on the crown.
    Ellipse(cr, 11.0, 5.6 + 0.8 * g, 2.2, 1.4);
    SetColour(cr, palette::kSnow, 0.9);
    cairo_fill(cr);
}

// Facing left; the caller mirrors it for the right.
void PupSide(cairo_t* cr, const SealLook& look, int phase) {
    const double g = phase;  // gathered: the back humps up and the tail draws in
    const double tailX = 20.2 - 1.2 * g;
    Leaf(cr, look, tailX - 0.6, 17.0, 3.4, 2.2, -0.75 - 0.25 * g);
    Leaf(cr, look, tailX - 0.6, 18.0, 3.2, 2.2, 0.25 + 0.15 * g);
    const std::vector<Path> parts = {
        [g, tailX](cairo_t* c) {
            cairo_move_to(c, 5.0, 20.8);
            cairo_curve_to(c, 10.0, 21.6, 16.0, 21.2, tailX, 18.8);
            cairo_curve_to(c, tailX + 1.0, 18.0, tailX + 0.6, 16.4, tailX - 0.4, 15.8);
            cairo_curve_to(c, 17.5 - g, 12.0 - 2.2 * g, 13.0 - g, 9.6 - 1.4 * g, 9.0, 10.5);
            cairo_close_path(c);
        },
        [g](cairo_t* c) {
            Ellipse(c, 8.2, 12.0 + 0.3 * g, 6.3, 6.0);
            Ellipse(c, 3.6, 14.3 + 0.3 * g, 2.8, 2.3);  // the snout
        },
    };
    Silhouette(cr, look, parts, 8, 8, 16);
    // A lighter belly along the ground.
    cairo_save(cr);
    cairo_new_path(cr);
    parts[0](cr);
    cairo_clip(cr);
    Ellipse(cr, 13.5, 21.5, 7.5, 2.4);
    SetColour(cr, palette::kSnow, 0.6);
    cairo_fill(cr);
    cairo_restore(cr);
    // The near front flipper swings under the chest.
    Leaf(cr, look, 10.0 + 1.2 * g, 19.0, 4.2, 2.6, phase == 0 ? 2.2 : 1.3);
    // Face: two eyes of a head turned towards the child, nose at the tip of the snout.
    const double y = 0.3 * g;
    Ellipse(cr, 4.9, 11.0 + y, 1.25, 1.55);
    Ellipse(cr, 9.0, 11.0 + y, 1.35, 1.65);
    SetColour(cr, palette::kEye);
    cairo_fill(cr);
    Ellipse(cr, 4.5, 10.4 + y, 0.5, 0.5);
    Ellipse(cr, 8.6, 10.4 + y, 0.55, 0.55);
    SetColour(cr, palette::kSnow);
    cairo_fill(cr);
    Ellipse(cr, 1.6, 13.6 + y, 1.1, 0.85);
    SetColour(cr, palette::kNose);
    cairo_fill(cr);
    Ellipse(cr, 7.2, 14.2 + y, 1.3, 0.7);
    SetColour(cr, palette::kBlush, 0.7);
    cairo_fill(cr);
}

}  // namespace

void WalkingPup(cairo_t* cr, int direction, int phase) {
    const SealLook pup = PupLook();
    switch (direction) {
        case 0:
            PupBack(cr, pup, phase);
            break;
        case 1:
            PupFront(cr, pup, phase);
            break;
        case 2:
            PupSide(cr, pup, phase);
            break;
        default:
            cairo_save(cr);
            cairo_translate(cr, 25, 0);
            cairo_scale(cr, -1, 1);
            PupSide(cr, pup, phase);
            cairo_restore(cr);
            break;
    }
}

}  // namespace assetgen
