// SPDX-License-Identifier: GPL-3.0-or-later
// What the probe program shows, shared with the test that checks it on the X server.
#pragma once

#include "platform/Types.h"

namespace probe {

constexpr const char* kWindowTitle = "Floemaze probe";
constexpr COLORREF kBackground = RGB(30, 60, 90);
/// The message box's text: umlauts, an empty line, a long line that has to be broken.
constexpr const char* kBoxText =
    "Glückwunsch! Die kleine Robbe ist wieder bei ihrer Familie.\n\n"
    "Schritte: 42 (davon 7 mit Hilfe)";
/// Where key P presents the pattern, in client pixels.
constexpr RECT kPattern{100, 80, 260, 200};

/// The pattern's colour at (x, y) of the pattern.
constexpr COLORREF PatternAt(int x, int y) {
    return RGB(static_cast<BYTE>(x * 7 + y), static_cast<BYTE>(y * 5 + 3),
               static_cast<BYTE>((x ^ y) * 3));
}

}  // namespace probe
