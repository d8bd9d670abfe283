// SPDX-License-Identifier: GPL-3.0-or-later
// floemaze.conf: what a parent or teacher can preset. The game reads it once at start and never
// writes it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace app {

/// The start state the settings give; the defaults are the game's own.
struct Settings {
    bool sideRight = false;   ///< side = right: the control column at the right
    bool animate = true;      ///< animation = on|off: logo and seal picture animate
    bool logoDrag = false;    ///< logo-drag = on|off: the logo can be dragged
    bool quit = true;         ///< quit = off: no exit button, and closing the window does nothing
    int scale = 0;            ///< scale = 1 to 4, as --scale gives it; 0: not set
    bool fullscreen = false;  ///< fullscreen = on|off, as --fullscreen gives it
    std::string dataDir;      ///< datadir = FOLDER: the picture folder, as --datadir gives it
    std::string language;     ///< language = LANGUAGE: as --language gives it
};

/// The settings files in the order they are read, a later one winning key by key: floemaze.conf
/// in the floemaze folder of each folder of configDirs (XDG_CONFIG_DIRS, by default /etc/xdg) from
/// the last to the first, then of configHome (XDG_CONFIG_HOME, by default home/.config). Relative
/// folders are passed over, as the XDG base directory rules ask. Any argument may be null.
std::vector<std::filesystem::path> SettingsFiles(const char* configHome, const char* configDirs,
                                                 const char* home);

/// Reads the lines `key = value` of text, the content of file, into settings; blank lines and
/// lines starting with # are passed over, and so is a # after a blank and what follows it. Each
/// line that cannot be used (not key = value, an unknown key, a bad value) adds one line to faults
/// that names the file and the line and says what was expected; the setting keeps what it had.
void ParseSettings(std::string_view text, const std::filesystem::path& file, Settings& settings,
                   std::vector<std::string>& faults);

/// The scale written in text, as --scale, FLOEMAZE_SCALE and the settings' scale take it; 0 when
/// text is no whole number from 1 to 4.
int ParseScale(std::string_view text);

/// Reads file into settings. A file that does not exist is none; one that exists but cannot be
/// read (not a plain file, too large, no permission) is one line in faults.
void ReadSettingsFile(const std::filesystem::path& file, Settings& settings,
                      std::vector<std::string>& faults);

/// The settings of every file of the environment, each fault one line in faults, in the language
/// in use.
Settings ReadSettings(std::vector<std::string>& faults);

}  // namespace app
