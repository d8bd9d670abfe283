// SPDX-License-Identifier: GPL-3.0-or-later
// The game's window at its busiest, as a sprite list composing into a 700 × 500 back buffer, and
// the three scenes timed against other ways of drawing it: a full redraw, an update of the whole
// board after its tiles moved, and one step of the seal.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "res/Pictures.h"
#include "sprites/DIB.h"
#include "sprites/Sprite.h"
#include "sprites/SpriteList.h"

enum class SceneKind { FullRedraw, BoardUpdate, SealStep };

class ComposeScene {
public:
    /// Builds the scene from the game's pictures in folder where it holds them (by their file
    /// names), otherwise from drawn stand-ins of the same sizes and frame layouts.
    explicit ComposeScene(const std::filesystem::path& pictures = DefaultPictureFolder());
    ComposeScene(const ComposeScene&) = delete;
    ComposeScene& operator=(const ComposeScene&) = delete;

    /// $FLOEMAZE_PICTURES, else the pictures this build generated (may not exist).
    static std::filesystem::path DefaultPictureFolder();

    /// Changes what the scene changes between two frames: nothing for a full redraw, every board
    /// tile moved by one pixel, the seal moved by one move of a step.
    void Advance(SceneKind kind);
    /// Composes the scene into the back buffer the way the game does: Redraw for a full redraw,
    /// Update otherwise.
    void Compose(SceneKind kind);
    /// The back-buffer area the scene writes.
    RECT Area(SceneKind kind) const;

    /// Where the rows of the board's 400 tiles go and come from, in the order the compositor
    /// writes them (top to bottom, left to right): the board update's copying without the list.
    struct BoardCopies {
        std::vector<RowCopy> copies;
        std::size_t rows, bytes, dstStride, srcStride;
    };
    BoardCopies BoardRowCopies() const;

    /// The sprites in drawing order, back to front.
    std::vector<const CSprite*> DrawingOrder() const;

    CDIB backBuffer;
    int realPictures = 0;  ///< how many pictures came from files

private:
    /// Loads picture from folder, or draws a stand-in of its size and frame layout.
    void LoadOrDraw(CSprite& sprite, const std::filesystem::path& folder, res::Picture picture);

    CSprite m_background, m_startPicture, m_tilePicture, m_separator;
    std::vector<CSprite> m_startTiles;
    std::vector<CSprite> m_fields;
    CSprite m_logo, m_buttons[3], m_sealPicture, m_panel, m_radio[2], m_check[2], m_seal;
    CSpriteList m_list;
    int m_boardShift = 0;
    int m_sealX = 300;
};
