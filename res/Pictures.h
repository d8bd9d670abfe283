// SPDX-License-Identifier: GPL-3.0-or-later
// The game's eleven pictures and the frame layout of the board's tiles: one table that the game,
// its picture generators, the benchmarks, the fuzz runner and the tests all read.
#pragma once

#include <array>
#include <cstddef>

#include "lang/Language.h"

namespace res {

/// The pictures, in the order the window loads them, then the board's two.
enum class Picture {
    Background,
    Logo,
    StartPicture,
    Buttons,
    SealPicture,
    OptionsMenu,
    RadioButton,
    CheckButton,
    Separator,
    BabySeal,
    Path,
};
inline constexpr std::size_t kPictureCount = 11;

/// One picture file: a sheet of columns × rows equal frames.
struct PictureInfo {
    Picture picture;
    const char* file;        ///< loaded by this bare name from the current directory
    int frameWidth;          ///< pixels
    int frameHeight;         ///< pixels
    int columns;             ///< frames side by side
    int rows;                ///< frames one below the other
    bool keyed;              ///< drawn with its colour key: pixels of the key colour stay clear
    const char* failedLoad;  ///< the message when the file cannot be loaded (German; lang::Tr)

    constexpr int Width() const { return frameWidth * columns; }
    constexpr int Height() const { return frameHeight * rows; }
};

inline constexpr std::array<PictureInfo, kPictureCount> kPictures{{
    {Picture::Background, "Hintergrund.bmp", 700, 500, 1, 1, false,
     lang::Mark("Die Datei \"Hintergrund.bmp\" konnte nicht geladen werden!")},
    {Picture::Logo, "Logo.bmp", 200, 129, 1, 8, true,
     lang::Mark("Die Datei \"Logo.bmp\" konnte nicht geladen werden!")},
    {Picture::StartPicture, "Startbild.bmp", 50, 50, 10, 10, false,
     lang::Mark("Die Datei \"Startbild.bmp\" konnte nicht geladen werden!")},
    // The message names the file in lower case, as the game always has.
    {Picture::Buttons, "Buttons.bmp", 200, 60, 1, 9, true,
     lang::Mark("Die Datei \"buttons.bmp\" konnte nicht geladen werden!")},
    {Picture::SealPicture, "Robbe.bmp", 200, 134, 1, 6, true,
     lang::Mark("Die Datei \"Robbe.bmp\" konnte nicht geladen werden!")},
    {Picture::OptionsMenu, "Optionsmenue.bmp", 200, 150, 1, 1, true,
     lang::Mark("Die Datei \"Optionsmenue.bmp\" konnte nicht geladen werden!")},
    {Picture::RadioButton, "Radiobutton.bmp", 20, 20, 1, 2, true,
     lang::Mark("Die Datei \"Radiobutton.bmp\" konnte nicht geladen werden!")},
    {Picture::CheckButton, "Checkbutton.bmp", 20, 20, 1, 2, true,
     lang::Mark("Die Datei \"Checkbutton.bmp\" konnte nicht geladen werden!")},
    {Picture::Separator, "Trennlinie.bmp", 5, 500, 1, 1, false,
     lang::Mark("Die Datei \"Trennlinie.bmp\" konnte nicht geladen werden!")},
    {Picture::BabySeal, "Babyrobbe.bmp", 25, 25, 4, 2, true,
     lang::Mark("Die Datei \"Babyrobbe.bmp\" konnte nicht geladen werden!")},
    {Picture::Path, "Weg.bmp", 25, 25, 3, 16, false,
     lang::Mark("Die Datei \"Weg.bmp\" konnte nicht geladen werden!")},
}};

/// The pictures that carry words: the picture generator draws them once for every language, into
/// the picture folder's subfolder of that language.
inline constexpr std::array kWordPictures{Picture::StartPicture, Picture::Buttons,
                                          Picture::OptionsMenu};

constexpr const PictureInfo& PictureOf(Picture picture) {
    return kPictures[static_cast<std::size_t>(picture)];
}

// Every entry stands at its own picture's place, so PictureOf needs no search.
static_assert([] {
    for (std::size_t i = 0; i < kPictures.size(); ++i) {
        if (static_cast<std::size_t>(kPictures[i].picture) != i) return false;
    }
    return true;
}());

/// The frames of "Weg.bmp": passage pieces in column 0 (row 0 unused), wall pictures in column 1,
/// the family field at column 2, row 0.
namespace tiles {
inline constexpr int kPassageColumn = 0;
inline constexpr int kWallColumn = 1;
inline constexpr int kWallPictures = 16;
inline constexpr int kFamilyColumn = 2;
inline constexpr int kFamilyRow = 0;

/// Open sides of a passage piece, as bits.
inline constexpr unsigned kUp = 1;
inline constexpr unsigned kDown = 2;
inline constexpr unsigned kLeft = 4;
inline constexpr unsigned kRight = 8;

/// The open sides that the passage piece of each frame row shows; row 0 is not used.
inline constexpr std::array<unsigned, 16> kPassageSides{
    0,
    kUp,
    kDown,
    kLeft,
    kRight,
    kUp | kDown,
    kUp | kLeft,
    kUp | kRight,
    kDown | kLeft,
    kDown | kRight,
    kLeft | kRight,
    kUp | kDown | kLeft,
    kUp | kDown | kRight,
    kUp | kLeft | kRight,
    kDown | kLeft | kRight,
    kUp | kDown | kLeft | kRight,
};

/// The frame row of the passage piece with these open sides; 0 for none.
constexpr int PassageRow(unsigned sides) {
    for (std::size_t row = 1; row < kPassageSides.size(); ++row) {
        if (kPassageSides[row] == sides) return static_cast<int>(row);
    }
    return 0;
}

static_assert(kWallColumn < PictureOf(Picture::Path).columns &&
              kFamilyColumn < PictureOf(Picture::Path).columns &&
              kWallPictures <= PictureOf(Picture::Path).rows &&
              static_cast<int>(kPassageSides.size()) <= PictureOf(Picture::Path).rows);
}  // namespace tiles

}  // namespace res
