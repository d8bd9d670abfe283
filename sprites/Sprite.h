// SPDX-License-Identifier: GPL-3.0-or-later
// CSprite: an image shown on a background at a position, as one frame of a frame sheet, with a
// depth, an opacity, a colour key and the area it has changed since the last update.
#pragma once

#include <cstdint>

#include "platform/Types.h"
#include "sprites/DIB.h"

/// A sprite. Its state is public and read directly, but every change that affects the screen goes
/// through an operation that records the changed background area in m_rcDirty; nothing is drawn
/// at the moment of the change. Sprite lists hold pointers to sprites and never own them.
class CSprite : public CDIB {
public:
    CSprite() = default;
    /// A sprite showing other's image (shared, not copied) with all of other's state.
    CSprite(const CSprite& other);
    CSprite& operator=(const CSprite& other);
    ~CSprite() override = default;

    /// Loads the image at name. Frame width and height are used as given unless both are 0, which
    /// makes the frame the whole image. On success the dirty rectangle becomes the old bounds ∪ the
    /// new ones and, for a depth above 0, the colour-key flag becomes colourKey. On failure nothing
    /// but the image part changes.
#if defined(__clang__)
#pragma clang diagnostic push
// Hiding the image's Load is intended: a sprite is always loaded with its frame layout.
#pragma clang diagnostic ignored "-Woverloaded-virtual"
#endif
    BOOL Load(const char* name, int colourKey = TRUE, int frameWidth = 0, int frameHeight = 0);
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
    /// Fills rect with the bounds: (x, y, x + frame width, y + frame height), the far edges
    /// clamped to the int range.
    void GetRect(RECT* rect) const override {
        if (rect != nullptr) {
            *rect =
                RECT{m_nX, m_nY, ClampedSum(m_nX, m_nFrameWidth), ClampedSum(m_nY, m_nFrameHeight)};
        }
    }
    /// TRUE when (px, py) lies strictly inside the bounds' left and top edges and before their
    /// right and bottom ones, on a pixel of the current frame that is not the key colour (or the
    /// colour key is off). Opacity plays no part.
    BOOL HitTest(int px, int py) const;
    /// Moves the sprite; its bounds before and after are added to the dirty rectangle.
    void MoveTo(int x, int y) {
        // Here in the header: a falling board moves hundreds of tiles in every tick.
        AddToDirtyUnlessEqual();
        m_nX = x;
        m_nY = y;
        AddToDirtyUnlessEqual();
    }
    /// Shows frame (column, row); a new cell adds the bounds to the dirty rectangle.
    void SetFrame(int column, int row);
    /// Sets the depth; an all-zero dirty rectangle becomes the bounds, so the next update
    /// redraws and re-sorts the sprite.
    void SetDepth(int depth) {
        m_nDepth = depth;
        if (IsAllZero(m_rcDirty)) GetRect(&m_rcDirty);
    }
    /// Sets the opacity and adds the bounds to the dirty rectangle.
    void SetAlpha(float alpha) {
        m_fAlpha = alpha;
        AddBoundsToDirty();
    }

    int m_nX = 0;  ///< left edge on the background; may lie outside it
    int m_nY = 0;  ///< top edge on the background
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    int m_nFrameCol = 0;     ///< frame column shown, from 0
    int m_nFrameRow = 0;     ///< frame row shown, from 0
    int m_nDepth = 50;       ///< higher depths lie in front
    float m_fAlpha = 1.0f;   ///< opacity: ≥ 0.99 opaque, ≤ 0.01 invisible
    int m_bColorKey = TRUE;  ///< nonzero: pixels equal to the image's top-left pixel are clear
    RECT m_rcDirty{};        ///< background area to compose again; all zero: nothing pending

private:
    static LONG ClampedSum(int a, int b) {
        const std::int64_t sum = std::int64_t{a} + b;
        return static_cast<LONG>(sum < INT32_MIN ? INT32_MIN : sum > INT32_MAX ? INT32_MAX : sum);
    }
    static bool IsAllZero(const RECT& r) {
        return r == RECT{};
    }
    void AddBoundsToDirty();
    void AddToDirtyUnlessEqual() {
        RECT bounds{};
        CSprite::GetRect(&bounds);
        if (!EqualRect(&bounds, &m_rcDirty)) UnionRect(&m_rcDirty, &m_rcDirty, &bounds);
    }
};
