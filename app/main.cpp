// SPDX-License-Identifier: GPL-3.0-or-later
// The game's executable: the one application object, and the start.
#include "app/CommandLine.h"
#include "app/FloemazeApp.h"
#include "platform/sdl/SdlBackend.h"

namespace {
CFloemazeApp theApp;
}  // namespace

int main(int argc, char** argv) {
    platform::DisplayOptions display;
    if (const auto status = app::PrepareStart(argc, argv, display, theApp.m_settings)) {
        return *status;
    }
    platform::sdl::UseDisplayOptions(display);
    return platform::RunApplication(argc, argv, platform::sdl::CreateSdlBackend);
}
