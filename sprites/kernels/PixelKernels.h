// SPDX-License-Identifier: GPL-3.0-or-later
// The pixel kernels of the sprite addition and the compositor — copying spans and rows, blending
// spans, finding the visible runs of a row — with the table that picks one set of them per program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

/// Where the next row of a rectangle being copied goes and comes from.
struct RowCopy {
    unsigned char* dst;
    const unsigned char* src;
};

/// How one opacity blends two bytes: dst + trunc((src − dst) × alpha), looked up by the difference.
struct BlendRule {
    std::int16_t table[511];  ///< trunc(d × alpha) at d + 255, for d = src − dst in −255..255
    /// A 16-bit m with floor(|d| × m / 65536) = |table[d + 255]| for every d, which lets vector
    /// versions compute exactly the table's bytes; 0 when there is none.
    std::uint32_t multiplier;
};

/// The rule for alpha, clamped to 0..1 (NaN counts as 0): an opacity outside that range would
/// leave the range between the two bytes. Kept for the last opacity asked, which a sprite list
/// mostly asks again and again; valid until the next call.
const BlendRule& BlendRuleFor(float alpha);

/// One set of kernels. Every set gives exactly the bytes of the plain one for the same input;
/// spans and rectangles passed to them never overlap one another or their sources.
struct PixelKernels {
    const char* name;  ///< "plain", "sse2", "avx2" or "avx512"
    /// Copies n bytes.
    void (*copySpan)(unsigned char* dst, const unsigned char* src, std::size_t n);
    /// CopyRowsAcross, below.
    void (*copyRows)(RowCopy* copies, std::size_t count, std::size_t rows, std::size_t bytes,
                     std::size_t dstStride, std::size_t srcStride);
    /// dst = dst + rule.table[src − dst + 255] for each of n bytes.
    void (*blendSpan)(std::size_t n, unsigned char* dst, const unsigned char* src,
                      const BlendRule& rule);
};

/// The environment variable that, set to anything but "" or "0", makes the program use the plain
/// kernels, so that the tests can run once on each.
inline constexpr const char* kPlainKernelsVariable = "FLOEMAZE_PLAIN_KERNELS";

/// The set this program uses, chosen at the first call: the widest this processor runs, or the
/// plain one when kPlainKernelsVariable asks for it.
const PixelKernels& Kernels();
/// The choice Kernels makes for a value of kPlainKernelsVariable (null: not set).
const PixelKernels& ChooseKernels(const char* plainVariable);
/// The plain set: scalar code, the reference every other set agrees with.
const PixelKernels& PlainKernels();
/// Every set built in that this processor runs, the plain one first and the widest last.
std::span<const PixelKernels* const> RunnableKernels();

/// Copies the next `rows` rows of count rectangles of one shape, one rectangle after the other:
/// rectangle k's rows are `bytes` long and begin at copies[k].dst and copies[k].src, the next row
/// down lies dstStride (srcStride) bytes lower (images are bottom-up). Each address moves on by
/// the rows copied. The rectangles must overlap neither one another nor their sources.
void CopyRowsAcross(RowCopy* copies, std::size_t count, std::size_t rows, std::size_t bytes,
                    std::size_t dstStride, std::size_t srcStride);
/// dst = dst + trunc((src − dst) × alpha) for each of n bytes: the blend of the sprite addition.
void BlendSpan(std::size_t n, unsigned char* dst, const unsigned char* src, float alpha);

/// A run of visible pixels in a row: pixels begin .. end − 1 differ from the key colour.
struct KeyRun {
    std::uint16_t begin;
    std::uint16_t end;
};
/// Appends to runs the runs of the width 24-bit pixels at row (at most 65535) whose three bytes
/// are not all equal to key's, left to right; returns how many it appended.
std::size_t FindKeyRuns(const unsigned char* row, int width, const unsigned char key[3],
                        std::vector<KeyRun>& runs);
