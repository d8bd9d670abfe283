// SPDX-License-Identifier: GPL-3.0-or-later
// Every set of pixel kernels this processor runs gives exactly the bytes of the plain set, and the
// program uses the set the table chooses: the widest, or the plain one when the environment asks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "sprites/kernels/PixelKernels.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Random(std::mt19937& random, std::size_t n) {
    Bytes bytes(n);
    for (unsigned char& b : bytes) b = static_cast<unsigned char>(random());
    return bytes;
}

TEST(PixelKernelsTest, EverySetGivesTheBytesOfThePlainOne) {
    const PixelKernels& plain = PlainKernels();
    ASSERT_EQ(RunnableKernels().front(), &plain);
    for (const PixelKernels* kernels : RunnableKernels()) {
        SCOPED_TRACE(kernels->name);
        std::mt19937 random(5);
        // Spans of every length a row of sprites or tiles may have, at odd addresses.
        for (std::size_t n = 0; n <= 300; ++n) {
            const Bytes src = Random(random, n + 3);
            Bytes got = Random(random, n + 3);
            Bytes want = got;
            kernels->copySpan(got.data() + 1, src.data() + 2, n);
            plain.copySpan(want.data() + 1, src.data() + 2, n);
            ASSERT_EQ(got, want) << "copySpan " << n;

            // Opacities on and between the limits, and some without an exact multiplier.
            for (const float alpha : {0.5f, 0.37f, 0.9f, 0.011f, 0.989f, 1.0f / 3.0f, 0.7071f,
                                      static_cast<float>(random() % 1000) / 1000.0f}) {
                const BlendRule& rule = BlendRuleFor(alpha);
                Bytes blended = got;
                Bytes expected = got;
                kernels->blendSpan(n, blended.data() + 2, src.data() + 1, rule);
                plain.blendSpan(n, expected.data() + 2, src.data() + 1, rule);
                ASSERT_EQ(blended, expected) << "blendSpan " << n << " at " << alpha;
            }
        }
        // Rectangles of one shape: rows from 1 to 200 bytes, from one to six of them.
        for (std::size_t bytes = 1; bytes <= 200; bytes += 7) {
            for (std::size_t count = 1; count <= 6; count += 5) {
                constexpr std::size_t kRows = 4, kDstStride = 1300, kSrcStride = 212;
                const Bytes src = Random(random, kSrcStride * kRows * count);
                Bytes got = Random(random, kDstStride * kRows);
                Bytes want = got;
                const auto copies = [&](Bytes& dst) {
                    std::vector<RowCopy> rects;
                    for (std::size_t k = 0; k < count; ++k) {
                        // Bottom-up: the first row copied lies last in memory.
                        rects.push_back(RowCopy{dst.data() + (kRows - 1) * kDstStride + k * bytes,
                                                src.data() + (kRows * (k + 1) - 1) * kSrcStride});
                    }
                    return rects;
                };
                std::vector<RowCopy> gotCopies = copies(got), wantCopies = copies(want);
                kernels->copyRows(gotCopies.data(), count, kRows, bytes, kDstStride, kSrcStride);
                plain.copyRows(wantCopies.data(), count, kRows, bytes, kDstStride, kSrcStride);
                ASSERT_EQ(got, want) << "copyRows " << bytes << " × " << count;
                for (std::size_t k = 0; k < count; ++k) {
                    ASSERT_EQ(gotCopies[k].dst, got.data() - kDstStride + k * bytes);
                    ASSERT_EQ(gotCopies[k].src, wantCopies[k].src);
                }
            }
        }
    }
}

TEST(PixelKernelsTest, TheTableChoosesTheWidestSetUnlessThePlainOneIsAskedFor) {
    const PixelKernels& widest = *RunnableKernels().back();
    EXPECT_EQ(&ChooseKernels(nullptr), &widest);
    EXPECT_EQ(&ChooseKernels(""), &widest);
    EXPECT_EQ(&ChooseKernels("0"), &widest);
    EXPECT_EQ(&ChooseKernels("1"), &PlainKernels());
    EXPECT_EQ(&ChooseKernels("yes"), &PlainKernels());
#if defined(__x86_64__)
    EXPECT_GE(RunnableKernels().size(), 2u);  // every x86-64 processor has 16-byte registers
#endif
    // This program runs on what the table chose, once: CI runs every test once more with the
    // plain kernels asked for.
    const char* asked = std::getenv(kPlainKernelsVariable);
    EXPECT_EQ(&Kernels(), &ChooseKernels(asked));
    EXPECT_EQ(&Kernels(), &Kernels());
    RecordProperty("kernels", Kernels().name);
}

}  // namespace
