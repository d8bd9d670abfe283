// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/placeholder-images/PlaceholderImages.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "res/Pictures.h"
#include "sprites/DIB.h"

namespace {

using res::Picture;
using res::PictureOf;

constexpr COLORREF kKey = RGB(255, 0, 255);  // clear wherever the game uses a colour key
constexpr COLORREF kInk = RGB(20, 40, 90);
constexpr COLORREF kSnow = RGB(240, 246, 252);
constexpr COLORREF kSeal = RGB(150, 150, 165);
constexpr COLORREF kSealDark = RGB(90, 90, 105);

// A 24-bit image to draw on, in image pixels from the top-left.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) {
        m_image.CreateFilled(nullptr, width, height, fill);
    }

    void Pixel(int x, int y, COLORREF c) {
        if (unsigned char* p = m_image.GetPixelAddress(x, y)) {
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    }
    void Rect(int x, int y, int w, int h, COLORREF c) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) Pixel(i, j, c);
    }
    void Ellipse(int cx, int cy, int rx, int ry, COLORREF c) {
        for (int j = -ry; j <= ry; ++j)
            for (int i = -rx; i <= rx; ++i)
                if (i * i * ry * ry + j * j * rx * rx <= rx * rx * ry * ry)
                    Pixel(cx + i, cy + j, c);
    }
    // A rectangle with rounded corners; outside the corners stays as it was.
    void RoundRect(int x, int y, int w, int h, int r, COLORREF c) {
        Rect(x + r, y, w - 2 * r, h, c);
        Rect(x, y + r, w, h - 2 * r, c);
        for (const int cx : {x + r, x + w - r - 1})
            for (const int cy : {y + r, y + h - r - 1}) Ellipse(cx, cy, r, r, c);
    }
    void VerticalGradient(int x, int y, int w, int h, COLORREF top, COLORREF bottom) {
        for (int j = 0; j < h; ++j) {
            const auto mix = [&](BYTE a, BYTE b) {
                return static_cast<BYTE>(a + (b - a) * j / std::max(h - 1, 1));
            };
            Rect(x, y + j, w, 1,
                 RGB(mix(GetRValue(top), GetRValue(bottom)), mix(GetGValue(top), GetGValue(bottom)),
                     mix(GetBValue(top), GetBValue(bottom))));
        }
    }
    void Text(int x, int y, const char* text, int scale, COLORREF c);
    int TextWidth(const char* text, int scale) const {
        return static_cast<int>(std::strlen(text)) * 6 * scale - scale;
    }
    void CentredText(int cx, int y, const char* text, int scale, COLORREF c) {
        Text(cx - TextWidth(text, scale) / 2, y, text, scale, c);
    }
    bool Save(const std::string& dir, Picture picture) {
        return m_image.Save((dir + "/" + PictureOf(picture).file).c_str()) != FALSE;
    }

private:
    CDIB m_image;
};

// A canvas of the picture's whole frame sheet.
Canvas Sheet(Picture picture, COLORREF fill) {
    return Canvas(PictureOf(picture).Width(), PictureOf(picture).Height(), fill);
}

// 5 × 7 capitals: one string per letter, seven rows of five cells.
const char* Glyph(char letter) {
    switch (letter) {
        case 'A':
            return " ### #   ##   #######   ##   ##   #";
        case 'C':
            return " ### #   ##    #    #    #   # ### ";
        case 'D':
            return "#### #   ##   ##   ##   ##   ##### ";
        case 'E':
            return "######    #    #### #    #    #####";
        case 'F':
            return "######    #    #### #    #    #    ";
        case 'G':
            return " ### #   ##    # ####   ##   # ### ";
        case 'H':
            return "#   ##   ##   #######   ##   ##   #";
        case 'I':
            return " ###   #    #    #    #    #   ### ";
        case 'K':
            return "#   ##  # # #  ##   # #  #  # #   #";
        case 'L':
            return "#    #    #    #    #    #    #####";
        case 'M':
            return "#   ### ### # ##   ##   ##   ##   #";
        case 'N':
            return "#   ###  ## # ##  ###   ##   ##   #";
        case 'O':
            return " ### #   ##   ##   ##   ##   # ### ";
        case 'P':
            return "#### #   ##   ##### #    #    #    ";
        case 'R':
            return "#### #   ##   ##### # #  #  # #   #";
        case 'S':
            return " #####    #     ###     #    ##### ";
        case 'T':
            return "#####  #    #    #    #    #    #  ";
        case 'Z':
            return "#####    #   #   #   #   #    #####";
        default:
            return nullptr;
    }
}

void Canvas::Text(int x, int y, const char* text, int scale, COLORREF c) {
    for (int n = 0; text[n] != '\0'; ++n) {
        if (const char* glyph = Glyph(text[n])) {
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (glyph[row * 5 + col] == '#')
                        Rect(x + (n * 6 + col) * scale, y + row * scale, scale, scale, c);
        }
    }
}

// A seal seen from the side or from above, centred at (cx, cy), facing dx, dy.
void DrawSeal(Canvas& canvas, int cx, int cy, int size, int dx, int dy, int phase) {
    const int body = size / 2;
    canvas.Ellipse(cx - dx * body / 3, cy - dy * body / 3, dx != 0 ? body : body * 2 / 3,
                   dy != 0 ? body : body * 2 / 3, kSeal);
    const int hx = cx + dx * body / 2;
    const int hy = cy + dy * body / 2;
    canvas.Ellipse(hx, hy, body / 2 + 1, body / 2 + 1, kSeal);
    // Flippers alternate with the walking phase.
    const int flip = phase == 0 ? 1 : -1;
    canvas.Ellipse(cx + dy * body * 2 / 3 * flip, cy + dx * body * 2 / 3 * flip, body / 4 + 1,
                   body / 4 + 1, kSealDark);
    if (dy >= 0) {  // walking up it shows its back
        canvas.Pixel(hx - 2 + dx, hy - 1 + dy, kInk);
        canvas.Pixel(hx + 2 + dx, hy - 1 + dy, kInk);
    }
    canvas.Pixel(hx + dx * (body / 2), hy + dy * (body / 2), RGB(30, 30, 30));
}

bool Background(const std::string& dir) {
    Canvas c = Sheet(Picture::Background, kSnow);
    c.VerticalGradient(0, 0, 700, 500, RGB(170, 210, 240), RGB(235, 245, 255));
    for (int i = 0; i < 400; ++i) c.Pixel((i * 7919) % 700, (i * 104729) % 500, RGB(255, 255, 255));
    return c.Save(dir, Picture::Background);
}

bool Logo(const std::string& dir) {
    constexpr res::PictureInfo kLogo = PictureOf(Picture::Logo);
    Canvas c = Sheet(Picture::Logo, kKey);
    for (int frame = 0; frame < kLogo.rows; ++frame) {
        const int top = frame * kLogo.frameHeight;
        c.RoundRect(6, top + 20, 188, 90, 14, RGB(30, 90, 160));
        const char* word = "FLOEMAZE";
        for (int n = 0; n < 8; ++n) {
            // Frame 0 rests; in frames 1..7 a hop runs along the word.
            const int lift = frame > 0 && n * 7 / 8 == frame - 1 ? 8 : 0;
            const char letter[2] = {word[n], '\0'};
            c.Text(14 + n * 22, top + 48 - lift, letter, 3, kSnow);
        }
        c.Pixel(0, top, kKey);
    }
    return c.Save(dir, Picture::Logo);
}

bool StartPicture(const std::string& dir) {
    Canvas c = Sheet(Picture::StartPicture, kSnow);
    c.VerticalGradient(0, 0, 500, 300, RGB(120, 180, 235), RGB(200, 230, 250));
    c.Rect(0, 300, 500, 200, RGB(40, 110, 170));
    c.Ellipse(250, 330, 210, 50, kSnow);
    DrawSeal(c, 250, 270, 120, 1, 0, 0);
    c.CentredText(250, 400, "START", 6, RGB(250, 250, 255));
    c.CentredText(250, 60, "FLOEMAZE", 5, kInk);
    return c.Save(dir, Picture::StartPicture);
}

bool Buttons(const std::string& dir) {
    Canvas c = Sheet(Picture::Buttons, kKey);
    constexpr int kHeight = PictureOf(Picture::Buttons).frameHeight;
    const char* labels[3] = {"START", "OPTIONEN", "ENDE"};
    const COLORREF faces[3] = {RGB(60, 150, 80), RGB(60, 110, 180), RGB(180, 70, 60)};
    for (int button = 0; button < 3; ++button) {
        for (int state = 0; state < 3; ++state) {  // normal, hover, pressed
            const int top = (button * 3 + state) * kHeight;
            const COLORREF face = faces[button];
            const auto shade = [&](int d) {
                const auto ch = [d](BYTE v) {
                    return static_cast<BYTE>(std::clamp(v + d, 0, 255));
                };
                return RGB(ch(GetRValue(face)), ch(GetGValue(face)), ch(GetBValue(face)));
            };
            const COLORREF fill = state == 1 ? shade(40) : state == 2 ? shade(-40) : face;
            const int shift = state == 2 ? 2 : 0;
            c.RoundRect(10, top + 5, 180, 50, 12, shade(-70));
            c.RoundRect(12 + shift, top + 7 + shift, 176 - 2 * shift, 46 - 2 * shift, 10, fill);
            c.CentredText(100 + shift, top + 20 + shift, labels[button], 3, kSnow);
        }
    }
    c.Pixel(0, 0, kKey);
    return c.Save(dir, Picture::Buttons);
}

bool SealPicture(const std::string& dir) {
    constexpr res::PictureInfo kSheet = PictureOf(Picture::SealPicture);
    Canvas c = Sheet(Picture::SealPicture, kKey);
    for (int frame = 0; frame < kSheet.rows; ++frame) {
        const int top = frame * kSheet.frameHeight;
        c.Ellipse(100, top + 110, 90, 20, kSnow);
        // The seal lifts its head a little further in each frame, then rests (frame 4).
        const int lift = frame == 4 ? 0 : (frame % 3) * 4;
        c.Ellipse(90, top + 92, 60, 24, kSeal);
        c.Ellipse(140, top + 66 - lift, 24, 22, kSeal);
        c.Pixel(148, top + 60 - lift, kInk);
        c.Pixel(134, top + 60 - lift, kInk);
        c.Ellipse(163, top + 68 - lift, 3, 3, RGB(30, 30, 30));
        c.Ellipse(40, top + 100 + (frame % 2) * 4, 14, 6, kSealDark);
    }
    c.Pixel(0, 0, kKey);
    return c.Save(dir, Picture::SealPicture);
}

bool OptionsMenu(const std::string& dir) {
    Canvas c = Sheet(Picture::OptionsMenu, kKey);
    c.RoundRect(2, 2, 196, 146, 12, RGB(225, 235, 250));
    c.Text(10, 8, "SEITE", 1, kInk);
    c.Text(46, 30, "LINKS", 1, kInk);
    c.Text(126, 30, "RECHTS", 1, kInk);
    c.Text(10, 57, "ANIMATION", 1, kInk);
    c.Text(10, 82, "LOGO ZIEHEN", 1, kInk);
    // The picture lies above its four controls: they show through clear squares.
    for (const auto& [x, y] : {std::pair{23, 23}, {103, 23}, {110, 50}, {140, 75}})
        c.Rect(x, y, 20, 20, kKey);
    c.Pixel(0, 0, kKey);
    return c.Save(dir, Picture::OptionsMenu);
}

bool RadioButton(const std::string& dir) {
    Canvas c = Sheet(Picture::RadioButton, kKey);
    for (int row = 0; row < PictureOf(Picture::RadioButton).rows; ++row) {
        c.Ellipse(10, row * 20 + 10, 8, 8, kInk);
        c.Ellipse(10, row * 20 + 10, 6, 6, kSnow);
        if (row == 0) c.Ellipse(10, 10, 3, 3, kInk);  // row 0: selected
    }
    c.Pixel(0, 0, kKey);
    return c.Save(dir, Picture::RadioButton);
}

bool CheckButton(const std::string& dir) {
    Canvas c = Sheet(Picture::CheckButton, kKey);
    for (int row = 0; row < PictureOf(Picture::CheckButton).rows; ++row) {
        c.Rect(2, row * 20 + 2, 16, 16, kInk);
        c.Rect(4, row * 20 + 4, 12, 12, kSnow);
    }
    for (int i = 0; i < 4; ++i) c.Rect(5 + i, 9 + i, 2, 2, kInk);  // row 0: ticked
    for (int i = 0; i < 6; ++i) c.Rect(9 + i, 12 - i, 2, 2, kInk);
    c.Pixel(0, 0, kKey);
    return c.Save(dir, Picture::CheckButton);
}

bool Separator(const std::string& dir) {
    Canvas c = Sheet(Picture::Separator, RGB(30, 70, 130));
    c.Rect(0, 0, 1, 500, RGB(200, 225, 250));
    c.Rect(4, 0, 1, 500, RGB(200, 225, 250));
    return c.Save(dir, Picture::Separator);
}

bool BabySeal(const std::string& dir) {
    Canvas c = Sheet(Picture::BabySeal, kKey);
    constexpr int kDx[4] = {0, 0, -1, 1};
    constexpr int kDy[4] = {-1, 1, 0, 0};
    for (int direction = 0; direction < 4; ++direction)
        for (int phase = 0; phase < 2; ++phase)
            DrawSeal(c, direction * 25 + 12, phase * 25 + 12, 16, kDx[direction], kDy[direction],
                     phase);
    c.Pixel(0, 0, kKey);
    return c.Save(dir, Picture::BabySeal);
}

bool Path(const std::string& dir) {
    namespace tiles = res::tiles;
    Canvas c = Sheet(Picture::Path, RGB(70, 100, 140));
    // Column 0: passage pieces, rows 1..15, by open neighbours.
    const COLORREF ice = RGB(210, 230, 245);
    const COLORREF track = RGB(235, 245, 255);
    for (std::size_t row = 0; row < tiles::kPassageSides.size(); ++row) {
        const int top = static_cast<int>(row) * 25;
        const unsigned open = tiles::kPassageSides[row];
        c.Rect(0, top, 25, 25, ice);
        c.Rect(9, top + 9, 7, 7, track);
        if (open & tiles::kUp) c.Rect(9, top, 7, 12, track);
        if (open & tiles::kDown) c.Rect(9, top + 13, 7, 12, track);
        if (open & tiles::kLeft) c.Rect(0, top + 9, 12, 7, track);
        if (open & tiles::kRight) c.Rect(13, top + 9, 12, 7, track);
    }
    // Column 1: sixteen walls, blocks of ice with cracks in different places.
    for (int row = 0; row < 16; ++row) {
        const int top = row * 25;
        c.Rect(25, top, 25, 25, RGB(80, 120, 170));
        c.Rect(26, top + 1, 23, 23, RGB(100, 145, 195));
        for (int i = 0; i < 6; ++i)
            c.Pixel(28 + (row * 5 + i * 3) % 20, top + 3 + (row * 7 + i * 4) % 19,
                    RGB(60, 90, 140));
    }
    // Column 2, row 0: the family waiting on its floe.
    c.Rect(50, 0, 25, 25, ice);
    c.Ellipse(62, 16, 11, 7, kSnow);
    c.Ellipse(57, 11, 5, 5, kSealDark);
    c.Ellipse(68, 11, 5, 5, kSealDark);
    c.Ellipse(62, 15, 3, 3, kSeal);
    return c.Save(dir, Picture::Path);
}

}  // namespace

bool WritePlaceholderImages(const std::string& folder) {
    bool ok = true;
    for (bool (*write)(const std::string&) :
         {Background, Logo, StartPicture, Buttons, SealPicture, OptionsMenu, RadioButton,
          CheckButton, Separator, BabySeal, Path}) {
        ok = write(folder) && ok;
    }
    return ok;
}
