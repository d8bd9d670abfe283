// SPDX-License-Identifier: GPL-3.0-or-later
// The installation: the program in games/, its pictures, icons, desktop entry, metainfo, manual
// page and documents where Debian has them, and a game that finds its pictures from wherever the
// installation has been moved to.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/XServer.h"

namespace {

namespace fs = std::filesystem;

constexpr int kTimeoutMs = 20000;

// Installs the build tree into prefix.
bool Install(const std::string& prefix) {
    return RunCommand({FLOEMAZE_CMAKE, "--install", FLOEMAZE_BINARY_DIR, "--prefix", prefix},
                      120000)
               .status == 0;
}

std::string ReadText(const fs::path& path) {
    const auto bytes = ReadFileBytes(path.string());
    return std::string(bytes.begin(), bytes.end());
}

// A gzip file made without a name or a time stamp (gzip -n), so two builds give the same bytes.
void ExpectReproducibleGzip(const fs::path& path) {
    const auto bytes = ReadFileBytes(path.string());
    ASSERT_GE(bytes.size(), 10u) << path;
    EXPECT_EQ(bytes[0], 0x1F) << path;
    EXPECT_EQ(bytes[1], 0x8B) << path;
    EXPECT_EQ(bytes[3] & 0x08, 0) << path << ": carries the file's name";
    EXPECT_EQ(bytes[4] | bytes[5] | bytes[6] | bytes[7], 0) << path << ": carries a time";
}

TEST(InstallTest, EverythingLiesWhereDebianHasIt) {
    TempDir prefix;
    ASSERT_TRUE(Install(prefix.Path()));
    const fs::path root = prefix.Path();
    const fs::path game = root / FLOEMAZE_INSTALL_GAMEDIR / "floemaze";
    ASSERT_TRUE(fs::is_regular_file(game));
    EXPECT_NE(fs::status(game).permissions() & fs::perms::others_exec, fs::perms::none);
    EXPECT_FALSE(fs::exists(root / "bin/floemaze")) << "no launcher any more";
    for (const char* name : {"Hintergrund.bmp", "Logo.bmp", "Startbild.bmp", "Buttons.bmp",
                             "Robbe.bmp", "Optionsmenue.bmp", "Radiobutton.bmp", "Checkbutton.bmp",
                             "Trennlinie.bmp", "Babyrobbe.bmp", "Weg.bmp"}) {
        EXPECT_TRUE(fs::is_regular_file(root / FLOEMAZE_INSTALL_PICTUREDIR / name)) << name;
    }
    const std::string icon = std::string(FLOEMAZE_APP_ID) + ".png";
    for (const char* size :
         {"16x16", "22x22", "24x24", "32x32", "48x48", "64x64", "128x128", "256x256"}) {
        EXPECT_TRUE(fs::is_regular_file(root / "share/icons/hicolor" / size / "apps" / icon))
            << size;
    }
    EXPECT_TRUE(fs::is_regular_file(root / "share/icons/hicolor/scalable/apps" /
                                    (std::string(FLOEMAZE_APP_ID) + ".svg")));

    // One id names the desktop entry, the metainfo and the icon; the entry starts the program
    // itself, whose window has the program's name as its class.
    const std::string desktop =
        ReadText(root / "share/applications" / (std::string(FLOEMAZE_APP_ID) + ".desktop"));
    EXPECT_NE(desktop.find("\nExec=floemaze\n"), std::string::npos);
    EXPECT_NE(desktop.find("\nIcon=" FLOEMAZE_APP_ID "\n"), std::string::npos);
    EXPECT_NE(desktop.find("\nStartupWMClass=floemaze\n"), std::string::npos);
    const std::string metainfo =
        ReadText(root / "share/metainfo" / (std::string(FLOEMAZE_APP_ID) + ".metainfo.xml"));
    EXPECT_NE(metainfo.find("<id>" FLOEMAZE_APP_ID "</id>"), std::string::npos);
    EXPECT_NE(metainfo.find(">" FLOEMAZE_APP_ID ".desktop</launchable>"), std::string::npos);
    EXPECT_NE(metainfo.find("<binary>floemaze</binary>"), std::string::npos);
    EXPECT_NE(metainfo.find("<project_license>GPL-3.0-or-later</project_license>"),
              std::string::npos);

    ExpectReproducibleGzip(root / "share/man/man6/floemaze.6.gz");
    ExpectReproducibleGzip(root / "share/doc/floemaze/changelog.gz");
    EXPECT_NE(ReadText(root / "share/doc/floemaze/copyright").find("License: GPL-3.0-or-later"),
              std::string::npos);
}

// The game's visible 700 × 500 window of class floemaze, once it shows.
std::optional<std::string> GameWindow(const VirtualDisplay& display) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        std::istringstream ids(
            display.Xdotool({"search", "--onlyvisible", "--class", "^floemaze$"}).value_or(""));
        std::string id;
        while (std::getline(ids, id)) {
            const auto g = display.WindowGeometry(id);
            if (g && g->width == 700 && g->height == 500) return id;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return std::nullopt;
}

TEST(InstallTest, AMovedInstallationStartsFromAnyFolder) {
    TempDir folder;
    const fs::path first = fs::path(folder.Path()) / "first";
    const fs::path moved = fs::path(folder.Path()) / "moved";
    ASSERT_TRUE(Install(first.string()));
    fs::rename(first, moved);
    const std::string game = (moved / FLOEMAZE_INSTALL_GAMEDIR / "floemaze").string();

    // The help names the picture folder beside the moved program; no display is needed for it.
    const CommandResult help = RunCommand({game, "--help"}, kTimeoutMs, {"DISPLAY"});
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_NE(help.out.find((moved / FLOEMAZE_INSTALL_PICTUREDIR).string()), std::string::npos)
        << help.out;

    if (!ProgramInPath("Xvfb") || !ProgramInPath("xdotool")) {
        GTEST_SKIP() << "needs Xvfb and xdotool (Debian packages xvfb and xdotool, installed by "
                        "tools/ensure-packages)";
    }
    VirtualDisplay display;
    ASSERT_TRUE(display.Error().empty()) << display.Error();
    // Started from the root folder, which holds no pictures: the game goes to its own.
    ChildProcess process({"/bin/sh", "-c", "cd / && exec \"$0\"", game},
                         {display.Environment(), "SDL_VIDEODRIVER", "FLOEMAZE_DATADIR"});
    ASSERT_TRUE(process.Started());
    const auto window = GameWindow(display);
    ASSERT_TRUE(window.has_value()) << process.Stderr();
    // No message box about a missing picture: the game's only window is the game window.
    const auto all =
        display.Xdotool({"search", "--onlyvisible", "--pid", std::to_string(process.Pid())});
    EXPECT_EQ(all.value_or(""), *window + "\n");
    EXPECT_EQ(process.Wait(0), -1) << "the game ended: " << process.Stderr();
    EXPECT_EQ(process.Stderr(), "");
}

}  // namespace
