// SPDX-License-Identifier: GPL-3.0-or-later
// The one palette of all pictures: arctic sea, ice and snow, a dark ink for outlines and text,
// and a few warm accents that children find at once (heart, sun, fish).
#pragma once

#include "tools/assetgen/Canvas.h"

namespace assetgen::palette {

// Sky and air.
inline constexpr Rgb kSkyTop = Hex(0x7CC3EA);
inline constexpr Rgb kSkyLow = Hex(0xD9F1FB);
// Sea, from the deep to the foam.
inline constexpr Rgb kSeaDeep = Hex(0x17507E);
inline constexpr Rgb kSea = Hex(0x2A7CB3);
inline constexpr Rgb kSeaLight = Hex(0x57A9D8);
inline constexpr Rgb kFoam = Hex(0xCDEFFB);
// Ice and snow.
inline constexpr Rgb kSnow = Hex(0xFFFFFF);
inline constexpr Rgb kIce = Hex(0xE4F4FA);
inline constexpr Rgb kIceShade = Hex(0xB8DDEE);
inline constexpr Rgb kIceDeep = Hex(0x86BFDC);
// Ink: outlines and text.
inline constexpr Rgb kInk = Hex(0x1C3A56);
inline constexpr Rgb kInkSoft = Hex(0x48657F);
// The baby seal: a white-coated pup.
inline constexpr Rgb kPupFur = Hex(0xFCFAF4);
inline constexpr Rgb kPupShade = Hex(0xD6DCE4);
inline constexpr Rgb kPupLine = Hex(0x5A6E82);
inline constexpr Rgb kEye = Hex(0x1A2533);
inline constexpr Rgb kNose = Hex(0x2E3440);
inline constexpr Rgb kBlush = Hex(0xF6A9B4);
// Grown-up seals: grey with darker spots.
inline constexpr Rgb kSealGrey = Hex(0x8A9AAB);
inline constexpr Rgb kSealBelly = Hex(0xBFCAD5);
inline constexpr Rgb kSealDark = Hex(0x55677A);
// Accents.
inline constexpr Rgb kHeart = Hex(0xEC4F6C);
inline constexpr Rgb kSun = Hex(0xFFD45C);
inline constexpr Rgb kFish = Hex(0xFF8A3D);
inline constexpr Rgb kGo = Hex(0x38B46E);
inline constexpr Rgb kStop = Hex(0xE5604B);
inline constexpr Rgb kGold = Hex(0xFFC83A);

}  // namespace assetgen::palette
