// SPDX-License-Identifier: GPL-3.0-or-later
// CWinApp: the application object. main() runs its InitInstance; the program ends when it
// returns.
#pragma once

#include <string>

#include "platform/Backend.h"
#include "platform/Wnd.h"

class CWinApp : public CObject {
public:
    /// Registers the one application object; a null name takes the executable's name.
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    /// Starts the application. FALSE: no message loop of the application's own runs afterwards.
    virtual BOOL InitInstance();
    /// Names where settings would be kept; the game keeps none, so only the name is remembered.
    void SetRegistryKey(const char* key);
    /// The framework's help command: there is no help file, so nothing happens.
    void OnHelp();
    HICON LoadIcon(UINT resourceId) const { return ::LoadIcon(resourceId); }

    CWnd* m_pMainWnd = nullptr;
    std::string m_pszAppName;
    std::string m_registryKey;
};

CWinApp* AfxGetApp();

namespace platform {
/// Runs the program: starts the window system with startWindowSystem (the game's main passes the
/// SDL one), sets the application's name from argv[0] and runs the application object's
/// InitInstance. Returns the process exit status.
int RunApplication(int argc, char** argv, BackendFactory startWindowSystem);
}  // namespace platform
