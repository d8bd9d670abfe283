// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/Drawing.h"

#include <SDL.h>

#include <algorithm>

#include "platform/sdl/TextLibrary.h"

namespace platform::sdl {
namespace {

RECT Clipped(const Bitmap& target, const RECT& rect) {
    const RECT whole{0, 0, target.width, target.height};
    RECT area{};
    IntersectRect(&area, &rect, &whole);
    return area;
}

unsigned char* PixelAt(const Bitmap& target, int x, int y) {
    return target.Row(y) + static_cast<std::size_t>(x) * 4;
}

void Blend(unsigned char* p, unsigned r, unsigned g, unsigned b, unsigned a) {
    p[0] = static_cast<unsigned char>((b * a + p[0] * (255 - a) + 127) / 255);
    p[1] = static_cast<unsigned char>((g * a + p[1] * (255 - a) + 127) / 255);
    p[2] = static_cast<unsigned char>((r * a + p[2] * (255 - a) + 127) / 255);
}

}  // namespace

std::string Font::FindFile(const char* family) {
    std::string file;
    std::string error;
    const TextLibrary* text = OpenTextLibrary(error);
    if (text == nullptr) return file;
    FcPattern* pattern = text->FcNameParse(reinterpret_cast<const FcChar8*>(family));
    if (pattern == nullptr) return file;
    text->FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    text->FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    text->FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    text->FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    text->FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = text->FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* path = nullptr;
        if (text->FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
            path != nullptr) {
            file = reinterpret_cast<const char*>(path);
        }
        text->FcPatternDestroy(match);
    }
    text->FcPatternDestroy(pattern);
    return file;
}

void Font::ReleaseFontLookup() {
    if (const TextLibrary* text = OpenedTextLibrary()) text->FcFini();
}

std::unique_ptr<Font> Font::Open(const std::string& file, int sizePoints, std::string& error) {
    const TextLibrary* text = OpenTextLibrary(error);
    if (text == nullptr) return nullptr;
    TTF_Font* font = text->TTF_OpenFontDPI(file.c_str(), sizePoints, 96, 96);
    if (font == nullptr) {
        error = SDL_GetError();
        return nullptr;
    }
    text->TTF_SetFontHinting(font, TTF_HINTING_LIGHT);
    return std::unique_ptr<Font>(new Font(font));
}

Font::~Font() {
    OpenedTextLibrary()->TTF_CloseFont(m_font);
}

int Font::Width(std::string_view text) const {
    int width = 0;
    int height = 0;
    if (text.empty() || OpenedTextLibrary()->TTF_SizeUTF8(m_font, std::string(text).c_str(), &width,
                                                          &height) != 0) {
        return 0;
    }
    return width;
}

int Font::LineHeight() const {
    return OpenedTextLibrary()->TTF_FontLineSkip(m_font);
}

int Font::Ascent() const {
    return OpenedTextLibrary()->TTF_FontAscent(m_font);
}

void Font::Draw(Bitmap& target, int x, int y, std::string_view text, COLORREF colour,
                const RECT& clip) const {
    if (text.empty() || target.bitCount != 32) return;
    const SDL_Color white{255, 255, 255, 255};
    SDL_Surface* rendered =
        OpenedTextLibrary()->TTF_RenderUTF8_Blended(m_font, std::string(text).c_str(), white);
    if (rendered == nullptr) return;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (argb == nullptr) return;
    RECT area{x, y, x + argb->w, y + argb->h};
    IntersectRect(&area, &area, &clip);
    area = Clipped(target, area);
    const unsigned r = GetRValue(colour);
    const unsigned g = GetGValue(colour);
    const unsigned b = GetBValue(colour);
    SDL_LockSurface(argb);
    for (int row = area.top; row < area.bottom; ++row) {
        const auto* source = reinterpret_cast<const Uint32*>(
            static_cast<const Uint8*>(argb->pixels) +
            static_cast<std::size_t>(row - y) * static_cast<std::size_t>(argb->pitch));
        for (int col = area.left; col < area.right; ++col) {
            // The text is rendered white; its coverage is the alpha channel.
            const unsigned a = source[col - x] >> 24;
            if (a != 0) Blend(PixelAt(target, col, row), r, g, b, a);
        }
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
}

void FillRect(Bitmap& target, const RECT& rect, COLORREF colour) {
    if (target.bitCount != 32) return;
    const RECT area = Clipped(target, rect);
    for (int row = area.top; row < area.bottom; ++row) {
        for (int col = area.left; col < area.right; ++col) {
            unsigned char* p = PixelAt(target, col, row);
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
            p[3] = 0;
        }
    }
}

void FrameRect(Bitmap& target, const RECT& rect, COLORREF colour, int thickness) {
    const int t = std::max(thickness, 1);
    FillRect(target, RECT{rect.left, rect.top, rect.right, rect.top + t}, colour);
    FillRect(target, RECT{rect.left, rect.bottom - t, rect.right, rect.bottom}, colour);
    FillRect(target, RECT{rect.left, rect.top + t, rect.left + t, rect.bottom - t}, colour);
    FillRect(target, RECT{rect.right - t, rect.top + t, rect.right, rect.bottom - t}, colour);
}

void DrawIconImage(Bitmap& target, int x, int y, const IconImage& image, int size) {
    if (target.bitCount != 32 || image.size <= 0 ||
        image.pixels.size() !=
            static_cast<std::size_t>(image.size) * static_cast<std::size_t>(image.size)) {
        return;
    }
    if (size <= 0) size = image.size;
    const RECT area = Clipped(target, RECT{x, y, x + size, y + size});
    for (int row = area.top; row < area.bottom; ++row) {
        const auto sourceRow = static_cast<std::size_t>((row - y) * image.size / size);
        for (int col = area.left; col < area.right; ++col) {
            const auto sourceCol = static_cast<std::size_t>((col - x) * image.size / size);
            const std::uint32_t argb =
                image.pixels[sourceRow * static_cast<std::size_t>(image.size) + sourceCol];
            Blend(PixelAt(target, col, row), (argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF,
                  argb >> 24);
        }
    }
}

}  // namespace platform::sdl
