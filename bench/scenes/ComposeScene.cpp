// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/scenes/ComposeScene.h"

#include <cstdlib>

#include "platform/MessageBox.h"

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);

// A frame sheet of stand-in pictures: every frame a rounded shape on the key colour (or filling
// the frame when unkeyed), in colours that vary by frame and pixel like a drawn picture does.
void DrawStandIn(CSprite& sprite, int width, int height, int frameWidth, int frameHeight,
                 bool keyed) {
    sprite.CreateFilled(nullptr, width, height, keyed ? kKey : RGB(40, 90, 160));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int fx = x % frameWidth, fy = y % frameHeight;
            const int cx = 2 * fx - frameWidth, cy = 2 * fy - frameHeight;
            // An ellipse filling most of the frame: the key shows around it.
            const bool inside =
                static_cast<long>(cx) * cx * frameHeight * frameHeight +
                    static_cast<long>(cy) * cy * frameWidth * frameWidth <
                static_cast<long>(frameWidth) * frameWidth * frameHeight * frameHeight * 9 / 10;
            if (keyed && !inside) continue;
            unsigned char* p = sprite.GetPixelAddress(x, y);
            p[0] = static_cast<unsigned char>(60 + (x * 7 + y) % 180);
            p[1] = static_cast<unsigned char>(40 + (y * 3 + x / 4) % 200);
            p[2] = static_cast<unsigned char>(keyed ? 30 + (x + y) % 150 : 200);
        }
    }
}

}  // namespace

std::filesystem::path ComposeScene::DefaultPictureFolder() {
    if (const char* chosen = std::getenv("FLOEMAZE_PICTURES")) return chosen;
#ifdef FLOEMAZE_GENERATED_PICTURES
    return FLOEMAZE_GENERATED_PICTURES;
#else
    return {};
#endif
}

void ComposeScene::LoadOrDraw(CSprite& sprite, const std::filesystem::path& folder,
                              res::Picture picture) {
    const res::PictureInfo& info = res::PictureOf(picture);
    const int width = info.Width();
    const int height = info.Height();
    const int frameWidth = info.frameWidth;
    const int frameHeight = info.frameHeight;
    const bool keyed = info.keyed;
    const std::filesystem::path file = folder / info.file;
    std::error_code error;
    if (!folder.empty() && std::filesystem::is_regular_file(file, error) &&
        sprite.Load(file.c_str(), keyed ? TRUE : FALSE, frameWidth, frameHeight) &&
        sprite.GetWidth() == width && sprite.GetHeight() == height) {
        ++realPictures;
    } else {
        DrawStandIn(sprite, width, height, frameWidth, frameHeight, keyed);
        sprite.m_nFrameWidth = frameWidth;
        sprite.m_nFrameHeight = frameHeight;
    }
    sprite.m_bColorKey = keyed ? TRUE : FALSE;
}

ComposeScene::ComposeScene(const std::filesystem::path& pictures) {
    platform::SetMessageBoxHandler([](const std::string&, unsigned) { return IDOK; });
    backBuffer.CreateFilled(nullptr, 700, 500, RGB(0, 0, 0));
    m_list.m_pBackground = &backBuffer;

    LoadOrDraw(m_background, pictures, res::Picture::Background);
    LoadOrDraw(m_startPicture, pictures, res::Picture::StartPicture);
    LoadOrDraw(m_tilePicture, pictures, res::Picture::Path);
    LoadOrDraw(m_separator, pictures, res::Picture::Separator);
    LoadOrDraw(m_logo, pictures, res::Picture::Logo);
    CSprite buttons, radio, check;
    LoadOrDraw(buttons, pictures, res::Picture::Buttons);
    LoadOrDraw(m_sealPicture, pictures, res::Picture::SealPicture);
    LoadOrDraw(m_panel, pictures, res::Picture::OptionsMenu);
    LoadOrDraw(radio, pictures, res::Picture::RadioButton);
    LoadOrDraw(check, pictures, res::Picture::CheckButton);
    LoadOrDraw(m_seal, pictures, res::Picture::BabySeal);

    // During a game: the background over the start picture's tiles, the board in front of it,
    // the control column on the left with the options panel open.
    m_background.SetDepth(3);
    m_startTiles.resize(100);
    for (int k = 0; k < 100; ++k) {
        m_startTiles[k] = m_startPicture;
        m_startTiles[k].SetFrame(k / 10, k % 10);
        m_startTiles[k].MoveTo(200 + (k / 10) * 50, (k % 10) * 50);
        m_startTiles[k].SetDepth(1);
    }
    m_fields.resize(400);
    for (int i = 0; i < 400; ++i) {
        m_fields[i] = m_tilePicture;
        const bool wall = (i * 7) % 3 == 0;
        m_fields[i].SetFrame(wall ? 1 : 0, wall ? i % 16 : 1 + i % 15);
        m_fields[i].MoveTo(200 + (i / 20) * 25, (i % 20) * 25);
        m_fields[i].SetDepth(80);
    }
    m_separator.MoveTo(196, 0);
    m_separator.SetDepth(100);
    m_logo.SetDepth(100);
    for (int b = 0; b < 3; ++b) {
        m_buttons[b] = buttons;
        m_buttons[b].SetFrame(0, 3 * b);
        m_buttons[b].MoveTo(0, 125 + 50 * b + (b == 2 ? 150 : 0));
        m_buttons[b].SetDepth(10);
        m_buttons[b].SetAlpha(0.9f);
    }
    m_panel.MoveTo(0, 225);
    m_panel.SetDepth(5);
    m_sealPicture.SetFrame(0, 4);
    m_sealPicture.MoveTo(0, 366);
    m_sealPicture.SetDepth(100);
    for (int i = 0; i < 2; ++i) {
        m_radio[i] = radio;
        m_radio[i].SetFrame(0, i);
        m_radio[i].MoveTo(i == 0 ? 23 : 103, 248);
        m_radio[i].SetDepth(6);
        m_check[i] = check;
        m_check[i].SetFrame(0, i);
        m_check[i].MoveTo(i == 0 ? 110 : 140, i == 0 ? 275 : 300);
        m_check[i].SetDepth(6);
    }
    m_seal.SetFrame(3, 0);
    m_seal.MoveTo(m_sealX, 200);
    m_seal.SetDepth(90);

    m_list.Insert(&m_background);
    for (CSprite& s : m_startTiles) m_list.Insert(&s);
    for (CSprite& s : m_fields) m_list.Insert(&s);
    for (CSprite* s :
         {&m_separator, &m_logo, &m_buttons[0], &m_buttons[1], &m_buttons[2], &m_panel,
          &m_sealPicture, &m_radio[0], &m_radio[1], &m_check[0], &m_check[1], &m_seal}) {
        m_list.Insert(s);
    }
    m_list.Redraw(nullptr);
}

void ComposeScene::Advance(SceneKind kind) {
    switch (kind) {
        case SceneKind::FullRedraw:
            break;
        case SceneKind::BoardUpdate:
            m_boardShift ^= 1;
            for (int i = 0; i < 400; ++i) {
                m_fields[i].MoveTo(200 + (i / 20) * 25, (i % 20) * 25 + m_boardShift);
            }
            break;
        case SceneKind::SealStep:
            m_sealX = m_sealX == 300 ? 305 : 300;
            m_seal.MoveTo(m_sealX, 200);
            break;
    }
}

void ComposeScene::Compose(SceneKind kind) {
    if (kind == SceneKind::FullRedraw) {
        m_list.Redraw(nullptr);
    } else {
        m_list.Update(nullptr);
    }
}

RECT ComposeScene::Area(SceneKind kind) const {
    switch (kind) {
        case SceneKind::BoardUpdate:
            return RECT{200, 0, 700, 500};
        case SceneKind::SealStep:
            return RECT{300, 200, 330, 225};
        case SceneKind::FullRedraw:
            break;
    }
    return RECT{0, 0, 700, 500};
}

std::vector<const CSprite*> ComposeScene::DrawingOrder() const {
    std::vector<const CSprite*> order;
    POSITION pos = m_list.GetHeadPosition();
    while (pos != nullptr) order.push_back(static_cast<const CSprite*>(m_list.GetNext(pos)));
    return order;
}

ComposeScene::BoardCopies ComposeScene::BoardRowCopies() const {
    BoardCopies board{.copies = {},
                      .rows = 25,
                      .bytes = 25 * 3,
                      .dstStride = DibStride(backBuffer.GetWidth(), 24),
                      .srcStride = DibStride(m_tilePicture.GetWidth(), 24)};
    // The tiles where they rest, the board filling the canvas; top to bottom, left to right.
    for (int top = 0; top < 500; top += 25) {
        for (int column = 0; column < 20; ++column) {
            const CSprite& field = m_fields[static_cast<std::size_t>(column * 20 + top / 25)];
            const int left = 200 + column * 25;
            unsigned char* dst =
                backBuffer.m_pBits +
                static_cast<std::size_t>(backBuffer.GetHeight() - 1 - top) * board.dstStride +
                static_cast<std::size_t>(left) * 3;
            const unsigned char* src =
                field.m_pBits +
                static_cast<std::size_t>(m_tilePicture.GetHeight() - 1 - field.m_nFrameRow * 25) *
                    board.srcStride +
                static_cast<std::size_t>(field.m_nFrameCol) * board.bytes;
            board.copies.push_back(RowCopy{dst, src});
        }
    }
    return board;
}
