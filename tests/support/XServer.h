// SPDX-License-Identifier: GPL-3.0-or-later
// A virtual X server (Xvfb) for tests of the real window system, with the X tools that drive it:
// xdotool for input and window geometry, xwd to read back what the server shows.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"

/// An Xvfb with one screen (width × height × depth, by default 1280 × 1024 at 24 bits) on a free
/// display, or on display number when one is given, for as long as the object lives.
class VirtualDisplay {
public:
    explicit VirtualDisplay(int number = -1, const std::string& screen = "1280x1024x24");
    ~VirtualDisplay() = default;
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    /// Why the server is not there; empty while it runs.
    const std::string& Error() const { return m_error; }
    /// The display name, ":N".
    const std::string& Name() const { return m_name; }
    /// "DISPLAY=:N", for a child's environment.
    std::string Environment() const { return "DISPLAY=" + m_name; }
    /// Ends the server under its clients, as a logout or a kill does.
    void Kill() {
        if (m_server) m_server->Kill();
    }

    /// Runs xdotool with args on this display; its output, or none when it failed.
    std::optional<std::string> Xdotool(const std::vector<std::string>& args) const;
    /// The id of the first window whose name matches the regular expression, waiting for it.
    std::optional<std::string> FindWindow(const std::string& namePattern, int timeoutMs) const;

    struct Geometry {
        int x = 0, y = 0, width = 0, height = 0;
    };
    std::optional<Geometry> WindowGeometry(const std::string& window) const;

private:
    std::unique_ptr<ChildProcess> m_server;
    std::string m_name;
    std::string m_error;
};

/// Pixels as the X server shows them, read with xwd.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  ///< 0xRRGGBB, rows top-down
    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

/// Reads the contents of window from the display; none (with the reason in error) on failure.
std::optional<Screenshot> CaptureWindow(const VirtualDisplay& display, const std::string& window,
                                        std::string& error);
/// Decodes an XWD file of a 24- or 32-bit TrueColor ZPixmap image.
std::optional<Screenshot> ParseXwd(const std::string& bytes, std::string& error);
