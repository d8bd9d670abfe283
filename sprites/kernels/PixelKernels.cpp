// SPDX-License-Identifier: GPL-3.0-or-later
// The one table of kernel sets and the choice among them, made once, the way SDL picks its
// blitters by what the processor reports.
#include "sprites/kernels/PixelKernels.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "sprites/kernels/Variants.h"

namespace {

std::vector<const PixelKernels*> FindRunnable() {
    std::vector<const PixelKernels*> sets{&pixel_kernels::kPlain};
#if defined(FLOEMAZE_KERNELS_SSE2)
    sets.push_back(&pixel_kernels::kSse2);
#endif
#if defined(FLOEMAZE_KERNELS_AVX)
    // The first choice may come from a static initializer, before the processor was asked.
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) sets.push_back(&pixel_kernels::kAvx2);
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512bw")) {
        sets.push_back(&pixel_kernels::kAvx512);
    }
#endif
    return sets;
}

}  // namespace

std::span<const PixelKernels* const> RunnableKernels() {
    static const std::vector<const PixelKernels*> sets = FindRunnable();
    return sets;
}

const PixelKernels& PlainKernels() {
    return pixel_kernels::kPlain;
}

const PixelKernels& ChooseKernels(const char* plainVariable) {
    const bool plain =
        plainVariable != nullptr && *plainVariable != '\0' && std::strcmp(plainVariable, "0") != 0;
    return plain ? PlainKernels() : *RunnableKernels().back();
}

const PixelKernels& Kernels() {
    static const PixelKernels& chosen = ChooseKernels(std::getenv(kPlainKernelsVariable));
    return chosen;
}

const BlendRule& BlendRuleFor(float requested) {
    const float alpha = std::isnan(requested) ? 0.0f : std::clamp(requested, 0.0f, 1.0f);
    static BlendRule rule;
    static std::uint32_t ruleAlpha = 0;
    static bool built = false;
    const auto bits = std::bit_cast<std::uint32_t>(alpha);
    if (!built || bits != ruleAlpha) {
        for (int d = -255; d <= 255; ++d) {
            rule.table[d + 255] =
                static_cast<std::int16_t>(std::trunc(d * static_cast<double>(alpha)));
        }
        rule.multiplier = 0;
        const auto guess = static_cast<std::int64_t>(std::floor(alpha * 65536.0));
        for (std::int64_t m = std::max<std::int64_t>(guess - 1, 1);
             m <= std::min<std::int64_t>(guess + 2, 65535) && rule.multiplier == 0; ++m) {
            bool exact = true;
            for (int d = 0; d <= 255 && exact; ++d) {
                exact = ((d * m) >> 16) == rule.table[d + 255];
            }
            if (exact) rule.multiplier = static_cast<std::uint32_t>(m);
        }
        ruleAlpha = bits;
        built = true;
    }
    return rule;
}

void CopyRowsAcross(RowCopy* copies, std::size_t count, std::size_t rows, std::size_t bytes,
                    std::size_t dstStride, std::size_t srcStride) {
    Kernels().copyRows(copies, count, rows, bytes, dstStride, srcStride);
}

void BlendSpan(std::size_t n, unsigned char* dst, const unsigned char* src, float alpha) {
    Kernels().blendSpan(n, dst, src, BlendRuleFor(alpha));
}
