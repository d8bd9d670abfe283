// SPDX-License-Identifier: GPL-3.0-or-later
// The application icon where the build could not draw it beforehand (a cross build cannot run
// the program that writes it as data): drawn when the program starts.
#include "res/AppIcon.h"

namespace res {

platform::Icon AppIcon() {
    return MakeAppIcon();
}

}  // namespace res
