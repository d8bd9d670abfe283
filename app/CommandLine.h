// SPDX-License-Identifier: GPL-3.0-or-later
// The game's command line and the search for its picture folder, done before any window opens.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "app/Settings.h"
#include "platform/Scaling.h"

namespace app {

/// What the command line asks for.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    std::string dataDir;               ///< --datadir's folder; empty when not given
    std::string language;              ///< --language's language ("fr"); empty when not given
    platform::DisplayOptions display;  ///< --scale (0 when not given) and --fullscreen
    std::string error;                 ///< for Action::Error: the one line that says what is wrong
};

/// Reads the arguments after argv[0], left to right; --help and --version win as soon as they
/// come, the first fault ends the reading.
CommandLine ParseCommandLine(int argc, const char* const* argv);

/// Takes the scale from FLOEMAZE_SCALE (variable; may be null) into display unless --scale gave
/// one; returns the line that says what is wrong with the variable, or "" when nothing is.
std::string ApplyScaleVariable(platform::DisplayOptions& display, const char* variable);

/// "floemaze X.Y.Z".
std::string VersionLine();
/// The usage: every option on a line of its own, and where the pictures are looked for
/// (installed names the installed picture folder).
std::string Usage(const std::filesystem::path& installed);

/// The places the picture folder may come from, in the order they are tried.
struct DataDirSources {
    std::string option;               ///< --datadir, or empty
    std::string environment;          ///< FLOEMAZE_DATADIR, or empty
    std::filesystem::path current;    ///< the current folder
    std::filesystem::path installed;  ///< the installed picture folder, beside the program
};

/// The folder the game runs in, or the one line that says why there is none. A folder named by
/// the option or the variable must exist; the current folder counts when it holds the first
/// picture, "Hintergrund.bmp"; the installed folder when it exists. When none of them fits the
/// game stays in the current folder and names the missing pictures as it always has.
struct DataDirChoice {
    std::filesystem::path folder;
    std::string error;
};
DataDirChoice FindDataDir(const DataDirSources& sources);

/// The installed picture folder as seen from the running program (/proc/self/exe), so that a
/// moved installation still finds it.
std::filesystem::path InstalledDataDir();

/// The program's start before the window system: reads the command line (the display options
/// and FLOEMAZE_SCALE into display) and the settings files, chooses the language (--language, the
/// settings' language, or the environment as gettext reads it) with the catalogues of the picture
/// folder, prints the help or the version, or a fault and the usage; otherwise tells the
/// settings' faults, gives settings the settings and goes into the picture folder. Returns the
/// exit status when the program is to end here (0 after help or version, 2 after a fault), none
/// when the game is to run.
std::optional<int> PrepareStart(int argc, const char* const* argv,
                                platform::DisplayOptions& display, Settings& settings);

}  // namespace app
