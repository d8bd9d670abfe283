// SPDX-License-Identifier: GPL-3.0-or-later
// The large pictures: the window background ("Hintergrund.bmp"), the start picture
// ("Startbild.bmp") and the line between control column and board ("Trennlinie.bmp").
#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "lang/Language.h"
#include "tools/assetgen/Labels.h"
#include "tools/assetgen/Palette.h"
#include "tools/assetgen/Pictures.h"
#include "tools/assetgen/Scenery.h"
#include "tools/assetgen/Seal.h"

namespace assetgen {

using namespace palette;

namespace {

constexpr double kHorizon = 338;  ///< waterline of the background

// The control column's band: sky behind logo and buttons, icebergs on the horizon between the
// exit button and the seal picture, and the sea that the seal picture's floe swims in.
void PaintBand(cairo_t* cr, double x0) {
    Random random(0xBA2D);
    cairo_save(cr);
    cairo_rectangle(cr, x0, 0, layout::kColumnWidth, layout::kWindowHeight);
    cairo_clip(cr);
    Cloud(cr, x0 + 40, 40, 70, 0.7);
    Cloud(cr, x0 + 160, 95, 56, 0.6);
    Cloud(cr, x0 + 150, 292, 46, 0.55);
    for (int i = 0; i < 14; ++i) {
        // One draw per statement: the order of arguments is not fixed, and the pictures must not
        // depend on the compiler.
        const double x = random.Uniform(10, 190);
        const double y = random.Uniform(10, 320);
        const double r = random.Uniform(2.0, 3.5);
        Snowflake(cr, x0 + x, y, r, 0.55);
    }
    Iceberg(cr, x0 + 52, kHorizon, 84, 40, random);
    Iceberg(cr, x0 + 150, kHorizon, 64, 24, random);
    cairo_restore(cr);
}

}  // namespace

void PaintBackground(Canvas& canvas) {
    cairo_t* cr = canvas.Cr();
    const double w = layout::kWindowWidth;
    const double h = layout::kWindowHeight;
    Sky(cr, 0, 0, w, kHorizon);
    Random sea(0x5EA);
    Sea(cr, 0, w, kHorizon, h, sea);
    // The middle lies under the board; it continues the landscape for the moments it shows.
    Sun(cr, 350, 80, 30);
    Random middle(0x1DD1E);
    Cloud(cr, 270, 150, 80, 0.7);
    Cloud(cr, 440, 190, 60, 0.6);
    Iceberg(cr, 300, kHorizon, 130, 70, middle);
    Iceberg(cr, 430, kHorizon, 90, 40, middle);
    PaintBand(cr, 0);
    PaintBand(cr, w - layout::kColumnWidth);
}

void PaintBackdrop(Canvas& target, const Canvas& background, int x, int y, int width, int height,
                   int columns, int rows) {
    cairo_t* cr = target.Cr();
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            cairo_save(cr);
            cairo_rectangle(cr, column * width, row * height, width, height);
            cairo_clip(cr);
            cairo_set_source_surface(cr, background.Surface(), column * width - x,
                                     row * height - y);
            cairo_paint(cr);
            cairo_restore(cr);
        }
    }
}

CDIB Separator() {
    // An ice rail, the same seen from either side: the column lies left of it or right of it.
    Canvas canvas(5, layout::kWindowHeight);
    cairo_t* cr = canvas.Cr();
    cairo_rectangle(cr, 0, 0, 5, layout::kWindowHeight);
    LinearSource(cr, 0, 0, 5, 0,
                 {{0, kIceDeep}, {0.3, kIce}, {0.5, kSnow}, {0.7, kIce}, {1, kIceDeep}});
    cairo_fill(cr);
    // Frost knots every field, so the rail matches the board's grid.
    for (int y = 0; y < layout::kWindowHeight; y += layout::kField) {
        Ellipse(cr, 2.5, y + 12.5, 2.4, 1.2);
        SetColour(cr, kIceShade, 0.8);
        cairo_fill(cr);
    }
    return ToOpaqueImage(canvas);
}

CDIB StartPicture() {
    constexpr double S = 500;
    Canvas canvas(500, 500);
    cairo_t* cr = canvas.Cr();
    constexpr double horizon = 265;
    Sky(cr, 0, 0, S, horizon);
    Random random(0x57A27);
    Sun(cr, 430, 140, 26);
    Cloud(cr, 80, 175, 90, 0.8);
    Cloud(cr, 330, 200, 70, 0.7);
    Sea(cr, 0, S, horizon, S, random);
    Iceberg(cr, 60, horizon, 130, 55, random);
    Iceberg(cr, 200, horizon, 80, 28, random);

    // The family waits on a floe far away; a heart shows that it misses the pup.
    Floe(cr, 395, 292, 78, 16, 5);
    const SealLook parent = AdultLook();
    for (int i = 0; i < 2; ++i) {
        cairo_save(cr);
        cairo_translate(cr, i == 0 ? 343 : 388, i == 0 ? 233 : 229);
        cairo_scale(cr, 2.4, 2.4);
        FrontSeal(cr, parent, Face{Eyes::Open, Mouth::Smile}, i);
        cairo_restore(cr);
    }
    DrawHeart(cr, 400, 216, 26);

    // Stepping floes lead from the pup to its family.
    Floe(cr, 300, 330, 34, 8, 3);
    Floe(cr, 220, 365, 44, 10, 4);

    // The pup on its floe in front, looking at the child.
    Floe(cr, 140, 420, 120, 32, 9);
    cairo_save(cr);
    cairo_translate(cr, 40, 300);
    cairo_scale(cr, 7.2, 7.2);
    SidePose pose;
    pose.facingRight = true;
    SideSeal(cr, PupLook(), Face{Eyes::Open, Mouth::Smile}, pose);
    cairo_restore(cr);

    for (const Label& label : StartPictureLabels()) DrawLabel(cr, label);
    return ToOpaqueImage(canvas);
}

std::vector<Label> StartPictureLabels() {
    constexpr double S = 500;
    constexpr double kTitleWidth = 470;
    std::vector<std::string> lines;
    // Translators: the start picture's invitation, drawn large in two lines.
    std::string_view invitation = lang::Tr("Hilf der kleinen Robbe\nnach Hause!");
    while (!invitation.empty()) {
        const auto end = invitation.find('\n');
        lines.emplace_back(invitation.substr(0, end));
        invitation = end == std::string_view::npos ? "" : invitation.substr(end + 1);
    }
    // Both lines in one size, the largest at which the longer fits.
    double size = 34;
    for (const std::string& line : lines) size = std::min(size, LabelSize(line, 34, kTitleWidth));
    std::vector<Label> labels;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        labels.push_back({lines[i], TextStyle{size, kSnow, kInk, 4, 3}, S / 2,
                          58 + static_cast<double>(i) * size * 1.25, true, (S - kTitleWidth) / 2,
                          (S + kTitleWidth) / 2});
    }
    constexpr double kHintWidth = 440;
    // Translators: %s is the label of the button that starts a game.
    const std::string hint = lang::Format(lang::Tr("Klick auf „%s“"), lang::Tr("Neues Spiel"));
    labels.push_back({hint, TextStyle{LabelSize(hint, 22, kHintWidth), kSnow, kInk, 3, 0}, S / 2,
                      488, true, (S - kHintWidth) / 2, (S + kHintWidth) / 2});
    return labels;
}

}  // namespace assetgen
