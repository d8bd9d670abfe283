// SPDX-License-Identifier: GPL-3.0-or-later
// Kernels on 16-byte registers, which every x86-64 processor has.
#include "sprites/kernels/Variants.h"

#if defined(FLOEMAZE_KERNELS_SSE2)
#include <emmintrin.h>

#include <cstring>

namespace pixel_kernels {

// A sprite's rows are short (a board tile's row is 75 bytes), where a library call costs more
// than the copy.
void CopySpanSse2(unsigned char* dst, const unsigned char* src, std::size_t n) {
    if (n >= 16 && n <= 256) {
        for (std::size_t i = 0; i + 16 < n; i += 16) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + n - 16),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + n - 16)));
        return;
    }
    std::memcpy(dst, src, n);
}

void CopyRowsSse2(RowCopy* copies, std::size_t count, std::size_t rows, std::size_t bytes,
                  std::size_t dstStride, std::size_t srcStride) {
    for (std::size_t k = 0; k < count; ++k) {
        for (std::size_t r = 0; r < rows; ++r) {
            CopySpanSse2(copies[k].dst, copies[k].src, bytes);
            copies[k].dst -= dstStride;
            copies[k].src -= srcStride;
        }
    }
}

// Blends as the table does, with the multiplier: |d| × m / 65536 rounded down is trunc(d × alpha)
// for the magnitude, and the sign is put back.
void BlendSpanSse2(std::size_t n, unsigned char* dst, const unsigned char* src,
                   const BlendRule& rule) {
    std::size_t i = 0;
    if (rule.multiplier != 0) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i m = _mm_set1_epi16(static_cast<std::int16_t>(rule.multiplier));
        const auto half = [&](__m128i d, __m128i s) {
            const __m128i diff = _mm_sub_epi16(s, d);
            const __m128i negative = _mm_cmpgt_epi16(zero, diff);
            const __m128i magnitude = _mm_sub_epi16(_mm_xor_si128(diff, negative), negative);
            const __m128i scaled = _mm_mulhi_epu16(magnitude, m);
            return _mm_add_epi16(d, _mm_sub_epi16(_mm_xor_si128(scaled, negative), negative));
        };
        for (; i + 16 <= n; i += 16) {
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
            const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            const __m128i low = half(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero));
            const __m128i high = half(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(low, high));
        }
    }
    BlendSpanPlain(n - i, dst + i, src + i, rule);
}

const PixelKernels kSse2{"sse2", CopySpanSse2, CopyRowsSse2, BlendSpanSse2};

}  // namespace pixel_kernels
#endif
