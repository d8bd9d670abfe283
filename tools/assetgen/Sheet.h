// SPDX-License-Identifier: GPL-3.0-or-later
// The contact sheet of the generated pictures, for looking at them all at once.
#pragma once

#include <string>

namespace assetgen {

/// Reads the pictures back from folder and writes them, twice enlarged, and two windows put
/// together from them into the PNG file at path. False (with a message) on failure.
bool WriteContactSheet(const std::string& folder, const std::string& path);

}  // namespace assetgen
