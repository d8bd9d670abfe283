// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/Keys.h"

#include "platform/Messages.h"

namespace platform::sdl {
namespace {

constexpr UINT VK_NUMPAD0 = 0x60;
constexpr UINT VK_MULTIPLY = 0x6A;
constexpr UINT VK_ADD = 0x6B;
constexpr UINT VK_SUBTRACT = 0x6D;
constexpr UINT VK_DECIMAL = 0x6E;
constexpr UINT VK_DIVIDE = 0x6F;
constexpr UINT VK_CLEAR = 0x0C;
constexpr UINT VK_PAUSE = 0x13;
constexpr UINT VK_CAPITAL = 0x14;
constexpr UINT VK_NUMLOCK = 0x90;
constexpr UINT VK_SCROLL = 0x91;
constexpr UINT VK_SNAPSHOT = 0x2C;
constexpr UINT VK_LWIN = 0x5B;
constexpr UINT VK_RWIN = 0x5C;
constexpr UINT VK_APPS = 0x5D;

// The keypad's keys without NumLock: what the key shows below its digit.
UINT KeypadNavigation(SDL_Keycode key) {
    switch (key) {
        case SDLK_KP_0:
            return VK_INSERT;
        case SDLK_KP_1:
            return VK_END;
        case SDLK_KP_2:
            return VK_DOWN;
        case SDLK_KP_3:
            return VK_NEXT;
        case SDLK_KP_4:
            return VK_LEFT;
        case SDLK_KP_5:
            return VK_CLEAR;
        case SDLK_KP_6:
            return VK_RIGHT;
        case SDLK_KP_7:
            return VK_HOME;
        case SDLK_KP_8:
            return VK_UP;
        case SDLK_KP_9:
            return VK_PRIOR;
        case SDLK_KP_PERIOD:
            return VK_DELETE;
        default:
            return 0;
    }
}

}  // namespace

UINT VirtualKey(SDL_Keycode key, Uint16 mods) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<UINT>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<UINT>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + static_cast<UINT>(key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        if ((mods & KMOD_NUM) == 0) return KeypadNavigation(key);
        return VK_NUMPAD0 + 1 + static_cast<UINT>(key - SDLK_KP_1);
    }
    switch (key) {
        case SDLK_KP_0:
            return (mods & KMOD_NUM) != 0 ? VK_NUMPAD0 : KeypadNavigation(key);
        case SDLK_KP_PERIOD:
            return (mods & KMOD_NUM) != 0 ? VK_DECIMAL : KeypadNavigation(key);
        case SDLK_END:
            return VK_END;
        case SDLK_HOME:
            return VK_HOME;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_PAGEUP:
            return VK_PRIOR;
        case SDLK_PAGEDOWN:
            return VK_NEXT;
        case SDLK_INSERT:
            return VK_INSERT;
        case SDLK_DELETE:
            return VK_DELETE;
        case SDLK_RETURN:
        case SDLK_RETURN2:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        case SDLK_LGUI:
            return VK_LWIN;
        case SDLK_RGUI:
            return VK_RWIN;
        case SDLK_APPLICATION:
            return VK_APPS;
        case SDLK_PAUSE:
            return VK_PAUSE;
        case SDLK_CAPSLOCK:
            return VK_CAPITAL;
        case SDLK_NUMLOCKCLEAR:
            return VK_NUMLOCK;
        case SDLK_SCROLLLOCK:
            return VK_SCROLL;
        case SDLK_PRINTSCREEN:
            return VK_SNAPSHOT;
        case SDLK_KP_MULTIPLY:
            return VK_MULTIPLY;
        case SDLK_KP_PLUS:
            return VK_ADD;
        case SDLK_KP_MINUS:
            return VK_SUBTRACT;
        case SDLK_KP_DIVIDE:
            return VK_DIVIDE;
        default:
            return 0;
    }
}

}  // namespace platform::sdl
