// SPDX-License-Identifier: GPL-3.0-or-later
// Plain stand-in pictures for the game's eleven image files, so the game can be started (and
// measured) before its real pictures exist. Every picture has the size and frame layout the game
// expects; they are drawn through CDIB with flat shapes and a tiny block font, nothing more.
#pragma once

#include <string>

/// Writes the eleven BMP files into folder; false (after the image library's own messages) when
/// one could not be written.
bool WritePlaceholderImages(const std::string& folder);
