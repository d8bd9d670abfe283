// SPDX-License-Identifier: GPL-3.0-or-later
// The application icon, the baby seal's face on a patch of sea, drawn in code at 48, 32 and 16
// pixels. The picture generator writes the same pixels as the desktop icons.
#pragma once

#include "platform/Icon.h"

namespace res {
/// Draws the icon (about a millisecond).
platform::Icon MakeAppIcon();
/// The icon the program registers: MakeAppIcon's pixels, drawn when the game was built and
/// carried as data.
platform::Icon AppIcon();
}  // namespace res
