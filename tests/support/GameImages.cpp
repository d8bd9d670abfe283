// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/GameImages.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "sprites/DIB.h"
#include "tests/support/BmpBytes.h"

namespace {

struct Layout {
    const char* file;
    int frameWidth;
    int frameHeight;
    int columns;
    int rows;
    bool keyed;
};

const Layout& LayoutOf(GameImage image) {
    static const Layout layouts[] = {
        {"Hintergrund.bmp", 700, 500, 1, 1, false}, {"Logo.bmp", 200, 129, 1, 8, true},
        {"Startbild.bmp", 50, 50, 10, 10, false},   {"Buttons.bmp", 200, 60, 1, 9, true},
        {"Robbe.bmp", 200, 134, 1, 6, true},        {"Optionsmenue.bmp", 200, 150, 1, 1, true},
        {"Radiobutton.bmp", 20, 20, 1, 2, true},    {"Checkbutton.bmp", 20, 20, 1, 2, true},
        {"Trennlinie.bmp", 5, 500, 1, 1, false},    {"Babyrobbe.bmp", 25, 25, 4, 2, true},
        {"Weg.bmp", 25, 25, 3, 16, false},
    };
    return layouts[static_cast<int>(image)];
}

// The options picture lies above its four controls and lets them show, and be hit, through
// clear squares at their places.
bool InControlHole(int x, int y) {
    constexpr POINT holes[] = {{23, 23}, {103, 23}, {110, 50}, {140, 75}};
    for (const POINT& hole : holes) {
        if (x >= hole.x && x < hole.x + 20 && y >= hole.y && y < hole.y + 20) return true;
    }
    return false;
}

constexpr GameImage kAll[] = {
    GameImage::Background,  GameImage::Logo,        GameImage::StartPicture, GameImage::Buttons,
    GameImage::SealPicture, GameImage::OptionsMenu, GameImage::RadioButton,  GameImage::CheckButton,
    GameImage::Separator,   GameImage::BabySeal,    GameImage::Path,
};

}  // namespace

COLORREF FrameColour(GameImage image, int column, int row) {
    // Green never 0, so no frame colour equals the key colour.
    return RGB(static_cast<BYTE>(20 + 20 * static_cast<int>(image)),
               static_cast<BYTE>(10 + 20 * column), static_cast<BYTE>(10 + 15 * row));
}

const char* FileName(GameImage image) {
    return LayoutOf(image).file;
}

void WriteGameImages(const std::string& folder, std::initializer_list<GameImage> missing) {
    for (const GameImage image : kAll) {
        if (std::find(missing.begin(), missing.end(), image) != missing.end()) continue;
        const Layout& layout = LayoutOf(image);
        BmpSpec spec;
        spec.width = layout.frameWidth * layout.columns;
        spec.height = layout.frameHeight * layout.rows;
        spec.pixel = [&layout, image](int x, int y) {
            if (layout.keyed && x == 0 && y == 0) return kKeyColour;
            if (image == GameImage::Logo && x >= 180) return kKeyColour;
            if (image == GameImage::OptionsMenu && InControlHole(x, y)) return kKeyColour;
            return FrameColour(image, x / layout.frameWidth, y / layout.frameHeight);
        };
        const auto bytes = MakeBmp(spec);
        const std::filesystem::path path = std::filesystem::path(folder) / layout.file;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + path.string());
    }
}

void CopyGameImages(const std::string& from, const std::string& to,
                    std::initializer_list<GameImage> missing) {
    for (const GameImage image : kAll) {
        if (std::find(missing.begin(), missing.end(), image) != missing.end()) continue;
        const char* file = LayoutOf(image).file;
        std::filesystem::copy_file(std::filesystem::path(from) / file,
                                   std::filesystem::path(to) / file,
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

GameFolder::GameFolder(std::initializer_list<GameImage> missing)
    : m_previous(std::filesystem::current_path().string()) {
    WriteGameImages(m_dir.Path(), missing);
    std::filesystem::current_path(m_dir.Path());
}

GameFolder::GameFolder(const std::string& picturesFrom, std::initializer_list<GameImage> missing)
    : m_previous(std::filesystem::current_path().string()) {
    CopyGameImages(picturesFrom, m_dir.Path(), missing);
    std::filesystem::current_path(m_dir.Path());
}

GameFolder::~GameFolder() {
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
}

COLORREF Blend(COLORREF dst, COLORREF src, float alpha) {
    unsigned char d[3] = {GetRValue(dst), GetGValue(dst), GetBValue(dst)};
    const unsigned char s[3] = {GetRValue(src), GetGValue(src), GetBValue(src)};
    BlendSpan(3, d, s, alpha);
    return RGB(d[0], d[1], d[2]);
}
