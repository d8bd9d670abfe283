// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Scaling.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace platform {
namespace {

// The first screen offset along one axis whose client pixel is at least client, for a client
// side of size shown over span screen pixels: ceil(client · span / size).
LONG ScreenOffset(LONG client, int size, int span) {
    const std::int64_t product = std::int64_t{client} * span;
    return static_cast<LONG>((product + size - 1) / size);
}

// Rounds towards minus infinity, for points left of or above the client area.
LONG FloorDivide(std::int64_t value, int divisor) {
    std::int64_t quotient = value / divisor;
    if (value % divisor != 0 && value < 0) --quotient;
    return static_cast<LONG>(quotient);
}

int Span(LONG from, LONG to) {
    return static_cast<int>(to - from);
}

std::uint32_t* Pixels(const Bitmap& bitmap, int y) {
    return reinterpret_cast<std::uint32_t*>(bitmap.Row(y));
}

// Each of count pixels scale times over; a loop the compiler turns into wide stores.
template <int scale>
void Replicate(const std::uint32_t* source, std::uint32_t* target, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t pixel = source[i];
        for (int k = 0; k < scale; ++k) target[i * scale + k] = pixel;
    }
}

// One screen row from one client row: columns [from, to) of the screen, from client column
// (from − left) · size / span on.
void ScaleRow(const std::uint32_t* source, std::uint32_t* target, LONG from, LONG to, LONG left,
              int size, int span) {
    const std::int64_t start = std::int64_t{from - left} * size;
    std::int64_t column = start / span;
    std::int64_t remainder = start % span;
    if (span % size == 0) {
        // A whole-number scale: a part of the first pixel, whole pixels, a part of the last.
        const int scale = span / size;
        LONG x = from;
        if (const int offset = static_cast<int>(remainder / size); offset > 0) {
            const LONG end = std::min<LONG>(to, x + scale - offset);
            std::fill(target + x, target + end, source[column++]);
            x = end;
        }
        const auto whole = static_cast<std::size_t>((to - x) / scale);
        const std::uint32_t* pixels = source + column;
        switch (scale) {
            case 1:
                std::memcpy(target + x, pixels, whole * 4);
                break;
            case 2:
                Replicate<2>(pixels, target + x, whole);
                break;
            case 3:
                Replicate<3>(pixels, target + x, whole);
                break;
            case 4:
                Replicate<4>(pixels, target + x, whole);
                break;
            default:
                for (std::size_t i = 0; i < whole; ++i) {
                    std::fill_n(target + x + static_cast<LONG>(i) * scale, scale, pixels[i]);
                }
                break;
        }
        x += static_cast<LONG>(whole) * scale;
        column += static_cast<std::int64_t>(whole);
        if (x < to) std::fill(target + x, target + to, source[column]);
        return;
    }
    for (LONG x = from; x < to; ++x) {
        target[x] = source[column];
        remainder += size;
        while (remainder >= span) {
            remainder -= span;
            ++column;
        }
    }
}

}  // namespace

int AutomaticScale(int width, int height, int usableWidth, int usableHeight) {
    for (int scale = kMaxScale; scale > kMinScale; --scale) {
        if (std::int64_t{width} * scale * 100 <= std::int64_t{usableWidth} * kAutomaticScaleShare &&
            std::int64_t{height} * scale * 100 <=
                std::int64_t{usableHeight} * kAutomaticScaleShare) {
            return scale;
        }
    }
    return kMinScale;
}

RECT FittedArea(int width, int height, int screenWidth, int screenHeight) {
    if (width <= 0 || height <= 0 || screenWidth <= 0 || screenHeight <= 0) return RECT{};
    // As wide as the screen unless that makes it too high; then as high as the screen.
    int areaWidth = screenWidth;
    auto areaHeight = static_cast<int>(std::int64_t{screenWidth} * height / width);
    if (areaHeight > screenHeight) {
        areaHeight = screenHeight;
        areaWidth = static_cast<int>(std::int64_t{screenHeight} * width / height);
    }
    const int left = (screenWidth - areaWidth) / 2;
    const int top = (screenHeight - areaHeight) / 2;
    return RECT{left, top, left + areaWidth, top + areaHeight};
}

ScreenView ScreenView::Scaled(int width, int height, int scale) {
    return ScreenView{width, height, RECT{0, 0, width * scale, height * scale}, width * scale,
                      height * scale};
}

ScreenView ScreenView::Fullscreen(int width, int height, int screenWidth, int screenHeight) {
    return ScreenView{width, height, FittedArea(width, height, screenWidth, screenHeight),
                      screenWidth, screenHeight};
}

bool ScreenView::Identity() const {
    return target == RECT{0, 0, width, height} && screenWidth == width && screenHeight == height;
}

RECT ToScreen(const ScreenView& view, const RECT& rect) {
    RECT area{};
    const RECT client{0, 0, view.width, view.height};
    if (!IntersectRect(&area, &rect, &client)) return RECT{};
    const RECT& t = view.target;
    const int spanX = Span(t.left, t.right);
    const int spanY = Span(t.top, t.bottom);
    RECT screen{t.left + ScreenOffset(area.left, view.width, spanX),
                t.top + ScreenOffset(area.top, view.height, spanY),
                t.left + ScreenOffset(area.right, view.width, spanX),
                t.top + ScreenOffset(area.bottom, view.height, spanY)};
    // Shrunk below the client size, a client pixel may show on no screen pixel at all.
    if (IsRectEmpty(&screen)) return RECT{};
    return screen;
}

std::optional<POINT> ToClient(const ScreenView& view, POINT point) {
    const RECT& t = view.target;
    if (point.x < t.left || point.x >= t.right || point.y < t.top || point.y >= t.bottom) {
        return std::nullopt;
    }
    return ClientPoint(view, point);
}

POINT ClientPoint(const ScreenView& view, POINT point) {
    const RECT& t = view.target;
    if (IsRectEmpty(&t)) return POINT{-1, -1};
    return POINT{FloorDivide(std::int64_t{point.x - t.left} * view.width, Span(t.left, t.right)),
                 FloorDivide(std::int64_t{point.y - t.top} * view.height, Span(t.top, t.bottom))};
}

RECT ToClientCover(const ScreenView& view, const RECT& rect) {
    RECT area{};
    if (!IntersectRect(&area, &rect, &view.target)) return RECT{};
    const POINT first = ClientPoint(view, POINT{area.left, area.top});
    const POINT last = ClientPoint(view, POINT{area.right - 1, area.bottom - 1});
    return RECT{first.x, first.y, last.x + 1, last.y + 1};
}

ScreenView PartOf(const ScreenView& view, const RECT& part) {
    ScreenView seen = view;
    OffsetRect(&seen.target, -part.left, -part.top);
    seen.screenWidth = Span(part.left, part.right);
    seen.screenHeight = Span(part.top, part.bottom);
    return seen;
}

void ScaleRect(const Bitmap& source, Bitmap& target, const ScreenView& view, const RECT& changed) {
    const RECT screen = ToScreen(view, changed);
    if (IsRectEmpty(&screen)) return;
    const RECT& t = view.target;
    const int spanX = Span(t.left, t.right);
    const int spanY = Span(t.top, t.bottom);
    const std::size_t bytes = static_cast<std::size_t>(screen.right - screen.left) * 4;
    LONG y = screen.top;
    while (y < screen.bottom) {
        const auto row = static_cast<int>(std::int64_t{y - t.top} * view.height / spanY);
        // The screen rows that show this client row: the first is scaled, the others copied.
        const LONG rows =
            std::min<LONG>(screen.bottom, t.top + ScreenOffset(row + 1, view.height, spanY));
        std::uint32_t* first = Pixels(target, y);
        ScaleRow(Pixels(source, row), first, screen.left, screen.right, t.left, view.width, spanX);
        for (LONG copy = y + 1; copy < rows; ++copy) {
            std::memcpy(Pixels(target, copy) + screen.left, first + screen.left, bytes);
        }
        y = rows;
    }
}

void CopyChangedBlocks(const Bitmap& source, Bitmap& shown, const RECT& rect,
                       const std::function<void(const RECT&)>& changed) {
    RECT area{};
    const RECT client{0, 0, std::min(source.width, shown.width),
                      std::min(source.height, shown.height)};
    if (!IntersectRect(&area, &rect, &client)) return;
    RECT block{};
    for (LONG y = area.top; y < area.bottom; ++y) {
        const std::uint32_t* from = Pixels(source, y);
        std::uint32_t* was = Pixels(shown, y);
        LONG first = area.left;
        while (first < area.right && was[first] == from[first]) ++first;
        if (first == area.right) {
            if (!IsRectEmpty(&block)) changed(block);
            block = RECT{};
            continue;
        }
        LONG last = area.right - 1;
        while (was[last] == from[last]) --last;
        std::memcpy(was + first, from + first, static_cast<std::size_t>(last + 1 - first) * 4);
        const RECT row{first, y, last + 1, y + 1};
        UnionRect(&block, &block, &row);
    }
    if (!IsRectEmpty(&block)) changed(block);
}

RECT ScaleChanged(const Bitmap& source, Bitmap& shown, Bitmap& target, const ScreenView& view,
                  const RECT& rect) {
    RECT area{};
    const RECT client{0, 0, view.width, view.height};
    if (!IntersectRect(&area, &rect, &client)) return RECT{};
    RECT changed{};
    CopyChangedBlocks(source, shown, area, [&](const RECT& block) {
        // Within a block the unchanged pixels are enlarged once more, to what the screen shows.
        ScaleRect(source, target, view, block);
        UnionRect(&changed, &changed, &block);
    });
    return ToScreen(view, changed);
}

void ScaleInBands(const Bitmap& source, const ScreenView& view, const RECT& changed,
                  std::size_t bandPixels, std::vector<std::uint32_t>& scratch,
                  const std::function<void(const Bitmap& band, const RECT& screen)>& put) {
    RECT area{};
    const RECT client{0, 0, view.width, view.height};
    if (!IntersectRect(&area, &changed, &client)) return;
    const auto pixels = [](const RECT& r) {
        return static_cast<std::size_t>(r.right - r.left) *
               static_cast<std::size_t>(r.bottom - r.top);
    };
    LONG y = area.top;
    while (y < area.bottom) {
        LONG end = y + 1;
        RECT screen = ToScreen(view, RECT{area.left, y, area.right, end});
        for (; end < area.bottom; ++end) {
            const RECT more = ToScreen(view, RECT{area.left, y, area.right, end + 1});
            if (pixels(more) > bandPixels) break;
            screen = more;
        }
        if (!IsRectEmpty(&screen)) {
            if (scratch.size() < pixels(screen)) scratch.resize(pixels(screen));
            const int width = Span(screen.left, screen.right);
            Bitmap band = PixelsAsBitmap(scratch.data(), width, Span(screen.top, screen.bottom),
                                         static_cast<std::size_t>(width) * 4);
            ScaleRect(source, band, PartOf(view, screen), RECT{area.left, y, area.right, end});
            put(band, screen);
        }
        y = end;
    }
}

}  // namespace platform
