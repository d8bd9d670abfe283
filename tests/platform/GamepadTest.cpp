// SPDX-License-Identifier: GPL-3.0-or-later
// A gamepad as the game window's keys: which button is which key, the stick's dead zone, and the
// repeats of a held direction.
#include "platform/Gamepad.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/Messages.h"

namespace {

using platform::GamepadButton;
using platform::GamepadButtonKey;
using platform::HeldDirection;
using platform::StickKey;

TEST(GamepadTest, ButtonsAndTheStickAreTheWindowsKeysAndHeldDirectionsRepeat) {
    EXPECT_EQ(GamepadButtonKey(GamepadButton::South), VK_RETURN);
    EXPECT_EQ(GamepadButtonKey(GamepadButton::West), VK_END);
    EXPECT_EQ(GamepadButtonKey(GamepadButton::Start), VK_TAB);
    EXPECT_EQ(GamepadButtonKey(GamepadButton::DpadRight), VK_RIGHT);
    // Nothing else, so that no button can end the game.
    for (auto button : {GamepadButton::East, GamepadButton::Back, GamepadButton::Guide,
                        GamepadButton::LeftShoulder, GamepadButton::Other}) {
        EXPECT_EQ(GamepadButtonKey(button), 0u) << static_cast<int>(button);
    }
    EXPECT_EQ(StickKey(11999, -11999), 0u);
    EXPECT_EQ(StickKey(-32768, 20000), VK_LEFT);
    EXPECT_EQ(StickKey(12000, 30000), VK_DOWN);
    EXPECT_EQ(StickKey(0, -12000), VK_UP);

    // A direction presses at once, repeats after the delay at the interval, one repeat however
    // late it is asked for; the d-pad pressed last wins over the stick; let go, nothing repeats.
    HeldDirection held;
    const auto key = [](std::optional<HeldDirection::Press> p) {
        return p ? (p->repeat ? -static_cast<int>(p->key) : static_cast<int>(p->key)) : 0;
    };
    EXPECT_EQ(key(held.Stick(VK_UP, 1000)), static_cast<int>(VK_UP));
    EXPECT_EQ(key(held.Stick(VK_UP, 1010)), 0);
    EXPECT_EQ(held.UntilRepeat(1010), std::optional<std::uint64_t>(490));
    EXPECT_EQ(key(held.Repeat(1499)), 0);
    EXPECT_EQ(key(held.Repeat(1700)), -static_cast<int>(VK_UP));
    EXPECT_EQ(key(held.Repeat(1740)), -static_cast<int>(VK_UP));
    EXPECT_EQ(key(held.Pad(VK_LEFT, true, 1750)), static_cast<int>(VK_LEFT));
    EXPECT_EQ(key(held.Pad(VK_DOWN, true, 1760)), static_cast<int>(VK_DOWN));
    EXPECT_EQ(key(held.Pad(VK_DOWN, false, 1770)), static_cast<int>(VK_LEFT));
    EXPECT_EQ(key(held.Pad(VK_LEFT, false, 1780)), static_cast<int>(VK_UP));
    EXPECT_EQ(key(held.Stick(0, 1790)), 0);
    EXPECT_EQ(key(held.Repeat(5000)), 0);
    EXPECT_FALSE(held.UntilRepeat(5000).has_value());
}

}  // namespace
