// SPDX-License-Identifier: GPL-3.0-or-later
// The maze's two pictures, drawn by the test, in a temporary folder that is the current directory
// while the object lives (the board loads them by bare name).
#pragma once

#include <filesystem>

#include "res/Pictures.h"
#include "sprites/DIB.h"
#include "tests/support/TempDir.h"

class BoardPictures {
public:
    /// Writes the seal's and the tiles' pictures, each one colour, unless told to leave one out,
    /// and makes the folder the current directory.
    explicit BoardPictures(bool withSeal = true, bool withTiles = true)
        : m_previous(std::filesystem::current_path()) {
        if (withSeal) Draw(res::Picture::BabySeal, RGB(255, 0, 255));
        if (withTiles) Draw(res::Picture::Path, RGB(30, 120, 200));
        std::filesystem::current_path(m_dir.Path());
    }
    ~BoardPictures() {
        std::error_code ignored;
        std::filesystem::current_path(m_previous, ignored);
    }
    BoardPictures(const BoardPictures&) = delete;
    BoardPictures& operator=(const BoardPictures&) = delete;

    const TempDir& Dir() const { return m_dir; }

private:
    void Draw(res::Picture picture, COLORREF colour) const {
        const res::PictureInfo& info = res::PictureOf(picture);
        CDIB image;
        image.CreateFilled(nullptr, info.Width(), info.Height(), colour);
        image.Save(m_dir.File(info.file).c_str());
    }

    TempDir m_dir;
    std::filesystem::path m_previous;
};
