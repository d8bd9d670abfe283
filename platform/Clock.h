// SPDX-License-Identifier: GPL-3.0-or-later
// timeGetTime, the millisecond clock, with a seam for tests.
#pragma once

#include <functional>

#include "platform/Types.h"

/// Milliseconds since an arbitrary start; wraps at 2^32.
DWORD timeGetTime();

namespace platform {
using ClockSource = std::function<DWORD()>;
/// Replaces the clock behind timeGetTime and returns the previous source; an empty source restores
/// the monotonic system clock.
ClockSource SetClockSource(ClockSource source);
}  // namespace platform
