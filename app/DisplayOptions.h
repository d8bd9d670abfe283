// SPDX-License-Identifier: GPL-3.0-or-later
// How big the game's window is: --scale N, --fullscreen and FLOEMAZE_SCALE, read before any
// window opens.
#pragma once

#include <string>

#include "platform/Scaling.h"

namespace app {

/// The display options, or the one line that says what is wrong with them.
struct DisplayChoice {
    platform::DisplayOptions options;
    std::string error;  ///< empty when the options are good
};

/// Reads --scale N (or --scale=N) and --fullscreen from the arguments after argv[0], other
/// arguments left alone, and the scale from environmentScale (FLOEMAZE_SCALE; may be null) unless
/// the option gives one. A scale is a whole number from 1 to 4.
DisplayChoice ReadDisplayOptions(int argc, const char* const* argv, const char* environmentScale);

}  // namespace app
