// SPDX-License-Identifier: GPL-3.0-or-later
// Application icons: square pictures at several sizes, with an alpha channel.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Types.h"

namespace platform {

/// One size of an icon: size × size pixels, rows top-down, each pixel 0xAARRGGBB.
struct IconImage {
    int size = 0;
    std::vector<std::uint32_t> pixels;
};

/// An icon: the same picture at several sizes, largest first.
struct Icon {
    std::vector<IconImage> images;
    /// The image closest to size (the next larger one if there is no exact match), or null.
    const IconImage* Best(int size) const;
};

}  // namespace platform

using HICON = const platform::Icon*;
using HCURSOR = HICON;

/// The icon resource with the given id, or null if there is none.
HICON LoadIcon(UINT resourceId);
