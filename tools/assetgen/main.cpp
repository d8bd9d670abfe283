// SPDX-License-Identifier: GPL-3.0-or-later
// floemaze_assetgen: draws the game's eleven pictures and its icon.
//
//   floemaze_assetgen <picture folder> [--sheet <png file>]
//
// writes the BMP files into the picture folder (those with words also into the subfolder of every
// language whose catalogue lies in its locale/), the desktop icons into its subfolder icons/ (in
// the hicolor theme's layout) and, when asked, a contact sheet of everything. The output is the
// same, byte for byte, on every run.
#include <cstdio>
#include <filesystem>
#include <string>

#include "lang/Language.h"
#include "platform/MessageBox.h"
#include "platform/Types.h"
#include "res/Pictures.h"
#include "tools/assetgen/Canvas.h"
#include "tools/assetgen/Icons.h"
#include "tools/assetgen/Pictures.h"
#include "tools/assetgen/Sheet.h"

using namespace assetgen;

int main(int argc, char** argv) {
    std::string sheet;
    if (argc == 4 && std::string(argv[2]) == "--sheet") {
        sheet = argv[3];
    } else if (argc != 2) {
        std::fprintf(stderr, "usage: floemaze_assetgen <picture folder> [--sheet <png file>]\n");
        return 2;
    }
    // The image class reports its failures in message boxes; here they go to standard error and
    // fail the run.
    bool ok = true;
    platform::SetMessageBoxHandler([&ok](const std::string& text, unsigned) {
        std::fprintf(stderr, "floemaze_assetgen: %s\n", text.c_str());
        ok = false;
        return IDOK;
    });
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder / "icons", error);
    if (error) {
        std::fprintf(stderr, "floemaze_assetgen: cannot make %s: %s\n", folder.c_str(),
                     error.message().c_str());
        return 1;
    }
    auto save = [&folder, &ok](CDIB image, const char* name) {
        ok = SaveImage(image, (folder / name).string()) && ok;
    };

    Canvas background(layout::kWindowWidth, layout::kWindowHeight);
    PaintBackground(background);
    const auto draw = [&background](res::Picture picture) {
        switch (picture) {
            case res::Picture::Background:
                return ToOpaqueImage(background);
            case res::Picture::Logo:
                return Logo(background);
            case res::Picture::StartPicture:
                return StartPicture();
            case res::Picture::Buttons:
                return Buttons(background);
            case res::Picture::SealPicture:
                return SealPicture(background);
            case res::Picture::OptionsMenu:
                return OptionsPanel(background);
            case res::Picture::RadioButton:
                return RadioButton(background);
            case res::Picture::CheckButton:
                return CheckButton(background);
            case res::Picture::Separator:
                return Separator();
            case res::Picture::BabySeal:
                return BabySeal();
            case res::Picture::Path:
                return Tiles();
        }
        return CDIB();
    };
    for (const res::PictureInfo& info : res::kPictures) save(draw(info.picture), info.file);
    // The pictures with words once more in every language whose catalogue lies in the folder.
    const std::filesystem::path catalogues = lang::CatalogueFolder(folder);
    for (const std::string& language : lang::CataloguedLanguages(catalogues)) {
        lang::Use(language, catalogues);
        std::filesystem::create_directories(folder / language, error);
        for (const res::Picture picture : res::kWordPictures) {
            save(draw(picture),
                 (std::filesystem::path(language) / res::PictureOf(picture).file).c_str());
        }
    }
    lang::Use(lang::kGerman, catalogues);

    ok = WriteDesktopIcons(folder / "icons", FLOEMAZE_APP_ID) && ok;
    if (ok && !sheet.empty()) ok = WriteContactSheet(folder.string(), sheet);
    ReleaseFonts();
    return ok ? 0 : 1;
}
