#include "platform/Types.h"

#include <algorithm>

BOOL IsRectEmpty(const RECT* r) {
    return r->left >= r->right || r->top >= r->bottom;
}

BOOL SetRectEmpty(RECT* r) {
    *r = RECT{};
    return TRUE;
}

BOOL SetRect(RECT* r, int left, int top, int right, int bottom) {
    *r = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b) {
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r)) {
        *dst = RECT{};
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b) {
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
        *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top),
                    std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
    }
    return TRUE;
}

BOOL EqualRect(const RECT* a, const RECT* b) {
    return *a == *b;
}

BOOL PtInRect(const RECT* r, POINT p) {
    return p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}

BOOL OffsetRect(RECT* r, int dx, int dy) {
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
    return TRUE;
}
