// SPDX-License-Identifier: GPL-3.0-or-later
// CAboutDlg: the small modal About box that the system menu opens.
#pragma once

#include "platform/Dialog.h"

/// The About box, made entirely from dialog template 100: the program's icon, the version line
/// and an OK button, which closes it through the dialog's default handling.
class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
