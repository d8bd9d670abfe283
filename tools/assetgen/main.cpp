// floemaze_assetgen: draws the game's eleven pictures and its icon.
//
//   floemaze_assetgen <picture folder> [<icon source file>]
//
// writes the BMP files and the icon PNGs into the picture folder and, when asked, the icon's
// pixels as C++ source for the program to embed. The output is the same, byte for byte, on every
// run.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/assetgen/Canvas.h"
#include "tools/assetgen/Pictures.h"

using namespace assetgen;

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: floemaze_assetgen <picture folder> [<icon source file>]\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "floemaze_assetgen: cannot make %s: %s\n", folder.c_str(),
                     error.message().c_str());
        return 1;
    }
    auto save = [&folder](CDIB image, const char* name) {
        return SaveImage(image, (folder / name).string());
    };
    bool ok = true;
    ok = save(BabySeal(), "Babyrobbe.bmp") && ok;
    ok = save(Tiles(), "Weg.bmp") && ok;
    ReleaseFonts();
    return ok ? 0 : 1;
}
