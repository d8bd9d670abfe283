// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WindowDC.h"

#include <algorithm>

#include "platform/Backend.h"

namespace {

// A device context whose surface is a window's client area; what is drawn reaches the screen.
class WindowDeviceContext final : public platform::DeviceContext {
public:
    explicit WindowDeviceContext(platform::WindowPeer& peer) : m_peer(peer) {}
    platform::Bitmap* Select(platform::Bitmap* /*bitmap*/) override { return nullptr; }
    platform::Bitmap* Surface() override { return m_peer.Surface(); }
    void Changed(const RECT& rect) override { m_peer.Present(rect); }

private:
    platform::WindowPeer& m_peer;
};

}  // namespace

CClientDC::CClientDC(CWnd* window) {
    if (window != nullptr && window->Peer() != nullptr) {
        Attach(new WindowDeviceContext(*window->Peer()));
    }
}

CPaintDC::CPaintDC(CWnd* window) : CClientDC(window) {}

int GetSystemMetrics(int index) {
    if (index == SM_CXICON || index == SM_CYICON) return platform::CurrentBackend().IconSize();
    return 0;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
    if (dc == nullptr || icon == nullptr) return FALSE;
    const platform::IconImage* image = icon->Best(GetSystemMetrics(SM_CXICON));
    if (image == nullptr) return FALSE;
    platform::Bitmap& surface = *dc->Surface();
    if (surface.bitCount != 24 && surface.bitCount != 32) return FALSE;
    const int step = surface.bitCount / 8;
    const RECT whole{0, 0, surface.width, surface.height};
    const RECT wanted{x, y, x + image->size, y + image->size};
    RECT area{};
    if (!IntersectRect(&area, &wanted, &whole)) return TRUE;
    for (int row = area.top; row < area.bottom; ++row) {
        unsigned char* p =
            surface.Row(row) + static_cast<std::size_t>(area.left) * static_cast<std::size_t>(step);
        for (int col = area.left; col < area.right; ++col, p += step) {
            const std::uint32_t argb = image->pixels[static_cast<std::size_t>(row - y) *
                                                         static_cast<std::size_t>(image->size) +
                                                     static_cast<std::size_t>(col - x)];
            const unsigned a = argb >> 24;
            const unsigned rgb[3] = {argb & 0xFF, (argb >> 8) & 0xFF, (argb >> 16) & 0xFF};
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<unsigned char>((rgb[c] * a + p[c] * (255 - a)) / 255);
        }
    }
    dc->Changed(area);
    return TRUE;
}
