// SPDX-License-Identifier: GPL-3.0-or-later
// The command line and the search for the picture folder: parsed in the program, and the game
// program itself answering without any display.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using Action = app::CommandLine::Action;

app::CommandLine Parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "floemaze");
    return app::ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLineTest, ReadsTheOptions) {
    EXPECT_EQ(Parse({}).action, Action::Run);
    EXPECT_EQ(Parse({"--help"}).action, Action::Help);
    EXPECT_EQ(Parse({"-h"}).action, Action::Help);
    EXPECT_EQ(Parse({"--version"}).action, Action::Version);
    // Help and version win as soon as they come, before a later fault.
    EXPECT_EQ(Parse({"--version", "--nonsense"}).action, Action::Version);
    EXPECT_EQ(Parse({"--datadir", "/a", "--help"}).action, Action::Help);

    EXPECT_EQ(Parse({"--datadir", "/pictures"}).dataDir, "/pictures");
    EXPECT_EQ(Parse({"--datadir=/pictures"}).dataDir, "/pictures");
    EXPECT_EQ(Parse({"--datadir=/a", "--datadir", "/b"}).dataDir, "/b");
    EXPECT_EQ(Parse({"--language", "fr"}).language, "fr");
    EXPECT_EQ(Parse({"--language=pt_BR", "--datadir=/a"}).language, "pt_BR");

    // By default the scale is picked for the display and the window is a window.
    EXPECT_EQ(Parse({}).display.scale, 0);
    EXPECT_FALSE(Parse({}).display.fullscreen);
    const app::CommandLine big = Parse({"--fullscreen", "--scale", "2"});
    EXPECT_EQ(big.action, Action::Run);
    EXPECT_EQ(big.display.scale, 2);
    EXPECT_TRUE(big.display.fullscreen);
    EXPECT_EQ(Parse({"--scale=4"}).display.scale, 4);
}

TEST(CommandLineTest, TheScaleVariableCountsOnlyWithoutTheOption) {
    platform::DisplayOptions display;
    EXPECT_EQ(app::ApplyScaleVariable(display, nullptr), "");
    EXPECT_EQ(app::ApplyScaleVariable(display, ""), "");
    EXPECT_EQ(display.scale, 0);
    EXPECT_EQ(app::ApplyScaleVariable(display, "3"), "");
    EXPECT_EQ(display.scale, 3);
    display.scale = 2;  // from --scale
    EXPECT_EQ(app::ApplyScaleVariable(display, "big"), "");
    EXPECT_EQ(display.scale, 2);
    display.scale = 0;
    EXPECT_EQ(app::ApplyScaleVariable(display, "big"),
              "floemaze: FLOEMAZE_SCALE: „big“ ist keine Zahl von 1 bis 4");
}

TEST(CommandLineTest, EachFaultHasItsOwnLine) {
    const struct {
        std::vector<const char*> arguments;
        const char* line;
    } cases[] = {
        {{"--fullscreen=ja"}, "floemaze: unbekannte Option „--fullscreen=ja“"},
        {{"--scale"}, "floemaze: --scale braucht eine Zahl von 1 bis 4"},
        {{"--scale="}, "floemaze: --scale braucht eine Zahl von 1 bis 4"},
        {{"--scale", "5"}, "floemaze: --scale: „5“ ist keine Zahl von 1 bis 4"},
        {{"--scale=0"}, "floemaze: --scale: „0“ ist keine Zahl von 1 bis 4"},
        {{"--scale", "2x"}, "floemaze: --scale: „2x“ ist keine Zahl von 1 bis 4"},
        {{"-x"}, "floemaze: unbekannte Option „-x“"},
        {{"--help=yes"}, "floemaze: unbekannte Option „--help=yes“"},
        {{"--datadirs=/a"}, "floemaze: unbekannte Option „--datadirs=/a“"},
        {{"Hintergrund.bmp"}, "floemaze: unerwartetes Argument „Hintergrund.bmp“"},
        {{"--datadir"}, "floemaze: --datadir braucht einen Ordner"},
        {{"--datadir="}, "floemaze: --datadir braucht einen Ordner"},
        {{"--datadir", ""}, "floemaze: --datadir braucht einen Ordner"},
        {{"--language"}, "floemaze: --language braucht eine Sprache"},
        {{"--languages=fr"}, "floemaze: unbekannte Option „--languages=fr“"},
    };
    for (const auto& c : cases) {
        const app::CommandLine line = Parse(c.arguments);
        EXPECT_EQ(line.action, Action::Error) << c.line;
        EXPECT_EQ(line.error, c.line);
    }
}

TEST(CommandLineTest, ThePictureFolderComesFromTheFirstSourceThatHasOne) {
    TempDir option, variable, current, installed, empty;
    option.Write("Hintergrund.bmp", {1});
    current.Write("Hintergrund.bmp", {1});
    app::DataDirSources sources{option.Path(), variable.Path(), current.Path(), installed.Path()};
    EXPECT_EQ(app::FindDataDir(sources).folder, option.Path());
    sources.option.clear();
    // The variable counts even without the pictures: the game then names the missing ones.
    EXPECT_EQ(app::FindDataDir(sources).folder, variable.Path());
    sources.environment.clear();
    EXPECT_EQ(app::FindDataDir(sources).folder, current.Path());
    sources.current = empty.Path();
    EXPECT_EQ(app::FindDataDir(sources).folder, installed.Path());
    // Nothing fits: the game stays where it was started, as it always has.
    sources.installed = fs::path(installed.Path()) / "gone";
    EXPECT_EQ(app::FindDataDir(sources).folder, empty.Path());
    EXPECT_EQ(app::FindDataDir(sources).error, "");
}

TEST(CommandLineTest, ANamedFolderThatIsNoneIsAFault) {
    TempDir folder;
    const std::string file = folder.Write("Hintergrund.bmp", {1});
    const std::string missing = folder.File("missing");
    app::DataDirSources sources{missing, "", folder.Path(), ""};
    EXPECT_EQ(app::FindDataDir(sources).error,
              "floemaze: --datadir: „" + missing + "“ ist kein Ordner");
    sources.option = file;
    EXPECT_EQ(app::FindDataDir(sources).error,
              "floemaze: --datadir: „" + file + "“ ist kein Ordner");
    sources = {"", missing, folder.Path(), ""};
    EXPECT_EQ(app::FindDataDir(sources).error,
              "floemaze: FLOEMAZE_DATADIR: „" + missing + "“ ist kein Ordner");
}

// The game program itself, without any display: it must answer before it looks for one.
CommandResult RunGame(const std::vector<std::string>& arguments,
                      std::vector<std::string> env = {}) {
    std::vector<std::string> argv{FLOEMAZE_GAME};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    env.insert(env.end(), {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"});
    return RunCommand(argv, 20000, env);
}

TEST(CommandLineTest, TheProgramAnswersWithoutADisplay) {
    const CommandResult version = RunGame({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "floemaze " FLOEMAZE_VERSION "\n");
    EXPECT_EQ(version.err, "");

    const CommandResult help = RunGame({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    for (const char* part :
         {"Aufruf: floemaze", "--help", "--version", "--datadir", "--scale", "--fullscreen",
          "FLOEMAZE_SCALE", "FLOEMAZE_DATADIR", "Hintergrund.bmp", "Einstellungen"}) {
        EXPECT_NE(help.out.find(part), std::string::npos) << part;
    }

    // A fault: its line, then the same usage, on standard error; exit status 2, and no attempt
    // at a window (that would end with status 1 and the lack of a display).
    const CommandResult unknown = RunGame({"--nonsense"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "floemaze: unbekannte Option „--nonsense“\n" + help.out);

    TempDir folder;
    const CommandResult badFolder = RunGame({"--datadir", folder.File("missing")});
    EXPECT_EQ(badFolder.status, 2);
    EXPECT_EQ(badFolder.err.substr(0, badFolder.err.find('\n')),
              "floemaze: --datadir: „" + folder.File("missing") + "“ ist kein Ordner");
    const CommandResult badVariable = RunGame({}, {"FLOEMAZE_DATADIR=" + folder.File("missing")});
    EXPECT_EQ(badVariable.status, 2);
    EXPECT_EQ(badVariable.err.substr(0, badVariable.err.find('\n')),
              "floemaze: FLOEMAZE_DATADIR: „" + folder.File("missing") + "“ ist kein Ordner");

    const CommandResult badScale = RunGame({}, {"FLOEMAZE_SCALE=9"});
    EXPECT_EQ(badScale.status, 2);
    EXPECT_EQ(badScale.err,
              "floemaze: FLOEMAZE_SCALE: „9“ ist keine Zahl von 1 bis 4\n" + help.out);

    // The usage and the faults speak the language the option or the environment chooses, with
    // the catalogues of the picture folder.
    const std::string pictures = std::filesystem::path(FLOEMAZE_CATALOGUE_DIR).parent_path();
    const CommandResult english = RunGame({"--datadir", pictures, "--language", "en", "--help"});
    EXPECT_EQ(english.out.rfind("Usage: floemaze", 0), 0u) << english.out;
    const CommandResult french =
        RunGame({"--datadir", pictures, "--nonsense"}, {"LANGUAGE=fr", "LC_ALL=C.UTF-8"});
    EXPECT_EQ(french.err.substr(0, french.err.find('\n')),
              "floemaze : option inconnue « --nonsense »");
    const CommandResult plain =
        RunGame({"--datadir", pictures, "--nonsense"}, {"LANGUAGE=fr", "LC_ALL=C"});
    EXPECT_EQ(plain.err, unknown.err) << "LANGUAGE counts only outside the C locale";

    // A good command line goes on to the window system, which is not there.
    const CommandResult noDisplay = RunGame({"--datadir", folder.Path()});
    EXPECT_EQ(noDisplay.status, 1);

    // The settings are read after the command line, a fault in them is one line and the game
    // goes on; help and version read none.
    fs::create_directories(folder.File("config/floemaze"));
    folder.Write("config/floemaze/floemaze.conf", {'q', 'u', 'i', 't', '=', '?', '\n'});
    const std::vector<std::string> env{"XDG_CONFIG_HOME=" + folder.File("config"),
                                       "XDG_CONFIG_DIRS=" + folder.File("none")};
    EXPECT_EQ(RunGame({"--help"}, env).err, "");
    const CommandResult badSettings = RunGame({"--datadir", folder.Path()}, env);
    EXPECT_EQ(badSettings.status, 1);
    EXPECT_EQ(badSettings.err.substr(0, badSettings.err.find('\n')),
              "floemaze: " + folder.File("config/floemaze/floemaze.conf") +
                  ":1: quit = „?“; erwartet: on oder off");
    // The settings' language comes after --language and before the environment; their faults
    // are told in it.
    folder.Write("config/floemaze/floemaze.conf",
                 {'q', 'u', 'i', 't', '=', '?', '\n', 'l', 'a', 'n', 'g', 'u', 'a', 'g', 'e', '=',
                  'e', 'n', '\n'});
    std::vector<std::string> fromFrance = env;
    fromFrance.insert(fromFrance.end(), {"LANGUAGE=fr", "LC_ALL=C.UTF-8"});
    const CommandResult preset = RunGame({"--datadir", pictures}, fromFrance);
    EXPECT_EQ(preset.err.substr(0, preset.err.find('\n')),
              "floemaze: " + folder.File("config/floemaze/floemaze.conf") +
                  ":1: quit = “?”; expected: on or off");
    EXPECT_EQ(RunGame({"--datadir", pictures, "--language", "fr", "--help"}, fromFrance)
                  .out.rfind("Utilisation", 0),
              0u);
}

}  // namespace
