// SPDX-License-Identifier: GPL-3.0-or-later
// floemaze.conf: where it is looked for, which file wins, and every kind of line that cannot be
// used, each answered with one line that names the file and the line.
#include "app/Settings.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

std::string WriteConf(const TempDir& dir, const std::string& folder, const std::string& text) {
    fs::create_directories(dir.File(folder + "/floemaze"));
    return dir.Write(folder + "/floemaze/floemaze.conf",
                     std::vector<std::uint8_t>(text.begin(), text.end()));
}

TEST(SettingsTest, SystemFoldersFromTheLastThenTheUsersFileWinKeyByKey) {
    EXPECT_EQ(app::SettingsFiles(nullptr, nullptr, "/home/kim"),
              (std::vector<fs::path>{"/etc/xdg/floemaze/floemaze.conf",
                                     "/home/kim/.config/floemaze/floemaze.conf"}));
    // Relative folders are passed over; an empty XDG_CONFIG_HOME is the default one.
    EXPECT_EQ(app::SettingsFiles("", "/a:relative::/b/", "/h"),
              (std::vector<fs::path>{"/b/floemaze/floemaze.conf", "/a/floemaze/floemaze.conf",
                                     "/h/.config/floemaze/floemaze.conf"}));
    EXPECT_EQ(app::SettingsFiles("/c", "/a", nullptr),
              (std::vector<fs::path>{"/a/floemaze/floemaze.conf", "/c/floemaze/floemaze.conf"}));

    TempDir dir;
    WriteConf(dir, "school", "side = right\nanimation = off\nquit = off\n");
    WriteConf(dir, "vendor", "animation = on\nlogo-drag = on\n");
    WriteConf(dir, "home", "# the child's own\n\nquit = on\n");
    const std::string dirs = dir.File("vendor") + ":" + dir.File("school");
    app::Settings settings;
    std::vector<std::string> faults;
    for (const fs::path& file : app::SettingsFiles(dir.File("home").c_str(), dirs.c_str(), "")) {
        app::ReadSettingsFile(file, settings, faults);
    }
    EXPECT_TRUE(faults.empty()) << faults.front();
    EXPECT_TRUE(settings.sideRight);
    EXPECT_TRUE(settings.animate);
    EXPECT_TRUE(settings.logoDrag);
    EXPECT_TRUE(settings.quit);
}

TEST(SettingsTest, EveryLineThatCannotBeUsedIsOneLineAndKeepsTheDefault) {
    TempDir dir;
    const std::string text =
        "\xEF\xBB\xBF"
        "side = right\r\n"
        "nonsense\n"
        "colour = blue\n"
        "side = middle\n"
        "animation = yes\n"
        "quit = off # for school\n"
        "animation = off#\n"
        "datadir = " +
        dir.File("missing") +
        "\n"
        "\x1b[31m=1\n"
        "language = pt_BR\n"
        "language = ../x\n"
        "datadir = " +
        dir.Path() +
        "\n"
        "scale = 5\n"
        "scale = 3\n"
        "fullscreen = on\n";
    app::Settings settings;
    std::vector<std::string> faults;
    app::ParseSettings(text, "/etc/f.conf", settings, faults);
    EXPECT_EQ(
        faults,
        (std::vector<std::string>{
            "floemaze: /etc/f.conf:2: „nonsense“ ist keine Einstellung; erwartet: Schlüssel = Wert",
            "floemaze: /etc/f.conf:3: unbekannter Schlüssel „colour“; erwartet: side, animation, "
            "logo-drag, quit, scale, fullscreen, datadir oder language",
            "floemaze: /etc/f.conf:4: side = „middle“; erwartet: left oder right",
            "floemaze: /etc/f.conf:5: animation = „yes“; erwartet: on oder off",
            "floemaze: /etc/f.conf:7: animation = „off#“; erwartet: on oder off",
            "floemaze: /etc/f.conf:8: datadir = „" + dir.File("missing") +
                "“; erwartet: ein Ordner, der die Bilder enthält",
            "floemaze: /etc/f.conf:9: unbekannter Schlüssel „?[31m“; erwartet: side, animation, "
            "logo-drag, quit, scale, fullscreen, datadir oder language",
            "floemaze: /etc/f.conf:11: language = „../x“; erwartet: eine Sprache wie de, en oder "
            "fr",
            "floemaze: /etc/f.conf:13: scale = „5“; erwartet: eine Zahl von 1 bis 4"}));
    EXPECT_TRUE(settings.sideRight);
    EXPECT_TRUE(settings.animate);
    EXPECT_FALSE(settings.logoDrag);
    EXPECT_FALSE(settings.quit);
    EXPECT_EQ(settings.dataDir, dir.Path());
    EXPECT_EQ(settings.language, "pt_BR");
    EXPECT_EQ(settings.scale, 3);
    EXPECT_TRUE(settings.fullscreen);

    // Files: a missing one is none; a folder, a named pipe, a huge file or a link to itself
    // cannot be read.
    faults.clear();
    app::ReadSettingsFile(dir.File("none.conf"), settings, faults);
    EXPECT_TRUE(faults.empty());
    fs::create_directory(dir.File("folder.conf"));
    app::ReadSettingsFile(dir.File("folder.conf"), settings, faults);
    ASSERT_EQ(mkfifo(dir.File("pipe.conf").c_str(), 0600), 0);
    app::ReadSettingsFile(dir.File("pipe.conf"), settings, faults);
    const std::string huge(70000, '#');
    app::ReadSettingsFile(
        dir.Write("huge.conf", std::vector<std::uint8_t>(huge.begin(), huge.end())), settings,
        faults);
    fs::create_symlink("loop.conf", dir.File("loop.conf"));
    app::ReadSettingsFile(dir.File("loop.conf"), settings, faults);
    EXPECT_EQ(
        faults,
        (std::vector<std::string>{
            "floemaze: " + dir.File("folder.conf") + ": keine gewöhnliche Datei",
            "floemaze: " + dir.File("pipe.conf") + ": keine gewöhnliche Datei",
            "floemaze: " + dir.File("huge.conf") + ": größer als 64 KiB, keine Einstellungsdatei",
            "floemaze: " + dir.File("loop.conf") + ": nicht lesbar: " + std::strerror(ELOOP)}));
}

}  // namespace
