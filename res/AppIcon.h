// The application icon, the seal's face, drawn in code at 48, 32 and 16 pixels.
#pragma once

#include "platform/Icon.h"

namespace res {
platform::Icon MakeAppIcon();
}  // namespace res
