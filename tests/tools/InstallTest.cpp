// SPDX-License-Identifier: GPL-3.0-or-later
// The installation: pictures, icons, desktop entry and a launcher that starts the game from the
// picture folder, wherever the installation lies.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// Runs the shell command made of parts, its output discarded; true when it succeeded. (Built
// with a stream: GCC 12 warns wrongly about chains of string concatenations here.)
template <typename... Parts>
bool RunShell(const Parts&... parts) {
    std::ostringstream line;
    line << "(";
    (line << ... << parts);
    line << ") >/dev/null 2>&1";
    return std::system(line.str().c_str()) == 0;
}

// Installs the build tree into prefix.
bool Install(const std::string& prefix) {
    return RunShell("'", FLOEMAZE_CMAKE, "' --install '", FLOEMAZE_BINARY_DIR, "' --prefix '",
                    prefix, "'");
}

std::string ReadText(const fs::path& path) {
    const auto bytes = ReadFileBytes(path.string());
    return std::string(bytes.begin(), bytes.end());
}

TEST(InstallTest, LauncherStartsTheGameInItsPictureFolder) {
    TempDir prefix;
    ASSERT_TRUE(Install(prefix.Path()));
    const fs::path root = prefix.Path();
    for (const char* name : {"Hintergrund.bmp", "Logo.bmp", "Startbild.bmp", "Buttons.bmp",
                             "Robbe.bmp", "Optionsmenue.bmp", "Radiobutton.bmp", "Checkbutton.bmp",
                             "Trennlinie.bmp", "Babyrobbe.bmp", "Weg.bmp"}) {
        EXPECT_TRUE(fs::is_regular_file(root / "share/floemaze" / name)) << name;
    }
    for (const char* size : {"48x48", "32x32", "16x16"}) {
        EXPECT_TRUE(fs::is_regular_file(root / "share/icons/hicolor" / size / "apps/floemaze.png"))
            << size;
    }
    const std::string desktop = ReadText(root / "share/applications/floemaze.desktop");
    EXPECT_NE(desktop.find("Exec=floemaze\n"), std::string::npos);
    EXPECT_NE(desktop.find("Icon=floemaze\n"), std::string::npos);

    // A stand-in for the game records where it was started and with which arguments.
    const fs::path game = root / "libexec/floemaze/floemaze";
    fs::create_directories(game.parent_path());
    const fs::path record = root / "record.txt";
    {
        std::ofstream script(game, std::ios::trunc);
        script << "#!/bin/sh\npwd > '" << record.string() << "'\necho \"$@\" >> '"
               << record.string() << "'\n";
    }
    fs::permissions(game, fs::perms::owner_all);
    // Started through a link from elsewhere, as from a menu or the PATH.
    TempDir elsewhere;
    fs::create_symlink(root / "bin/floemaze", fs::path(elsewhere.Path()) / "floemaze");
    ASSERT_TRUE(RunShell("cd / && '", elsewhere.File("floemaze"), "' one two"));
    EXPECT_EQ(ReadText(record), fs::canonical(root / "share/floemaze").string() + "\none two\n");
}

TEST(InstallTest, LauncherSaysSoWhenThePicturesAreMissing) {
    TempDir prefix;
    ASSERT_TRUE(Install(prefix.Path()));
    fs::remove_all(fs::path(prefix.Path()) / "share/floemaze");
    const std::string output = prefix.File("output.txt");
    EXPECT_FALSE(RunShell("'", prefix.File("bin/floemaze"), "' 2>'", output, "'"));
    EXPECT_NE(ReadText(output).find("picture folder"), std::string::npos);
}

}  // namespace
