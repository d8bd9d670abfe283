// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Gamepad.h"

#include <algorithm>
#include <cstdlib>

#include "platform/Messages.h"

namespace platform {

UINT GamepadButtonKey(GamepadButton button) {
    switch (button) {
        case GamepadButton::South:
            return VK_RETURN;
        case GamepadButton::West:
        case GamepadButton::North:
            return VK_END;
        case GamepadButton::Start:
            return VK_TAB;
        case GamepadButton::DpadUp:
            return VK_UP;
        case GamepadButton::DpadDown:
            return VK_DOWN;
        case GamepadButton::DpadLeft:
            return VK_LEFT;
        case GamepadButton::DpadRight:
            return VK_RIGHT;
        default:
            return 0;
    }
}

UINT StickKey(int x, int y) {
    const int ax = std::abs(x);
    const int ay = std::abs(y);
    if (std::max(ax, ay) < HeldDirection::kStickDeadZone) return 0;
    if (ax >= ay) return x > 0 ? VK_RIGHT : VK_LEFT;
    return y > 0 ? VK_DOWN : VK_UP;
}

std::optional<HeldDirection::Press> HeldDirection::Pad(UINT key, bool down, std::uint64_t now) {
    m_pad.erase(std::remove(m_pad.begin(), m_pad.end(), key), m_pad.end());
    if (down) m_pad.push_back(key);
    return Update(now);
}

std::optional<HeldDirection::Press> HeldDirection::Stick(UINT key, std::uint64_t now) {
    m_stick = key;
    return Update(now);
}

std::optional<HeldDirection::Press> HeldDirection::Update(std::uint64_t now) {
    const UINT held = !m_pad.empty() ? m_pad.back() : m_stick;
    if (held == m_held) return std::nullopt;
    m_held = held;
    if (held == 0) return std::nullopt;
    m_next = now + kDelayMs;
    return Press{held, false};
}

std::optional<HeldDirection::Press> HeldDirection::Repeat(std::uint64_t now) {
    if (m_held == 0 || now < m_next) return std::nullopt;
    // One repeat however late the call: a held key does not make up for lost time either.
    m_next = now + kIntervalMs;
    return Press{m_held, true};
}

std::optional<std::uint64_t> HeldDirection::UntilRepeat(std::uint64_t now) const {
    if (m_held == 0) return std::nullopt;
    return m_next > now ? m_next - now : 0;
}

}  // namespace platform
