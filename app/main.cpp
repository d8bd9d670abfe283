// SPDX-License-Identifier: GPL-3.0-or-later
// The game's executable: the one application object, and the start.
#include <cstdio>
#include <cstdlib>

#include "app/DisplayOptions.h"
#include "app/FloemazeApp.h"
#include "platform/sdl/SdlBackend.h"

namespace {
CFloemazeApp theApp;
}  // namespace

int main(int argc, char** argv) {
    const app::DisplayChoice display =
        app::ReadDisplayOptions(argc, argv, std::getenv("FLOEMAZE_SCALE"));
    if (!display.error.empty()) {
        std::fprintf(stderr, "floemaze: %s\n", display.error.c_str());
        return 2;
    }
    platform::sdl::UseDisplayOptions(display.options);
    return platform::RunApplication(argc, argv, platform::sdl::CreateSdlBackend);
}
