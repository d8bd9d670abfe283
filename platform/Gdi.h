// SPDX-License-Identifier: GPL-3.0-or-later
// The 2-D graphics the sprite library needs: BMP header structures, bitmaps with directly
// addressable pixel memory, device contexts, and copying rectangles between them.
//
// A device context is where blits land. A memory device context draws into the bitmap selected
// into it; a window backend derives its own device contexts whose target is the window's surface
// and which put every changed rectangle on the screen. Everything here works on memory alone, so
// tests can read every pixel back.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/Types.h"

static_assert(std::endian::native == std::endian::little,
              "BMP headers are read in place and are little-endian");

#pragma pack(push, 2)
/// The 14-byte BMP file header.
struct BITMAPFILEHEADER {
    WORD bfType;   ///< "BM" (0x4D42)
    DWORD bfSize;  ///< size of the whole file in bytes
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;  ///< offset of the pixel data from the start of the file
};
#pragma pack(pop)
static_assert(sizeof(BITMAPFILEHEADER) == 14);

/// The 40-byte info header that opens every BITMAPINFO block.
struct BITMAPINFOHEADER {
    DWORD biSize;  ///< size of this header as the file declares it, 40 or more
    LONG biWidth;
    LONG biHeight;  ///< positive: rows stored bottom-up
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;  ///< BI_RGB (0): uncompressed
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

/// An info header followed by a colour table of any length.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD SRCCOPY = 0x00CC0020;

/// Largest width or height of a bitmap, and the most pixel memory one may take.
constexpr int kMaxBitmapSide = 16384;
constexpr std::size_t kMaxBitmapBytes = std::size_t{kMaxBitmapSide} * kMaxBitmapSide * 4;

/// Row stride in bytes of a DIB of the given width and bit count: whole rows padded to 4 bytes.
/// 0 for a width or bit count that gives no valid row.
inline std::size_t DibStride(int width, int bitCount) {
    if (width <= 0 || bitCount <= 0 || bitCount > 32) return 0;
    const auto bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount);
    return (bits + 31) / 32 * 4;
}

namespace platform {

class DeviceContext;

/// Releases memory from AllocatePixels.
struct PixelRelease {
    void operator()(unsigned char* pixels) const noexcept { std::free(pixels); }
};
using PixelMemory = std::unique_ptr<unsigned char[], PixelRelease>;

/// bytes of pixel memory, all zero, or null when there is not that much. Large blocks come from
/// the system already zeroed and are not written here, so that a picture read into them touches
/// each page once, not twice; and they are prefaulted (PrefaultPixels).
PixelMemory AllocatePixels(std::size_t bytes);

/// Maps all pages of bytes of pixel memory that are about to be written, in one call rather than
/// one fault a page: on virtual machines a fault costs several microseconds. Does nothing for
/// small blocks, and changes no pixel.
void PrefaultPixels(void* pixels, std::size_t bytes);

/// A bitmap object: pixel memory of width × height at bitCount bits, rows `stride` bytes apart.
/// DIB layout (bottomUp) stores the bottom row first, as BMP files do; window surfaces are
/// top-down. 24-bit pixels are B, G, R; 32-bit pixels are B, G, R, X.
struct Bitmap {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::size_t stride = 0;
    bool bottomUp = true;
    unsigned char* bits = nullptr;          ///< first byte of the pixel memory
    PixelMemory owned;                      ///< the memory, when the bitmap owns it
    DeviceContext* selectedInto = nullptr;  ///< the device context it is selected into, if any

    /// Address of the first byte of row y counted from the top, or null outside the bitmap.
    unsigned char* Row(int y) const;
};

/// A 32-bit top-down bitmap over pixels (rows stride bytes apart) that the caller owns.
Bitmap PixelsAsBitmap(void* pixels, int width, int height, std::size_t stride);

/// A device context: the target of blits and fills.
class DeviceContext {
public:
    DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;
    virtual ~DeviceContext();

    /// Selects bitmap and returns the one selected before, or null when it cannot be selected
    /// (it is selected into another device context, or this one has a fixed surface).
    virtual Bitmap* Select(Bitmap* bitmap);
    /// The pixels that blits into this context write; never null.
    virtual Bitmap* Surface() { return m_selected; }
    /// Called after pixels of rect (already clipped to the surface) changed; a window's device
    /// context puts that rectangle on the screen.
    virtual void Changed(const RECT& /*rect*/) {}

private:
    Bitmap m_stock;  // the 1 × 1 bitmap a new memory context holds, as in the framework
    Bitmap* m_selected;
};

}  // namespace platform

using HDC = platform::DeviceContext*;
using HBITMAP = platform::Bitmap*;
using HGDIOBJ = platform::Bitmap*;
using HANDLE = void*;

/// A memory device context compatible with reference (or with the screen when null).
HDC CreateCompatibleDC(HDC reference);
BOOL DeleteDC(HDC dc);
/// A DIB section of the size and bit count in info (uncompressed; a negative height means
/// top-down rows); *bits receives its pixel memory. Null (and *bits null) for an info header that
/// describes no valid or supported bitmap or one beyond kMaxBitmapSide.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
/// A width × height bitmap in the format blits to dc expect (24-bit, bottom-up).
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
/// Deletes a bitmap; FALSE (and nothing deleted) while it is selected into a device context.
BOOL DeleteObject(HGDIOBJ object);
/// Copies the w × h rectangle at (sx, sy) of src to (x, y) of dst, clipped to both surfaces.
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
/// As BitBlt; only equal source and target sizes are supported (FALSE otherwise).
BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                DWORD rop);

/// The framework's device-context object: owns the HDC attached to it.
class CDC {
public:
    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    HDC GetSafeHdc() const { return m_hDC; }
    BOOL Attach(HDC dc);
    HDC Detach();
    BOOL CreateCompatibleDC(CDC* reference);
    BOOL DeleteDC();
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop);
    BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh,
                    DWORD rop);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
    void FillSolidRect(const RECT* rect, COLORREF colour);

    HDC m_hDC = nullptr;
};
