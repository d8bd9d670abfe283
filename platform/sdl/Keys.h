// SPDX-License-Identifier: GPL-3.0-or-later
// SDL's keys as the framework's virtual key codes.
#pragma once

#include <SDL_keyboard.h>

#include "platform/Types.h"

namespace platform::sdl {

/// The virtual key code of key, 0 for a key that has none. The keypad gives the navigation keys
/// while NumLock (in mods) is off and digits while it is on, as on the framework's platform.
UINT VirtualKey(SDL_Keycode key, Uint16 mods);

}  // namespace platform::sdl
