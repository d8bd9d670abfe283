// SPDX-License-Identifier: GPL-3.0-or-later
// The seals: the white baby seal and its grey parents, in the poses the pictures need.
//
// Every function draws in the coordinates of one 25 × 25 board field (origin at its top-left);
// callers scale and move the context for larger pictures. Outlines keep a readable width in
// pixels at every scale.
#pragma once

#include <cairo.h>

#include "tools/assetgen/Canvas.h"

namespace assetgen {

enum class Eyes { Open, Happy, Asleep, Wide, LookUp };
enum class Mouth { Smile, Open, Fish, Yawn };

struct Face {
    Eyes eyes = Eyes::Open;
    Mouth mouth = Mouth::Smile;
};

struct SealLook {
    Rgb fur;
    Rgb shade;
    Rgb line;
    bool spots;
};
/// The white pup.
SealLook PupLook();
/// A grown-up seal, grey with darker spots.
SealLook AdultLook();

/// Seen from the front, walking towards the viewer; phase 0 or 1 swaps the front flippers.
void FrontSeal(cairo_t* cr, const SealLook& look, const Face& face, int phase);

/// A seal in profile, facing left (or right when mirrored).
struct SidePose {
    double hump = 0;          ///< how far the back arches up, 0..3 field pixels
    double flipper = 0;       ///< front flipper offset along the body, −2..2
    double headTurn = 0;      ///< head rotation in radians, negative lifts the snout
    double tailSpread = 1.0;  ///< opening of the tail flippers, 0.6..1.3
    bool facingRight = false;
};
void SideSeal(cairo_t* cr, const SealLook& look, const Face& face, const SidePose& pose);

/// The white pup walking on a 25 × 25 field: direction 0 up (seen from behind), 1 down (from the
/// front), 2 left, 3 right (from the side); phase 0 stretched, 1 gathered, as a seal humps along.
void WalkingPup(cairo_t* cr, int direction, int phase);

/// A flipper of the given length (in field units) from its root at (x, y), pointing at angle
/// (radians, 0 = right, growing clockwise).
void Flipper(cairo_t* cr, const SealLook& look, double x, double y, double length, double angle);

}  // namespace assetgen
