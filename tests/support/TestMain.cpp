// SPDX-License-Identifier: GPL-3.0-or-later
// The main of every test program: the tests run on the headless window system unless one of them
// installs another.
#include <gtest/gtest.h>

#include "platform/headless/HeadlessBackend.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    platform::headless::Use();
    return RUN_ALL_TESTS();
}
