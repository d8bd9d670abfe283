// SPDX-License-Identifier: GPL-3.0-or-later
// The game's eleven image files, drawn in plain colours that tests can recognise, and a folder
// that holds them and is the current directory while it lives.
#pragma once

#include <initializer_list>
#include <string>

#include "platform/Types.h"
#include "res/Pictures.h"
#include "tests/support/TempDir.h"

/// The image files, in the order the window loads them, then the board's two.
using GameImage = res::Picture;

/// The colour every pixel of frame (column, row) of image has, except the key pixels.
COLORREF FrameColour(GameImage image, int column = 0, int row = 0);
/// The colour of the top-left pixel of the images drawn with a colour key, and of their clear
/// parts: that pixel, in the logo the 20 rightmost pixel columns of every frame, and in the
/// options picture the 20 × 20 squares where its four controls lie.
constexpr COLORREF kKeyColour = RGB(255, 0, 255);
/// The file name the game loads image from.
const char* FileName(GameImage image);

/// Writes every image but those in missing into folder.
void WriteGameImages(const std::string& folder, std::initializer_list<GameImage> missing = {});
/// Copies every image file but those in missing from folder from (the drawn pictures of the
/// build) into folder to; throws when one cannot be copied.
void CopyGameImages(const std::string& from, const std::string& to,
                    std::initializer_list<GameImage> missing = {});

/// A temporary folder with the game's images (but those missing) that is the current directory
/// while the object lives.
class GameFolder {
public:
    explicit GameFolder(std::initializer_list<GameImage> missing = {});
    /// The same with copies of the image files in folder picturesFrom instead.
    GameFolder(const std::string& picturesFrom, std::initializer_list<GameImage> missing);
    ~GameFolder();
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    const TempDir& Dir() const { return m_dir; }

private:
    TempDir m_dir;
    std::string m_previous;
};

/// The sprite addition's blend of src over dst at opacity alpha, per colour byte.
COLORREF Blend(COLORREF dst, COLORREF src, float alpha);
