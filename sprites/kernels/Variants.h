// SPDX-License-Identifier: GPL-3.0-or-later
// The kernel sets built into this program and the routines they share; only the kernels' own files
// include this.
#pragma once

#include <cstddef>

#include "sprites/kernels/PixelKernels.h"

namespace pixel_kernels {

extern const PixelKernels kPlain;
void BlendSpanPlain(std::size_t n, unsigned char* dst, const unsigned char* src,
                    const BlendRule& rule);

#if defined(__SSE2__)
#define FLOEMAZE_KERNELS_SSE2 1
extern const PixelKernels kSse2;
void CopySpanSse2(unsigned char* dst, const unsigned char* src, std::size_t n);
void CopyRowsSse2(RowCopy* copies, std::size_t count, std::size_t rows, std::size_t bytes,
                  std::size_t dstStride, std::size_t srcStride);
void BlendSpanSse2(std::size_t n, unsigned char* dst, const unsigned char* src,
                   const BlendRule& rule);
#endif

// The wider sets are chosen at run time by what the processor reports; their functions are
// compiled for it with target attributes, so the rest of the program runs anywhere.
#if defined(__x86_64__) && defined(__GNUC__)
#define FLOEMAZE_KERNELS_AVX 1
extern const PixelKernels kAvx2;
extern const PixelKernels kAvx512;
void CopyRowsAvx2(RowCopy* copies, std::size_t count, std::size_t rows, std::size_t bytes,
                  std::size_t dstStride, std::size_t srcStride);
void BlendSpanAvx2(std::size_t n, unsigned char* dst, const unsigned char* src,
                   const BlendRule& rule);
#endif

}  // namespace pixel_kernels
