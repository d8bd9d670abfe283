// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/AppIcon.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace res {
namespace {

constexpr IconColour Hex(std::uint32_t v) {
    return IconColour{((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0};
}

constexpr IconColour kSeaLight = Hex(0x57A9D8);
constexpr IconColour kSea = Hex(0x2A7CB3);
constexpr IconColour kInk = Hex(0x1C3A56);
constexpr IconColour kFur = Hex(0xFCFAF4);
constexpr IconColour kFurShade = Hex(0xD6DCE4);
constexpr IconColour kFurLine = Hex(0x5A6E82);
constexpr IconColour kEye = Hex(0x1A2533);
constexpr IconColour kNose = Hex(0x2E3440);
constexpr IconColour kBlush = Hex(0xF6A9B4);
constexpr IconColour kSnow = Hex(0xFFFFFF);

using Paint = IconLayer::Paint;

IconLayer Solid(double cx, double cy, double rx, double ry, IconColour colour,
                double opacity = 1.0) {
    IconLayer layer{cx, cy, rx, ry};
    layer.from = colour;
    layer.opacity = opacity;
    return layer;
}

// The white baby seal's face on a round patch of sea, in the colours of the game's pictures. The
// face's outline keeps it apart from the sea; the first layer is the patch's dark rim.
const std::array<IconLayer, 12> kLayers = [] {
    IconLayer sea{0.5, 0.5, 0.45, 0.45, Paint::Vertical, kSeaLight, kSea};
    IconLayer face{0.5, 0.55, 0.375, 0.345, Paint::Radial, kFur, kFurShade};
    face.gx = 0.42;
    face.gy = 0.45;
    face.radius = 0.4;
    face.offset = 0.3;
    return std::array<IconLayer, 12>{
        Solid(0.5, 0.5, 0.49, 0.49, kInk),
        sea,
        Solid(0.5, 0.55, 0.41, 0.38, kFurLine),
        face,
        Solid(0.5, 0.69, 0.14, 0.08, kSnow),  // the muzzle
        // Cheeks, eyes and the eyes' highlights, left and right.
        Solid(0.5 - 0.22, 0.64, 0.065, 0.04, kBlush, 0.8),
        Solid(0.5 + 0.22, 0.64, 0.065, 0.04, kBlush, 0.8),
        Solid(0.5 - 0.145, 0.5, 0.065, 0.08, kEye),
        Solid(0.5 + 0.145, 0.5, 0.065, 0.08, kEye),
        Solid(0.5 - 0.145 - 0.02, 0.475, 0.024, 0.024, kSnow),
        Solid(0.5 + 0.145 - 0.02, 0.475, 0.024, 0.024, kSnow),
        Solid(0.5, 0.625, 0.05, 0.035, kNose),
    };
}();

bool Inside(const IconLayer& layer, double x, double y) {
    const double dx = (x - layer.cx) / layer.rx;
    const double dy = (y - layer.cy) / layer.ry;
    return dx * dx + dy * dy <= 1.0;
}

// Colour of the icon at a point of the unit square; false outside the round patch.
bool Shade(double x, double y, IconColour& out) {
    if (!Inside(kLayers[0], x, y)) return false;
    for (const IconLayer& layer : kLayers) {
        if (!Inside(layer, x, y)) continue;
        switch (layer.paint) {
            case Paint::Solid:
                out = layer.opacity >= 1.0 ? layer.from : Mix(out, layer.from, layer.opacity);
                break;
            case Paint::Vertical:
                out = Mix(layer.from, layer.to, std::clamp(y, 0.0, 1.0));
                break;
            case Paint::Radial: {
                const double dx = (x - layer.gx) / layer.radius;
                const double dy = (y - layer.gy) / layer.radius;
                out = Mix(layer.from, layer.to,
                          std::clamp(dx * dx + dy * dy - layer.offset, 0.0, 1.0));
                break;
            }
        }
    }
    return true;
}

}  // namespace

IconColour Mix(IconColour a, IconColour b, double t) {
    return IconColour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

std::span<const IconLayer> AppIconLayers() {
    return kLayers;
}

platform::IconImage RenderAppIcon(int size) {
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
                    IconColour c{};
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

platform::Icon MakeAppIcon() {
    platform::Icon icon;
    for (const int size : {48, 32, 16}) icon.images.push_back(RenderAppIcon(size));
    return icon;
}

}  // namespace res
