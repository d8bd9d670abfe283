// SPDX-License-Identifier: GPL-3.0-or-later
// Text as the window system's own boxes and menus show it: made valid UTF-8, broken into lines
// that fit a width, and menu labels with their "&" marks.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// text with every byte that does not belong to a valid UTF-8 sequence read as Windows-1252, the
/// code page the game's texts were first written in; valid UTF-8 is kept as it is.
std::string ToValidUtf8(std::string_view text);

/// Width in pixels of a piece of text in the font the caller draws with.
using MeasureText = std::function<int(std::string_view)>;

/// Breaks text into lines: at every "\n" (an empty line stays an empty line, a "\r" before it is
/// dropped), and between words where a line would be wider than maxWidth. A single word wider
/// than maxWidth is broken between characters.
std::vector<std::string> WrapText(std::string_view text, int maxWidth, const MeasureText& measure);

/// A menu entry's text as it is shown.
struct MenuLabel {
    std::string text;                            ///< without the "&" marks; "&&" stands for one "&"
    std::size_t mnemonicAt = std::string::npos;  ///< byte offset of the underlined character
    std::size_t mnemonicLength = 0;              ///< its length in bytes
    std::string shortcut;                        ///< what follows a tab, shown at the right
    /// The underlined character as a virtual key ('A'..'Z', '0'..'9'), 0 for none or another.
    unsigned MnemonicKey() const;
};

/// Splits raw ("Mi&nimieren", "&Schließen\tAlt+F4") into text, underlined character and shortcut.
MenuLabel ParseMenuLabel(std::string_view raw);

}  // namespace platform
