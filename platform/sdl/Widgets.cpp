// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/Widgets.h"

#include <algorithm>
#include <cstdlib>

#include "lang/Language.h"
#include "platform/TextLayout.h"

namespace platform::sdl {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kButtonFace = RGB(225, 225, 225);
constexpr COLORREF kButtonPressed = RGB(204, 228, 247);
constexpr COLORREF kButtonFrame = RGB(173, 173, 173);
constexpr COLORREF kDefaultFrame = RGB(0, 120, 215);
constexpr COLORREF kMenuFace = RGB(242, 242, 242);
constexpr COLORREF kMenuFrame = RGB(204, 204, 204);
constexpr COLORREF kMenuHighlight = RGB(145, 201, 247);
constexpr COLORREF kSeparator = RGB(215, 215, 215);

constexpr int kBoxMargin = 24;  // around the text
constexpr int kBoxMinWidth = 240;
constexpr int kBoxMaxTextWidth = 520;  // longer lines are broken
constexpr int kBoxStripHeight = 44;    // the grey strip with the button
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;

void DrawTextAt(Bitmap& target, const Font* font, int x, int y, std::string_view text,
                const RECT& clip) {
    if (font != nullptr) font->Draw(target, x, y, text, kTextColour, clip);
}

}  // namespace

MeasureText TextWidths(const Font* font, int scale) {
    return [font, scale](std::string_view text) {
        // Without a font boxes and menus still get a sensible size: about 7 pixels a character.
        return font != nullptr ? font->Width(text) : static_cast<int>(text.size()) * 7 * scale;
    };
}

MessageBoxLayout LayoutMessageBox(std::string_view text, const Font* font, int scale) {
    MessageBoxLayout layout;
    layout.scale = std::max(scale, 1);
    const int s = layout.scale;
    const MeasureText measure = TextWidths(font, s);
    layout.lines = WrapText(text, kBoxMaxTextWidth * s, measure);
    layout.lineHeight = font != nullptr ? font->LineHeight() : 16 * s;
    int textWidth = 0;
    for (const std::string& line : layout.lines) textWidth = std::max(textWidth, measure(line));
    const int textHeight = static_cast<int>(layout.lines.size()) * layout.lineHeight;
    const int margin = kBoxMargin * s;
    const int strip = kBoxStripHeight * s;
    layout.width = std::max(kBoxMinWidth * s, textWidth + 2 * margin);
    layout.height = margin + textHeight + margin + strip;
    layout.textAt = POINT{margin, margin};
    const int buttonTop = layout.height - strip + (strip - kButtonHeight * s) / 2;
    const int buttonLeft = layout.width - 12 * s - kButtonWidth * s;
    layout.button =
        RECT{buttonLeft, buttonTop, buttonLeft + kButtonWidth * s, buttonTop + kButtonHeight * s};
    return layout;
}

void PaintMessageBox(Bitmap& target, const MessageBoxLayout& layout, const Font* font,
                     bool buttonPressed) {
    const int stripTop = layout.height - kBoxStripHeight * layout.scale;
    FillRect(target, RECT{0, 0, layout.width, stripTop}, kWhite);
    FillRect(target, RECT{0, stripTop, layout.width, layout.height}, kFaceColour);
    const RECT textArea{0, 0, layout.width, stripTop};
    int y = layout.textAt.y;
    for (const std::string& line : layout.lines) {
        DrawTextAt(target, font, layout.textAt.x, y, line, textArea);
        y += layout.lineHeight;
    }
    PaintButton(target, layout.button, lang::Tr("OK"), font, true, buttonPressed, layout.scale);
}

void PaintButton(Bitmap& target, const RECT& rect, std::string_view caption, const Font* font,
                 bool isDefault, bool pressed, int scale) {
    FillRect(target, rect, pressed ? kButtonPressed : kButtonFace);
    FrameRect(target, rect, isDefault ? kDefaultFrame : kButtonFrame, (isDefault ? 2 : 1) * scale);
    if (font == nullptr) return;
    const int x = rect.left + (rect.right - rect.left - font->Width(caption)) / 2;
    const int y = rect.top + (rect.bottom - rect.top - font->LineHeight()) / 2;
    DrawTextAt(target, font, x, y, caption, rect);
}

void PaintDialogItems(Bitmap& target, const DialogTemplate& dialogTemplate, const Font* font,
                      int scale) {
    FillRect(target, RECT{0, 0, target.width, target.height}, kFaceColour);
    for (const DialogItem& item : dialogTemplate.items) {
        RECT rect = DialogItemRect(item);
        rect = RECT{rect.left * scale, rect.top * scale, rect.right * scale, rect.bottom * scale};
        switch (item.kind) {
            case DialogItem::Kind::Static: {
                // A static's text may reach below its box by what the font needs for descenders.
                RECT clip = rect;
                if (font != nullptr)
                    clip.bottom = std::max<LONG>(clip.bottom, rect.top + font->LineHeight());
                DrawTextAt(target, font, rect.left, rect.top, ToValidUtf8(item.text), clip);
                break;
            }
            case DialogItem::Kind::Icon: {
                const HICON icon = ::LoadIcon(static_cast<UINT>(std::atoi(item.text.c_str())));
                if (icon == nullptr) break;
                if (const IconImage* image = icon->Best(32 * scale))
                    DrawIconImage(target, rect.left, rect.top, *image, scale == 1 ? 0 : 32 * scale);
                break;
            }
            case DialogItem::Kind::Button:
                PaintButton(target, rect, ToValidUtf8(item.text), font, item.defaultButton, false,
                            scale);
                break;
        }
    }
}

void PaintMenu(Bitmap& target, const PopupMenu& menu, const Font* font) {
    const RECT bounds = menu.Bounds();
    const int s = menu.Scale();
    const int dx = -bounds.left;
    const int dy = -bounds.top;
    FillRect(target, RECT{0, 0, target.width, target.height}, kMenuFace);
    FrameRect(target, RECT{0, 0, target.width, target.height}, kMenuFrame, s);
    const auto& entries = menu.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const PopupMenu::Entry& entry = entries[i];
        RECT rect = entry.rect;
        OffsetRect(&rect, dx, dy);
        if (entry.IsSeparator()) {
            const int y = (rect.top + rect.bottom) / 2;
            FillRect(target,
                     RECT{rect.left + (PopupMenu::kTextLeft - 4) * s, y, rect.right - 2 * s, y + s},
                     kSeparator);
            continue;
        }
        if (static_cast<int>(i) == menu.Highlighted()) FillRect(target, rect, kMenuHighlight);
        if (font == nullptr) continue;
        const int top = rect.top + (rect.bottom - rect.top - font->LineHeight()) / 2;
        const int left = rect.left + PopupMenu::kTextLeft * s;
        const MenuLabel& label = entry.label;
        DrawTextAt(target, font, left, top, label.text, rect);
        if (label.mnemonicAt != std::string::npos) {
            const int x0 =
                left + font->Width(std::string_view(label.text).substr(0, label.mnemonicAt));
            const int x1 =
                x0 +
                font->Width(
                    std::string_view(label.text).substr(label.mnemonicAt, label.mnemonicLength));
            const int y = top + font->Ascent() + 2 * s;
            FillRect(target, RECT{x0, y, x1, y + s}, kTextColour);
        }
        if (!label.shortcut.empty()) {
            const int x = rect.right - PopupMenu::kTextRight * s - font->Width(label.shortcut);
            DrawTextAt(target, font, x, top, label.shortcut, rect);
        }
    }
}

}  // namespace platform::sdl
