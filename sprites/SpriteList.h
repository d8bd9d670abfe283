// SPDX-License-Identifier: GPL-3.0-or-later
// CSpriteList: a depth-ordered list of sprites that composes them into a background image and
// puts the changed area on the screen.
#pragma once

#include <cstdint>
#include <vector>

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
    /// changed ∪= the part of dirty that lies on canvas.
    static void AddVisible(RECT& changed, const RECT& dirty, const RECT& canvas);
    void AddPart(CSprite& sprite, const RECT& part);

    // Working memory of Compose, kept between calls so that composing allocates nothing.
    struct Pending {
        CSprite* sprite;
        RECT area;     // the sprite's bounds within the rectangle composed
        RECT visible;  // the part of area on the background
        int sourceX;   // for a whole one, where visible's top left pixel is in the image
        int sourceY;
        bool whole;  // the image draws all of visible: it may be left out or cut
        bool done;   // drawn (or left out) with its group already
    };
    struct Occluder {
        RECT area;          // covered by opaque sprites
        std::size_t first;  // their first and last places in the pending list
        std::size_t last;
    };
    struct Tile {
        RowCopy copy;  // where its first row goes and comes from
        int top;       // its first row on the background
        int height;
    };
    struct Buffers {
        std::vector<Pending> pending;
        std::vector<Occluder> occluders;
        std::vector<Occluder> groups;  // neighbours that tile their area, copied in one pass
        std::vector<RECT> pieces;
        std::vector<Tile> tiles;  // a group's, in the list's order
        std::vector<Tile> byTop;  // the same in the order of the back buffer's memory
        std::vector<std::uint32_t> rowCounts;
        std::vector<RowCopy> copies;
    };
    static bool HiddenBehind(const Buffers& work, std::size_t index, const RECT& visible);
    /// Draws the group's sprites of one shape by copying their rows straight from their
    /// pictures, in one pass over all of them. The rest stay for the usual way.
    void DrawGroup(Buffers& work, const Occluder& group);
    void ComposeWith(const RECT* rect, Buffers& work);

    // The order of the list as an array, rebuilt when nodes were added or removed.
    struct Entry {
        POSITION position;
        CSprite* sprite;
    };
    const std::vector<Entry>& Order();
    std::vector<Entry> m_order;
    std::size_t m_orderVersion = 0;

    Buffers m_work;
    bool m_composing = false;

    CWnd* m_pCountingWnd = nullptr;  // the window the counter last started for
};
