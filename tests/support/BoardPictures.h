// SPDX-License-Identifier: GPL-3.0-or-later
// The maze's two pictures, drawn by the test, in a temporary folder that is the current directory
// while the object lives (the board loads them by bare name).
#pragma once

#include <filesystem>

#include "sprites/DIB.h"
#include "tests/support/TempDir.h"

class BoardPictures {
public:
    /// Writes "Babyrobbe.bmp" (4 × 2 frames of 25 × 25) and "Weg.bmp" (3 × 16 frames) unless told
    /// to leave one out, and makes the folder the current directory.
    explicit BoardPictures(bool withSeal = true, bool withTiles = true)
        : m_previous(std::filesystem::current_path()) {
        if (withSeal) Draw("Babyrobbe.bmp", 100, 50, RGB(255, 0, 255));
        if (withTiles) Draw("Weg.bmp", 75, 400, RGB(30, 120, 200));
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
    void Draw(const char* name, int width, int height, COLORREF colour) const {
        CDIB image;
        image.CreateFilled(nullptr, width, height, colour);
        image.Save(m_dir.File(name).c_str());
    }

    TempDir m_dir;
    std::filesystem::path m_previous;
};
