// SPDX-License-Identifier: GPL-3.0-or-later
// The window system's own pictures: the message box, the controls of template dialogs and the
// system menu, drawn into 32-bit surfaces in the look of the desktop the game was made for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Dialog.h"
#include "platform/PopupMenu.h"
#include "platform/sdl/Drawing.h"

namespace platform::sdl {

constexpr COLORREF kFaceColour = RGB(240, 240, 240);
constexpr COLORREF kTextColour = RGB(0, 0, 0);

/// How wide text is drawn in font; without a font an estimate for a font of scale.
MeasureText TextWidths(const Font* font, int scale);

/// Where the parts of a message box lie; its window is width × height.
struct MessageBoxLayout {
    std::vector<std::string> lines;  ///< the text, broken to fit
    int width = 0;
    int height = 0;
    int lineHeight = 0;
    POINT textAt{};  ///< top-left of the first line
    RECT button{};   ///< the OK button
    int scale = 1;   ///< the margins' scale, matching the font's size
};

/// Lays out a box for text (valid UTF-8) with margins scale times as wide, for a font of that
/// scale; without a font the sizes are estimated.
MessageBoxLayout LayoutMessageBox(std::string_view text, const Font* font, int scale = 1);
void PaintMessageBox(Bitmap& target, const MessageBoxLayout& layout, const Font* font,
                     bool buttonPressed);

/// Draws the background and the items of a template dialog, scale times as large (with a font of
/// that scale).
void PaintDialogItems(Bitmap& target, const DialogTemplate& dialogTemplate, const Font* font,
                      int scale = 1);

/// Draws menu into target, which is menu-sized: target's (0, 0) is the menu's top-left; at the
/// menu's scale.
void PaintMenu(Bitmap& target, const PopupMenu& menu, const Font* font);

/// A push button: face, frame (thicker and blue for the default button), centred caption.
void PaintButton(Bitmap& target, const RECT& rect, std::string_view caption, const Font* font,
                 bool isDefault, bool pressed, int scale = 1);

}  // namespace platform::sdl
