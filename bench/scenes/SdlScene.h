// SPDX-License-Identifier: GPL-3.0-or-later
// The same scenes drawn with SDL's blitter, the library a user would reach for: one SDL surface
// per picture, colour key and alpha modulation set as the sprite has them, blitted back to front
// with the destination clipped to the scene's area.
#pragma once

#include <map>
#include <vector>

#include "bench/scenes/ComposeScene.h"

struct SDL_Surface;

struct SdlConfig {
    int bitsPerPixel = 24;   ///< 24 (BGR24) or 32 (XRGB8888), sources and target alike
    bool runLength = false;  ///< SDL's run-length acceleration of keyed surfaces

    const char* Name() const;
};

class SdlScene {
public:
    /// Converts every picture of scene once, outside any timing.
    SdlScene(const ComposeScene& scene, SdlConfig config);
    ~SdlScene();
    SdlScene(const SdlScene&) = delete;
    SdlScene& operator=(const SdlScene&) = delete;

    /// Blits every sprite that meets the scene's area, with the sprites' current positions and
    /// frames, into the target surface.
    void Render(SceneKind kind);
    /// The target's pixel (x, y) as blue, green, red.
    void PixelAt(int x, int y, unsigned char bgr[3]) const;
    const SdlConfig& Config() const { return m_config; }

private:
    struct Picture {
        SDL_Surface* opaque = nullptr;  // blend mode none
        SDL_Surface* keyed = nullptr;   // colour key set
    };
    SDL_Surface* Convert(const CDIB& image, bool keyed) const;

    const ComposeScene& m_scene;
    SdlConfig m_config;
    std::map<const unsigned char*, Picture> m_pictures;  // by the image's pixel memory
    std::vector<const CSprite*> m_order;
    SDL_Surface* m_target = nullptr;
};
