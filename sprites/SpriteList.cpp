#include "sprites/SpriteList.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "platform/Clock.h"
#include "platform/MessageBox.h"

namespace {
// Source coordinate cell × size + offset; a hostile frame that leaves the int range becomes a
// coordinate outside every image, which the sprite addition refuses.
int FrameOrigin(int cell, int size, std::int64_t offset) {
    const std::int64_t origin = std::int64_t{cell} * size + offset;
    return static_cast<int>(std::clamp<std::int64_t>(origin, INT32_MIN, INT32_MAX));
}

// One rate for the whole program, as the title of whichever list last measured it.
float g_lastFrameRate = 0.0f;
}  // namespace

CSprite* CSpriteList::FirstSprite() const {
    if (IsEmpty()) return nullptr;
    POSITION pos = GetHeadPosition();
    return static_cast<CSprite*>(GetNext(pos));
}

void CSpriteList::AddToFirstDirty(const RECT& area) {
    if (CSprite* first = FirstSprite()) UnionRect(&first->m_rcDirty, &first->m_rcDirty, &area);
}

BOOL CSpriteList::Insert(CSprite* sprite) {
    RECT bounds{};
    sprite->GetRect(&bounds);
    if (Find(sprite) != nullptr) {
        AfxMessageBox("Ein Sprite sollte nicht mehrmals in die Liste aufgenommen werden", MB_OK, 0);
        return FALSE;
    }
    POSITION pos = GetHeadPosition();
    while (pos != nullptr && static_cast<CSprite*>(GetAt(pos))->m_nDepth < sprite->m_nDepth) {
        GetNext(pos);
    }
    if (pos != nullptr) {
        InsertBefore(pos, sprite);
    } else {
        AddTail(sprite);
    }
    Compose(&bounds);
    AddToFirstDirty(bounds);
    return TRUE;
}

CSprite* CSpriteList::GetSpriteAt(int x, int y) const {
    POSITION pos = GetTailPosition();
    while (pos != nullptr) {
        auto* sprite = static_cast<CSprite*>(GetPrev(pos));
        if (sprite->HitTest(x, y)) return sprite;
    }
    return nullptr;
}

void CSpriteList::Compose(const RECT* rect) {
    if (m_pBackground == nullptr) return;
    POSITION pos = GetHeadPosition();
    while (pos != nullptr) {
        auto* sprite = static_cast<CSprite*>(GetNext(pos));
        RECT area{};
        sprite->GetRect(&area);
        if (rect != nullptr && !IntersectRect(&area, &area, rect)) continue;
        const int sourceX = FrameOrigin(sprite->m_nFrameCol, sprite->m_nFrameWidth,
                                        std::int64_t{area.left} - sprite->m_nX);
        const int sourceY = FrameOrigin(sprite->m_nFrameRow, sprite->m_nFrameHeight,
                                        std::int64_t{area.top} - sprite->m_nY);
        sprite->AddSpriteTo(m_pBackground, area.left, area.top, area.right - area.left,
                            area.bottom - area.top, sourceX, sourceY, sprite->m_fAlpha,
                            sprite->m_bColorKey);
    }
    CountFrame();
}

void CSpriteList::Update(CDC* dc) {
    RECT changed{};
    int previousDepth = 0;
    if (m_pBackground == nullptr) return;
    POSITION pos = GetHeadPosition();
    while (pos != nullptr) {
        POSITION current = pos;
        auto* sprite = static_cast<CSprite*>(GetNext(pos));
        if (sprite->m_rcDirty != RECT{}) {
            UnionRect(&changed, &changed, &sprite->m_rcDirty);
            sprite->m_rcDirty = RECT{};
        }
        if (previousDepth > sprite->m_nDepth) {
            // Out of order: take it out, restore what lay under it, and put it back by depth.
            RemoveAt(current);
            RECT bounds{};
            sprite->GetRect(&bounds);
            Compose(&bounds);
            AddToFirstDirty(bounds);
            Insert(sprite);
        }
        previousDepth = sprite->m_nDepth;
    }
    Compose(&changed);
    if (dc != nullptr) {
        m_pBackground->DrawPart(dc, changed.left, changed.top, changed.right, changed.bottom, 0, 0);
    }
}

void CSpriteList::Redraw(CDC* dc) {
    if (m_pBackground != nullptr) {
        const RECT whole{0, 0, m_pBackground->GetWidth(), m_pBackground->GetHeight()};
        Compose(&whole);
        // Painting needs somewhere to paint to; without a target the composed image waits for
        // the next copy.
        if (dc != nullptr) m_pBackground->Draw(dc, 0, 0);
    }
    POSITION pos = GetHeadPosition();
    while (pos != nullptr) static_cast<CSprite*>(GetNext(pos))->m_rcDirty = RECT{};
}

float CSpriteList::CountFrame() {
    if (m_pFpsWnd == nullptr) return 0.0f;
    const DWORD now = timeGetTime();
    if (m_pFpsWnd != m_pCountingWnd) {
        // The owner has just given a window: counting starts now, from a defined state.
        m_pCountingWnd = m_pFpsWnd;
        m_nFrameCount = 0;
        m_dwLastTime = now;
        return g_lastFrameRate;
    }
    ++m_nFrameCount;
    const DWORD elapsed = now - m_dwLastTime;
    if (elapsed > 1000) {
        g_lastFrameRate = static_cast<float>(m_nFrameCount / (elapsed / 1000.0));
        char title[64];
        std::snprintf(title, sizeof title, "%.2f fps", static_cast<double>(g_lastFrameRate));
        m_pFpsWnd->SetWindowText(title);
        m_nFrameCount = 0;
        m_dwLastTime = now;
    }
    return g_lastFrameRate;
}
