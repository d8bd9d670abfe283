// SPDX-License-Identifier: GPL-3.0-or-later
// The contact sheet: every picture read back from its file, twice enlarged, and two windows put
// together from them the way the game composes its sprites.
#include "tools/assetgen/Sheet.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "sprites/DIB.h"
#include "tools/assetgen/Palette.h"
#include "tools/assetgen/Pictures.h"
#include "tools/assetgen/Scenery.h"

namespace assetgen {

namespace {

constexpr int kScale = 2;
constexpr int kGap = 24;

// A picture read back from its file, shown on the sheet as strips of frame rows or as a whole.
struct Picture {
    const res::PictureInfo* info;
    CDIB image;
    /// Tall strips of one column show their frames one by one, three side by side, so they fit.
    bool Strips() const { return info->columns == 1 && info->rows > 2; }
    int wrap() const { return Strips() ? 3 : 1; }
    int frameHeight() const { return Strips() ? info->frameHeight : image.GetHeight(); }
    int Rows() const { return image.GetHeight() / frameHeight(); }
    int Lines() const { return (Rows() + wrap() - 1) / wrap(); }
    int SheetWidth() const { return wrap() * (image.GetWidth() * kScale + kGap / 2) - kGap / 2; }
    int SheetHeight() const { return Lines() * (frameHeight() * kScale + kGap / 2) - kGap / 2; }
};

// Composes frame (column, row) of picture into target at (x, y), as the window draws its sprite.
void Add(CDIB& target, Picture& picture, int x, int y, int column, int row, float alpha = 1.0f) {
    const int fw = picture.info->frameWidth;
    const int fh = picture.info->frameHeight;
    picture.image.AddSpriteTo(&target, x, y, fw, fh, column * fw, row * fh, alpha,
                              picture.info->keyed ? 1 : 0);
}

// A maze made the way the game makes one (depth-first carving from a border field), for the
// preview only.
struct PreviewMaze {
    std::array<bool, 400> open{};
    int family = 0;
    int seal = 0;
    int deepest = 0;

    bool Open(int c, int r) const {
        return c >= 0 && r >= 0 && c < 20 && r < 20 && open[c * 20 + r];
    }
    void Carve(int c, int r, int depth, Random& random) {
        open[c * 20 + r] = true;
        if (depth > deepest) {
            deepest = depth;
            seal = c * 20 + r;
        }
        constexpr int dc[4] = {0, 0, -1, 1};
        constexpr int dr[4] = {-1, 1, 0, 0};
        for (;;) {
            std::vector<int> candidates;
            for (int d = 0; d < 4; ++d) {
                const int nc = c + dc[d];
                const int nr = r + dr[d];
                if (nc < 0 || nr < 0 || nc > 19 || nr > 19 || Open(nc, nr)) continue;
                int around = 0;
                for (int e = 0; e < 4; ++e) {
                    if (nc + dc[e] == c && nr + dr[e] == r) continue;
                    around += Open(nc + dc[e], nr + dr[e]) ? 1 : 0;
                }
                if (around == 0) candidates.push_back(d);
            }
            if (candidates.empty()) return;
            const int d = candidates[static_cast<std::size_t>(
                random.Below(static_cast<int>(candidates.size())))];
            Carve(c + dc[d], r + dr[d], depth + 1, random);
        }
    }
};

int PassageRow(bool up, bool down, bool left, bool right) {
    namespace tiles = res::tiles;
    return tiles::PassageRow((up ? tiles::kUp : 0) | (down ? tiles::kDown : 0) |
                             (left ? tiles::kLeft : 0) | (right ? tiles::kRight : 0));
}

void AddBoard(CDIB& window, Picture& tiles, Picture& seal, int boardX) {
    PreviewMaze maze;
    Random random(0xB0A2D);
    maze.family = 9 * 20 + 19;  // bottom edge
    maze.Carve(9, 19, 0, random);
    for (int c = 0; c < 20; ++c) {
        for (int r = 0; r < 20; ++r) {
            int column = res::tiles::kWallColumn;
            int row = random.Below(res::tiles::kWallPictures);
            if (c * 20 + r == maze.family) {
                column = res::tiles::kFamilyColumn;
                row = res::tiles::kFamilyRow;
            } else if (maze.Open(c, r)) {
                column = res::tiles::kPassageColumn;
                row = PassageRow(maze.Open(c, r - 1), maze.Open(c, r + 1), maze.Open(c - 1, r),
                                 maze.Open(c + 1, r));
            }
            Add(window, tiles, boardX + c * 25, r * 25, column, row);
        }
    }
    // The seal on its start field, and once more almost home, walking down to its family.
    const int sc = maze.seal / 20;
    const int sr = maze.seal % 20;
    Add(window, seal, boardX + sc * 25, sr * 25, 1, 0);
    const int fc = maze.family / 20;
    Add(window, seal, boardX + fc * 25, 18 * 25, 1, 1);
}

}  // namespace

bool WriteContactSheet(const std::string& folder, const std::string& path) {
    std::vector<Picture> pictures;
    for (const res::PictureInfo& info : res::kPictures) {
        Picture& p = pictures.emplace_back(Picture{&info, CDIB()});
        if (!p.image.Load((folder + "/" + info.file).c_str())) {
            std::fprintf(stderr, "floemaze_assetgen: cannot read back %s\n", info.file);
            return false;
        }
    }
    const auto picture = [&pictures](res::Picture which) -> Picture& {
        return pictures[static_cast<std::size_t>(which)];
    };
    Picture& hintergrund = picture(res::Picture::Background);
    Picture& startbild = picture(res::Picture::StartPicture);
    Picture& logo = picture(res::Picture::Logo);
    Picture& buttons = picture(res::Picture::Buttons);
    Picture& robbe = picture(res::Picture::SealPicture);
    Picture& options = picture(res::Picture::OptionsMenu);
    Picture& radio = picture(res::Picture::RadioButton);
    Picture& check = picture(res::Picture::CheckButton);
    Picture& separator = picture(res::Picture::Separator);
    Picture& babyrobbe = picture(res::Picture::BabySeal);
    Picture& weg = picture(res::Picture::Path);

    // Two windows: the start screen with the column at the left, and a game with the column at
    // the right, the options panel open and the pointer over the start button.
    CDIB start;
    start.CreateFilled(nullptr, 700, 500, RGB(0, 0, 0));
    Add(start, hintergrund, 0, 0, 0, 0);
    Add(start, buttons, 0, 225, 0, 6, 0.9f);
    Add(start, buttons, 0, 175, 0, 3, 0.9f);
    Add(start, buttons, 0, 125, 0, 0, 0.9f);
    Add(start, robbe, 0, 366, 0, 4);
    Add(start, logo, 0, 0, 0, 0);
    Add(start, separator, 196, 0, 0, 0);
    for (int k = 0; k < 100; ++k) {
        Add(start, startbild, 200 + 50 * (k / 10), 50 * (k % 10), k / 10, k % 10);
    }

    CDIB game;
    game.CreateFilled(nullptr, 700, 500, RGB(0, 0, 0));
    Add(game, hintergrund, 0, 0, 0, 0);
    AddBoard(game, weg, babyrobbe, 0);
    Add(game, check, 640, 311, 0, 1);
    Add(game, check, 610, 286, 0, 0);
    Add(game, radio, 603, 259, 0, 0);
    Add(game, radio, 523, 259, 0, 1);
    Add(game, options, 500, 236, 0, 0);
    Add(game, buttons, 500, 335, 0, 6, 0.9f);
    Add(game, buttons, 500, 175, 0, 3, 0.9f);
    Add(game, buttons, 500, 125, 0, 1, 0.9f);
    Add(game, robbe, 500, 366, 0, 2);
    Add(game, logo, 500, 0, 0, 3);
    Add(game, separator, 499, 0, 0, 0);

    // Layout: the two windows side by side at their own size, then every picture enlarged.
    const int width = 2 * 700 + 3 * kGap;
    std::vector<std::array<int, 2>> places;
    int x = kGap;
    int y = 500 + 2 * kGap;
    int rowHeight = 0;
    for (const Picture& p : pictures) {
        const int w = p.SheetWidth();
        const int h = p.SheetHeight();
        if (x > kGap && x + w > width - kGap) {
            x = kGap;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        places.push_back({x, y});
        x += w + kGap;
        rowHeight = std::max(rowHeight, h);
    }
    Canvas sheet(width, y + rowHeight + kGap);
    cairo_t* cr = sheet.Cr();
    SetColour(cr, Hex(0x3A4452));
    cairo_paint(cr);
    DrawImage(sheet, start, kGap, kGap, false);
    DrawImage(sheet, game, 700 + 2 * kGap, kGap, false);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const Picture& p = pictures[i];
        const int w = p.image.GetWidth();
        for (int row = 0; row < p.Rows(); ++row) {
            const int px = places[i][0] + (row % p.wrap()) * (w * kScale + kGap / 2);
            const int py = places[i][1] + (row / p.wrap()) * (p.frameHeight() * kScale + kGap / 2);
            // Keyed pictures on a checkerboard, so their transparent parts show as such.
            if (p.info->keyed) {
                const int fw = w * kScale;
                const int fh = p.frameHeight() * kScale;
                for (int cy = 0; cy < fh; cy += 8) {
                    for (int cx = 0; cx < fw; cx += 8) {
                        cairo_rectangle(cr, px + cx, py + cy, std::min(8, fw - cx),
                                        std::min(8, fh - cy));
                        SetColour(cr, ((cx + cy) / 8) % 2 == 0 ? Hex(0x9AA3AD) : Hex(0x6F7A86));
                        cairo_fill(cr);
                    }
                }
            }
            DrawImagePart(sheet, p.image, 0, row * p.frameHeight(), w, p.frameHeight(), px, py,
                          p.info->keyed, kScale);
        }
    }
    return SavePng(sheet, path);
}

}  // namespace assetgen
