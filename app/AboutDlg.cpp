#include "app/AboutDlg.h"

#include "res/Resources.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
