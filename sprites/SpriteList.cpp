// SPDX-License-Identifier: GPL-3.0-or-later
#include "sprites/SpriteList.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "lang/Language.h"
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
        AfxMessageBox(lang::Tr("Ein Sprite sollte nicht mehrmals in die Liste aufgenommen werden"),
                      MB_OK, 0);
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

namespace {

bool Contains(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::int64_t Area(const RECT& r) {
    return std::int64_t{r.right - r.left} * (r.bottom - r.top);
}

// Occluders smaller than this are not worth looking up for every sprite behind them.
constexpr std::int64_t kOccluderMinArea = 4096;
constexpr std::size_t kMaxOccluders = 32;
constexpr std::size_t kFewSprites = 64;
// Sprites at least this large are drawn around the occluders in front of them.
constexpr std::int64_t kSplitMinArea = 8192;
constexpr std::size_t kMaxPieces = 32;
// Neighbours copied in one pass: the board's tiles, the start picture's.
constexpr std::size_t kMinGroup = 4;

bool Meets(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Two rectangles that share a whole edge make one.
[[gnu::always_inline]] inline bool MergeInto(RECT& into, const RECT& next) {
    if (into.left == next.left && into.right == next.right &&
        (into.bottom == next.top || next.bottom == into.top)) {
        into.top = std::min(into.top, next.top);
        into.bottom = std::max(into.bottom, next.bottom);
        return true;
    }
    if (into.top == next.top && into.bottom == next.bottom &&
        (into.right == next.left || next.right == into.left)) {
        into.left = std::min(into.left, next.left);
        into.right = std::max(into.right, next.right);
        return true;
    }
    return false;
}

// Replaces every piece that meets cut by the up to four parts of it that lie outside cut.
bool Subtract(std::vector<RECT>& pieces, const RECT& cut) {
    for (std::size_t i = 0; i < pieces.size();) {
        RECT overlap{};
        const RECT piece = pieces[i];
        if (!IntersectRect(&overlap, &piece, &cut)) {
            ++i;
            continue;
        }
        pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(i));
        const RECT parts[4] = {{piece.left, piece.top, piece.right, overlap.top},
                               {piece.left, overlap.bottom, piece.right, piece.bottom},
                               {piece.left, overlap.top, overlap.left, overlap.bottom},
                               {overlap.right, overlap.top, piece.right, overlap.bottom}};
        for (const RECT& part : parts) {
            if (part.left < part.right && part.top < part.bottom) {
                pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(i), part);
                ++i;
            }
        }
        if (pieces.size() > kMaxPieces) return false;
    }
    return true;
}

// True when the sprite addition would draw all of visible without refusing it; then (sourceX,
// sourceY) is where visible's top left pixel comes from in the sprite's image.
bool DrawsWhole(const CSprite& sprite, const RECT& visible, int& sourceX, int& sourceY) {
    // The header is read directly: this runs for every sprite of every frame.
    if (!sprite.HasImage() || sprite.m_pInfo == nullptr || sprite.m_pBits == nullptr ||
        sprite.m_pInfo->bmiHeader.biBitCount != 24) {
        return false;
    }
    const std::int64_t imageWidth = sprite.m_pInfo->bmiHeader.biWidth;
    const std::int64_t imageHeight = sprite.m_pInfo->bmiHeader.biHeight;
    const std::int64_t sx = std::int64_t{sprite.m_nFrameCol} * sprite.m_nFrameWidth +
                            (std::int64_t{visible.left} - sprite.m_nX);
    const std::int64_t sy = std::int64_t{sprite.m_nFrameRow} * sprite.m_nFrameHeight +
                            (std::int64_t{visible.top} - sprite.m_nY);
    if (sx < 0 || sy < 0 || sx + (visible.right - visible.left) > imageWidth ||
        sy + (visible.bottom - visible.top) > imageHeight) {
        return false;
    }
    // Inside the image, so inside the int range.
    sourceX = static_cast<int>(sx);
    sourceY = static_cast<int>(sy);
    return true;
}

}  // namespace

void CSpriteList::AddPart(CSprite& sprite, const RECT& part) {
    const int sourceX = FrameOrigin(sprite.m_nFrameCol, sprite.m_nFrameWidth,
                                    std::int64_t{part.left} - sprite.m_nX);
    const int sourceY = FrameOrigin(sprite.m_nFrameRow, sprite.m_nFrameHeight,
                                    std::int64_t{part.top} - sprite.m_nY);
    sprite.AddSpriteTo(m_pBackground, part.left, part.top, part.right - part.left,
                       part.bottom - part.top, sourceX, sourceY, sprite.m_fAlpha,
                       sprite.m_bColorKey);
}

bool CSpriteList::HiddenBehind(const Buffers& work, std::size_t index, const RECT& visible) {
    for (const Occluder& o : work.occluders) {
        if (o.first > index && Contains(o.area, visible)) return true;
    }
    return false;
}

void CSpriteList::Compose(const RECT* rect) {
    if (m_pBackground == nullptr) return;
    // A refused sprite shows a message box, whose loop runs timer ticks that may compose this
    // list again: such a nested pass must not reuse the working memory of the one it interrupts.
    if (m_composing) {
        Buffers nested;
        ComposeWith(rect, nested);
        return;
    }
    m_composing = true;
    ComposeWith(rect, m_work);
    m_composing = false;
}

void CSpriteList::ComposeWith(const RECT* rect, Buffers& work) {
    // Every sprite meeting rect is drawn from the back to the front. What an opaque sprite further
    // in front covers entirely would be painted over anyway, so it is left out: the pixels come
    // out the same, with far fewer written. Opaque neighbours that share an edge (the board's
    // tiles, the start picture's tiles) count as one occluder.
    const RECT canvas{0, 0, m_pBackground->GetWidth(), m_pBackground->GetHeight()};
    const bool canvas24 = m_pBackground->GetBitCount() == 24;
    work.pending.clear();
    work.occluders.clear();
    for (const Entry& entry : Order()) {
        CSprite* sprite = entry.sprite;
        // Most sprites lie wholly away from a small rectangle; they are passed over first.
        if (rect != nullptr && (sprite->m_nX >= rect->right || sprite->m_nY >= rect->bottom)) {
            continue;
        }
        RECT area{};
        sprite->CSprite::GetRect(&area);
        if (rect != nullptr && !IntersectRect(&area, &area, rect)) continue;
        work.pending.push_back(Pending{sprite, area, {}, 0, 0, false, false});
        Pending& pending = work.pending.back();
        if (!IntersectRect(&pending.visible, &area, &canvas) || !canvas24 ||
            !DrawsWhole(*sprite, pending.visible, pending.sourceX, pending.sourceY)) {
            continue;
        }
        pending.whole = true;
        if (sprite->m_bColorKey != 0 || sprite->m_fAlpha < 0.99f) continue;
        const std::size_t index = work.pending.size() - 1;
        if (work.occluders.empty() || work.occluders.back().last + 1 != index ||
            !MergeInto(work.occluders.back().area, pending.visible)) {
            work.occluders.push_back(Occluder{pending.visible, index, index});
        } else {
            work.occluders.back().last = index;
        }
    }
    // Strips of merged neighbours (columns of tiles) merge once more into blocks.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < work.occluders.size(); ++i) {
        if (kept > 0 && work.occluders[kept - 1].last + 1 == work.occluders[i].first &&
            MergeInto(work.occluders[kept - 1].area, work.occluders[i].area)) {
            work.occluders[kept - 1].last = work.occluders[i].last;
        } else {
            work.occluders[kept++] = work.occluders[i];
        }
    }
    work.occluders.resize(kept);
    work.groups.clear();
    for (const Occluder& o : work.occluders) {
        if (o.last - o.first + 1 >= kMinGroup) work.groups.push_back(o);
    }
    // Every sprite is checked against every occluder: with many sprites to draw, only the large
    // occluders are worth it.
    if (work.pending.size() > kFewSprites) {
        std::erase_if(work.occluders,
                      [](const Occluder& o) { return Area(o.area) < kOccluderMinArea; });
    }
    if (work.occluders.size() > kMaxOccluders) work.occluders.resize(kMaxOccluders);

    std::size_t nextGroup = 0;
    for (std::size_t index = 0; index < work.pending.size(); ++index) {
        if (nextGroup < work.groups.size() && work.groups[nextGroup].first == index) {
            DrawGroup(work, work.groups[nextGroup++]);
        }
        const Pending& pending = work.pending[index];
        if (pending.done) continue;
        if (!pending.whole) {
            // Drawn exactly as asked: clipping, refusals and their messages stay the image's.
            AddPart(*pending.sprite, pending.area);
            continue;
        }
        if (HiddenBehind(work, index, pending.visible)) continue;
        if (Area(pending.visible) < kSplitMinArea) {
            AddPart(*pending.sprite, pending.visible);
            continue;
        }
        work.pieces.assign(1, pending.visible);
        bool split = true;
        for (const Occluder& o : work.occluders) {
            if (o.first > index && !Subtract(work.pieces, o.area)) {
                split = false;
                break;
            }
        }
        if (!split) work.pieces.assign(1, pending.visible);
        for (const RECT& piece : work.pieces) AddPart(*pending.sprite, piece);
    }
    CountFrame();
}

void CSpriteList::DrawGroup(Buffers& work, const Occluder& group) {
    // The group's sprites tile its area without overlapping, so the order they are drawn in
    // changes no pixel. What lies in front of the whole group is looked at once.
    bool partlyHidden = false;
    for (const Occluder& o : work.occluders) {
        if (o.first <= group.last) continue;
        if (Contains(o.area, group.area)) {
            for (std::size_t i = group.first; i <= group.last; ++i) work.pending[i].done = true;
            return;
        }
        partlyHidden = partlyHidden || Meets(o.area, group.area);
    }
    const BITMAPINFOHEADER& canvas = m_pBackground->m_pInfo->bmiHeader;
    const std::size_t dstStride = DibStride(canvas.biWidth, 24);
    // Rows of the one shape drawn here: the first member's width and picture stride.
    std::size_t bytes = 0;
    std::size_t srcStride = 0;
    const BITMAPINFO* lastPicture = nullptr;  // tiles mostly share one picture
    std::size_t pictureStride = 0;
    work.tiles.clear();
    for (std::size_t index = group.first; index <= group.last; ++index) {
        Pending& pending = work.pending[index];
        const RECT& v = pending.visible;
        if (partlyHidden && HiddenBehind(work, index, v)) {
            pending.done = true;
            continue;
        }
        // Large ones are cut around what lies in front of them; one drawn onto its own image
        // must not be copied as if the two were apart.
        const CSprite& sprite = *pending.sprite;
        if (Area(v) >= kSplitMinArea || sprite.m_pBits == m_pBackground->m_pBits) continue;
        if (sprite.m_pInfo != lastPicture) {
            lastPicture = sprite.m_pInfo;
            pictureStride = DibStride(lastPicture->bmiHeader.biWidth, 24);
        }
        const auto rowBytes = static_cast<std::size_t>(v.right - v.left) * 3;
        if (work.tiles.empty()) {
            bytes = rowBytes;
            srcStride = pictureStride;
        } else if (rowBytes != bytes || pictureStride != srcStride) {
            continue;
        }
        // A whole sprite's rectangle lies inside its picture: these are its pixels' addresses.
        const unsigned char* src =
            sprite.m_pBits +
            static_cast<std::size_t>(lastPicture->bmiHeader.biHeight - 1 - pending.sourceY) *
                srcStride +
            static_cast<std::size_t>(pending.sourceX) * 3;
        unsigned char* dst = m_pBackground->m_pBits +
                             static_cast<std::size_t>(canvas.biHeight - 1 - v.top) * dstStride +
                             static_cast<std::size_t>(v.left) * 3;
        work.tiles.push_back(Tile{RowCopy{dst, src}, v.top, v.bottom - v.top});
        pending.done = true;
    }
    if (work.tiles.empty()) return;
    m_pBackground->PixelsChanged();

    // The back buffer is written the way it lies in memory, which is markedly faster than the
    // list's order: by top row (a counting sort, the tops lie within the group's area), and
    // within a row left to right. Sprites inserted later lie further back, so a row of tiles
    // often comes right to left.
    const int top = group.area.top;
    const auto height = static_cast<std::size_t>(group.area.bottom - top);
    work.rowCounts.assign(height + 1, 0);
    for (const Tile& t : work.tiles) ++work.rowCounts[static_cast<std::size_t>(t.top - top) + 1];
    for (std::size_t y = 1; y <= height; ++y) work.rowCounts[y] += work.rowCounts[y - 1];
    work.byTop.resize(work.tiles.size());
    for (const Tile& t : work.tiles) {
        work.byTop[work.rowCounts[static_cast<std::size_t>(t.top - top)]++] = t;
    }
    const auto leftToRight = [](const Tile& a, const Tile& b) { return a.copy.dst < b.copy.dst; };
    const auto rightToLeft = [](const Tile& a, const Tile& b) { return a.copy.dst > b.copy.dst; };
    for (auto row = work.byTop.begin(); row != work.byTop.end();) {
        const auto end =
            std::find_if(row, work.byTop.end(), [row](const Tile& t) { return t.top != row->top; });
        if (std::is_sorted(row, end, rightToLeft)) {
            std::reverse(row, end);
        } else {
            std::sort(row, end, leftToRight);
        }
        row = end;
    }
    // Tiles of one height (all of a board's) in one call.
    for (std::size_t first = 0; first < work.byTop.size();) {
        const int rows = work.byTop[first].height;
        work.copies.clear();
        for (; first < work.byTop.size() && work.byTop[first].height == rows; ++first) {
            work.copies.push_back(work.byTop[first].copy);
        }
        CopyRowsAcross(work.copies.data(), work.copies.size(), static_cast<std::size_t>(rows),
                       bytes, dstStride, srcStride);
    }
}

const std::vector<CSpriteList::Entry>& CSpriteList::Order() {
    if (m_orderVersion != GetVersion() || m_order.size() != GetCount()) {
        m_order.clear();
        POSITION pos = GetHeadPosition();
        while (pos != nullptr) {
            const POSITION current = pos;
            m_order.push_back(Entry{current, static_cast<CSprite*>(GetNext(pos))});
        }
        m_orderVersion = GetVersion();
    }
    return m_order;
}

void CSpriteList::AddVisible(RECT& changed, const RECT& dirty, const RECT& canvas) {
    // Only the part on the background can change: a sprite far outside it (the start picture's
    // fallen tiles) must not stretch the area composed and put on the screen.
    RECT visible{};
    if (IntersectRect(&visible, &dirty, &canvas)) UnionRect(&changed, &changed, &visible);
}

void CSpriteList::Update(CDC* dc) {
    RECT changed{};
    int previousDepth = 0;
    if (m_pBackground == nullptr) return;
    const RECT canvas{0, 0, m_pBackground->GetWidth(), m_pBackground->GetHeight()};
    // The walk runs over a copy of the order, which is cheaper to read than the nodes, as long
    // as every sprite is in order; the first one out of order continues on the nodes themselves.
    POSITION pos = nullptr;
    const std::vector<Entry>& order = Order();
    for (std::size_t i = 0; i < order.size(); ++i) {
        CSprite* sprite = order[i].sprite;
        if (previousDepth > sprite->m_nDepth) {
            pos = order[i].position;
            break;
        }
        if (sprite->m_rcDirty != RECT{}) {
            AddVisible(changed, sprite->m_rcDirty, canvas);
            sprite->m_rcDirty = RECT{};
        }
        previousDepth = sprite->m_nDepth;
    }
    while (pos != nullptr) {
        POSITION current = pos;
        auto* sprite = static_cast<CSprite*>(GetNext(pos));
        if (sprite->m_rcDirty != RECT{}) {
            AddVisible(changed, sprite->m_rcDirty, canvas);
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
