// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DisplayOptions.h"

#include <string_view>

namespace app {
namespace {

// The scale in text, or 0 when text is no whole number from kMinScale to kMaxScale.
int ParseScale(std::string_view text) {
    if (text.size() != 1 || text[0] < '0' + platform::kMinScale ||
        text[0] > '0' + platform::kMaxScale) {
        return 0;
    }
    return text[0] - '0';
}

std::string ScaleError(std::string_view where, std::string_view text) {
    return std::string(where) + " must be a whole number from 1 to 4, not \"" + std::string(text) +
           "\"";
}

}  // namespace

DisplayChoice ReadDisplayOptions(int argc, const char* const* argv, const char* environmentScale) {
    DisplayChoice choice;
    bool scaleGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] != nullptr ? argv[i] : "";
        if (argument == "--fullscreen") {
            choice.options.fullscreen = true;
            continue;
        }
        std::string_view value;
        if (argument == "--scale") {
            if (i + 1 >= argc || argv[i + 1] == nullptr) {
                choice.error = "--scale needs a number from 1 to 4";
                return choice;
            }
            value = argv[++i];
        } else if (argument.substr(0, 8) == "--scale=") {
            value = argument.substr(8);
        } else {
            continue;
        }
        choice.options.scale = ParseScale(value);
        if (choice.options.scale == 0) {
            choice.error = ScaleError("--scale", value);
            return choice;
        }
        scaleGiven = true;
    }
    if (!scaleGiven && environmentScale != nullptr && *environmentScale != '\0') {
        choice.options.scale = ParseScale(environmentScale);
        if (choice.options.scale == 0)
            choice.error = ScaleError("FLOEMAZE_SCALE", environmentScale);
    }
    return choice;
}

}  // namespace app
