// SPDX-License-Identifier: GPL-3.0-or-later
// Where the control column's sprites lie when the column is at the left edge: read by the game
// window, which places them there, and by the picture generator, which draws each picture against
// the part of the background it covers.
#pragma once

namespace res::layout {

inline constexpr int kColumnWidth = 200;
/// The buttons "Neues Spiel", "Optionen" and "Beenden", from the top.
inline constexpr int kButtonY[3] = {125, 175, 225};
inline constexpr int kPanelY = 236;
inline constexpr int kSealPictureY = 366;
/// Panel coordinates of the two radio buttons and the two check boxes.
inline constexpr int kRadioX[2] = {23, 103};
inline constexpr int kRadioY = 23;
inline constexpr int kCheckX[2] = {110, 140};
inline constexpr int kCheckY[2] = {50, 75};

}  // namespace res::layout
