// SPDX-License-Identifier: GPL-3.0-or-later
// The program's window system: SDL2.
#include "platform/Backend.h"
#include "platform/sdl/SdlBackend.h"

namespace platform {
std::unique_ptr<Backend> CreateWindowSystemBackend(std::string& reason) {
    return sdl::CreateSdlBackend(reason);
}
}  // namespace platform
