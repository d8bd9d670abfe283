// SPDX-License-Identifier: GPL-3.0-or-later
// The system menu as the window system shows it: layout, keyboard and pointer.
#include <gtest/gtest.h>

#include "platform/PopupMenu.h"

namespace {

using platform::PopupMenu;
using Outcome = PopupMenu::Outcome;

int SevenPerByte(std::string_view text) {
    return static_cast<int>(text.size()) * 7;
}

// The game's system menu: the platform's two entries, a separator and the About entry.
CMenu GameMenu() {
    CMenu menu;
    menu.AppendMenu(MF_STRING, SC_MINIMIZE, "Mi&nimieren");
    menu.AppendMenu(MF_STRING, SC_CLOSE, "&Schließen\tAlt+F4");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING, 0x0010, "&Info über Floemaze...");
    return menu;
}

POINT Centre(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST(PopupMenuTest, EntriesLieBelowEachOtherAndTheMenuStaysInTheWindow) {
    PopupMenu menu(GameMenu(), SevenPerByte);
    const auto& entries = menu.Entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].rect.top, PopupMenu::kBorder);
    EXPECT_EQ(entries[1].rect.top, PopupMenu::kBorder + PopupMenu::kItemHeight);
    EXPECT_TRUE(entries[2].IsSeparator());
    EXPECT_EQ(entries[3].rect.top, entries[2].rect.top + PopupMenu::kSeparatorHeight);
    EXPECT_EQ(menu.Bounds().bottom, entries[3].rect.bottom + PopupMenu::kBorder);
    // Wide enough for the longest text ("Info über Floemaze...", 22 bytes) and the shortcut.
    const int width = menu.Bounds().right;
    EXPECT_GE(width, 2 * PopupMenu::kBorder + PopupMenu::kTextLeft + 22 * 7 +
                         PopupMenu::kShortcutGap + 6 * 7);
    EXPECT_EQ(entries[1].label.shortcut, "Alt+F4");

    const RECT window{0, 0, 700, 500};
    menu.Place(POINT{40, 40}, window);
    EXPECT_EQ(menu.Bounds().left, 40);
    EXPECT_EQ(menu.Bounds().top, 40);
    EXPECT_EQ(menu.Entries()[0].rect.top, 40 + PopupMenu::kBorder);
    // Near the bottom-right corner it opens up and to the left of the point.
    PopupMenu corner(GameMenu(), SevenPerByte);
    corner.Place(POINT{690, 495}, window);
    EXPECT_EQ(corner.Bounds().right, 690);
    EXPECT_EQ(corner.Bounds().bottom, 495);

    // At scale 3, measured in a font three times as large, every size is three times as large.
    PopupMenu scaled(
        GameMenu(), [](std::string_view text) { return SevenPerByte(text) * 3; }, 3);
    PopupMenu plain(GameMenu(), SevenPerByte);
    ASSERT_EQ(scaled.Entries().size(), plain.Entries().size());
    for (std::size_t i = 0; i < plain.Entries().size(); ++i) {
        const RECT& r = plain.Entries()[i].rect;
        EXPECT_EQ(scaled.Entries()[i].rect,
                  (RECT{r.left * 3, r.top * 3, r.right * 3, r.bottom * 3}));
    }
    EXPECT_EQ(scaled.Bounds(), (RECT{0, 0, plain.Bounds().right * 3, plain.Bounds().bottom * 3}));
    EXPECT_EQ(scaled.Scale(), 3);
}

TEST(PopupMenuTest, KeyboardMovesOverSeparatorsAndChoosesByUnderlinedLetter) {
    PopupMenu menu(GameMenu(), SevenPerByte);
    EXPECT_EQ(menu.Highlighted(), -1);
    // Enter with nothing highlighted closes without a choice.
    EXPECT_EQ(menu.Key(VK_RETURN), Outcome::Close);

    menu.HighlightFirst();
    EXPECT_EQ(menu.Highlighted(), 0);
    EXPECT_EQ(menu.Key(VK_DOWN), Outcome::Redraw);
    EXPECT_EQ(menu.Key(VK_DOWN), Outcome::Redraw);
    EXPECT_EQ(menu.Highlighted(), 3);  // over the separator
    EXPECT_EQ(menu.Key(VK_DOWN), Outcome::Redraw);
    EXPECT_EQ(menu.Highlighted(), 0);  // round to the top
    EXPECT_EQ(menu.Key(VK_UP), Outcome::Redraw);
    EXPECT_EQ(menu.Highlighted(), 3);
    EXPECT_EQ(menu.Key(VK_RETURN), Outcome::Choose);
    EXPECT_EQ(menu.Chosen(), 0x0010u);

    PopupMenu letters(GameMenu(), SevenPerByte);
    EXPECT_EQ(letters.Key('X'), Outcome::None);
    EXPECT_EQ(letters.Key(VK_LEFT), Outcome::None);
    EXPECT_EQ(letters.Key('S'), Outcome::Choose);
    EXPECT_EQ(letters.Chosen(), SC_CLOSE);
    EXPECT_EQ(letters.Key('N'), Outcome::Choose);
    EXPECT_EQ(letters.Chosen(), SC_MINIMIZE);

    EXPECT_EQ(PopupMenu(GameMenu(), SevenPerByte).Key(VK_ESCAPE), Outcome::Close);
    EXPECT_EQ(PopupMenu(GameMenu(), SevenPerByte).Key(VK_MENU), Outcome::Close);
}

TEST(PopupMenuTest, PointerHighlightsChoosesOnReleaseAndClosesOnAPressOutside) {
    PopupMenu menu(GameMenu(), SevenPerByte);
    menu.Place(POINT{100, 100}, RECT{0, 0, 700, 500});
    const auto& entries = menu.Entries();
    EXPECT_EQ(menu.PointerMove(Centre(entries[1].rect)), Outcome::Redraw);
    EXPECT_EQ(menu.PointerMove(Centre(entries[1].rect)), Outcome::None);
    // The separator and the space outside keep the highlight.
    EXPECT_EQ(menu.PointerMove(Centre(entries[2].rect)), Outcome::None);
    EXPECT_EQ(menu.PointerMove(POINT{5, 5}), Outcome::None);
    EXPECT_EQ(menu.Highlighted(), 1);
    // A press inside only highlights; a release on the separator or outside chooses nothing.
    EXPECT_EQ(menu.PointerDown(Centre(entries[0].rect)), Outcome::Redraw);
    EXPECT_EQ(menu.PointerUp(Centre(entries[2].rect)), Outcome::None);
    EXPECT_EQ(menu.PointerUp(POINT{5, 5}), Outcome::None);
    EXPECT_EQ(menu.PointerUp(Centre(entries[3].rect)), Outcome::Choose);
    EXPECT_EQ(menu.Chosen(), 0x0010u);

    PopupMenu outside(GameMenu(), SevenPerByte);
    outside.Place(POINT{100, 100}, RECT{0, 0, 700, 500});
    EXPECT_EQ(outside.PointerDown(POINT{99, 100}), Outcome::Close);
}

TEST(PopupMenuTest, EmptyMenuAndAMenuOfSeparatorsOfferNothingToChoose) {
    PopupMenu empty(CMenu{}, SevenPerByte);
    empty.HighlightFirst();
    EXPECT_EQ(empty.Highlighted(), -1);
    EXPECT_EQ(empty.Key(VK_DOWN), Outcome::None);
    EXPECT_GE(empty.Bounds().right, PopupMenu::kMinWidth);

    CMenu lines;
    lines.AppendMenu(MF_SEPARATOR);
    lines.AppendMenu(MF_SEPARATOR);
    PopupMenu separators(lines, SevenPerByte);
    EXPECT_EQ(separators.Key(VK_UP), Outcome::None);
    EXPECT_EQ(separators.Key(VK_SPACE), Outcome::Close);
    EXPECT_EQ(separators.PointerUp(Centre(separators.Entries()[0].rect)), Outcome::None);
}

}  // namespace
