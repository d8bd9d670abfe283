// SPDX-License-Identifier: GPL-3.0-or-later
// The options panel ("Optionsmenue.bmp") and its two controls ("Radiobutton.bmp",
// "Checkbutton.bmp").
#include <cmath>
#include <numbers>
#include <vector>

#include "lang/Language.h"
#include "tools/assetgen/Labels.h"
#include "tools/assetgen/Palette.h"
#include "tools/assetgen/Pictures.h"
#include "tools/assetgen/Scenery.h"

namespace assetgen {

using namespace palette;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kPanelWidth = layout::kColumnWidth;
constexpr int kSize = layout::kControlSize;

// The card ends above the rows that the slid exit button covers.
constexpr double kCardTop = 2;
constexpr double kCardBottom = layout::kPanelVisible - 2;

void PaintPanel(cairo_t* cr) {
    const double x = layout::kSideMargin;
    const double w = kPanelWidth - 2 * x;
    const double h = kCardBottom - kCardTop;
    RoundedRect(cr, x + 1, kCardTop + 3, w - 1, h - 2, 14);
    SetColour(cr, kInk, 0.3);
    cairo_fill(cr);
    RoundedRect(cr, x + 1, kCardTop + 1, w - 2, h - 2, 14);
    SetColour(cr, kInk);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke_preserve(cr);
    LinearSource(cr, 0, kCardTop, 0, kCardBottom, {{0, kSnow}, {1, kIce}});
    cairo_fill(cr);

    for (const Label& label : PanelLabels()) DrawLabel(cr, label);
}

// The panel as it shows over the background: what the controls lie on.
void PaintPanelOnBackground(Canvas& target, const Canvas& background) {
    PaintBackdrop(target, background, 0, layout::kPanelY, kPanelWidth, layout::kPanelHeight);
    PaintPanel(target.Cr());
}

void Radio(cairo_t* cr, bool selected) {
    const double c = kSize / 2.0;
    cairo_arc(cr, c, c, 8.2, 0, 2 * kPi);
    SetColour(cr, kInk);
    cairo_set_line_width(cr, 1.8);
    cairo_stroke_preserve(cr);
    RadialSource(cr, c - 2.5, c - 3, 0, 10, {{0, kSnow}, {1, kIceShade}});
    cairo_fill(cr);
    if (selected) {
        cairo_arc(cr, c, c, 4.6, 0, 2 * kPi);
        RadialSource(cr, c - 1.5, c - 1.5, 0, 5, {{0, Mix(kGo, kSnow, 0.45)}, {1, kGo}});
        cairo_fill(cr);
    }
}

void Check(cairo_t* cr, bool ticked) {
    RoundedRect(cr, 2.4, 2.4, kSize - 4.8, kSize - 4.8, 3.5);
    SetColour(cr, kInk);
    cairo_set_line_width(cr, 1.8);
    cairo_stroke_preserve(cr);
    LinearSource(cr, 0, 2, 0, kSize - 2, {{0, kSnow}, {1, kIceShade}});
    cairo_fill(cr);
    if (ticked) {
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_move_to(cr, 5.5, 10.5);
        cairo_line_to(cr, 8.8, 14.0);
        cairo_line_to(cr, 15.0, 5.8);
        cairo_set_line_width(cr, 3.2);
        SetColour(cr, Mix(kGo, kInk, 0.2));
        cairo_stroke(cr);
    }
}

// Two frames (on, off) of a 20 × 20 control, smoothed against the panel at (x, y).
template <typename Draw>
CDIB Control(const Canvas& background, int x, int y, Draw draw) {
    Canvas panel(kPanelWidth, layout::kPanelHeight);
    PaintPanelOnBackground(panel, background);
    // Both controls have two frames: on, then off.
    constexpr int kRows = res::PictureOf(res::Picture::RadioButton).rows;
    static_assert(res::PictureOf(res::Picture::CheckButton).rows == kRows);
    Canvas content(kSize, kRows * kSize);
    Canvas backdrop(kSize, kRows * kSize);
    PaintBackdrop(backdrop, panel, x, y, kSize, kSize, 1, kRows);
    for (int row = 0; row < kRows; ++row) {
        cairo_t* cr = content.Cr();
        cairo_save(cr);
        cairo_translate(cr, 0, row * kSize);
        draw(cr, row == 0);
        cairo_restore(cr);
    }
    return ToKeyedImage(content, backdrop);
}

}  // namespace

std::vector<Label> PanelLabels() {
    // The letters keep clear of the card's rounded edge and of the next control.
    constexpr double kCardRight = kPanelWidth - layout::kSideMargin - 8;
    constexpr double kGap = 4;
    // A line whose baseline is y, or, with middle, whose capitals are centred on y.
    const auto line = [](const char* text, double size, Rgb colour, double x, double right,
                         double y, bool middle) {
        const double fitted = LabelSize(text, size, right - x);
        const double baseline = middle ? y + CapHeight(fitted) / 2 : y;
        return Label{text, TextStyle{fitted, colour, kSnow, 0, 0}, x, baseline, false, x, right};
    };
    constexpr double kRadioMiddle = layout::kRadioY + kSize / 2.0;
    // Translators: the heading over the choice of the side the buttons stand on.
    return {line(lang::Tr("Menüleiste:"), 12.5, kInkSoft, 16, kCardRight, 18, false),
            line(lang::Tr("links"), 15, kInk, layout::kRadioX[0] + kSize + kGap,
                 layout::kRadioX[1] - kGap, kRadioMiddle, true),
            line(lang::Tr("rechts"), 15, kInk, layout::kRadioX[1] + kSize + kGap, kCardRight,
                 kRadioMiddle, true),
            line(lang::Tr("Animation"), 15, kInk, 14, layout::kCheckX[0] - kGap,
                 layout::kCheckY[0] + kSize / 2.0, true),
            line(lang::Tr("Logo ziehen"), 15, kInk, 14, layout::kCheckX[1] - kGap,
                 layout::kCheckY[1] + kSize / 2.0, true)};
}

CDIB OptionsPanel(const Canvas& background) {
    Canvas content(kPanelWidth, layout::kPanelHeight);
    PaintPanel(content.Cr());
    Canvas backdrop(kPanelWidth, layout::kPanelHeight);
    PaintBackdrop(backdrop, background, 0, layout::kPanelY, kPanelWidth, layout::kPanelHeight);
    // The window draws the panel above its controls (it is inserted first among sprites of the
    // same depth), so the panel has windows of exactly the controls' shapes: the controls show
    // and take the clicks there, and the panel covers their transparent corners.
    Canvas holes(kPanelWidth, layout::kPanelHeight);
    cairo_t* cr = holes.Cr();
    // Both frames of a control have the same outline, so one of them gives the window.
    const auto punch = [cr](int x, int y, auto draw) {
        cairo_save(cr);
        cairo_translate(cr, x, y);
        draw(cr, true);
        cairo_restore(cr);
    };
    punch(layout::kRadioX[0], layout::kRadioY, Radio);
    punch(layout::kRadioX[1], layout::kRadioY, Radio);
    punch(layout::kCheckX[0], layout::kCheckY[0], Check);
    punch(layout::kCheckX[1], layout::kCheckY[1], Check);
    return ToKeyedImage(content, backdrop, &holes);
}

CDIB RadioButton(const Canvas& background) {
    return Control(background, layout::kRadioX[0], layout::kRadioY, Radio);
}

CDIB CheckButton(const Canvas& background) {
    return Control(background, layout::kCheckX[0], layout::kCheckY[0], Check);
}

}  // namespace assetgen
