// SPDX-License-Identifier: GPL-3.0-or-later
// A gamepad as the keys the game window already knows: the d-pad and the left stick are the arrow
// keys, held directions repeating as a held key does; the face buttons and Start are the keys of
// the window's buttons. A window system turns its gamepads' events into these.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Types.h"

namespace platform {

/// A gamepad's buttons by their place, in the order SDL numbers them.
enum class GamepadButton {
    South,  ///< A, cross
    East,   ///< B, circle
    West,   ///< X, square
    North,  ///< Y, triangle
    Back,
    Guide,
    Start,
    LeftStick,
    RightStick,
    LeftShoulder,
    RightShoulder,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
    Other,
};

/// The key a gamepad button stands for, 0 for none. South presses the start button (Return),
/// west and north switch help (End), Start opens or closes the options panel (Tab); the d-pad
/// gives the arrow keys. No button stands for a key that could end the game.
UINT GamepadButtonKey(GamepadButton button);

/// The arrow key the left stick points to, by the axis it is pushed farther along, or 0 within
/// the dead zone.
UINT StickKey(int x, int y);

/// One gamepad's held direction: the d-pad button pressed last and still held, else the stick's.
/// A new direction presses its key at once; while it is held the key repeats, after a delay, at
/// the rate of a held keyboard key. Times are in milliseconds of any steady clock.
class HeldDirection {
public:
    static constexpr std::uint64_t kDelayMs = 500;
    static constexpr std::uint64_t kIntervalMs = 40;
    static constexpr int kStickDeadZone = 12000;  ///< of the axes' 32767

    struct Press {
        UINT key;
        bool repeat;
    };

    /// A d-pad arrow key's button went down or up; the key to press now, if any.
    std::optional<Press> Pad(UINT key, bool down, std::uint64_t now);
    /// The stick now points to key (0: rests); the key to press now, if any.
    std::optional<Press> Stick(UINT key, std::uint64_t now);
    /// The repeat due at now, if any.
    std::optional<Press> Repeat(std::uint64_t now);
    /// Milliseconds from now to the next repeat; none while nothing is held.
    std::optional<std::uint64_t> UntilRepeat(std::uint64_t now) const;

private:
    std::optional<Press> Update(std::uint64_t now);

    std::vector<UINT> m_pad;  // d-pad keys held, the last pressed last
    UINT m_stick = 0;
    UINT m_held = 0;  // the direction in effect
    std::uint64_t m_next = 0;
};

}  // namespace platform
