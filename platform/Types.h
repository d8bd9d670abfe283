// SPDX-License-Identifier: GPL-3.0-or-later
// The Win32-style scalar types, constants and rectangle functions the game code is written
// against, so that the game and sprite code read like the framework they were designed for.
#pragma once

#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using COLORREF = DWORD;  ///< 0x00BBGGRR, as RGB() builds it

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) {
    return static_cast<BYTE>(c & 0xFF);
}
constexpr BYTE GetGValue(COLORREF c) {
    return static_cast<BYTE>((c >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF c) {
    return static_cast<BYTE>((c >> 16) & 0xFF);
}

// Dialog and message-box answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr UINT MB_OK = 0;

/// (left, top, right, bottom) in pixels, right and bottom exclusive; all zero means empty.
struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
    friend bool operator==(const RECT&, const RECT&) = default;
};

struct POINT {
    LONG x = 0;
    LONG y = 0;
    friend bool operator==(const POINT&, const POINT&) = default;
};

// The rectangle helpers are inline: the compositor calls them for every sprite of every frame.

/// TRUE when r has no width or no height.
inline BOOL IsRectEmpty(const RECT* r) {
    return r->left >= r->right || r->top >= r->bottom;
}
/// Sets r to all zero.
inline BOOL SetRectEmpty(RECT* r) {
    *r = RECT{};
    return TRUE;
}
inline BOOL SetRect(RECT* r, int left, int top, int right, int bottom) {
    *r = RECT{left, top, right, bottom};
    return TRUE;
}
/// dst = a ∩ b; without overlap dst becomes all zero and the result is FALSE.
inline BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b) {
    const RECT r{a->left > b->left ? a->left : b->left, a->top > b->top ? a->top : b->top,
                 a->right < b->right ? a->right : b->right,
                 a->bottom < b->bottom ? a->bottom : b->bottom};
    if (IsRectEmpty(&r)) {
        *dst = RECT{};
        return FALSE;
    }
    *dst = r;
    return TRUE;
}
/// dst = the smallest rectangle holding a and b; an empty rectangle contributes nothing, and two
/// empty ones give all zero (FALSE).
inline BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b) {
    const bool aEmpty = IsRectEmpty(a);
    const bool bEmpty = IsRectEmpty(b);
    if (aEmpty && bEmpty) {
        *dst = RECT{};
        return FALSE;
    }
    if (aEmpty) {
        *dst = *b;
    } else if (bEmpty) {
        *dst = *a;
    } else {
        *dst = RECT{a->left < b->left ? a->left : b->left, a->top < b->top ? a->top : b->top,
                    a->right > b->right ? a->right : b->right,
                    a->bottom > b->bottom ? a->bottom : b->bottom};
    }
    return TRUE;
}
/// TRUE when all four values are equal.
inline BOOL EqualRect(const RECT* a, const RECT* b) {
    return *a == *b;
}
/// Moves r by (dx, dy).
inline BOOL OffsetRect(RECT* r, int dx, int dy) {
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
    return TRUE;
}
/// TRUE when (x, y) lies in r (left and top inclusive, right and bottom exclusive).
inline BOOL PtInRect(const RECT* r, POINT p) {
    return p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}
