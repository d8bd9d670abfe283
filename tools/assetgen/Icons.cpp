// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/assetgen/Icons.h"

#include <cairo-svg.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "res/AppIcon.h"
#include "tools/assetgen/Canvas.h"

namespace assetgen {
namespace {

// The icon's pixels (straight alpha) on a canvas, which keeps them premultiplied.
bool SaveIcon(const platform::IconImage& icon, const std::string& path) {
    Canvas canvas(icon.size, icon.size);
    cairo_surface_flush(canvas.Surface());
    unsigned char* data = cairo_image_surface_get_data(canvas.Surface());
    const int stride = cairo_image_surface_get_stride(canvas.Surface());
    for (int y = 0; y < icon.size; ++y) {
        for (int x = 0; x < icon.size; ++x) {
            const std::uint32_t argb =
                icon.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(icon.size) +
                            static_cast<std::size_t>(x)];
            const std::uint32_t a = argb >> 24;
            auto pre = [a](std::uint32_t c) { return (c * a + 127) / 255; };
            const std::uint32_t value = (a << 24) | (pre((argb >> 16) & 0xFF) << 16) |
                                        (pre((argb >> 8) & 0xFF) << 8) | pre(argb & 0xFF);
            std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride + x * 4, &value, 4);
        }
    }
    cairo_surface_mark_dirty(canvas.Surface());
    return SavePng(canvas, path);
}

void AddStop(cairo_pattern_t* pattern, double offset, const res::IconColour& c) {
    cairo_pattern_add_color_stop_rgb(pattern, offset, c.r, c.g, c.b);
}

// The same layers as vector shapes. The radial shading, t = d² / radius² − offset, is not linear
// in d, so it becomes a gradient with stops along the curve.
bool SaveSvg(const std::string& path, double side) {
    cairo_surface_t* surface = cairo_svg_surface_create(path.c_str(), side, side);
    cairo_svg_surface_restrict_to_version(surface, CAIRO_SVG_VERSION_1_1);
    cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, side, side);
    for (const res::IconLayer& layer : res::AppIconLayers()) {
        cairo_pattern_t* pattern = nullptr;
        switch (layer.paint) {
            case res::IconLayer::Paint::Solid:
                pattern = cairo_pattern_create_rgba(layer.from.r, layer.from.g, layer.from.b,
                                                    layer.opacity);
                break;
            case res::IconLayer::Paint::Vertical:
                pattern = cairo_pattern_create_linear(0, 0, 0, 1);
                AddStop(pattern, 0, layer.from);
                AddStop(pattern, 1, layer.to);
                break;
            case res::IconLayer::Paint::Radial: {
                const double outer = layer.radius * std::sqrt(1 + layer.offset);
                pattern =
                    cairo_pattern_create_radial(layer.gx, layer.gy, 0, layer.gx, layer.gy, outer);
                constexpr int kStops = 8;
                for (int i = 0; i <= kStops; ++i) {
                    const double t = static_cast<double>(i) / kStops;
                    const double d = layer.radius * std::sqrt(t + layer.offset);
                    const res::IconColour c = res::Mix(layer.from, layer.to, t);
                    if (i == 0) AddStop(pattern, 0, c);
                    AddStop(pattern, d / outer, c);
                }
                break;
            }
        }
        cairo_set_source(cr, pattern);
        cairo_pattern_destroy(pattern);
        Ellipse(cr, layer.cx, layer.cy, layer.rx, layer.ry);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!ok) std::fprintf(stderr, "floemaze_assetgen: cannot write %s\n", path.c_str());
    return ok;
}

}  // namespace

bool WriteDesktopIcons(const std::filesystem::path& folder, const std::string& name) {
    const std::filesystem::path theme = folder / "hicolor";
    bool ok = true;
    for (const int size : kDesktopIconSizes) {
        const std::string sizes = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path apps = theme / sizes / "apps";
        std::error_code error;
        std::filesystem::create_directories(apps, error);
        ok = SaveIcon(res::RenderAppIcon(size), (apps / (name + ".png")).string()) && ok;
    }
    const std::filesystem::path scalable = theme / "scalable" / "apps";
    std::error_code error;
    std::filesystem::create_directories(scalable, error);
    return SaveSvg((scalable / (name + ".svg")).string(), 256) && ok;
}

}  // namespace assetgen
