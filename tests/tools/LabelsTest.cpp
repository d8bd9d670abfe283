// SPDX-License-Identifier: GPL-3.0-or-later
// The words drawn into the pictures, in every language with a catalogue: each line stays inside
// the columns the German one keeps to, at a size a child can read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/Language.h"
#include "res/Pictures.h"
#include "sprites/DIB.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/TempDir.h"
#include "tools/assetgen/Canvas.h"
#include "tools/assetgen/Labels.h"

namespace {

using namespace assetgen;

TEST(LabelsTest, EveryLabelFitsItsPlaceInEveryLanguageAtAReadableSize) {
    std::vector<std::string> languages = lang::CataloguedLanguages(FLOEMAZE_CATALOGUE_DIR);
    ASSERT_GE(languages.size(), 7u);
    languages.insert(languages.begin(), lang::kGerman);
    for (const std::string& language : languages) {
        lang::Use(language, FLOEMAZE_CATALOGUE_DIR);
        const struct {
            const char* picture;
            std::vector<Label> labels;
        } pictures[] = {{"start picture", StartPictureLabels()},
                        {"buttons", ButtonLabels()},
                        {"options panel", PanelLabels()}};
        for (const auto& picture : pictures) {
            for (const Label& label : picture.labels) {
                SCOPED_TRACE(language + ", " + picture.picture + ": \"" + label.text + "\"");
                EXPECT_GE(label.style.size, kReadableSize);
                const auto [first, last] = InkColumns(label);
                EXPECT_GE(first, label.left);
                EXPECT_LE(last, label.right);
                EXPECT_GT(last - first, label.style.size) << "the letters were not measured";
            }
        }
    }
    lang::Use(lang::kGerman, FLOEMAZE_CATALOGUE_DIR);
    ReleaseFonts();
}

// The game loads a language's picture with the German one's frame layout and colour key.
TEST(LabelsTest, EveryLanguagesPicturesHaveTheGermanOnesSizeAndKey) {
    const std::string folder = FLOEMAZE_ASSET_DIR;
    for (const std::string& language : lang::CataloguedLanguages(FLOEMAZE_CATALOGUE_DIR)) {
        for (const res::Picture picture : res::kWordPictures) {
            const char* file = res::PictureOf(picture).file;
            SCOPED_TRACE(language + "/" + file);
            CDIB german;
            CDIB translated;
            ASSERT_TRUE(german.Load((folder + "/" + file).c_str()));
            ASSERT_TRUE(translated.Load((folder + "/" + language + "/" + file).c_str()));
            EXPECT_EQ(translated.GetWidth(), german.GetWidth());
            EXPECT_EQ(translated.GetHeight(), german.GetHeight());
            EXPECT_EQ(translated.GetBitCount(), 24);
            EXPECT_EQ(PixelAt(translated, 0, 0), PixelAt(german, 0, 0));
            EXPECT_NE(ReadFileBytes(folder + "/" + language + "/" + file),
                      ReadFileBytes(folder + "/" + file))
                << "drawn with the German words";
        }
    }
}

}  // namespace
