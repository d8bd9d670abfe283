// SPDX-License-Identifier: GPL-3.0-or-later
// Kernels on 32-byte registers, where the processor has them: opaque tiles are most of what the
// game draws, and a tile's row takes three moves.
#include "sprites/kernels/Variants.h"

#if defined(FLOEMAZE_KERNELS_AVX)
#include <immintrin.h>

namespace pixel_kernels {
namespace {

// bytes ≥ 32. Written with intrinsics: a 32-byte memcpy would become two 16-byte moves, and a
// library call costs more than a row of the back buffer takes to copy.
__attribute__((target("avx2"), always_inline)) inline void CopyWide(unsigned char* dst,
                                                                    const unsigned char* src,
                                                                    std::size_t bytes) {
    for (std::size_t i = 0; i + 32 < bytes; i += 32) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i)));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + bytes - 32),
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + bytes - 32)));
}

// Rows of (moves − 1) × 32 < bytes ≤ moves × 32: a tile's row is a fixed number of moves, and
// its addresses stay in registers while its rows are copied.
template <int moves>
__attribute__((target("avx2"), always_inline)) inline void CopyRowsFixed(
    RowCopy* copies, std::size_t count, std::size_t rows, std::size_t bytes, std::size_t dstStride,
    std::size_t srcStride) {
    for (std::size_t k = 0; k < count; ++k) {
        unsigned char* dst = copies[k].dst;
        const unsigned char* src = copies[k].src;
        for (std::size_t r = 0; r < rows; ++r) {
            for (int m = 0; m < moves - 1; ++m) {
                _mm256_storeu_si256(
                    reinterpret_cast<__m256i*>(dst + 32 * m),
                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 32 * m)));
            }
            _mm256_storeu_si256(
                reinterpret_cast<__m256i*>(dst + bytes - 32),
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + bytes - 32)));
            dst -= dstStride;
            src -= srcStride;
        }
        copies[k].dst = dst;
        copies[k].src = src;
    }
}

__attribute__((target("avx2"))) void CopyRowsWide(RowCopy* copies, std::size_t count,
                                                  std::size_t rows, std::size_t bytes,
                                                  std::size_t dstStride, std::size_t srcStride) {
    switch ((bytes + 31) / 32) {
        case 1:
            return CopyRowsFixed<1>(copies, count, rows, bytes, dstStride, srcStride);
        case 2:
            return CopyRowsFixed<2>(copies, count, rows, bytes, dstStride, srcStride);
        case 3:
            return CopyRowsFixed<3>(copies, count, rows, bytes, dstStride, srcStride);
        case 4:
            return CopyRowsFixed<4>(copies, count, rows, bytes, dstStride, srcStride);
        case 5:
            return CopyRowsFixed<5>(copies, count, rows, bytes, dstStride, srcStride);
        default:
            break;
    }
    for (std::size_t k = 0; k < count; ++k) {
        for (std::size_t r = 0; r < rows; ++r) {
            CopyWide(copies[k].dst, copies[k].src, bytes);
            copies[k].dst -= dstStride;
            copies[k].src -= srcStride;
        }
    }
}

// The blend of the 16-byte version on 32 bytes at once; returns how many bytes it blended.
__attribute__((target("avx2"))) std::size_t BlendWide(std::size_t n, unsigned char* dst,
                                                      const unsigned char* src,
                                                      std::uint32_t multiplier) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i m = _mm256_set1_epi16(static_cast<std::int16_t>(multiplier));
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i halves[2];
        for (int h = 0; h < 2; ++h) {
            const __m256i d16 =
                h == 0 ? _mm256_unpacklo_epi8(d, zero) : _mm256_unpackhi_epi8(d, zero);
            const __m256i s16 =
                h == 0 ? _mm256_unpacklo_epi8(s, zero) : _mm256_unpackhi_epi8(s, zero);
            const __m256i diff = _mm256_sub_epi16(s16, d16);
            const __m256i negative = _mm256_cmpgt_epi16(zero, diff);
            const __m256i magnitude = _mm256_sub_epi16(_mm256_xor_si256(diff, negative), negative);
            const __m256i scaled = _mm256_mulhi_epu16(magnitude, m);
            halves[h] = _mm256_add_epi16(
                d16, _mm256_sub_epi16(_mm256_xor_si256(scaled, negative), negative));
        }
        // Unpacking and packing both work within 16-byte lanes, so the bytes keep their places.
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                            _mm256_packus_epi16(halves[0], halves[1]));
    }
    return i;
}

}  // namespace

void CopyRowsAvx2(RowCopy* copies, std::size_t count, std::size_t rows, std::size_t bytes,
                  std::size_t dstStride, std::size_t srcStride) {
    if (bytes >= 32) {
        CopyRowsWide(copies, count, rows, bytes, dstStride, srcStride);
    } else {
        CopyRowsSse2(copies, count, rows, bytes, dstStride, srcStride);
    }
}

void BlendSpanAvx2(std::size_t n, unsigned char* dst, const unsigned char* src,
                   const BlendRule& rule) {
    const std::size_t i = rule.multiplier != 0 ? BlendWide(n, dst, src, rule.multiplier) : 0;
    BlendSpanSse2(n - i, dst + i, src + i, rule);
}

const PixelKernels kAvx2{"avx2", CopySpanSse2, CopyRowsAvx2, BlendSpanAvx2};

}  // namespace pixel_kernels
#endif
