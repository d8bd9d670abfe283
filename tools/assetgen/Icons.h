// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop icons: the application icon in the hicolor theme's layout.
#pragma once

#include <filesystem>
#include <string>

namespace assetgen {

/// The pixel sizes of the desktop icons.
inline constexpr int kDesktopIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

/// Writes hicolor/<N>x<N>/apps/<name>.png for every desktop size and
/// hicolor/scalable/apps/<name>.svg under folder; false (with a message on standard error) when
/// one of them cannot be written.
bool WriteDesktopIcons(const std::filesystem::path& folder, const std::string& name);

}  // namespace assetgen
