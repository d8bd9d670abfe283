// SPDX-License-Identifier: GPL-3.0-or-later
// A popup menu as the window system shows it: where its entries lie, which one is highlighted,
// and what a key or the pointer does to it. Drawing is the backend's; this part needs no display.
#pragma once

#include <vector>

#include "platform/TextLayout.h"
#include "platform/Wnd.h"

namespace platform {

/// An open menu. Coordinates are those of the window it opens in.
class PopupMenu {
public:
    static constexpr int kBorder = 3;           ///< frame and padding around the entries
    static constexpr int kItemHeight = 22;      ///< height of a text entry
    static constexpr int kSeparatorHeight = 9;  ///< height of a separator
    static constexpr int kTextLeft = 28;        ///< from the entry's left edge to its text
    static constexpr int kShortcutGap = 32;     ///< least space between text and shortcut
    static constexpr int kTextRight = 20;       ///< after the text or shortcut
    static constexpr int kMinWidth = 150;

    struct Entry {
        UINT flags = MF_STRING;
        UINT id = 0;
        MenuLabel label;
        RECT rect;  ///< where the entry lies, inside Bounds()
        bool IsSeparator() const { return flags == MF_SEPARATOR; }
    };

    /// What the menu wants after an input.
    enum class Outcome {
        None,    ///< nothing changed
        Redraw,  ///< the highlight changed
        Close,   ///< closed without a choice
        Choose,  ///< Chosen() was chosen; the menu is closed
    };

    /// Lays out menu's entries, measuring texts with measure (in a font of that scale), top-left
    /// at (0, 0), with the sizes above scale times as large.
    PopupMenu(const CMenu& menu, const MeasureText& measure, int scale = 1);

    /// Moves the menu's top-left corner to at, shifted so that it lies inside area where it fits.
    void Place(POINT at, const RECT& area);
    RECT Bounds() const { return m_bounds; }
    int Scale() const { return m_scale; }
    const std::vector<Entry>& Entries() const { return m_entries; }
    /// Index of the highlighted entry, -1 for none.
    int Highlighted() const { return m_highlighted; }
    /// Highlights the first text entry, as a menu opened from the keyboard does.
    void HighlightFirst();
    /// The command id of the chosen entry (valid after Outcome::Choose).
    UINT Chosen() const { return m_chosen; }

    /// Up and Down move the highlight (wrapping, over separators), Enter and Space choose it,
    /// Escape and Alt close, a letter chooses the entry it is underlined in.
    Outcome Key(UINT key);
    /// Hovering highlights the entry under the pointer.
    Outcome PointerMove(POINT p);
    /// A press outside the menu closes it; inside it only highlights.
    Outcome PointerDown(POINT p);
    /// A release over a text entry chooses it.
    Outcome PointerUp(POINT p);

private:
    int EntryAt(POINT p) const;
    Outcome Highlight(int index);
    Outcome Choose(int index);

    int m_scale;
    std::vector<Entry> m_entries;
    RECT m_bounds{};
    int m_highlighted = -1;
    UINT m_chosen = 0;
};

}  // namespace platform
