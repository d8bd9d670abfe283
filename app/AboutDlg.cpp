// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AboutDlg.h"

#include "res/Resources.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
