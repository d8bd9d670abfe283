// SPDX-License-Identifier: GPL-3.0-or-later
// The control column's pictures: the logo ("Logo.bmp"), the three image buttons
// ("Buttons.bmp") and the seal picture at its foot ("Robbe.bmp").
#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
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

constexpr double kPi = std::numbers::pi;
constexpr double W = layout::kColumnWidth;

// ---- Logo -------------------------------------------------------------------------------------

constexpr int kLogoFrames = res::PictureOf(res::Picture::Logo).rows;
constexpr char kTitle[] = "Floemaze";

// The snowy sign that carries the title, with snow heaped on its upper edge.
void LogoSign(cairo_t* cr) {
    const double x = layout::kSideMargin + 2;
    const double y = 62;
    const double w = W - 2 * x;
    const double h = 56;
    cairo_new_path(cr);
    RoundedRect(cr, x, y, w, h, 18);
    SetColour(cr, kInk);
    cairo_set_line_width(cr, 5);
    cairo_stroke_preserve(cr);
    LinearSource(cr, 0, y, 0, y + h, {{0, kSnow}, {0.6, kIce}, {1, kIceShade}});
    cairo_fill(cr);
}

void LogoTitle(cairo_t* cr, int frame) {
    const double size = FitTextSize(kTitle, 40, W - 2 * layout::kSideMargin - 26);
    const double width = TextWidth(kTitle, size);
    const double x = (W - width) / 2;
    const double baseline = 91 + CapHeight(size) / 2;
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_new_path(cr);
    TextPath(cr, kTitle, size, x, baseline + 2);
    SetColour(cr, kSeaDeep, 0.35);
    cairo_fill(cr);
    cairo_new_path(cr);
    TextPath(cr, kTitle, size, x, baseline);
    cairo_path_t* path = cairo_copy_path(cr);
    LinearSource(cr, 0, baseline - size * 0.75, 0, baseline,
                 {{0, kSeaLight}, {0.55, kSea}, {1, kSeaDeep}});
    cairo_fill(cr);
    // In frames 1..7 a glint runs over the letters, led by a sparkle.
    if (frame > 0) {
        const double t = (frame - 1) / double(kLogoFrames - 2);
        const double gx = x + 4 + (width - 8) * t;
        cairo_new_path(cr);
        cairo_append_path(cr, path);
        cairo_clip(cr);
        // A slanted band that fades out at both sides: a hard-edged one looks like a letter
        // half wiped away. The gradient runs across the band (slope 12 px over its height).
        const double rise = size + 4;
        const double length = std::hypot(rise, 12.0);
        const double nx = rise / length * 12;
        const double ny = 12.0 / length * 12;
        const double cx = gx + 2.5;
        const double cy = baseline + 4 - rise / 2;
        cairo_new_path(cr);
        cairo_rectangle(cr, x, baseline - size - 2, width, size + 8);
        LinearSource(cr, cx - nx, cy - ny, cx + nx, cy + ny,
                     {{0, kSnow, 0}, {0.5, kSnow, 0.85}, {1, kSnow, 0}});
        cairo_fill(cr);
        cairo_reset_clip(cr);
        // Golden with a white heart, so it shows on the white sign.
        Sparkle(cr, gx + 8, baseline - size * 0.8, 10, 1.0, Mix(kSun, kFish, 0.25));
        Sparkle(cr, gx + 8, baseline - size * 0.8, 5, 1.0);
        Sparkle(cr, gx - 6, baseline - size * 0.15, 5, 1.0, kSun);
    }
    cairo_path_destroy(path);
    cairo_restore(cr);
}

void LogoFrame(cairo_t* cr, int frame) {
    const SealLook pup = PupLook();
    // The pup peeks over the sign; it blinks and waves while the glint passes.
    Face face;
    if (frame == 3 || frame == 4) face.eyes = Eyes::Happy;
    if (frame >= 2 && frame <= 5) face.mouth = Mouth::Open;
    cairo_save(cr);
    cairo_translate(cr, W / 2 - 12.5 * 3.3, 42 - 9.6 * 3.3);
    cairo_scale(cr, 3.3, 3.3);
    FrontSeal(cr, pup, face, 0);
    cairo_restore(cr);
    LogoSign(cr);
    // Flippers resting on the sign's edge; the right one waves in the middle of the animation.
    const double wave = frame >= 2 && frame <= 5 ? (frame % 2 == 0 ? 1.0 : 0.6) : 0.0;
    cairo_save(cr);
    cairo_translate(cr, W / 2, 62);
    cairo_scale(cr, 3.3, 3.3);
    Flipper(cr, pup, -5.2, -0.4, 5.0, kPi * 0.92);
    Flipper(cr, pup, 5.2, -0.4 - wave * 1.5, 5.0, kPi * 0.08 - wave * 1.1);
    cairo_restore(cr);
    LogoTitle(cr, frame);
}

// ---- Buttons ----------------------------------------------------------------------------------

enum class State { Normal, Hover, Pressed };

constexpr double kButtonLeft = layout::kSideMargin;
constexpr double kButtonWidth = W - 2 * kButtonLeft;
constexpr double kButtonInnerHeight = layout::kButtonBottom - layout::kButtonTop - 2;
constexpr double kIconRadius = 14;
constexpr double kIconX = kButtonLeft + 6 + kIconRadius;

// The picture on a button's left: a green "go" arrow, a gear, a red cross.
void ButtonIcon(cairo_t* cr, int button, double cx, double cy, double r, State state) {
    const Rgb colours[3] = {kGo, kSeaLight, kStop};
    Rgb c = colours[button];
    if (state == State::Hover) c = Mix(c, kSnow, 0.2);
    if (state == State::Pressed) c = Mix(c, kInk, 0.15);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    SetColour(cr, kInk);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke_preserve(cr);
    RadialSource(cr, cx - r * 0.35, cy - r * 0.4, 0, r * 1.2, {{0, Mix(c, kSnow, 0.45)}, {1, c}});
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_new_path(cr);
    switch (button) {
        case 0:  // a play arrow
            cairo_move_to(cr, -r * 0.32, -r * 0.5);
            cairo_line_to(cr, r * 0.55, 0);
            cairo_line_to(cr, -r * 0.32, r * 0.5);
            cairo_close_path(cr);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_set_line_width(cr, r * 0.22);
            SetColour(cr, kSnow);
            cairo_stroke_preserve(cr);
            cairo_fill(cr);
            break;
        case 1: {  // a gear
            constexpr int kTeeth = 8;
            for (int i = 0; i < kTeeth; ++i) {
                const double a = i * 2 * kPi / kTeeth;
                cairo_save(cr);
                cairo_rotate(cr, a);
                cairo_rectangle(cr, -r * 0.14, -r * 0.72, r * 0.28, r * 0.3);
                cairo_restore(cr);
            }
            cairo_arc(cr, 0, 0, r * 0.5, 0, 2 * kPi);
            SetColour(cr, kSnow);
            cairo_fill(cr);
            cairo_arc(cr, 0, 0, r * 0.2, 0, 2 * kPi);
            SetColour(cr, c);
            cairo_fill(cr);
            break;
        }
        default:  // a cross
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_set_line_width(cr, r * 0.26);
            cairo_move_to(cr, -r * 0.38, -r * 0.38);
            cairo_line_to(cr, r * 0.38, r * 0.38);
            cairo_move_to(cr, r * 0.38, -r * 0.38);
            cairo_line_to(cr, -r * 0.38, r * 0.38);
            SetColour(cr, kSnow);
            cairo_stroke(cr);
            break;
    }
    cairo_restore(cr);
}

void Button(cairo_t* cr, int button, const Label& label, State state) {
    const double x = kButtonLeft;
    const double w = kButtonWidth;
    const double shift = state == State::Pressed ? 2 : 0;
    const double top = layout::kButtonTop + shift;
    const double h = kButtonInnerHeight;
    const double r = h / 2;
    // The button stands on a solid base that shows below it, less when pressed. A see-through
    // shadow would carry the sky it was drawn on to wherever the exit button slides.
    RoundedRect(cr, x + 1, top + (state == State::Pressed ? 1 : 3), w - 2, h - 1, r);
    SetColour(cr, Mix(kInk, kSeaDeep, 0.4));
    cairo_fill(cr);
    if (state == State::Hover) {
        RoundedRect(cr, x - 1.5, top - 2, w + 3, h + 4.5, r + 2);
        SetColour(cr, kSun);
        cairo_fill(cr);
    }
    RoundedRect(cr, x + 1, top + 1, w - 2, h - 2, r - 1);
    SetColour(cr, kInk);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke_preserve(cr);
    switch (state) {
        case State::Normal:
            LinearSource(cr, 0, top, 0, top + h, {{0, kSnow}, {0.5, kIce}, {1, kIceShade}});
            break;
        case State::Hover:
            LinearSource(cr, 0, top, 0, top + h,
                         {{0, kSnow}, {0.6, kSnow}, {1, Mix(kIce, kSun, 0.25)}});
            break;
        case State::Pressed:
            LinearSource(cr, 0, top, 0, top + h, {{0, kIceDeep}, {0.3, kIceShade}, {1, kIce}});
            break;
    }
    cairo_fill(cr);
    // A gloss on the upper half of the raised states.
    if (state != State::Pressed) {
        RoundedRect(cr, x + 10, top + 4, w - 20, h * 0.32, h * 0.16);
        SetColour(cr, kSnow, 0.6);
        cairo_fill(cr);
    }
    const double iconR = kIconRadius;
    const double iconX = kIconX;
    const double cy = top + h / 2;
    ButtonIcon(cr, button, iconX, cy, iconR, state);
    TextStyle style = label.style;
    style.fill = state == State::Hover ? kSeaDeep : kInk;
    CentredText(cr, label.text, label.x, cy + CapHeight(style.size) / 2, style);
}

// ---- Seal picture -----------------------------------------------------------------------------

constexpr int kSealFrames = res::PictureOf(res::Picture::SealPicture).rows;

void SealFrame(cairo_t* cr, int frame) {
    const double floeY = 112;
    Floe(cr, W / 2, floeY, 82, 13, 6);
    const SealLook pup = PupLook();
    // Row 4 is the resting picture, shown half of the time; the others make a little story: the
    // pup looks about, waves, catches a fish, eats it happily, and yawns.
    Face face;
    double wave = -1;  // no waving flipper
    switch (frame) {
        case 0:
            face = {Eyes::LookUp, Mouth::Smile};
            break;
        case 1:
            face = {Eyes::Happy, Mouth::Open};
            wave = 0.7;
            break;
        case 2:
            face = {Eyes::Wide, Mouth::Open};
            wave = 1.0;
            break;
        case 3:
            face = {Eyes::Happy, Mouth::Fish};
            break;
        case 4:
            face = {Eyes::Open, Mouth::Smile};
            break;
        default:
            face = {Eyes::Asleep, Mouth::Yawn};
            break;
    }
    constexpr double kScale = 4.0;
    cairo_save(cr);
    cairo_translate(cr, W / 2 - 12.5 * kScale, floeY + 4 - 23.4 * kScale);
    cairo_scale(cr, kScale, kScale);
    FrontSeal(cr, pup, face, 0);
    if (wave >= 0) Flipper(cr, pup, 19.5, 14.0, 5.5, -0.4 - wave * 0.9);
    cairo_restore(cr);
    if (frame == 0) Snowflake(cr, W / 2 + 40, 36, 6);
    if (frame == 2) {
        Sparkle(cr, W / 2 + 58, 40, 7);
        Sparkle(cr, W / 2 - 60, 52, 5);
    }
    if (frame == 3) DrawHeart(cr, W / 2 + 52, 40, 16);
    if (frame == 5) {
        TextStyle z{14, kSnow, kInk, 2, 0};
        LeftText(cr, "z", W / 2 + 40, 50, z);
        z.size = 18;
        LeftText(cr, "Z", W / 2 + 52, 38, z);
    }
}

}  // namespace

CDIB Logo(const Canvas& background) {
    const int h = layout::kLogoHeight;
    Canvas content(static_cast<int>(W), kLogoFrames * h);
    Canvas backdrop(static_cast<int>(W), kLogoFrames * h);
    PaintBackdrop(backdrop, background, 0, 0, static_cast<int>(W), h, 1, kLogoFrames);
    for (int frame = 0; frame < kLogoFrames; ++frame) {
        cairo_t* cr = content.Cr();
        cairo_save(cr);
        cairo_rectangle(cr, 0, frame * h, W, h);
        cairo_clip(cr);
        cairo_translate(cr, 0, frame * h);
        LogoFrame(cr, frame);
        cairo_restore(cr);
    }
    return ToKeyedImage(content, backdrop);
}

std::vector<Label> ButtonLabels() {
    const std::string texts[3] = {lang::Tr("Neues Spiel"), lang::Tr("Optionen"),
                                  lang::Tr("Beenden")};
    const double left = kIconX + kIconRadius + 6;
    const double right = kButtonLeft + kButtonWidth - 10;
    // One size for all three labels, the largest at which the longest fits.
    double size = 24;
    for (const std::string& text : texts) size = std::min(size, LabelSize(text, 24, right - left));
    const double baseline = layout::kButtonTop + kButtonInnerHeight / 2 + CapHeight(size) / 2;
    std::vector<Label> labels;
    for (const std::string& text : texts) {
        labels.push_back({text, TextStyle{size, kInk, kSnow, 0, 0}, (left + right) / 2, baseline,
                          true, left, right});
    }
    return labels;
}

CDIB Buttons(const Canvas& background) {
    const int h = layout::kButtonHeight;
    constexpr int kFrames = res::PictureOf(res::Picture::Buttons).rows;
    Canvas content(static_cast<int>(W), kFrames * h);
    const std::vector<Label> labels = ButtonLabels();
    for (int button = 0; button < 3; ++button) {
        for (int state = 0; state < 3; ++state) {
            const int row = 3 * button + state;
            cairo_t* cr = content.Cr();
            cairo_save(cr);
            cairo_rectangle(cr, 0, row * h, W, h);
            cairo_clip(cr);
            cairo_translate(cr, 0, row * h);
            Button(cr, button, labels[static_cast<std::size_t>(button)], static_cast<State>(state));
            cairo_restore(cr);
        }
    }
    // Each frame is smoothed against the background where its button stands.
    Canvas placed(static_cast<int>(W), kFrames * h);
    for (int row = 0; row < kFrames; ++row) {
        cairo_t* cr = placed.Cr();
        cairo_save(cr);
        cairo_rectangle(cr, 0, row * h, W, h);
        cairo_clip(cr);
        cairo_set_source_surface(cr, background.Surface(), 0, row * h - layout::kButtonY[row / 3]);
        cairo_paint(cr);
        cairo_restore(cr);
    }
    return ToKeyedImage(content, placed);
}

CDIB SealPicture(const Canvas& background) {
    const int h = layout::kSealPictureHeight;
    Canvas content(static_cast<int>(W), kSealFrames * h);
    Canvas backdrop(static_cast<int>(W), kSealFrames * h);
    PaintBackdrop(backdrop, background, 0, layout::kSealPictureY, static_cast<int>(W), h, 1,
                  kSealFrames);
    for (int frame = 0; frame < kSealFrames; ++frame) {
        cairo_t* cr = content.Cr();
        cairo_save(cr);
        cairo_rectangle(cr, 0, frame * h + layout::kSealPictureTop, W, h - layout::kSealPictureTop);
        cairo_clip(cr);
        cairo_translate(cr, 0, frame * h);
        SealFrame(cr, frame);
        cairo_restore(cr);
    }
    return ToKeyedImage(content, backdrop);
}

}  // namespace assetgen
