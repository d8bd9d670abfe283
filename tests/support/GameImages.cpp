// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/GameImages.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "sprites/DIB.h"
#include "tests/support/BmpBytes.h"

namespace {

// The options picture lies above its four controls and lets them show, and be hit, through
// clear squares at their places.
bool InControlHole(int x, int y) {
    constexpr POINT holes[] = {{23, 23}, {103, 23}, {110, 50}, {140, 75}};
    for (const POINT& hole : holes) {
        if (x >= hole.x && x < hole.x + 20 && y >= hole.y && y < hole.y + 20) return true;
    }
    return false;
}

}  // namespace

COLORREF FrameColour(GameImage image, int column, int row) {
    // Green never 0, so no frame colour equals the key colour.
    return RGB(static_cast<BYTE>(20 + 20 * static_cast<int>(image)),
               static_cast<BYTE>(10 + 20 * column), static_cast<BYTE>(10 + 15 * row));
}

const char* FileName(GameImage image) {
    return res::PictureOf(image).file;
}

void WriteGameImages(const std::string& folder, std::initializer_list<GameImage> missing) {
    for (const res::PictureInfo& layout : res::kPictures) {
        const GameImage image = layout.picture;
        if (std::find(missing.begin(), missing.end(), image) != missing.end()) continue;
        BmpSpec spec;
        spec.width = layout.Width();
        spec.height = layout.Height();
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
    for (const res::PictureInfo& picture : res::kPictures) {
        if (std::find(missing.begin(), missing.end(), picture.picture) != missing.end()) continue;
        const char* file = picture.file;
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
