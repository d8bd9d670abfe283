// SPDX-License-Identifier: GPL-3.0-or-later
// The window system of the real game: SDL2 windows presented from memory surfaces by rectangles,
// SDL's events turned into the framework's messages, and the boxes and menus that a captionless
// window on Linux does not get from the desktop, drawn by the backend itself.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Backend.h"
#include "platform/Scaling.h"

namespace platform::sdl {

/// The options the next CreateSdlBackend starts with.
void UseDisplayOptions(const DisplayOptions& options);

/// Starts SDL's video and returns the backend, or null with a plain reason for the user (no
/// display, a video driver SDL could not start). The game's main hands it to RunApplication.
std::unique_ptr<Backend> CreateSdlBackend(std::string& reason);

/// Whether the video driver SDL chose shows windows to a user. SDL falls back to drivers that
/// show nothing ("offscreen", "dummy", "evdev") when it finds no display; those count only when
/// the user named them in requested (SDL_VIDEODRIVER, a comma-separated list; may be null).
bool IsVisibleDriver(const char* chosen, const char* requested);

/// The reason given when there is no display, from the environment the program ran in.
std::string NoDisplayReason(const char* display, const char* waylandDisplay,
                            std::string_view sdlError);

/// The reason given when SDL could not start the video driver the user named in requested
/// (SDL_VIDEODRIVER, a comma-separated list): the driver with SDL's own reason, the drivers this
/// SDL has (available) when it has none of those named, and the X display when x11 was named.
std::string VideoDriverReason(std::string_view requested, std::string_view sdlError,
                              const std::vector<std::string>& available, const char* display);

}  // namespace platform::sdl
