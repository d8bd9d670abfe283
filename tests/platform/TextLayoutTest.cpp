// SPDX-License-Identifier: GPL-3.0-or-later
// Text for the window system's boxes and menus: repair of bytes that are not UTF-8, line breaking
// and menu labels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/TextLayout.h"

namespace {

using platform::ParseMenuLabel;
using platform::ToValidUtf8;
using platform::WrapText;
using Lines = std::vector<std::string>;

// Ten pixels a byte: easy widths to reason about.
int TenPerByte(std::string_view text) {
    return static_cast<int>(text.size()) * 10;
}

TEST(TextLayoutTest, ValidUtf8StaysAndStrayBytesAreReadAsWindows1252) {
    EXPECT_EQ(ToValidUtf8("Schließen"), "Schließen");
    EXPECT_EQ(ToValidUtf8("\xF0\x9F\xA6\xAD seal"), "\xF0\x9F\xA6\xAD seal");
    EXPECT_EQ(ToValidUtf8(""), "");
    // Windows-1252 text, as the game's messages were first written.
    EXPECT_EQ(ToValidUtf8("Gr\xFC\xDF"
                          "e"),
              "Grüße");
    EXPECT_EQ(ToValidUtf8("\x80 5"), "€ 5");
    EXPECT_EQ(ToValidUtf8("\x84"
                          "Robbe\x93"),
              "„Robbe“");
    // Bytes the code page leaves undefined become the replacement character.
    EXPECT_EQ(ToValidUtf8("a\x81"
                          "b"),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(TextLayoutTest, MalformedSequencesAreNotPassedOn) {
    // Overlong encoding of "/".
    EXPECT_EQ(ToValidUtf8("\xC0\xAF"), "À¯");
    // A UTF-16 surrogate encoded as UTF-8.
    EXPECT_EQ(ToValidUtf8("\xED\xA0\x80"), "í\xC2\xA0€");
    // Beyond U+10FFFF (0x90 is one of the bytes Windows-1252 leaves undefined).
    EXPECT_EQ(ToValidUtf8("\xF4\x90\x80\x80"), "ô\xEF\xBF\xBD€€");
    // Cut off at the end, and a lead byte followed by ASCII.
    EXPECT_EQ(ToValidUtf8("ok\xE2\x82"), "okâ‚");
    EXPECT_EQ(ToValidUtf8("\xC3"
                          "A"),
              "ÃA");
}

TEST(TextLayoutTest, LinesBreakAtNewlinesAndBetweenWords) {
    EXPECT_EQ(WrapText("", 100, TenPerByte), Lines{""});
    EXPECT_EQ(WrapText("a\n\nb", 100, TenPerByte), (Lines{"a", "", "b"}));
    EXPECT_EQ(WrapText("a\r\nb\n", 100, TenPerByte), (Lines{"a", "b", ""}));
    EXPECT_EQ(WrapText("ab cd ef", 50, TenPerByte), (Lines{"ab cd", "ef"}));
    // A line that fits keeps its spaces as they are.
    EXPECT_EQ(WrapText("a  b", 100, TenPerByte), Lines{"a  b"});
    // A word wider than a line is broken between characters, never inside one.
    EXPECT_EQ(WrapText("abcdefghij", 40, TenPerByte), (Lines{"abcd", "efgh", "ij"}));
    EXPECT_EQ(WrapText("üüü", 30, TenPerByte), (Lines{"ü", "ü", "ü"}));
    EXPECT_EQ(WrapText("x abcdefgh y", 40, TenPerByte), (Lines{"x", "abcd", "efgh", "y"}));
    // Even a width of nothing ends, one character a line.
    EXPECT_EQ(WrapText("ab", 0, TenPerByte), (Lines{"a", "b"}));
}

TEST(TextLayoutTest, MenuLabelsUnderlineTheLetterAfterTheAmpersand) {
    const auto minimise = ParseMenuLabel("Mi&nimieren");
    EXPECT_EQ(minimise.text, "Minimieren");
    EXPECT_EQ(minimise.mnemonicAt, 2u);
    EXPECT_EQ(minimise.mnemonicLength, 1u);
    EXPECT_EQ(minimise.MnemonicKey(), static_cast<unsigned>('N'));
    EXPECT_TRUE(minimise.shortcut.empty());

    const auto close = ParseMenuLabel("&Schließen\tAlt+F4");
    EXPECT_EQ(close.text, "Schließen");
    EXPECT_EQ(close.shortcut, "Alt+F4");
    EXPECT_EQ(close.MnemonicKey(), static_cast<unsigned>('S'));

    EXPECT_EQ(ParseMenuLabel("&Info über Floemaze...").MnemonicKey(), static_cast<unsigned>('I'));

    // "&&" is a plain ampersand; a trailing "&" marks nothing; only the first mark counts.
    const auto plain = ParseMenuLabel("Fish && Chips&");
    EXPECT_EQ(plain.text, "Fish & Chips");
    EXPECT_EQ(plain.mnemonicAt, std::string::npos);
    EXPECT_EQ(plain.MnemonicKey(), 0u);
    EXPECT_EQ(ParseMenuLabel("&a&b").mnemonicAt, 0u);

    // A non-ASCII letter is underlined whole but has no key of its own.
    const auto umlaut = ParseMenuLabel("&Über");
    EXPECT_EQ(umlaut.text, "Über");
    EXPECT_EQ(umlaut.mnemonicLength, 2u);
    EXPECT_EQ(umlaut.MnemonicKey(), 0u);
}

}  // namespace
