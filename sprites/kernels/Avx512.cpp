// SPDX-License-Identifier: GPL-3.0-or-later
// The blend on 64-byte registers, where the processor has them; copies stay at 32 bytes, which
// already keep up with memory.
#include "sprites/kernels/Variants.h"

#if defined(FLOEMAZE_KERNELS_AVX)
#include <immintrin.h>

namespace pixel_kernels {
namespace {

// The blend of the 16-byte version on 64 bytes at once; returns how many bytes it blended.
__attribute__((target("avx512bw"))) std::size_t BlendWidest(std::size_t n, unsigned char* dst,
                                                            const unsigned char* src,
                                                            std::uint32_t multiplier) {
    const __m512i zero = _mm512_setzero_si512();
    const __m512i m = _mm512_set1_epi16(static_cast<std::int16_t>(multiplier));
    std::size_t i = 0;
    for (; i + 64 <= n; i += 64) {
        const __m512i d = _mm512_loadu_si512(dst + i);
        const __m512i s = _mm512_loadu_si512(src + i);
        __m512i halves[2];
        for (int h = 0; h < 2; ++h) {
            const __m512i d16 =
                h == 0 ? _mm512_unpacklo_epi8(d, zero) : _mm512_unpackhi_epi8(d, zero);
            const __m512i s16 =
                h == 0 ? _mm512_unpacklo_epi8(s, zero) : _mm512_unpackhi_epi8(s, zero);
            const __m512i diff = _mm512_sub_epi16(s16, d16);
            const __mmask32 negative = _mm512_movepi16_mask(diff);
            const __m512i scaled = _mm512_mulhi_epu16(_mm512_abs_epi16(diff), m);
            halves[h] = _mm512_mask_sub_epi16(_mm512_add_epi16(d16, scaled), negative, d16, scaled);
        }
        _mm512_storeu_si512(dst + i, _mm512_packus_epi16(halves[0], halves[1]));
    }
    return i;
}

void BlendSpanAvx512(std::size_t n, unsigned char* dst, const unsigned char* src,
                     const BlendRule& rule) {
    const std::size_t i = rule.multiplier != 0 ? BlendWidest(n, dst, src, rule.multiplier) : 0;
    BlendSpanAvx2(n - i, dst + i, src + i, rule);
}

}  // namespace

const PixelKernels kAvx512{"avx512", CopySpanSse2, CopyRowsAvx2, BlendSpanAvx512};

}  // namespace pixel_kernels
#endif
