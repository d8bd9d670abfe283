// SPDX-License-Identifier: GPL-3.0-or-later
// The plain kernels: scalar code that every vector version must match byte for byte.
#include <cstring>

#include "sprites/kernels/Variants.h"

namespace pixel_kernels {
namespace {

void CopySpanPlain(unsigned char* dst, const unsigned char* src, std::size_t n) {
    std::memcpy(dst, src, n);
}

void CopyRowsPlain(RowCopy* copies, std::size_t count, std::size_t rows, std::size_t bytes,
                   std::size_t dstStride, std::size_t srcStride) {
    for (std::size_t k = 0; k < count; ++k) {
        for (std::size_t r = 0; r < rows; ++r) {
            std::memcpy(copies[k].dst, copies[k].src, bytes);
            copies[k].dst -= dstStride;
            copies[k].src -= srcStride;
        }
    }
}

}  // namespace

void BlendSpanPlain(std::size_t n, unsigned char* dst, const unsigned char* src,
                    const BlendRule& rule) {
    const std::int16_t* delta = rule.table + 255;
    for (std::size_t i = 0; i < n; ++i) {
        dst[i] = static_cast<unsigned char>(dst[i] + delta[src[i] - dst[i]]);
    }
}

const PixelKernels kPlain{"plain", CopySpanPlain, CopyRowsPlain, BlendSpanPlain};

}  // namespace pixel_kernels
