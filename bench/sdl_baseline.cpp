// SPDX-License-Identifier: GPL-3.0-or-later
// The least SDL2 program a game like this could be: a borderless 700 × 500 window, filled once,
// with a 40 ms and a 150 ms timer, presenting one 25 × 30 rectangle per 40 ms tick. It uses the
// same presentation path and hints as the game's window system, so that measuring both side by
// side (bench/measure-runtime) shows what the game itself adds.
#include <SDL.h>

#include <cstdio>

#include "platform/sdl/FirstFrameTrace.h"

int main(int /*argc*/, char** /*argv*/) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "sdl_baseline: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window =
        SDL_CreateWindow("sdl_baseline", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 700, 500,
                         SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        std::fprintf(stderr, "sdl_baseline: %s\n", SDL_GetError());
        return 1;
    }
    SDL_ShowWindow(window);
    SDL_Surface* screen = SDL_GetWindowSurface(window);
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 90, 160, 220));
    SDL_UpdateWindowSurface(window);
    // The moment the first frame is on the screen, for bench/measure-runtime (opt-in, as the game).
    platform::sdl::WriteFirstFrameTrace("sdl_baseline");

    Uint32 nextFast = SDL_GetTicks() + 40;
    Uint32 nextSlow = SDL_GetTicks() + 150;
    int x = 200;
    bool running = true;
    while (running) {
        const Uint32 now = SDL_GetTicks();
        const Uint32 due = SDL_TICKS_PASSED(nextFast, nextSlow) ? nextSlow : nextFast;
        SDL_Event event;
        const int wait = SDL_TICKS_PASSED(now, due) ? 0 : static_cast<int>(due - now);
        if (SDL_WaitEventTimeout(&event, wait) != 0) {
            if (event.type == SDL_QUIT ||
                (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)) {
                running = false;
            }
            continue;
        }
        const Uint32 tick = SDL_GetTicks();
        if (SDL_TICKS_PASSED(tick, nextFast)) {
            // Late ticks are not made up, as the game's timers.
            nextFast = tick + 40;
            x = x >= 670 ? 200 : x + 5;
            SDL_Rect step{x, 200, 30, 25};
            SDL_FillRect(screen, &step, SDL_MapRGB(screen->format, 240, 240, 250));
            SDL_UpdateWindowSurfaceRects(window, &step, 1);
        }
        if (SDL_TICKS_PASSED(tick, nextSlow)) nextSlow = tick + 150;
    }
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
