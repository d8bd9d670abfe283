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

struct Picture {
    const char* name;
    int frameWidth;
    int frameHeight;
    bool keyed;
    int wrap;  ///< frame rows shown side by side, so tall strips fit the sheet
    CDIB image;
    int Rows() const { return image.GetHeight() / frameHeight; }
    int Lines() const { return (Rows() + wrap - 1) / wrap; }
    int SheetWidth() const { return wrap * (image.GetWidth() * kScale + kGap / 2) - kGap / 2; }
    int SheetHeight() const { return Lines() * (frameHeight * kScale + kGap / 2) - kGap / 2; }
};

void Add(CDIB& target, CDIB& sprite, int x, int y, int column, int row, int fw, int fh, float alpha,
         bool keyed) {
    sprite.AddSpriteTo(&target, x, y, fw, fh, column * fw, row * fh, alpha, keyed ? 1 : 0);
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
    constexpr int kRows[16] = {0, 1, 2, 5, 3, 6, 8, 11, 4, 7, 9, 12, 10, 13, 14, 15};
    return kRows[(up ? 1 : 0) | (down ? 2 : 0) | (left ? 4 : 0) | (right ? 8 : 0)];
}

void AddBoard(CDIB& window, CDIB& tiles, CDIB& seal, int boardX) {
    PreviewMaze maze;
    Random random(0xB0A2D);
    maze.family = 9 * 20 + 19;  // bottom edge
    maze.Carve(9, 19, 0, random);
    for (int c = 0; c < 20; ++c) {
        for (int r = 0; r < 20; ++r) {
            int column = 1;
            int row = random.Below(16);
            if (c * 20 + r == maze.family) {
                column = 2;
                row = 0;
            } else if (maze.Open(c, r)) {
                column = 0;
                row = PassageRow(maze.Open(c, r - 1), maze.Open(c, r + 1), maze.Open(c - 1, r),
                                 maze.Open(c + 1, r));
            }
            Add(window, tiles, boardX + c * 25, r * 25, column, row, 25, 25, 1.0f, false);
        }
    }
    // The seal on its start field, and once more almost home, walking down to its family.
    const int sc = maze.seal / 20;
    const int sr = maze.seal % 20;
    Add(window, seal, boardX + sc * 25, sr * 25, 1, 0, 25, 25, 1.0f, true);
    const int fc = maze.family / 20;
    Add(window, seal, boardX + fc * 25, 18 * 25, 1, 1, 25, 25, 1.0f, true);
}

}  // namespace

bool WriteContactSheet(const std::string& folder, const std::string& path) {
    std::vector<Picture> pictures;
    pictures.push_back({"Hintergrund.bmp", 700, 500, false, 1, {}});
    pictures.push_back({"Startbild.bmp", 500, 500, false, 1, {}});
    pictures.push_back({"Logo.bmp", 200, 129, true, 3, {}});
    pictures.push_back({"Buttons.bmp", 200, 60, true, 3, {}});
    pictures.push_back({"Robbe.bmp", 200, 134, true, 3, {}});
    pictures.push_back({"Optionsmenue.bmp", 200, 150, true, 1, {}});
    pictures.push_back({"Radiobutton.bmp", 20, 40, true, 1, {}});
    pictures.push_back({"Checkbutton.bmp", 20, 40, true, 1, {}});
    pictures.push_back({"Trennlinie.bmp", 5, 500, false, 1, {}});
    pictures.push_back({"Babyrobbe.bmp", 25, 50, true, 1, {}});
    pictures.push_back({"Weg.bmp", 25, 400, false, 1, {}});
    for (Picture& p : pictures) {
        if (!p.image.Load((folder + "/" + p.name).c_str())) {
            std::fprintf(stderr, "floemaze_assetgen: cannot read back %s\n", p.name);
            return false;
        }
    }
    CDIB& hintergrund = pictures[0].image;
    CDIB& startbild = pictures[1].image;
    CDIB& logo = pictures[2].image;
    CDIB& buttons = pictures[3].image;
    CDIB& robbe = pictures[4].image;
    CDIB& options = pictures[5].image;
    CDIB& radio = pictures[6].image;
    CDIB& check = pictures[7].image;
    CDIB& separator = pictures[8].image;
    CDIB& babyrobbe = pictures[9].image;
    CDIB& weg = pictures[10].image;

    // Two windows: the start screen with the column at the left, and a game with the column at
    // the right, the options panel open and the pointer over the start button.
    CDIB start;
    start.CreateFilled(nullptr, 700, 500, RGB(0, 0, 0));
    Add(start, hintergrund, 0, 0, 0, 0, 700, 500, 1.0f, false);
    Add(start, buttons, 0, 225, 0, 6, 200, 60, 0.9f, true);
    Add(start, buttons, 0, 175, 0, 3, 200, 60, 0.9f, true);
    Add(start, buttons, 0, 125, 0, 0, 200, 60, 0.9f, true);
    Add(start, robbe, 0, 366, 0, 4, 200, 134, 1.0f, true);
    Add(start, logo, 0, 0, 0, 0, 200, 129, 1.0f, true);
    Add(start, separator, 196, 0, 0, 0, 5, 500, 1.0f, false);
    for (int k = 0; k < 100; ++k) {
        Add(start, startbild, 200 + 50 * (k / 10), 50 * (k % 10), k / 10, k % 10, 50, 50, 1.0f,
            false);
    }

    CDIB game;
    game.CreateFilled(nullptr, 700, 500, RGB(0, 0, 0));
    Add(game, hintergrund, 0, 0, 0, 0, 700, 500, 1.0f, false);
    AddBoard(game, weg, babyrobbe, 0);
    Add(game, check, 640, 311, 0, 1, 20, 20, 1.0f, true);
    Add(game, check, 610, 286, 0, 0, 20, 20, 1.0f, true);
    Add(game, radio, 603, 259, 0, 0, 20, 20, 1.0f, true);
    Add(game, radio, 523, 259, 0, 1, 20, 20, 1.0f, true);
    Add(game, options, 500, 236, 0, 0, 200, 150, 1.0f, true);
    Add(game, buttons, 500, 335, 0, 6, 200, 60, 0.9f, true);
    Add(game, buttons, 500, 175, 0, 3, 200, 60, 0.9f, true);
    Add(game, buttons, 500, 125, 0, 1, 200, 60, 0.9f, true);
    Add(game, robbe, 500, 366, 0, 2, 200, 134, 1.0f, true);
    Add(game, logo, 500, 0, 0, 3, 200, 129, 1.0f, true);
    Add(game, separator, 499, 0, 0, 0, 5, 500, 1.0f, false);

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
            const int px = places[i][0] + (row % p.wrap) * (w * kScale + kGap / 2);
            const int py = places[i][1] + (row / p.wrap) * (p.frameHeight * kScale + kGap / 2);
            // Keyed pictures on a checkerboard, so their transparent parts show as such.
            if (p.keyed) {
                const int fw = w * kScale;
                const int fh = p.frameHeight * kScale;
                for (int cy = 0; cy < fh; cy += 8) {
                    for (int cx = 0; cx < fw; cx += 8) {
                        cairo_rectangle(cr, px + cx, py + cy, std::min(8, fw - cx),
                                        std::min(8, fh - cy));
                        SetColour(cr, ((cx + cy) / 8) % 2 == 0 ? Hex(0x9AA3AD) : Hex(0x6F7A86));
                        cairo_fill(cr);
                    }
                }
            }
            DrawImagePart(sheet, p.image, 0, row * p.frameHeight, w, p.frameHeight, px, py, p.keyed,
                          kScale);
        }
    }
    return SavePng(sheet, path);
}

}  // namespace assetgen
