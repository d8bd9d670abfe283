// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/assetgen/Canvas.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>

namespace assetgen {

Rgb Mix(Rgb a, Rgb b, double t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Canvas::Canvas(int width, int height)
    : m_width(width),
      m_height(height),
      m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      m_cr(cairo_create(m_surface)) {
    // Text is drawn as paths, so only the shape antialiasing matters here.
    cairo_set_antialias(m_cr, CAIRO_ANTIALIAS_GRAY);
}

Canvas::~Canvas() {
    cairo_destroy(m_cr);
    cairo_surface_destroy(m_surface);
}

std::uint32_t Canvas::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
    cairo_surface_flush(m_surface);
    const unsigned char* data = cairo_image_surface_get_data(m_surface);
    const int stride = cairo_image_surface_get_stride(m_surface);
    std::uint32_t value = 0;
    std::memcpy(&value, data + static_cast<std::ptrdiff_t>(y) * stride + x * 4, 4);
    return value;
}

void SetColour(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
    const double r = std::min(radius, std::min(w, h) / 2);
    constexpr double kPi = std::numbers::pi;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_close_path(cr);
    cairo_restore(cr);
}

void Heart(cairo_t* cr, double cx, double cy, double width) {
    const double s = width / 2;
    cairo_new_sub_path(cr);
    cairo_move_to(cr, cx, cy + 0.95 * s);
    cairo_curve_to(cr, cx - 0.2 * s, cy + 0.65 * s, cx - s, cy + 0.25 * s, cx - s, cy - 0.3 * s);
    cairo_curve_to(cr, cx - s, cy - 0.8 * s, cx - 0.25 * s, cy - 1.0 * s, cx, cy - 0.5 * s);
    cairo_curve_to(cr, cx + 0.25 * s, cy - 1.0 * s, cx + s, cy - 0.8 * s, cx + s, cy - 0.3 * s);
    cairo_curve_to(cr, cx + s, cy + 0.25 * s, cx + 0.2 * s, cy + 0.65 * s, cx, cy + 0.95 * s);
    cairo_close_path(cr);
}

void Star(cairo_t* cr, double cx, double cy, double r, double inner, double turn) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < 10; ++i) {
        const double a = turn - std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double radius = (i % 2 == 0) ? r : r * inner;
        cairo_line_to(cr, cx + radius * std::cos(a), cy + radius * std::sin(a));
    }
    cairo_close_path(cr);
}

namespace {
void AddStops(cairo_pattern_t* pattern, std::initializer_list<Stop> stops) {
    for (const Stop& s : stops) {
        cairo_pattern_add_color_stop_rgba(pattern, s.offset, s.colour.r, s.colour.g, s.colour.b,
                                          s.alpha);
    }
}
}  // namespace

void LinearSource(cairo_t* cr, double x0, double y0, double x1, double y1,
                  std::initializer_list<Stop> stops) {
    cairo_pattern_t* pattern = cairo_pattern_create_linear(x0, y0, x1, y1);
    AddStops(pattern, stops);
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
}

void RadialSource(cairo_t* cr, double cx, double cy, double r0, double r1,
                  std::initializer_list<Stop> stops) {
    cairo_pattern_t* pattern = cairo_pattern_create_radial(cx, cy, r0, cx, cy, r1);
    AddStops(pattern, stops);
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
}

namespace {

cairo_font_face_t* g_face = nullptr;

// DejaVu Sans Bold through fontconfig. Only the font file is taken from the match; the rendering
// settings are our own, so a user's font configuration (subpixel order, hinting) cannot change the
// pictures.
cairo_font_face_t* Face() {
    if (g_face != nullptr) return g_face;
    FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>("DejaVu Sans:bold"));
    FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
    FcDefaultSubstitute(wanted);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, wanted, &result);
    FcPatternDestroy(wanted);
    FcChar8* family = nullptr;
    FcChar8* file = nullptr;
    int index = 0;
    if (match == nullptr || FcPatternGetString(match, FC_FAMILY, 0, &family) != FcResultMatch ||
        std::strcmp(reinterpret_cast<const char*>(family), "DejaVu Sans") != 0 ||
        FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) {
        std::fprintf(stderr,
                     "floemaze_assetgen: the font \"DejaVu Sans\" is not installed "
                     "(Debian package fonts-dejavu-core)\n");
        std::exit(1);
    }
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPattern* chosen = FcPatternCreate();
    FcPatternAddString(chosen, FC_FILE, file);
    FcPatternAddInteger(chosen, FC_INDEX, index);
    FcPatternAddBool(chosen, FC_ANTIALIAS, FcTrue);
    FcPatternAddBool(chosen, FC_HINTING, FcFalse);
    FcPatternAddInteger(chosen, FC_RGBA, FC_RGBA_NONE);
    g_face = cairo_ft_font_face_create_for_pattern(chosen);
    FcPatternDestroy(chosen);
    FcPatternDestroy(match);
    return g_face;
}

void SelectFont(cairo_t* cr, double size) {
    cairo_set_font_face(cr, Face());
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

// A scratch context for measuring text.
struct Measure {
    Measure()
        : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)),
          cr(cairo_create(surface)) {}
    ~Measure() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    cairo_surface_t* surface;
    cairo_t* cr;
};

}  // namespace

void TextPath(cairo_t* cr, const std::string& text, double size, double x, double y) {
    SelectFont(cr, size);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, text.c_str());
}

double TextWidth(const std::string& text, double size) {
    Measure m;
    SelectFont(m.cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(m.cr, text.c_str(), &extents);
    return extents.x_advance;
}

double CapHeight(double size) {
    Measure m;
    SelectFont(m.cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(m.cr, "H", &extents);
    return -extents.y_bearing;
}

double FitTextSize(const std::string& text, double preferred, double width) {
    double size = preferred;
    while (size > 6 && TextWidth(text, size) > width) size -= 0.5;
    return size;
}

void ReleaseFonts() {
    if (g_face != nullptr) {
        cairo_font_face_destroy(g_face);
        g_face = nullptr;
    }
    cairo_debug_reset_static_data();
    FcFini();
}

namespace {

struct Rgb8 {
    int r, g, b;
};

// Premultiplied ARGB over an opaque colour, rounded.
Rgb8 Over(std::uint32_t argb, Rgb8 under) {
    const int a = static_cast<int>(argb >> 24);
    const int r = static_cast<int>((argb >> 16) & 0xFF);
    const int g = static_cast<int>((argb >> 8) & 0xFF);
    const int b = static_cast<int>(argb & 0xFF);
    auto one = [a](int premultiplied, int back) {
        return std::min(255, premultiplied + (back * (255 - a) + 127) / 255);
    };
    return Rgb8{one(r, under.r), one(g, under.g), one(b, under.b)};
}

Rgb8 Opaque(std::uint32_t argb) {
    return Over(argb, Rgb8{0, 0, 0});
}

void Put(CDIB& image, int x, int y, Rgb8 c) {
    unsigned char* p = image.GetPixelAddress(x, y);
    p[0] = static_cast<unsigned char>(c.b);
    p[1] = static_cast<unsigned char>(c.g);
    p[2] = static_cast<unsigned char>(c.r);
}

CDIB Blank(int width, int height) {
    CDIB image;
    if (!image.CreateFilled(nullptr, width, height, kKeyColour)) {
        std::fprintf(stderr, "floemaze_assetgen: cannot make a %d x %d image\n", width, height);
        std::exit(1);
    }
    return image;
}

}  // namespace

CDIB ToOpaqueImage(const Canvas& canvas) {
    CDIB image = Blank(canvas.Width(), canvas.Height());
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) Put(image, x, y, Opaque(canvas.Pixel(x, y)));
    }
    return image;
}

CDIB ToKeyedImage(const Canvas& content, const Canvas& backdrop, const Canvas* holes) {
    const Rgb8 key{GetRValue(kKeyColour), GetGValue(kKeyColour), GetBValue(kKeyColour)};
    if (Covers(content.Alpha(0, 0))) {
        std::fprintf(stderr, "floemaze_assetgen: a keyed picture covers its top-left pixel\n");
        std::exit(1);
    }
    CDIB image = Blank(content.Width(), content.Height());
    for (int y = 0; y < content.Height(); ++y) {
        for (int x = 0; x < content.Width(); ++x) {
            const std::uint32_t c = content.Pixel(x, y);
            if (!Covers(static_cast<int>(c >> 24)) ||
                (holes != nullptr && Covers(holes->Alpha(x, y)))) {
                Put(image, x, y, key);
                continue;
            }
            Rgb8 colour = Over(c, Opaque(backdrop.Pixel(x, y)));
            // A visible pixel must never read as transparent.
            if (colour.r == key.r && colour.g == key.g && colour.b == key.b) colour.g = 1;
            Put(image, x, y, colour);
        }
    }
    return image;
}

bool SaveImage(CDIB& image, const std::string& path) {
    if (!image.Save(path.c_str())) {
        std::fprintf(stderr, "floemaze_assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool SavePng(const Canvas& canvas, const std::string& path) {
    cairo_surface_flush(canvas.Surface());
    if (cairo_surface_write_to_png(canvas.Surface(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "floemaze_assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

void DrawImage(Canvas& canvas, const CDIB& image, double x, double y, bool keyed, int scale) {
    DrawImagePart(canvas, image, 0, 0, image.GetWidth(), image.GetHeight(), x, y, keyed, scale);
}

void DrawImagePart(Canvas& canvas, const CDIB& image, int sx, int sy, int width, int height,
                   double x, double y, bool keyed, int scale) {
    Canvas copy(width, height);
    cairo_surface_flush(copy.Surface());
    unsigned char* data = cairo_image_surface_get_data(copy.Surface());
    const int stride = cairo_image_surface_get_stride(copy.Surface());
    const unsigned char* key = image.GetPixelAddress(0, 0);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const unsigned char* p = image.GetPixelAddress(sx + column, sy + row);
            if (p == nullptr || (keyed && std::memcmp(p, key, 3) == 0)) continue;
            const std::uint32_t argb =
                0xFF000000u | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
            std::memcpy(data + static_cast<std::ptrdiff_t>(row) * stride + column * 4, &argb, 4);
        }
    }
    cairo_surface_mark_dirty(copy.Surface());
    cairo_t* cr = canvas.Cr();
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, copy.Surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
}

std::uint64_t Random::Next() {
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Random::Uniform(double lo, double hi) {
    return lo + (hi - lo) * static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

int Random::Below(int n) {
    return static_cast<int>(Next() % static_cast<std::uint64_t>(n));
}

}  // namespace assetgen
