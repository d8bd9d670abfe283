// SPDX-License-Identifier: GPL-3.0-or-later
// floemaze_assetgen: draws the game's eleven pictures and its icon.
//
//   floemaze_assetgen <picture folder> [--sheet <png file>]
//
// writes the BMP files into the picture folder, the desktop icons into its subfolder icons/ (in
// the hicolor theme's layout) and, when asked, a contact sheet of everything. The output is the
// same, byte for byte, on every run.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/MessageBox.h"
#include "platform/Types.h"
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
    save(ToOpaqueImage(background), "Hintergrund.bmp");
    save(Logo(background), "Logo.bmp");
    save(StartPicture(), "Startbild.bmp");
    save(Buttons(background), "Buttons.bmp");
    save(SealPicture(background), "Robbe.bmp");
    save(OptionsPanel(background), "Optionsmenue.bmp");
    save(RadioButton(background), "Radiobutton.bmp");
    save(CheckButton(background), "Checkbutton.bmp");
    save(Separator(), "Trennlinie.bmp");
    save(BabySeal(), "Babyrobbe.bmp");
    save(Tiles(), "Weg.bmp");

    ok = WriteDesktopIcons(folder / "icons", FLOEMAZE_APP_ID) && ok;
    if (ok && !sheet.empty()) ok = WriteContactSheet(folder.string(), sheet);
    ReleaseFonts();
    return ok ? 0 : 1;
}
