// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <system_error>
#include <vector>

#include "lang/Language.h"

namespace app {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDataDirOption = "--datadir";
constexpr std::string_view kLanguageOption = "--language";
constexpr std::string_view kScaleOption = "--scale";
// The picture the window loads first: a folder without it is not the picture folder.
constexpr const char* kFirstPicture = "Hintergrund.bmp";

// What was read before the fault stays: the picture folder and the language it names are where
// the fault is told, and in which language.
CommandLine Fault(CommandLine result, std::string line) {
    result.action = CommandLine::Action::Error;
    result.error = std::move(line);
    return result;
}

std::string NoScale(std::string_view where, std::string_view text) {
    return lang::Format(lang::Tr("floemaze: %s: „%s“ ist keine Zahl von 1 bis 4"),
                        std::string(where).c_str(), std::string(text).c_str());
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
        // An option with its value, as "--option value" or "--option=value".
        const auto valueOf = [&](std::string_view option, std::string_view& value) {
            if (argument == option) {
                if (i + 1 < argc && argv[i + 1] != nullptr) value = argv[++i];
                return true;
            }
            if (argument.substr(0, option.size()) == option && argument.size() > option.size() &&
                argument[option.size()] == '=') {
                value = argument.substr(option.size() + 1);
                return true;
            }
            return false;
        };
        std::string_view value;
        if (valueOf(kDataDirOption, value)) {
            if (value.empty())
                return Fault(result, lang::Tr("floemaze: --datadir braucht einen Ordner"));
            result.dataDir = value;
            continue;
        }
        if (valueOf(kLanguageOption, value)) {
            if (value.empty())
                return Fault(result, lang::Tr("floemaze: --language braucht eine Sprache"));
            result.language = value;
            continue;
        }
        if (valueOf(kScaleOption, value)) {
            if (value.empty())
                return Fault(result, lang::Tr("floemaze: --scale braucht eine Zahl von 1 bis 4"));
            result.display.scale = ParseScale(value);
            if (result.display.scale == 0) return Fault(result, NoScale(kScaleOption, value));
            continue;
        }
        if (argument == "--fullscreen") {
            result.display.fullscreen = true;
            continue;
        }
        if (argument.size() > 1 && argument[0] == '-') {
            return Fault(result, lang::Format(lang::Tr("floemaze: unbekannte Option „%s“"),
                                              std::string(argument).c_str()));
        }
        return Fault(result, lang::Format(lang::Tr("floemaze: unerwartetes Argument „%s“"),
                                          std::string(argument).c_str()));
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
    return lang::Format(
               lang::Tr(
                   "Aufruf: floemaze [OPTION]...\n"
                   "Ein Labyrinthspiel für kleine Kinder: Bring die kleine Robbe nach Hause.\n"
                   "\n"
                   "  -h, --help              diese Hilfe zeigen und beenden\n"
                   "      --version           die Version zeigen und beenden\n"
                   "      --datadir=ORDNER    die Bilder aus ORDNER laden\n"
                   "      --language=SPRACHE  in SPRACHE spielen (de, en, fr, …); sonst wie\n"
                   "                          LANGUAGE, LC_ALL, LC_MESSAGES und LANG sagen\n"
                   "\n"
                   "Die Bilder werden im ersten dieser Ordner gesucht:\n"
                   "  1. im Ordner von --datadir,\n"
                   "  2. im Ordner aus der Umgebungsvariablen FLOEMAZE_DATADIR,\n"
                   "  3. im aktuellen Ordner, wenn er Hintergrund.bmp enthält,\n"
                   "  4. im installierten Bilderordner %s.\n"
                   "Einstellungen: floemaze.conf in $XDG_CONFIG_HOME/floemaze/ "
                   "(~/.config/floemaze/)\n"
                   "und in $XDG_CONFIG_DIRS/floemaze/ (/etc/xdg/floemaze/); das Spiel speichert\n"
                   "nichts.\n"),
               installed.c_str()) +
           lang::Tr(
               "\n"
               "Bildschirm:\n"
               "      --scale=N           das Fenster N-fach so groß zeigen (1 bis 4); ohne\n"
               "                          die Option oder FLOEMAZE_SCALE=N so groß, wie es\n"
               "                          gut auf den Bildschirm passt\n"
               "      --fullscreen        den ganzen Bildschirm füllen (F11 schaltet um)\n");
}

DataDirChoice FindDataDir(const DataDirSources& sources) {
    // A folder the user names must be one; notAFolder says so when it is not.
    const auto named = [](const std::string& folder, const char* notAFolder) {
        return IsFolder(folder) ? DataDirChoice{folder, {}}
                                : DataDirChoice{{}, lang::Format(notAFolder, folder.c_str())};
    };
    if (!sources.option.empty()) {
        return named(sources.option, lang::Tr("floemaze: --datadir: „%s“ ist kein Ordner"));
    }
    if (!sources.environment.empty()) {
        return named(sources.environment,
                     lang::Tr("floemaze: FLOEMAZE_DATADIR: „%s“ ist kein Ordner"));
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
                                platform::DisplayOptions& display, Settings& settings) {
    const fs::path installed = InstalledDataDir();
    // The settings' folder comes after the command line and the variable; the settings name only
    // folders that exist.
    const auto folderOf = [](const DataDirSources& sources, const Settings& preset) {
        const bool fromSettings = sources.option.empty() && sources.environment.empty() &&
                                  !preset.dataDir.empty() && IsFolder(preset.dataDir);
        return fromSettings ? DataDirChoice{preset.dataDir, {}} : FindDataDir(sources);
    };
    // The catalogues lie in the picture folder: a first reading finds the folder and the
    // language, the second speaks in that language. Where the folder may come from is the same
    // for both.
    CommandLine line = ParseCommandLine(argc, argv);
    DataDirSources sources;
    sources.option = line.dataDir;
    if (const char* variable = std::getenv("FLOEMAZE_DATADIR")) sources.environment = variable;
    std::error_code error;
    sources.current = fs::current_path(error);
    sources.installed = installed;
    {
        std::vector<std::string> toldLater;
        const Settings preset = ReadSettings(toldLater);
        const DataDirChoice where = folderOf(sources, preset);
        const fs::path folder =
            fs::absolute(where.error.empty() ? where.folder : sources.current, error);
        const fs::path catalogues = lang::CatalogueFolder(folder);
        lang::Use(lang::Choose(line.language.empty() ? preset.language : line.language,
                               lang::Environment::FromProcess(), catalogues),
                  catalogues);
    }
    line = ParseCommandLine(argc, argv);
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
    std::vector<std::string> faults;
    settings = ReadSettings(faults);
    for (const std::string& fault : faults) std::fprintf(stderr, "%s\n", fault.c_str());
    // The command line and the environment win over the settings files.
    display = line.display;
    if (display.scale == 0) display.scale = settings.scale;
    display.fullscreen = display.fullscreen || settings.fullscreen;
    const DataDirChoice choice = folderOf(sources, settings);
    if (!choice.error.empty()) {
        std::fprintf(stderr, "%s\n%s", choice.error.c_str(), Usage(installed).c_str());
        return 2;
    }
    if (choice.folder == sources.current) return std::nullopt;
    // Every picture is loaded by its bare name, so the picture folder becomes the current one.
    fs::current_path(choice.folder, error);
    if (error) {
        std::fprintf(stderr, "%s\n",
                     lang::Format(lang::Tr("floemaze: kann nicht in den Bilderordner „%s“ "
                                           "wechseln: %s"),
                                  choice.folder.c_str(), error.message().c_str())
                         .c_str());
        return 1;
    }
    return std::nullopt;
}

}  // namespace app
