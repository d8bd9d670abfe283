// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "lang/Language.h"
#include "platform/Scaling.h"

namespace app {
namespace {

namespace fs = std::filesystem;

// A settings file is a few lines; anything much larger is not one.
constexpr std::size_t kMaxFileSize = 64 * 1024;
// How much of a faulty line a message quotes.
constexpr std::size_t kQuoted = 60;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// Text from the file as it may be shown on a terminal: control characters become '?', and a long
// text is cut.
std::string Quoted(std::string_view text) {
    std::string shown;
    for (const char c : text.substr(0, kQuoted)) {
        const auto byte = static_cast<unsigned char>(c);
        shown += byte < 0x20 || byte == 0x7F ? '?' : c;
    }
    if (text.size() > kQuoted) shown += "…";
    return shown;
}

// on|off into flag; false for anything else.
bool ReadSwitch(std::string_view value, bool& flag) {
    if (value == "on" || value == "off") {
        flag = value == "on";
        return true;
    }
    return false;
}

}  // namespace

std::vector<fs::path> SettingsFiles(const char* configHome, const char* configDirs,
                                    const char* home) {
    const auto absolute = [](std::string_view folder) {
        return !folder.empty() && folder.front() == '/';
    };
    std::vector<fs::path> files;
    const std::string_view dirs =
        configDirs != nullptr && *configDirs != '\0' ? configDirs : "/etc/xdg";
    // Most important first in the variable, so read from the last.
    std::size_t end = dirs.size();
    while (true) {
        const std::size_t colon = end == 0 ? std::string_view::npos : dirs.rfind(':', end - 1);
        const std::size_t start = colon == std::string_view::npos ? 0 : colon + 1;
        const std::string_view folder = dirs.substr(start, end - start);
        if (absolute(folder)) files.push_back(fs::path(folder) / "floemaze" / "floemaze.conf");
        if (colon == std::string_view::npos) break;
        end = colon;
    }
    if (configHome != nullptr && absolute(configHome)) {
        files.push_back(fs::path(configHome) / "floemaze" / "floemaze.conf");
    } else if (home != nullptr && absolute(home)) {
        files.push_back(fs::path(home) / ".config" / "floemaze" / "floemaze.conf");
    }
    return files;
}

void ParseSettings(std::string_view text, const fs::path& file, Settings& settings,
                   std::vector<std::string>& faults) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a byte-order mark
    int number = 0;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view line = Trim(text.substr(0, newline));
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        ++number;
        if (line.empty() || line.front() == '#') continue;
        const std::size_t equals = line.find('=');
        const std::string_view key = Trim(line.substr(0, equals));
        if (equals == std::string_view::npos || key.empty()) {
            faults.push_back(lang::Format(
                lang::Tr("floemaze: %s:%d: „%s“ ist keine Einstellung; erwartet: Schlüssel = Wert"),
                file.c_str(), number, Quoted(line).c_str()));
            continue;
        }
        std::string_view value = line.substr(equals + 1);
        // A comment may follow a value after a blank.
        for (std::size_t at = 1; at < value.size(); ++at) {
            if (value[at] == '#' && (value[at - 1] == ' ' || value[at - 1] == '\t')) {
                value = value.substr(0, at);
                break;
            }
        }
        value = Trim(value);
        const auto bad = [&](const char* expected) {
            faults.push_back(lang::Format(lang::Tr("floemaze: %s:%d: %s = „%s“; erwartet: %s"),
                                          file.c_str(), number, std::string(key).c_str(),
                                          Quoted(value).c_str(), expected));
        };
        if (key == "side") {
            if (value == "left" || value == "right") {
                settings.sideRight = value == "right";
            } else {
                bad(lang::Tr("left oder right"));
            }
        } else if (key == "animation" || key == "logo-drag" || key == "quit" ||
                   key == "fullscreen") {
            bool& flag = key == "animation"   ? settings.animate
                         : key == "logo-drag" ? settings.logoDrag
                         : key == "quit"      ? settings.quit
                                              : settings.fullscreen;
            if (!ReadSwitch(value, flag)) bad(lang::Tr("on oder off"));
        } else if (key == "scale") {
            const int scale = ParseScale(value);
            if (scale != 0) {
                settings.scale = scale;
            } else {
                bad(lang::Tr("eine Zahl von 1 bis 4"));
            }
        } else if (key == "datadir") {
            std::error_code error;
            if (!value.empty() && fs::is_directory(fs::path(value), error)) {
                settings.dataDir = value;
            } else {
                bad(lang::Tr("ein Ordner, der die Bilder enthält"));
            }
        } else if (key == "language") {
            // A language's name as gettext takes it: "fr", "pt_BR", "sr@latin".
            const bool name = !value.empty() && value.find_first_not_of(
                                                    "abcdefghijklmnopqrstuvwxyz"
                                                    "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_@.-") ==
                                                    std::string_view::npos;
            if (name) {
                settings.language = value;
            } else {
                bad(lang::Tr("eine Sprache wie de, en oder fr"));
            }
        } else {
            faults.push_back(lang::Format(
                lang::Tr("floemaze: %s:%d: unbekannter Schlüssel „%s“; erwartet: side, animation, "
                         "logo-drag, quit, scale, fullscreen, datadir oder language"),
                file.c_str(), number, Quoted(key).c_str()));
        }
    }
}

int ParseScale(std::string_view text) {
    if (text.size() != 1 || text[0] < '0' + platform::kMinScale ||
        text[0] > '0' + platform::kMaxScale) {
        return 0;
    }
    return text[0] - '0';
}

void ReadSettingsFile(const fs::path& file, Settings& settings, std::vector<std::string>& faults) {
    // Without blocking: a named pipe in the file's place must not stop the game from starting.
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0 && (errno == ENOENT || errno == ENOTDIR)) return;
    const auto unreadable = [&file](int error) {
        return lang::Format(lang::Tr("floemaze: %s: nicht lesbar: %s"), file.c_str(),
                            std::strerror(error));
    };
    std::string text;
    struct stat info {};
    std::string fault;
    if (fd < 0) {
        fault = unreadable(errno);
    } else if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        fault = lang::Format(lang::Tr("floemaze: %s: keine gewöhnliche Datei"), file.c_str());
    } else if (static_cast<std::size_t>(info.st_size) > kMaxFileSize) {
        fault = lang::Format(lang::Tr("floemaze: %s: größer als 64 KiB, keine Einstellungsdatei"),
                             file.c_str());
    } else {
        char buffer[4096];
        ssize_t got = 0;
        while ((got = read(fd, buffer, sizeof buffer)) > 0 && text.size() <= kMaxFileSize) {
            text.append(buffer, static_cast<std::size_t>(got));
        }
        if (got < 0) fault = unreadable(errno);
    }
    if (fd >= 0) close(fd);
    if (!fault.empty()) {
        faults.push_back(fault);
        return;
    }
    ParseSettings(text, file, settings, faults);
}

Settings ReadSettings(std::vector<std::string>& faults) {
    Settings settings;
    for (const fs::path& file : SettingsFiles(
             std::getenv("XDG_CONFIG_HOME"), std::getenv("XDG_CONFIG_DIRS"), std::getenv("HOME"))) {
        ReadSettingsFile(file, settings, faults);
    }
    return settings;
}

}  // namespace app
