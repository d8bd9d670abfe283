// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace app {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDataDirOption = "--datadir";
constexpr std::string_view kScaleOption = "--scale";
// The picture the window loads first: a folder without it is not the picture folder.
constexpr const char* kFirstPicture = "Hintergrund.bmp";

CommandLine Fault(std::string line) {
    CommandLine result;
    result.action = CommandLine::Action::Error;
    result.error = std::move(line);
    return result;
}

// The scale in text, or 0 when text is no whole number from kMinScale to kMaxScale.
int ParseScale(std::string_view text) {
    if (text.size() != 1 || text[0] < '0' + platform::kMinScale ||
        text[0] > '0' + platform::kMaxScale) {
        return 0;
    }
    return text[0] - '0';
}

std::string NoScale(std::string_view where, std::string_view text) {
    return "floemaze: " + std::string(where) + ": „" + std::string(text) +
           "“ ist keine Zahl von 1 bis 4";
}

bool IsFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine result;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] != nullptr ? argv[i] : "";
        if (argument == "-h" || argument == "--help") {
            result.action = CommandLine::Action::Help;
            return result;
        }
        if (argument == "--version") {
            result.action = CommandLine::Action::Version;
            return result;
        }
        if (argument == kDataDirOption ||
            argument.substr(0, kDataDirOption.size() + 1) == "--datadir=") {
            std::string_view value;
            if (argument.size() > kDataDirOption.size()) {
                value = argument.substr(kDataDirOption.size() + 1);
            } else if (i + 1 < argc && argv[i + 1] != nullptr) {
                value = argv[++i];
            }
            if (value.empty()) return Fault("floemaze: --datadir braucht einen Ordner");
            result.dataDir = value;
            continue;
        }
        if (argument == "--fullscreen") {
            result.display.fullscreen = true;
            continue;
        }
        if (argument == kScaleOption || argument.substr(0, kScaleOption.size() + 1) == "--scale=") {
            std::string_view value;
            if (argument.size() > kScaleOption.size()) {
                value = argument.substr(kScaleOption.size() + 1);
            } else if (i + 1 < argc && argv[i + 1] != nullptr) {
                value = argv[++i];
            }
            if (value.empty()) return Fault("floemaze: --scale braucht eine Zahl von 1 bis 4");
            result.display.scale = ParseScale(value);
            if (result.display.scale == 0) return Fault(NoScale(kScaleOption, value));
            continue;
        }
        if (argument.size() > 1 && argument[0] == '-') {
            return Fault("floemaze: unbekannte Option „" + std::string(argument) + "“");
        }
        return Fault("floemaze: unerwartetes Argument „" + std::string(argument) + "“");
    }
    return result;
}

std::string ApplyScaleVariable(platform::DisplayOptions& display, const char* variable) {
    if (display.scale != 0 || variable == nullptr || *variable == '\0') return "";
    display.scale = ParseScale(variable);
    return display.scale == 0 ? NoScale("FLOEMAZE_SCALE", variable) : "";
}

std::string VersionLine() {
    return "floemaze " FLOEMAZE_VERSION;
}

std::string Usage(const fs::path& installed) {
    return "Aufruf: floemaze [OPTION]...\n"
           "Ein Labyrinthspiel für kleine Kinder: Bring die kleine Robbe nach Hause.\n"
           "\n"
           "  -h, --help              diese Hilfe zeigen und beenden\n"
           "      --version           die Version zeigen und beenden\n"
           "      --datadir=ORDNER    die Bilder aus ORDNER laden\n"
           "      --scale=N           das Fenster N-fach so groß zeigen (1 bis 4; ohne die Option\n"
           "                          oder FLOEMAZE_SCALE=N so groß, wie es gut auf den "
           "Bildschirm\n"
           "                          passt)\n"
           "      --fullscreen        den ganzen Bildschirm füllen (F11 schaltet um)\n"
           "\n"
           "Die Bilder werden im ersten dieser Ordner gesucht:\n"
           "  1. im Ordner von --datadir,\n"
           "  2. im Ordner aus der Umgebungsvariablen FLOEMAZE_DATADIR,\n"
           "  3. im aktuellen Ordner, wenn er Hintergrund.bmp enthält,\n"
           "  4. im installierten Bilderordner " +
           installed.string() +
           ".\n"
           "Einstellungen: keine; das Spiel liest und speichert keine.\n";
}

DataDirChoice FindDataDir(const DataDirSources& sources) {
    if (!sources.option.empty()) {
        if (!IsFolder(sources.option)) {
            return {{}, "floemaze: --datadir: „" + sources.option + "“ ist kein Ordner"};
        }
        return {sources.option, {}};
    }
    if (!sources.environment.empty()) {
        if (!IsFolder(sources.environment)) {
            return {{},
                    "floemaze: FLOEMAZE_DATADIR: „" + sources.environment + "“ ist kein Ordner"};
        }
        return {sources.environment, {}};
    }
    std::error_code error;
    if (fs::is_regular_file(sources.current / kFirstPicture, error)) return {sources.current, {}};
    if (!sources.installed.empty() && IsFolder(sources.installed)) return {sources.installed, {}};
    return {sources.current, {}};
}

fs::path InstalledDataDir() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return (program.parent_path() / FLOEMAZE_BIN_TO_DATA).lexically_normal();
}

std::optional<int> PrepareStart(int argc, const char* const* argv,
                                platform::DisplayOptions& display) {
    CommandLine line = ParseCommandLine(argc, argv);
    const fs::path installed = InstalledDataDir();
    switch (line.action) {
        case CommandLine::Action::Help:
            std::fputs(Usage(installed).c_str(), stdout);
            return 0;
        case CommandLine::Action::Version:
            std::puts(VersionLine().c_str());
            return 0;
        case CommandLine::Action::Error:
            std::fprintf(stderr, "%s\n%s", line.error.c_str(), Usage(installed).c_str());
            return 2;
        case CommandLine::Action::Run:
            break;
    }
    if (const std::string fault = ApplyScaleVariable(line.display, std::getenv("FLOEMAZE_SCALE"));
        !fault.empty()) {
        std::fprintf(stderr, "%s\n%s", fault.c_str(), Usage(installed).c_str());
        return 2;
    }
    display = line.display;
    DataDirSources sources;
    sources.option = line.dataDir;
    if (const char* variable = std::getenv("FLOEMAZE_DATADIR")) sources.environment = variable;
    std::error_code error;
    sources.current = fs::current_path(error);
    sources.installed = installed;
    const DataDirChoice choice = FindDataDir(sources);
    if (!choice.error.empty()) {
        std::fprintf(stderr, "%s\n%s", choice.error.c_str(), Usage(installed).c_str());
        return 2;
    }
    if (choice.folder == sources.current) return std::nullopt;
    // Every picture is loaded by its bare name, so the picture folder becomes the current one.
    fs::current_path(choice.folder, error);
    if (error) {
        std::fprintf(stderr, "floemaze: kann nicht in den Bilderordner „%s“ wechseln: %s\n",
                     choice.folder.c_str(), error.message().c_str());
        return 1;
    }
    return std::nullopt;
}

}  // namespace app
