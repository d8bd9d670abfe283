// SPDX-License-Identifier: GPL-3.0-or-later
// The game's executable: the one application object, and the start.
#include "app/FloemazeApp.h"
#include "lang/Language.h"

namespace {
CFloemazeApp theApp;
}  // namespace

int main(int argc, char** argv) {
    // The language first: the resources and every message are read in it.
    lang::UseFromEnvironment();
    return platform::RunApplication(argc, argv);
}
