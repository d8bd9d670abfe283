// SPDX-License-Identifier: GPL-3.0-or-later
// CFloemazeApp: the application object; it runs the game window and ends the program with it.
#pragma once

#include "app/Settings.h"
#include "platform/App.h"

/// Exactly one instance exists, with static storage duration (in the executable's main.cpp).
class CFloemazeApp : public CWinApp {
public:
    CFloemazeApp();

    /// Runs the game window modally; returns FALSE, so no message loop follows and the program
    /// ends.
    BOOL InitInstance() override;

    app::Settings m_settings;  ///< the start state for the game window
};
