// SPDX-License-Identifier: GPL-3.0-or-later
// Device contexts of a window's client area: blits into them reach the screen.
#pragma once

#include "platform/Gdi.h"
#include "platform/Icon.h"
#include "platform/Wnd.h"

/// A device context for the client area of a window, valid while the object lives.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* window);
};

/// The device context of WM_PAINT: as CClientDC, and the window's pending paint is done with.
class CPaintDC : public CClientDC {
public:
    explicit CPaintDC(CWnd* window);
};

/// Draws icon's best image for SM_CXICON at (x, y) of dc, blending its alpha.
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
/// SM_CXICON and SM_CYICON; 0 for other indices.
int GetSystemMetrics(int index);
