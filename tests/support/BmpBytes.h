// SPDX-License-Identifier: GPL-3.0-or-later
// Builds BMP files as bytes, so tests can say exactly what is wrong with each one.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "sprites/DIB.h"

/// The fields of a BMP file; defaults describe a valid 24-bit bottom-up image.
struct BmpSpec {
    int width = 4;
    int height = 3;
    int bitCount = 24;
    std::uint16_t type = 0x4D42;
    std::uint32_t infoSize = 40;  ///< biSize as written
    std::uint32_t compression = 0;
    std::uint32_t paletteEntries = 0;  ///< RGBQUADs between info header and pixels
    std::int64_t offBits = -1;         ///< -1: right after the headers and palette
    std::int64_t fileSize = -1;        ///< bfSize; -1: the real size
    /// Colour of pixel (x, y) as RGB(), y = 0 the top row; 24-bit only.
    std::function<COLORREF(int x, int y)> pixel = [](int x, int y) {
        return RGB(static_cast<BYTE>(x * 40), static_cast<BYTE>(y * 50), static_cast<BYTE>(x + y));
    };
};

/// A whole BMP file as described by spec.
std::vector<std::uint8_t> MakeBmp(const BmpSpec& spec = {});

/// A 24-bit w × h image filled with one colour (COLORREF), made with CreateFilled.
CDIB MakeDib(int width, int height, COLORREF fill);

/// Colour of pixel (x, y) of a 24-bit image as RGB(); 0xFFFFFFFF outside it.
COLORREF PixelAt(const CDIB& image, int x, int y);
/// Sets pixel (x, y) of a 24-bit image.
void SetPixel(CDIB& image, int x, int y, COLORREF colour);

/// Little-endian stores into a byte vector.
void Put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value);
void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value);
