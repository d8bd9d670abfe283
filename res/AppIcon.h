// The application icon, the baby seal's face on a patch of sea, drawn in code at 48, 32 and 16
// pixels. The picture generator writes the same pixels as the desktop icons.
#pragma once

#include "platform/Icon.h"

namespace res {
platform::Icon MakeAppIcon();
}  // namespace res
