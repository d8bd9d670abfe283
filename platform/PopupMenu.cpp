// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PopupMenu.h"

#include <algorithm>

namespace platform {

PopupMenu::PopupMenu(const CMenu& menu, const MeasureText& measure, int scale)
    : m_scale(std::max(scale, 1)) {
    const int border = kBorder * m_scale;
    int textWidth = 0;
    int shortcutWidth = 0;
    int y = border;
    for (const CMenu::Item& item : menu.Items()) {
        Entry entry;
        entry.flags = item.flags;
        entry.id = item.id;
        const int height = (item.flags == MF_SEPARATOR ? kSeparatorHeight : kItemHeight) * m_scale;
        if (item.flags != MF_SEPARATOR) {
            entry.label = ParseMenuLabel(ToValidUtf8(item.text));
            textWidth = std::max(textWidth, measure(entry.label.text));
            if (!entry.label.shortcut.empty()) {
                shortcutWidth = std::max(shortcutWidth, measure(entry.label.shortcut));
            }
        }
        entry.rect = RECT{border, y, 0, y + height};
        y += height;
        m_entries.push_back(std::move(entry));
    }
    const int inner = (kTextLeft + kTextRight) * m_scale + textWidth +
                      (shortcutWidth > 0 ? kShortcutGap * m_scale + shortcutWidth : 0);
    const int width = std::max(kMinWidth * m_scale, inner + 2 * border);
    for (Entry& entry : m_entries) entry.rect.right = width - border;
    m_bounds = RECT{0, 0, width, y + border};
}

void PopupMenu::Place(POINT at, const RECT& area) {
    const int width = m_bounds.right - m_bounds.left;
    const int height = m_bounds.bottom - m_bounds.top;
    int x = at.x;
    int y = at.y;
    // Like a context menu at a screen edge: opened towards the side where it fits.
    if (x + width > area.right) x = std::max<int>(area.left, at.x - width);
    if (y + height > area.bottom) y = std::max<int>(area.top, at.y - height);
    const int dx = x - m_bounds.left;
    const int dy = y - m_bounds.top;
    OffsetRect(&m_bounds, dx, dy);
    for (Entry& entry : m_entries) OffsetRect(&entry.rect, dx, dy);
}

void PopupMenu::HighlightFirst() {
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (!m_entries[i].IsSeparator()) {
            m_highlighted = static_cast<int>(i);
            return;
        }
    }
}

PopupMenu::Outcome PopupMenu::Key(UINT key) {
    const int count = static_cast<int>(m_entries.size());
    switch (key) {
        case VK_UP:
        case VK_DOWN: {
            const int step = key == VK_DOWN ? 1 : count - 1;
            int index = m_highlighted < 0 ? (key == VK_DOWN ? count - 1 : 0) : m_highlighted;
            for (int tries = 0; tries < count; ++tries) {
                index = (index + step) % count;
                if (!m_entries[static_cast<std::size_t>(index)].IsSeparator()) {
                    return Highlight(index);
                }
            }
            return Outcome::None;
        }
        case VK_RETURN:
        case VK_SPACE:
            return m_highlighted < 0 ? Outcome::Close : Choose(m_highlighted);
        case VK_ESCAPE:
        case VK_MENU:
            return Outcome::Close;
        default:
            break;
    }
    for (int i = 0; i < count; ++i) {
        const Entry& entry = m_entries[static_cast<std::size_t>(i)];
        if (!entry.IsSeparator() && key != 0 && entry.label.MnemonicKey() == key) return Choose(i);
    }
    return Outcome::None;
}

PopupMenu::Outcome PopupMenu::PointerMove(POINT p) {
    const int index = EntryAt(p);
    // Leaving the menu keeps the last highlight, as menus do.
    if (index < 0) return Outcome::None;
    return Highlight(index);
}

PopupMenu::Outcome PopupMenu::PointerDown(POINT p) {
    if (!PtInRect(&m_bounds, p)) return Outcome::Close;
    const int index = EntryAt(p);
    return index < 0 ? Outcome::None : Highlight(index);
}

PopupMenu::Outcome PopupMenu::PointerUp(POINT p) {
    const int index = EntryAt(p);
    return index < 0 ? Outcome::None : Choose(index);
}

int PopupMenu::EntryAt(POINT p) const {
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (!m_entries[i].IsSeparator() && PtInRect(&m_entries[i].rect, p)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

PopupMenu::Outcome PopupMenu::Highlight(int index) {
    if (index == m_highlighted) return Outcome::None;
    m_highlighted = index;
    return Outcome::Redraw;
}

PopupMenu::Outcome PopupMenu::Choose(int index) {
    m_highlighted = index;
    m_chosen = m_entries[static_cast<std::size_t>(index)].id;
    return Outcome::Choose;
}

}  // namespace platform
