// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FloemazeApp.h"

#include "app/FloemazeDlg.h"
#include "res/Resources.h"

// No name of its own: the platform takes the executable's.
CFloemazeApp::CFloemazeApp() : CWinApp(nullptr) {}

BOOL CFloemazeApp::InitInstance() {
    res::RegisterResources();
    CWinApp::InitInstance();
    // Only the name is kept: nothing is stored there. The settings file was read at start.
    SetRegistryKey("Vom lokalen Anwendungs-Assistenten generierte Anwendungen");

    CFloemazeDlg dialog;
    dialog.m_settings = m_settings;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
