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

// Colour and opacity of the face at a point of the unit square.
bool Shade(double x, double y, Colour& out) {
    const Colour fur{0.56, 0.62, 0.70};
    const Colour furLight{0.80, 0.85, 0.90};
    const Colour dark{0.10, 0.12, 0.18};
    const Colour nose{0.25, 0.20, 0.22};
    const Colour shine{1.0, 1.0, 1.0};
    if (!InEllipse(x, y, 0.5, 0.54, 0.46, 0.42)) return false;
    out = fur;
    // Lighter muzzle below the eyes and a soft light from the top left.
    if (InEllipse(x, y, 0.5, 0.70, 0.26, 0.18)) out = furLight;
    const double light =
        std::clamp(0.15 - 0.3 * ((x - 0.3) * (x - 0.3) + (y - 0.3) * (y - 0.3)), 0.0, 0.15);
    out = Colour{out.r + light, out.g + light, out.b + light};
    for (const double ex : {0.33, 0.67}) {
        if (InEllipse(x, y, ex, 0.45, 0.085, 0.1)) out = dark;
        if (InEllipse(x, y, ex + 0.03, 0.42, 0.03, 0.03)) out = shine;
    }
    if (InEllipse(x, y, 0.5, 0.62, 0.07, 0.05)) out = nose;
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
