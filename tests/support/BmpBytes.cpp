// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/BmpBytes.h"

void Put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::vector<std::uint8_t> MakeBmp(const BmpSpec& spec) {
    const std::size_t stride =
        (static_cast<std::size_t>(spec.bitCount / 8) * static_cast<std::size_t>(spec.width) + 3) &
        ~std::size_t{3};
    const std::size_t rows = static_cast<std::size_t>(spec.height < 0 ? -spec.height : spec.height);
    const std::size_t headers =
        14 + std::max<std::size_t>(spec.infoSize, 40) + spec.paletteEntries * 4;
    const std::size_t offBits =
        spec.offBits >= 0 ? static_cast<std::size_t>(spec.offBits) : headers;
    std::vector<std::uint8_t> bytes(std::max(offBits, headers) + rows * stride, 0);
    Put16(bytes, 0, spec.type);
    Put32(bytes, 2,
          static_cast<std::uint32_t>(spec.fileSize >= 0 ? spec.fileSize
                                                        : static_cast<std::int64_t>(bytes.size())));
    Put32(bytes, 10, static_cast<std::uint32_t>(offBits));
    Put32(bytes, 14, spec.infoSize);
    Put32(bytes, 18, static_cast<std::uint32_t>(spec.width));
    Put32(bytes, 22, static_cast<std::uint32_t>(spec.height));
    Put16(bytes, 26, 1);
    Put16(bytes, 28, static_cast<std::uint16_t>(spec.bitCount));
    Put32(bytes, 30, spec.compression);
    Put32(bytes, 46, spec.paletteEntries);
    if (spec.bitCount == 24 && offBits + rows * stride <= bytes.size()) {
        for (std::size_t r = 0; r < rows; ++r) {
            const int y = static_cast<int>(rows - 1 - r);  // bottom row first
            for (int x = 0; x < spec.width; ++x) {
                const COLORREF c = spec.pixel(x, y);
                std::uint8_t* p =
                    bytes.data() + offBits + r * stride + static_cast<std::size_t>(x) * 3;
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
        }
    }
    return bytes;
}

CDIB MakeDib(int width, int height, COLORREF fill) {
    CDIB image;
    image.CreateFilled(nullptr, width, height, fill);
    return image;
}

COLORREF PixelAt(const CDIB& image, int x, int y) {
    const unsigned char* p = image.GetPixelAddress(x, y);
    if (p == nullptr) return 0xFFFFFFFF;
    return RGB(p[2], p[1], p[0]);
}

void SetPixel(CDIB& image, int x, int y, COLORREF colour) {
    unsigned char* p = image.GetPixelAddress(x, y);
    if (p == nullptr) return;
    p[0] = GetBValue(colour);
    p[1] = GetGValue(colour);
    p[2] = GetRValue(colour);
}
