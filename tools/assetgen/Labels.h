// SPDX-License-Identifier: GPL-3.0-or-later
// The words drawn into the pictures, in the language in use: each line with its place, its size
// and the columns its letters must stay between. The pictures draw them; the tests measure them
// in every language.
#pragma once

#include <cairo.h>

#include <string>
#include <utility>
#include <vector>

#include "tools/assetgen/Scenery.h"

namespace assetgen {

/// Letters smaller than this (pixels) are too small for a child to read in the window.
inline constexpr double kReadableSize = 11;

/// One line of words in a picture.
struct Label {
    std::string text;
    TextStyle style;  ///< style.size is the size the line is drawn at
    double x;         ///< where the line starts, or its centre when centred
    double baseline;
    bool centred;
    double left;   ///< the columns the letters must stay between, as the German ones do
    double right;  ///<
};

/// The largest size ≤ preferred at which text fits into width, but never below kReadableSize.
double LabelSize(const std::string& text, double preferred, double width);
void DrawLabel(cairo_t* cr, const Label& label);
/// The columns [first, last) that the letters of label cover when drawn.
std::pair<double, double> InkColumns(const Label& label);

/// The start picture's invitation and hint, in picture coordinates.
std::vector<Label> StartPictureLabels();
/// The three buttons' labels in their raised state, in the coordinates of one button's frame.
std::vector<Label> ButtonLabels();
/// The options panel's heading and the labels of its controls, in panel coordinates.
std::vector<Label> PanelLabels();

}  // namespace assetgen
