// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/scenes/SdlScene.h"

#include <SDL.h>

#include <cstring>
#include <stdexcept>
#include <string>

const char* SdlConfig::Name() const {
    if (bitsPerPixel == 24) return runLength ? "24-bit, run-length" : "24-bit";
    return runLength ? "32-bit, run-length" : "32-bit";
}

namespace {

Uint32 Format(int bitsPerPixel) {
    return bitsPerPixel == 24 ? SDL_PIXELFORMAT_BGR24 : SDL_PIXELFORMAT_XRGB8888;
}

SDL_Surface* Created(SDL_Surface* surface) {
    if (surface == nullptr) throw std::runtime_error(std::string("SDL: ") + SDL_GetError());
    return surface;
}

}  // namespace

SDL_Surface* SdlScene::Convert(const CDIB& image, bool keyed) const {
    const int width = image.GetWidth();
    const int height = image.GetHeight();
    SDL_Surface* surface = Created(SDL_CreateRGBSurfaceWithFormat(
        0, width, height, m_config.bitsPerPixel, Format(m_config.bitsPerPixel)));
    // The image is stored bottom-up with blue, green, red bytes; SDL's surfaces run top-down.
    auto* rows = static_cast<unsigned char*>(surface->pixels);
    for (int y = 0; y < height; ++y) {
        const unsigned char* from = image.GetPixelAddress(0, y);
        unsigned char* to = rows + static_cast<std::ptrdiff_t>(y) * surface->pitch;
        if (m_config.bitsPerPixel == 24) {
            std::memcpy(to, from, static_cast<std::size_t>(width) * 3);
        } else {
            for (int x = 0; x < width; ++x) {
                to[4 * x] = from[3 * x];
                to[4 * x + 1] = from[3 * x + 1];
                to[4 * x + 2] = from[3 * x + 2];
                to[4 * x + 3] = 0;  // unused, and zero as SDL maps the key
            }
        }
    }
    if (keyed) {
        const unsigned char* key = image.GetPixelAddress(0, 0);
        SDL_SetColorKey(surface, SDL_TRUE, SDL_MapRGB(surface->format, key[2], key[1], key[0]));
        SDL_SetSurfaceBlendMode(surface, SDL_BLENDMODE_BLEND);
        if (m_config.runLength) SDL_SetSurfaceRLE(surface, 1);
    } else {
        SDL_SetSurfaceBlendMode(surface, SDL_BLENDMODE_NONE);
    }
    return surface;
}

SdlScene::SdlScene(const ComposeScene& scene, SdlConfig config)
    : m_scene(scene), m_config(config), m_order(scene.DrawingOrder()) {
    m_target = Created(SDL_CreateRGBSurfaceWithFormat(0, 700, 500, m_config.bitsPerPixel,
                                                      Format(m_config.bitsPerPixel)));
    for (const CSprite* sprite : m_order) {
        Picture& picture = m_pictures[sprite->m_pBits];
        SDL_Surface*& surface = sprite->m_bColorKey != 0 ? picture.keyed : picture.opaque;
        if (surface == nullptr) surface = Convert(*sprite, sprite->m_bColorKey != 0);
    }
    // Start from the same picture the sprite list holds.
    Render(SceneKind::FullRedraw);
}

SdlScene::~SdlScene() {
    for (auto& [bits, picture] : m_pictures) {
        SDL_FreeSurface(picture.opaque);
        SDL_FreeSurface(picture.keyed);
    }
    SDL_FreeSurface(m_target);
}

void SdlScene::Render(SceneKind kind) {
    const RECT area = m_scene.Area(kind);
    const SDL_Rect clip{area.left, area.top, area.right - area.left, area.bottom - area.top};
    SDL_SetClipRect(m_target, &clip);
    for (const CSprite* sprite : m_order) {
        const float alpha = sprite->m_fAlpha;
        if (alpha <= 0.01f) continue;
        const int w = sprite->m_nFrameWidth;
        const int h = sprite->m_nFrameHeight;
        const SDL_Rect bounds{sprite->m_nX, sprite->m_nY, w, h};
        if (!SDL_HasIntersection(&bounds, &clip)) continue;
        const Picture& picture = m_pictures[sprite->m_pBits];
        SDL_Surface* surface = sprite->m_bColorKey != 0 ? picture.keyed : picture.opaque;
        SDL_SetSurfaceAlphaMod(surface,
                               alpha >= 0.99f ? 255 : static_cast<Uint8>(alpha * 255.0f + 0.5f));
        if (sprite->m_bColorKey == 0) {
            SDL_SetSurfaceBlendMode(surface,
                                    alpha >= 0.99f ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
        }
        SDL_Rect from{sprite->m_nFrameCol * w, sprite->m_nFrameRow * h, w, h};
        SDL_Rect to = bounds;
        SDL_BlitSurface(surface, &from, m_target, &to);
    }
}

void SdlScene::PixelAt(int x, int y, unsigned char bgr[3]) const {
    const auto* p = static_cast<const unsigned char*>(m_target->pixels) +
                    static_cast<std::ptrdiff_t>(y) * m_target->pitch +
                    static_cast<std::ptrdiff_t>(x) * (m_config.bitsPerPixel / 8);
    std::memcpy(bgr, p, 3);
}
