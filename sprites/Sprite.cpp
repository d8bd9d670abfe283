// SPDX-License-Identifier: GPL-3.0-or-later
#include "sprites/Sprite.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "lang/Language.h"
#include "platform/MessageBox.h"

CSprite::CSprite(const CSprite& other) : CDIB() {
    *this = other;
}

CSprite& CSprite::operator=(const CSprite& other) {
    if (&other == this) return *this;
    Share(other);
    m_nX = other.m_nX;
    m_nY = other.m_nY;
    m_nFrameWidth = other.m_nFrameWidth;
    m_nFrameHeight = other.m_nFrameHeight;
    m_nFrameCol = other.m_nFrameCol;
    m_nFrameRow = other.m_nFrameRow;
    m_nDepth = other.m_nDepth;
    m_fAlpha = other.m_fAlpha;
    m_bColorKey = other.m_bColorKey;
    m_rcDirty = other.m_rcDirty;
    return *this;
}

BOOL CSprite::Load(const char* name, int colourKey, int frameWidth, int frameHeight) {
    RECT before{};
    GetRect(&before);
    if (!CDIB::Load(name)) return FALSE;
    if (frameWidth != 0 || frameHeight != 0) {
        m_nFrameWidth = frameWidth;
        m_nFrameHeight = frameHeight;
    } else {
        m_nFrameWidth = GetWidth();
        m_nFrameHeight = GetHeight();
    }
    RECT after{};
    GetRect(&after);
    UnionRect(&m_rcDirty, &before, &after);
    if (m_nDepth > 0) m_bColorKey = colourKey;
    if (GetBitCount() != 24) {
        AfxMessageBox(lang::Tr("Die Spritebibliothek unterstützt nur Bitmaps mit 24-Bit Farbtiefe"),
                      MB_OK, 0);
    }
    return TRUE;
}

BOOL CSprite::HitTest(int px, int py) const {
    // 64 bits: a hostile position or frame size must not overflow the comparisons.
    const std::int64_t x = m_nX, y = m_nY;
    if (!(x < px && px < x + m_nFrameWidth && y < py && py < y + m_nFrameHeight)) return FALSE;
    const std::int64_t imageX = std::int64_t{m_nFrameCol} * m_nFrameWidth + (px - x);
    const std::int64_t imageY = std::int64_t{m_nFrameRow} * m_nFrameHeight + (py - y);
    // A frame outside the sheet has no pixel to compare: nothing visible is there.
    if (imageX < 0 || imageY < 0 || imageX >= GetWidth() || imageY >= GetHeight()) return FALSE;
    const unsigned char* pixel = PixelAt(static_cast<int>(imageX), static_cast<int>(imageY));
    const unsigned char* key = PixelAt(0, 0);
    if (pixel == nullptr || key == nullptr) return FALSE;
    const auto bytes = static_cast<std::size_t>(GetBitCount() / 8);
    if (std::memcmp(pixel, key, bytes) != 0) return TRUE;
    return m_bColorKey == 0;
}

void CSprite::AddBoundsToDirty() {
    RECT bounds{};
    GetRect(&bounds);
    UnionRect(&m_rcDirty, &m_rcDirty, &bounds);
}

void CSprite::SetFrame(int column, int row) {
    if (column == m_nFrameCol && row == m_nFrameRow) return;
    m_nFrameCol = column;
    m_nFrameRow = row;
    AddBoundsToDirty();
}
