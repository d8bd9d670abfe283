// SPDX-License-Identifier: GPL-3.0-or-later
// The game's pictures, one function each, and where the window shows them.
#pragma once

#include "res/Layout.h"
#include "res/Pictures.h"
#include "sprites/DIB.h"
#include "tools/assetgen/Canvas.h"

namespace assetgen {

// Where the control column's sprites lie when the column is at the left edge (the right edge
// shows the same band of the background, so the same edges fit there).
namespace layout {
// The positions the game window places the sprites at.
using namespace res::layout;
inline constexpr int kWindowWidth = res::PictureOf(res::Picture::Background).frameWidth;
inline constexpr int kWindowHeight = res::PictureOf(res::Picture::Background).frameHeight;
inline constexpr int kLogoHeight = res::PictureOf(res::Picture::Logo).frameHeight;
inline constexpr int kButtonHeight = res::PictureOf(res::Picture::Buttons).frameHeight;
/// The visible part of a button frame: the buttons are 50 pixels apart, so frames overlap.
inline constexpr int kButtonTop = 7;
inline constexpr int kButtonBottom = 53;
/// The separator covers the column's four pixel columns next to the board (or, with the column
/// at the right, its first pixel column when it lies at x 499), so pictures keep a margin.
inline constexpr int kSideMargin = 6;
inline constexpr int kPanelHeight = res::PictureOf(res::Picture::OptionsMenu).frameHeight;
inline constexpr int kSealPictureHeight = res::PictureOf(res::Picture::SealPicture).frameHeight;
/// The slid exit button reaches into the seal picture's top rows; the seal picture leaves them
/// free.
inline constexpr int kSealPictureTop = 26;
/// The open panel is covered from this panel row by the slid exit button.
inline constexpr int kPanelVisible = 99;
inline constexpr int kControlSize = res::PictureOf(res::Picture::RadioButton).frameWidth;
inline constexpr int kField = res::PictureOf(res::Picture::Path).frameWidth;
}  // namespace layout

/// The window background, 700 × 500: the backdrop of every control-column sprite. The control
/// column's bands (x 0..200 and 500..700) are the same, so pictures smoothed against one fit
/// the other.
void PaintBackground(Canvas& canvas);
/// The part (x, y, width, height) of background, repeated as columns × rows frames.
void PaintBackdrop(Canvas& target, const Canvas& background, int x, int y, int width, int height,
                   int columns = 1, int rows = 1);

CDIB Separator();
CDIB Logo(const Canvas& background);
CDIB StartPicture();
CDIB Buttons(const Canvas& background);
CDIB SealPicture(const Canvas& background);
CDIB OptionsPanel(const Canvas& background);
/// The controls lie on the panel, which lies on the background.
CDIB RadioButton(const Canvas& background);
CDIB CheckButton(const Canvas& background);
CDIB BabySeal();
CDIB Tiles();

}  // namespace assetgen
