// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/AppIcon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace res {
namespace {

struct Colour {
    double r, g, b;
};

// Coverage of an ellipse at a point, in a unit square picture (0..1 on both axes).
bool InEllipse(double x, double y, double cx, double cy, double rx, double ry) {
    const double dx = (x - cx) / rx;
    const double dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

Colour Mix(Colour a, Colour b, double t) {
    return Colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

constexpr Colour Hex(std::uint32_t v) {
    return Colour{((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0};
}

// Colour and opacity of the icon at a point of the unit square: the white baby seal's face on a
// round patch of sea, in the colours of the game's pictures.
bool Shade(double x, double y, Colour& out) {
    const Colour seaLight = Hex(0x57A9D8);
    const Colour sea = Hex(0x2A7CB3);
    const Colour ink = Hex(0x1C3A56);
    const Colour fur = Hex(0xFCFAF4);
    const Colour furShade = Hex(0xD6DCE4);
    const Colour furLine = Hex(0x5A6E82);
    const Colour eye = Hex(0x1A2533);
    const Colour nose = Hex(0x2E3440);
    const Colour blush = Hex(0xF6A9B4);
    const Colour snow = Hex(0xFFFFFF);
    if (!InEllipse(x, y, 0.5, 0.5, 0.49, 0.49)) return false;
    out = InEllipse(x, y, 0.5, 0.5, 0.45, 0.45) ? Mix(seaLight, sea, std::clamp(y, 0.0, 1.0)) : ink;
    // The face fills most of the patch; its outline keeps it apart from the sea.
    if (InEllipse(x, y, 0.5, 0.55, 0.41, 0.38)) out = furLine;
    if (InEllipse(x, y, 0.5, 0.55, 0.375, 0.345)) {
        const double dx = (x - 0.42) / 0.4;
        const double dy = (y - 0.45) / 0.4;
        out = Mix(fur, furShade, std::clamp(dx * dx + dy * dy - 0.3, 0.0, 1.0));
        if (InEllipse(x, y, 0.5, 0.69, 0.14, 0.08)) out = snow;  // the muzzle
        for (const double side : {-1.0, 1.0}) {
            if (InEllipse(x, y, 0.5 + side * 0.22, 0.64, 0.065, 0.04)) out = Mix(out, blush, 0.8);
            const double ex = 0.5 + side * 0.145;
            if (InEllipse(x, y, ex, 0.5, 0.065, 0.08)) out = eye;
            if (InEllipse(x, y, ex - 0.02, 0.475, 0.024, 0.024)) out = snow;
        }
        if (InEllipse(x, y, 0.5, 0.625, 0.05, 0.035)) out = nose;
    }
    return true;
}

platform::IconImage Render(int size) {
    platform::IconImage image;
    image.size = size;
    image.pixels.resize(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    constexpr int kSamples = 4;  // 4 × 4 samples a pixel smooth the edges
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            double r = 0, g = 0, b = 0;
            int covered = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    Colour c{};
                    const double x = (px + (sx + 0.5) / kSamples) / size;
                    const double y = (py + (sy + 0.5) / kSamples) / size;
                    if (!Shade(x, y, c)) continue;
                    r += c.r;
                    g += c.g;
                    b += c.b;
                    ++covered;
                }
            }
            std::uint32_t argb = 0;
            if (covered > 0) {
                const auto channel = [&](double sum) {
                    return static_cast<std::uint32_t>(
                        std::lround(std::clamp(sum / covered, 0.0, 1.0) * 255));
                };
                const auto alpha =
                    static_cast<std::uint32_t>(covered * 255 / (kSamples * kSamples));
                argb = (alpha << 24) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
            }
            image.pixels[static_cast<std::size_t>(py) * static_cast<std::size_t>(size) +
                         static_cast<std::size_t>(px)] = argb;
        }
    }
    return image;
}

}  // namespace

platform::Icon MakeAppIcon() {
    platform::Icon icon;
    for (const int size : {48, 32, 16}) icon.images.push_back(Render(size));
    return icon;
}

}  // namespace res
