// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Clock.h"

#include <chrono>
#include <utility>

namespace platform {
namespace {
ClockSource& CurrentClockSource() {
    static ClockSource source;
    return source;
}
}  // namespace

ClockSource SetClockSource(ClockSource source) {
    return std::exchange(CurrentClockSource(), std::move(source));
}
}  // namespace platform

DWORD timeGetTime() {
    if (const auto& source = platform::CurrentClockSource()) return source();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}
