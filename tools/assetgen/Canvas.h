// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing surfaces for the picture generator: cairo images with the shape, gradient and text
// helpers every picture uses, and their conversion into the game's 24-bit images.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "sprites/DIB.h"

namespace assetgen {

/// A colour with components 0..1.
struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

/// 0xRRGGBB as a colour.
constexpr Rgb Hex(std::uint32_t v) {
    return Rgb{((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0};
}
/// a + (b − a) × t, component by component.
Rgb Mix(Rgb a, Rgb b, double t);

/// One stop of a gradient.
struct Stop {
    double offset;
    Rgb colour;
    double alpha = 1.0;
};

/// An ARGB32 cairo image, transparent when made, with its drawing context.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* Cr() const { return m_cr; }
    cairo_surface_t* Surface() const { return m_surface; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    /// Premultiplied ARGB of pixel (x, y), as cairo stores it; 0 outside.
    std::uint32_t Pixel(int x, int y) const;
    /// Alpha 0..255 of pixel (x, y).
    int Alpha(int x, int y) const { return static_cast<int>(Pixel(x, y) >> 24); }

private:
    int m_width;
    int m_height;
    cairo_surface_t* m_surface;
    cairo_t* m_cr;
};

// Paths and sources on a context.
void SetColour(cairo_t* cr, Rgb c, double alpha = 1.0);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);
/// A heart of the given width, its centre at (cx, cy).
void Heart(cairo_t* cr, double cx, double cy, double width);
/// A five-pointed star (outer radius r, inner radius r × inner).
void Star(cairo_t* cr, double cx, double cy, double r, double inner = 0.45, double turn = 0.0);
/// Sets a linear gradient from (x0, y0) to (x1, y1) as the source.
void LinearSource(cairo_t* cr, double x0, double y0, double x1, double y1,
                  std::initializer_list<Stop> stops);
/// Sets a radial gradient around (cx, cy) from radius r0 to r1 as the source.
void RadialSource(cairo_t* cr, double cx, double cy, double r0, double r1,
                  std::initializer_list<Stop> stops);

/// Text in DejaVu Sans Bold. TextPath adds the outline of text with its baseline starting at
/// (x, y); TextWidth is the advance of text at size.
void TextPath(cairo_t* cr, const std::string& text, double size, double x, double y);
double TextWidth(const std::string& text, double size);
/// Height of capital letters above the baseline at size.
double CapHeight(double size);
/// The largest size ≤ preferred at which text fits into width.
double FitTextSize(const std::string& text, double preferred, double width);
/// Releases the font and fontconfig's caches; call once when all drawing is done.
void ReleaseFonts();

/// The colour key of all keyed pictures. No visible pixel ever has this colour.
inline constexpr COLORREF kKeyColour = RGB(255, 0, 255);

/// The opaque picture of canvas as a 24-bit image (transparent parts become black).
CDIB ToOpaqueImage(const Canvas& canvas);
/// The keyed picture: every pixel where content covers at least a third is content composed over
/// backdrop (the opaque picture the sprite will lie on), every other pixel is the key colour. So
/// edges are smoothed against what lies beneath, not against the key. The top-left pixel must be
/// uncovered: it names the key.
/// Where holes covers at least a third, the picture is the key colour whatever content holds
/// there: windows through which sprites lying below show and can be clicked.
CDIB ToKeyedImage(const Canvas& content, const Canvas& backdrop, const Canvas* holes = nullptr);
/// Whether a keyed picture shows content at a pixel of this alpha (0..255).
inline bool Covers(int alpha) {
    return alpha >= 85;
}
/// Writes image as a BMP file; false (with a message on standard error) when that fails.
bool SaveImage(CDIB& image, const std::string& path);
/// Writes canvas as a PNG file; false (with a message on standard error) when that fails.
bool SavePng(const Canvas& canvas, const std::string& path);
/// The pixels of a 24-bit image on a canvas; with keyed, pixels of the image's key colour (its
/// top-left pixel) stay transparent. scale enlarges the image with square pixels.
void DrawImage(Canvas& canvas, const CDIB& image, double x, double y, bool keyed, int scale = 1);
/// The same for the width × height part of image at (sx, sy).
void DrawImagePart(Canvas& canvas, const CDIB& image, int sx, int sy, int width, int height,
                   double x, double y, bool keyed, int scale = 1);

/// A small deterministic random source (SplitMix64), so the pictures are the same on every run.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next();
    /// Uniform in [lo, hi).
    double Uniform(double lo, double hi);
    /// Uniform integer in [0, n).
    int Below(int n);

private:
    std::uint64_t m_state;
};

}  // namespace assetgen
