// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/XServer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <bit>
#include <sstream>

VirtualDisplay::VirtualDisplay(int number, const std::string& screen) {
    if (!ProgramInPath("Xvfb")) {
        m_error = "Xvfb is not installed (Debian package xvfb)";
        return;
    }
    // Xvfb picks a free display itself, or takes the one given, and writes its number to the pipe
    // once it accepts clients.
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) {
        m_error = "no pipe for Xvfb";
        return;
    }
    std::vector<std::string> argv{"Xvfb"};
    if (number >= 0) argv.push_back(std::string(":").append(std::to_string(number)));
    argv.insert(argv.end(), {"-displayfd", std::to_string(ready[1]), "-screen", "0", screen,
                             "-nolisten", "tcp", "-noreset"});
    m_server = std::make_unique<ChildProcess>(argv, std::vector<std::string>{}, ready[1]);
    close(ready[1]);
    std::string shown;
    pollfd fd{ready[0], POLLIN, 0};
    char c = 0;
    while (poll(&fd, 1, 10000) > 0 && read(ready[0], &c, 1) == 1 && c != '\n') shown += c;
    close(ready[0]);
    if (shown.empty()) {
        m_error = "Xvfb did not start: " + m_server->Stderr();
        m_server.reset();
        return;
    }
    m_name = ":" + shown;
}

std::optional<std::string> VirtualDisplay::Xdotool(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    const CommandResult result = RunCommand(argv, 10000, {Environment()});
    if (result.status != 0) return std::nullopt;
    return result.out;
}

std::optional<std::string> VirtualDisplay::FindWindow(const std::string& namePattern,
                                                      int timeoutMs) const {
    // xdotool's own --sync waits without a limit; this one gives up.
    const int step = 20;
    for (int waited = 0; waited <= timeoutMs; waited += step) {
        const auto out = Xdotool({"search", "--onlyvisible", "--name", namePattern});
        if (out && !out->empty()) return out->substr(0, out->find('\n'));
        usleep(step * 1000);
    }
    return std::nullopt;
}

std::optional<VirtualDisplay::Geometry> VirtualDisplay::WindowGeometry(
    const std::string& window) const {
    const auto out = Xdotool({"getwindowgeometry", "--shell", window});
    if (!out) return std::nullopt;
    Geometry g;
    std::istringstream lines(*out);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const int value = std::atoi(line.c_str() + equals + 1);
        if (key == "X") g.x = value;
        if (key == "Y") g.y = value;
        if (key == "WIDTH") g.width = value;
        if (key == "HEIGHT") g.height = value;
    }
    return g;
}

std::optional<Screenshot> CaptureWindow(const VirtualDisplay& display, const std::string& window,
                                        std::string& error) {
    const CommandResult result =
        RunCommand({"xwd", "-silent", "-id", window}, 10000, {display.Environment()});
    if (result.status != 0) {
        error = "xwd failed: " + result.err;
        return std::nullopt;
    }
    return ParseXwd(result.out, error);
}

std::optional<Screenshot> ParseXwd(const std::string& bytes, std::string& error) {
    // The header is 25 big-endian 32-bit fields, then the window name, then the colour map.
    constexpr std::size_t kFields = 25;
    if (bytes.size() < kFields * 4) {
        error = "XWD file shorter than its header";
        return std::nullopt;
    }
    const auto field = [&](std::size_t i) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + i * 4;
        return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
               static_cast<std::uint32_t>(p[2]) << 8 | p[3];
    };
    const std::uint32_t headerSize = field(0);
    const std::uint32_t version = field(1);
    const std::uint32_t format = field(2);
    const std::uint32_t width = field(4);
    const std::uint32_t height = field(5);
    const std::uint32_t byteOrder = field(7);
    const std::uint32_t bitsPerPixel = field(11);
    const std::uint32_t bytesPerLine = field(12);
    const std::uint32_t redMask = field(14);
    const std::uint32_t greenMask = field(15);
    const std::uint32_t blueMask = field(16);
    const std::uint32_t colours = field(19);
    if (version != 7 || format != 2) {
        error = "not an XWD version 7 ZPixmap image";
        return std::nullopt;
    }
    if (bitsPerPixel != 32 && bitsPerPixel != 24) {
        error = "XWD image has " + std::to_string(bitsPerPixel) + " bits per pixel";
        return std::nullopt;
    }
    if (width == 0 || height == 0 || width > 8192 || height > 8192 ||
        bytesPerLine < width * (bitsPerPixel / 8)) {
        error = "XWD image size is implausible";
        return std::nullopt;
    }
    const std::size_t start = headerSize + static_cast<std::size_t>(colours) * 12;
    if (bytes.size() < start + static_cast<std::size_t>(bytesPerLine) * height) {
        error = "XWD file shorter than its pixels";
        return std::nullopt;
    }
    const auto channel = [](std::uint32_t pixel, std::uint32_t mask) {
        return mask == 0 ? 0u : (pixel & mask) >> std::countr_zero(mask);
    };
    Screenshot shot;
    shot.width = static_cast<int>(width);
    shot.height = static_cast<int>(height);
    shot.pixels.resize(static_cast<std::size_t>(width) * height);
    const std::size_t step = bitsPerPixel / 8;
    for (std::uint32_t y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const unsigned char*>(bytes.data()) + start +
                          static_cast<std::size_t>(y) * bytesPerLine;
        for (std::uint32_t x = 0; x < width; ++x) {
            const unsigned char* p = row + x * step;
            std::uint32_t pixel = 0;
            for (std::size_t b = 0; b < step; ++b) {
                // byte order 0: least significant byte first.
                const std::size_t shift = byteOrder == 0 ? b * 8 : (step - 1 - b) * 8;
                pixel |= static_cast<std::uint32_t>(p[b]) << shift;
            }
            shot.pixels[static_cast<std::size_t>(y) * width + x] = channel(pixel, redMask) << 16 |
                                                                   channel(pixel, greenMask) << 8 |
                                                                   channel(pixel, blueMask);
        }
    }
    return shot;
}
