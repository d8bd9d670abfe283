// CSpriteList: a depth-ordered list of sprites that composes them into a background image and
// puts the changed area on the screen.
#pragma once

#include "platform/Gdi.h"
#include "platform/ObList.h"
#include "platform/Types.h"
#include "platform/Wnd.h"
#include "sprites/DIB.h"
#include "sprites/Sprite.h"

/// A retained-mode compositor with dirty rectangles. From head to tail the depths do not decrease
/// (except for sprites whose depth changed since the last Update): the head is drawn first and
/// lies at the back; among equal depths the sprite inserted last lies furthest back. Each sprite
/// is held at most once. The list holds pointers only and must not outlive its sprites or its
/// background.
class CSpriteList : public CObList {
public:
    CSpriteList() : CObList(10) {}
    ~CSpriteList() override = default;

    /// Inserts sprite before the first one of equal or greater depth, composes its bounds into the
    /// background and adds them to the first sprite's dirty rectangle. FALSE, with a message, when
    /// the sprite is in the list already.
    BOOL Insert(CSprite* sprite);
    /// The frontmost sprite whose HitTest(x, y) is TRUE, or null.
    CSprite* GetSpriteAt(int x, int y) const;
    /// Draws every sprite meeting rect (or all of them, for null) into the background, clipped to
    /// rect, in list order. Does nothing without a background.
    void Compose(const RECT* rect);
    /// Re-sorts sprites whose depth changed, composes the union of all dirty rectangles, copies it
    /// to dc (if given) and clears the dirty rectangles. Does nothing without a background.
    void Update(CDC* dc);
    /// Composes the whole background, copies it to dc and clears every dirty rectangle.
    void Redraw(CDC* dc);
    /// Counts one composition pass and, more than once a second, shows the rate in m_pFpsWnd's
    /// title. Returns the last computed rate (one value for all lists), 0 without a window.
    float CountFrame();

    CDIB* m_pBackground = nullptr;  ///< the image composed into; not owned
    CWnd* m_pFpsWnd = nullptr;      ///< window whose title shows the frame rate; not owned
    int m_nFrameCount = 0;          ///< composition passes since m_dwLastTime
    DWORD m_dwLastTime = 0;         ///< clock value of the last rate display, in ms

private:
    CSprite* FirstSprite() const;
    void AddToFirstDirty(const RECT& area);

    CWnd* m_pCountingWnd = nullptr;  // the window the counter last started for
};
