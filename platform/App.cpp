// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/App.h"

#include <cstdio>
#include <string>

#include "platform/Backend.h"

namespace {
CWinApp* g_app = nullptr;
}  // namespace

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName != nullptr ? appName : "") {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

void CWinApp::SetRegistryKey(const char* key) {
    m_registryKey = key != nullptr ? key : "";
}

void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() {
    return g_app;
}

namespace platform {

int RunApplication(int argc, char** argv, BackendFactory startWindowSystem) {
    std::string name = argc > 0 && argv[0] != nullptr ? argv[0] : "floemaze";
    if (const auto slash = name.find_last_of('/'); slash != std::string::npos) {
        name.erase(0, slash + 1);
    }
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pszAppName.empty()) app->m_pszAppName = name;
    SetApplicationName(app != nullptr ? app->m_pszAppName : name);

    std::string reason;
    std::unique_ptr<Backend> windowSystem = startWindowSystem(reason);
    if (!windowSystem) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), reason.c_str());
        return 1;
    }
    SetBackend(std::move(windowSystem));
    if (app != nullptr) app->InitInstance();
    // The window system goes before static destruction, while everything it uses still exists.
    SetBackend(nullptr);
    return 0;
}

}  // namespace platform
