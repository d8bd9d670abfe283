// SPDX-License-Identifier: GPL-3.0-or-later
// What the window system draws itself (message boxes, dialogs, the system menu): text in a font
// found through fontconfig, rendered by SDL_ttf, and filled and framed rectangles, all into the
// 32-bit surfaces of the windows.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/Gdi.h"
#include "platform/Icon.h"

typedef struct _TTF_Font TTF_Font;

namespace platform::sdl {

/// A font at one size. Needs SDL_ttf to be initialised while it lives.
class Font {
public:
    /// The file of the regular face that fontconfig chooses for family, or "" when there is none.
    static std::string FindFile(const char* family);
    /// Frees what fontconfig keeps after FindFile.
    static void ReleaseFontLookup();
    /// Opens file at sizePoints at 96 dots per inch; null (with the reason in error) on failure.
    static std::unique_ptr<Font> Open(const std::string& file, int sizePoints, std::string& error);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    /// Width of text in pixels.
    int Width(std::string_view text) const;
    /// Distance between the tops of two lines.
    int LineHeight() const;
    /// From the top of a line to its baseline.
    int Ascent() const;
    /// Draws UTF-8 text with its line's top-left at (x, y), anti-aliased in colour over what is
    /// there, clipped to clip and to the surface.
    void Draw(Bitmap& target, int x, int y, std::string_view text, COLORREF colour,
              const RECT& clip) const;

private:
    explicit Font(TTF_Font* font) : m_font(font) {}
    TTF_Font* m_font;
};

/// Fills rect (clipped to the surface) of a 32-bit surface with colour.
void FillRect(Bitmap& target, const RECT& rect, COLORREF colour);
/// Draws a frame of the given thickness just inside rect.
void FrameRect(Bitmap& target, const RECT& rect, COLORREF colour, int thickness = 1);
/// Draws image with its top-left at (x, y), blending its alpha over what is there, resampled to
/// size × size pixels (0: its own size).
void DrawIconImage(Bitmap& target, int x, int y, const IconImage& image, int size = 0);

}  // namespace platform::sdl
