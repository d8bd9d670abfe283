// SPDX-License-Identifier: GPL-3.0-or-later
// The SDL window system: key translation and the no-display check in-process, and the real thing
// on a virtual X server, where xdotool drives the probe program and xwd reads back its window.
#include <gtest/gtest.h>

#include <SDL_keycode.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Messages.h"
#include "platform/PopupMenu.h"
#include "platform/sdl/Keys.h"
#include "platform/sdl/SdlBackend.h"
#include "platform/sdl/TextLibrary.h"
#include "platform/sdl/Widgets.h"
#include "tests/platform/probe/ProbePattern.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/XServer.h"

namespace {

using platform::sdl::VirtualKey;

constexpr int kTimeoutMs = 5000;
// For a probe built with the leak checker: what the libraries below SDL leak is not the probe's.
const std::string kLeakOptions = std::string("LSAN_OPTIONS=") + FLOEMAZE_PROBE_LSAN;

TEST(SdlKeysTest, GameKeysAndTheKeypadGiveTheFrameworksCodes) {
    EXPECT_EQ(VirtualKey(SDLK_END, KMOD_NONE), 0x23u);
    EXPECT_EQ(VirtualKey(SDLK_HOME, KMOD_NONE), 0x24u);
    EXPECT_EQ(VirtualKey(SDLK_LEFT, KMOD_NONE), 0x25u);
    EXPECT_EQ(VirtualKey(SDLK_UP, KMOD_NONE), 0x26u);
    EXPECT_EQ(VirtualKey(SDLK_RIGHT, KMOD_NONE), 0x27u);
    EXPECT_EQ(VirtualKey(SDLK_DOWN, KMOD_NONE), 0x28u);
    EXPECT_EQ(VirtualKey(SDLK_RETURN, KMOD_NONE), VK_RETURN);
    EXPECT_EQ(VirtualKey(SDLK_KP_ENTER, KMOD_NONE), VK_RETURN);
    EXPECT_EQ(VirtualKey(SDLK_ESCAPE, KMOD_NONE), VK_ESCAPE);
    EXPECT_EQ(VirtualKey(SDLK_SPACE, KMOD_NONE), VK_SPACE);
    // Letters are upper case whatever the shift state; digits are themselves.
    EXPECT_EQ(VirtualKey(SDLK_m, KMOD_NONE), static_cast<UINT>('M'));
    EXPECT_EQ(VirtualKey(SDLK_m, KMOD_SHIFT), static_cast<UINT>('M'));
    EXPECT_EQ(VirtualKey(SDLK_7, KMOD_NONE), static_cast<UINT>('7'));
    EXPECT_EQ(VirtualKey(SDLK_F4, KMOD_NONE), VK_F4);
    // The keypad steers without NumLock and types digits with it.
    EXPECT_EQ(VirtualKey(SDLK_KP_8, KMOD_NONE), VK_UP);
    EXPECT_EQ(VirtualKey(SDLK_KP_1, KMOD_NONE), VK_END);
    EXPECT_EQ(VirtualKey(SDLK_KP_0, KMOD_NONE), VK_INSERT);
    EXPECT_EQ(VirtualKey(SDLK_KP_8, KMOD_NUM), 0x68u);
    EXPECT_EQ(VirtualKey(SDLK_KP_0, KMOD_NUM), 0x60u);
    // Keys without a code give none.
    EXPECT_EQ(VirtualKey(SDLK_UNKNOWN, KMOD_NONE), 0u);
    EXPECT_EQ(VirtualKey(SDLK_AUDIOPLAY, KMOD_NONE), 0u);
}

// A box at scale 3 is laid out three times as large, its text measured in a font of that scale
// (here the estimate without a font), so that its OK button lies where it is drawn.
TEST(SdlWidgetsTest, AMessageBoxAtAScaleIsLaidOutScaleTimesAsLarge) {
    const std::string text = "Die Robbe ist zu Hause! Du hast 42 Schritte gebraucht.";
    const platform::sdl::MessageBoxLayout plain = platform::sdl::LayoutMessageBox(text, nullptr);
    const platform::sdl::MessageBoxLayout scaled =
        platform::sdl::LayoutMessageBox(text, nullptr, 3);
    EXPECT_EQ(scaled.lines, plain.lines);
    EXPECT_EQ(scaled.width, plain.width * 3);
    EXPECT_EQ(scaled.height, plain.height * 3);
    EXPECT_EQ(scaled.button, (RECT{plain.button.left * 3, plain.button.top * 3,
                                   plain.button.right * 3, plain.button.bottom * 3}));
    EXPECT_EQ(scaled.textAt, (POINT{plain.textAt.x * 3, plain.textAt.y * 3}));
}

TEST(SdlTextLibraryTest, AMissingTextLibraryIsNamedAndTheFunctionsComeFromTheRealOnes) {
    // The fonts' libraries are opened when the first text is drawn; a system without them gets
    // boxes without text and a message naming what is missing (printed by the backend).
    platform::sdl::TextLibrary library{};
    std::string error;
    EXPECT_FALSE(platform::sdl::OpenTextLibraryFiles("libfloemaze-missing.so.0",
                                                     "libfontconfig.so.1", library, error));
    EXPECT_NE(error.find("libfloemaze-missing.so.0"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(platform::sdl::OpenTextLibraryFiles("libSDL2_ttf-2.0.so.0",
                                                     "libfloemaze-missing.so.1", library, error));
    EXPECT_NE(error.find("libfloemaze-missing.so.1"), std::string::npos) << error;
    // A library without the functions is refused too.
    EXPECT_FALSE(platform::sdl::OpenTextLibraryFiles("libfontconfig.so.1", "libfontconfig.so.1",
                                                     library, error));
    EXPECT_NE(error.find("TTF_Init"), std::string::npos) << error;

    ASSERT_TRUE(platform::sdl::OpenTextLibraryFiles("libSDL2_ttf-2.0.so.0", "libfontconfig.so.1",
                                                    library, error))
        << error;
    EXPECT_EQ(library.TTF_Init(), 0);
    EXPECT_NE(library.TTF_WasInit(), 0);
    library.TTF_Quit();
    EXPECT_NE(library.FcFini, nullptr);
}

TEST(SdlDisplayTest, InvisibleDriversCountOnlyWhenTheUserAskedForThem) {
    using platform::sdl::IsVisibleDriver;
    EXPECT_TRUE(IsVisibleDriver("x11", nullptr));
    EXPECT_TRUE(IsVisibleDriver("wayland", "x11"));
    EXPECT_FALSE(IsVisibleDriver("offscreen", nullptr));
    EXPECT_FALSE(IsVisibleDriver("dummy", ""));
    EXPECT_FALSE(IsVisibleDriver("offscreen", "x11,wayland"));
    EXPECT_FALSE(IsVisibleDriver("dummy", "dummyish"));
    EXPECT_TRUE(IsVisibleDriver("offscreen", "x11, Offscreen"));
    EXPECT_TRUE(IsVisibleDriver("dummy", "dummy"));
    EXPECT_FALSE(IsVisibleDriver(nullptr, "x11"));

    const std::string unset = platform::sdl::NoDisplayReason(nullptr, nullptr, "");
    EXPECT_NE(unset.find("DISPLAY is not set"), std::string::npos) << unset;
    EXPECT_NE(unset.find("WAYLAND_DISPLAY is not set"), std::string::npos) << unset;
    EXPECT_NE(unset.find("DISPLAY=:0"), std::string::npos) << unset;
    const std::string gone = platform::sdl::NoDisplayReason(":7", "", "no X server");
    EXPECT_NE(gone.find("\":7\", which could not be opened"), std::string::npos) << gone;
    EXPECT_NE(gone.find("SDL reports: no X server"), std::string::npos) << gone;

    // A driver named in SDL_VIDEODRIVER that SDL could not start is named with SDL's reason, and
    // with what SDL has when it has no such driver.
    using platform::sdl::VideoDriverReason;
    const std::vector<std::string> drivers{"x11", "wayland", "KMSDRM"};
    const std::string missing = VideoDriverReason("nosuch", "nosuch not available", drivers, ":0");
    EXPECT_NE(missing.find("video driver \"nosuch\""), std::string::npos) << missing;
    EXPECT_NE(missing.find("SDL reports: nosuch not available"), std::string::npos) << missing;
    EXPECT_NE(missing.find("it has: x11, wayland, KMSDRM."), std::string::npos) << missing;
    EXPECT_EQ(missing.find("no display"), std::string::npos) << missing;
    const std::string x11 = VideoDriverReason("kmsdrm, X11", "x11 not available", drivers, ":7");
    EXPECT_EQ(x11.find("it has:"), std::string::npos) << x11;
    EXPECT_NE(x11.find("The X display \":7\" could not be opened"), std::string::npos) << x11;
}

// The probe without any display: a plain message and a failing exit status, not a crash and not
// an invisible window. An invisible driver asked for by name is used.
TEST(SdlDisplayTest, WithoutADisplayTheProgramSaysSoAndFails) {
    ChildProcess probe({FLOEMAZE_SDL_PROBE}, {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER",
                                              kLeakOptions, "XDG_RUNTIME_DIR=/nonexistent"});
    ASSERT_TRUE(probe.Started());
    EXPECT_EQ(probe.Wait(kTimeoutMs), 1);
    const std::string err = probe.Stderr();
    EXPECT_NE(err.find("there is no display"), std::string::npos) << err;
    EXPECT_NE(err.find("DISPLAY is not set"), std::string::npos) << err;
    EXPECT_EQ(probe.ReadAll(kTimeoutMs).find("ready"), std::string::npos);

    // A display may be there: what failed is the driver the user named.
    ChildProcess unknown({FLOEMAZE_SDL_PROBE},
                         {"DISPLAY=:0", "SDL_VIDEODRIVER=nosuch", kLeakOptions});
    ASSERT_TRUE(unknown.Started());
    EXPECT_EQ(unknown.Wait(kTimeoutMs), 1);
    const std::string driverErr = unknown.Stderr();
    EXPECT_NE(driverErr.find("could not start the video driver \"nosuch\""), std::string::npos)
        << driverErr;
    EXPECT_NE(driverErr.find("SDL reports: nosuch not available"), std::string::npos) << driverErr;
    EXPECT_EQ(driverErr.find("no display"), std::string::npos) << driverErr;

    ChildProcess offscreen(
        {FLOEMAZE_SDL_PROBE, "--ticks", "3"},
        {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER=offscreen", kLeakOptions});
    ASSERT_TRUE(offscreen.Started());
    EXPECT_TRUE(offscreen.WaitFor("end 1", kTimeoutMs)) << offscreen.Stderr();
    EXPECT_EQ(offscreen.Wait(kTimeoutMs), 0);
    EXPECT_EQ(std::count(offscreen.Lines().begin(), offscreen.Lines().end(), "timer 2"), 3);
}

// The time of the first frame goes only to a new file: an existing one, which may be a picture,
// stays as it was, and the program says why it wrote nothing.
TEST(SdlDisplayTest, TheFirstFrameTraceWritesOnlyANewFile) {
    const TempDir dir;
    const std::string existing = dir.Write("Robbe.bmp", {'B', 'M', 1, 2, 3});
    for (const std::string& trace : {dir.File("first-frame"), existing}) {
        ChildProcess probe({FLOEMAZE_SDL_PROBE, "--ticks", "2"},
                           {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER=offscreen",
                            "FLOEMAZE_TRACE_FIRST_FRAME=" + trace, kLeakOptions});
        ASSERT_TRUE(probe.Started());
        EXPECT_EQ(probe.Wait(kTimeoutMs), 0) << probe.Stderr();
    }
    const auto written = ReadFileBytes(dir.File("first-frame"));
    const std::string time(written.begin(), written.end());
    EXPECT_GT(std::atof(time.c_str()), 1.6e9) << time;
    EXPECT_EQ(time.back(), '\n');
    EXPECT_EQ(ReadFileBytes(existing), (std::vector<std::uint8_t>{'B', 'M', 1, 2, 3}));
}

// Losing the display ends the program at once with one line and exit status 1, without a signal
// or a hang: the server ended under it and its window killed with xkill, each while the program
// is idle and while a message box is open.
TEST(SdlDisplayTest, LosingTheDisplayEndsTheProgramWithOneLine) {
    if (!ProgramInPath("Xvfb") || !ProgramInPath("xdotool") || !ProgramInPath("xkill")) {
        GTEST_SKIP() << "needs Xvfb, xdotool and xkill (Debian packages xvfb, xdotool and "
                        "x11-utils, installed by tools/ensure-packages)";
    }
    for (const bool xkill : {false, true}) {
        for (const bool box : {false, true}) {
            SCOPED_TRACE(std::string(xkill ? "xkill" : "server ended") + (box ? ", box open" : ""));
            VirtualDisplay display;
            ASSERT_TRUE(display.Error().empty()) << display.Error();
            ChildProcess probe({FLOEMAZE_SDL_PROBE},
                               {display.Environment(), "SDL_VIDEODRIVER", kLeakOptions});
            ASSERT_TRUE(probe.WaitFor("ready", kTimeoutMs)) << probe.Stderr();
            const auto window =
                display.FindWindow(std::string("^") + probe::kWindowTitle + "$", kTimeoutMs);
            ASSERT_TRUE(window);
            if (box) {
                ASSERT_TRUE(display.Xdotool({"windowfocus", "--sync", *window}));
                ASSERT_TRUE(display.Xdotool({"key", "m"}));
                ASSERT_TRUE(probe.WaitFor("box open", kTimeoutMs));
                ASSERT_TRUE(display.FindWindow("^floemaze_sdl_probe$", kTimeoutMs));
            }
            if (xkill) {
                EXPECT_EQ(RunCommand({"xkill", "-id", *window}, kTimeoutMs, {display.Environment()})
                              .status,
                          0);
            } else {
                display.Kill();
            }
            EXPECT_EQ(probe.Wait(kTimeoutMs), 1);
            EXPECT_EQ(probe.Stderr(),
                      "floemaze_sdl_probe: the display went away (the connection to the X server "
                      "\"" +
                          display.Name() + "\" was lost); ending.\n");
        }
    }
}

// The probe on its own Xvfb, its window found and focused.
class SdlProbeTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ProgramInPath("Xvfb") || !ProgramInPath("xdotool") || !ProgramInPath("xwd")) {
            GTEST_SKIP() << "needs Xvfb, xdotool and xwd (Debian packages xvfb, xdotool and "
                            "x11-apps, installed by tools/ensure-packages)";
        }
        m_display = std::make_unique<VirtualDisplay>();
        ASSERT_TRUE(m_display->Error().empty()) << m_display->Error();
        m_probe = std::make_unique<ChildProcess>(
            std::vector<std::string>{FLOEMAZE_SDL_PROBE},
            std::vector<std::string>{m_display->Environment(), "SDL_VIDEODRIVER", kLeakOptions});
        ASSERT_TRUE(m_probe->WaitFor("ready", kTimeoutMs)) << m_probe->Stderr();
        const auto window =
            m_display->FindWindow(std::string("^") + probe::kWindowTitle + "$", kTimeoutMs);
        ASSERT_TRUE(window) << "the probe's window did not appear";
        m_window = *window;
        ASSERT_TRUE(m_probe->WaitFor("paint", kTimeoutMs));
        // Without a window manager nobody gives the new window the keyboard.
        ASSERT_TRUE(Xdo({"windowfocus", "--sync", m_window}));
        const auto geometry = m_display->WindowGeometry(m_window);
        ASSERT_TRUE(geometry);
        m_geometry = *geometry;
    }

    void TearDown() override {
        if (m_probe && HasFailure()) {
            std::string lines;
            for (const std::string& line : m_probe->Lines()) {
                if (line.rfind("timer", 0) != 0) lines += line + " | ";
            }
            ADD_FAILURE() << "probe said: " << lines << "\nstderr: " << m_probe->Stderr();
        }
    }

    bool Xdo(const std::vector<std::string>& args) { return m_display->Xdotool(args).has_value(); }
    // Moves the pointer to a point of the probe's client area (which may lie outside it).
    bool PointerTo(int x, int y) {
        return Xdo({"mousemove", "--sync", std::to_string(m_geometry.x + x),
                    std::to_string(m_geometry.y + y)});
    }
    std::optional<std::string> NextLine(const std::string& prefix) {
        return m_probe->WaitForLine([&](const std::string& l) { return l.rfind(prefix, 0) == 0; },
                                    kTimeoutMs);
    }
    // Polls the window's pixels until check accepts them.
    bool WaitForPixels(const std::string& window,
                       const std::function<bool(const Screenshot&)>& check) {
        std::string error;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            const auto shot = CaptureWindow(*m_display, window, error);
            if (shot && check(*shot)) return true;
            m_probe->Drain();
            usleep(20000);
        }
        return false;
    }

    std::unique_ptr<VirtualDisplay> m_display;
    std::unique_ptr<ChildProcess> m_probe;
    std::string m_window;
    VirtualDisplay::Geometry m_geometry;
};

TEST_F(SdlProbeTest, WindowIsCaptionless700x500AndKeysArriveAsVirtualKeyCodes) {
    EXPECT_EQ(m_geometry.width, 700);
    EXPECT_EQ(m_geometry.height, 500);
    ASSERT_TRUE(Xdo({"key", "--delay", "5", "Left", "Up", "Right", "Down", "End", "Home", "Return",
                     "space", "Escape", "a", "KP_Up"}));
    std::vector<std::string> keys;
    while (keys.size() < 11) {
        const auto line = NextLine("key ");
        ASSERT_TRUE(line) << "only " << keys.size() << " keys arrived";
        keys.push_back(*line);
    }
    EXPECT_EQ(keys,
              (std::vector<std::string>{"key 37", "key 38", "key 39", "key 40", "key 35", "key 36",
                                        "key 13", "key 32", "key 27", "key 65", "key 38"}));
    // Alt+F4 closes the window as the system menu's close command does: the dialog is cancelled.
    ASSERT_TRUE(Xdo({"key", "alt+F4"}));
    EXPECT_TRUE(m_probe->WaitFor("syscommand 61536", kTimeoutMs));
    EXPECT_TRUE(m_probe->WaitFor("end 2", kTimeoutMs));
    EXPECT_EQ(m_probe->Wait(kTimeoutMs), 0);
}

TEST_F(SdlProbeTest, TimersTickUnderAMessageBoxThatTakesAllInputAndClosesWithEnter) {
    ASSERT_TRUE(Xdo({"key", "m"}));
    ASSERT_TRUE(m_probe->WaitFor("box open", kTimeoutMs));
    // The box is a window of its own, captioned with the program's name, centred on the game's.
    const auto box = m_display->FindWindow("^floemaze_sdl_probe$", kTimeoutMs);
    ASSERT_TRUE(box) << "no message box window";
    const auto boxGeometry = m_display->WindowGeometry(*box);
    ASSERT_TRUE(boxGeometry);
    EXPECT_NEAR(boxGeometry->x + boxGeometry->width / 2, m_geometry.x + 350, 1);
    EXPECT_NEAR(boxGeometry->y + boxGeometry->height / 2, m_geometry.y + 250, 1);

    // Both timers go on while the box is open.
    int fast = 0;
    int slow = 0;
    while (fast < 10 || slow < 3) {
        const auto line = NextLine("timer ");
        ASSERT_TRUE(line) << "timers stopped under the box: " << fast << " and " << slow;
        (*line == "timer 2" ? fast : slow) += 1;
    }
    // A click and a key on the game window do not reach it while the box is open, and the
    // keyboard given to the game window goes on to the box.
    ASSERT_TRUE(PointerTo(50, 50));
    ASSERT_TRUE(Xdo({"click", "1"}));
    ASSERT_TRUE(Xdo({"key", "--window", m_window, "Left"}));
    ASSERT_TRUE(Xdo({"windowfocus", m_window}));
    bool boxFocused = false;
    for (int tries = 0; tries < 250 && !boxFocused; ++tries) {
        const auto focus = m_display->Xdotool({"getwindowfocus"});
        boxFocused = focus && focus->substr(0, focus->find('\n')) == *box;
        if (!boxFocused) usleep(20000);
    }
    EXPECT_TRUE(boxFocused) << "the box did not take the keyboard back";
    // The box shows its text: dark pixels on its white area.
    EXPECT_TRUE(WaitForPixels(*box, [](const Screenshot& shot) {
        return std::count_if(shot.pixels.begin(), shot.pixels.end(),
                             [](std::uint32_t p) { return (p & 0xFF) < 80; }) > 200;
    }));
    ASSERT_TRUE(Xdo({"key", "Return"}));
    ASSERT_TRUE(m_probe->WaitFor("box closed 1", kTimeoutMs));
    for (const std::string& line : m_probe->Lines()) {
        EXPECT_TRUE(line.rfind("down", 0) != 0 && line.rfind("up", 0) != 0 &&
                    line.rfind("key 37", 0) != 0)
            << "input reached the window under the box: " << line;
    }
    // The keyboard is back with the game window.
    ASSERT_TRUE(Xdo({"key", "Right"}));
    EXPECT_TRUE(m_probe->WaitFor("key 39", kTimeoutMs));

    // A second box closes with a click on OK, at the right of the strip along its bottom.
    ASSERT_TRUE(Xdo({"key", "m"}));
    ASSERT_TRUE(m_probe->WaitFor("box open", kTimeoutMs));
    const auto second = m_display->FindWindow("^floemaze_sdl_probe$", kTimeoutMs);
    ASSERT_TRUE(second);
    const auto g = m_display->WindowGeometry(*second);
    ASSERT_TRUE(g);
    ASSERT_TRUE(Xdo({"mousemove", "--sync", std::to_string(g->x + g->width - 56),
                     std::to_string(g->y + g->height - 22)}));
    ASSERT_TRUE(Xdo({"click", "1"}));
    EXPECT_TRUE(m_probe->WaitFor("box closed 1", kTimeoutMs));
}

TEST_F(SdlProbeTest, AVirtualGamepadAndAFingerReachTheWindowAsKeysAndPointer) {
    // The gamepad, plugged in while the window runs: the d-pad held left steers with repeats, the
    // south button presses Return (a new game), west and north End (help), Start Tab (options),
    // the stick steers; B, Back and Guide give nothing.
    ASSERT_TRUE(Xdo({"key", "g"}));
    ASSERT_TRUE(m_probe->WaitFor("gamepad attached", kTimeoutMs));
    ASSERT_TRUE(m_probe->WaitFor("gamepad done", kTimeoutMs));
    std::vector<std::string> keys;
    int repeats = 0;
    bool attached = false;
    for (const std::string& line : m_probe->Lines()) {
        attached = attached || line == "gamepad attached";
        if (!attached || line.rfind("key ", 0) != 0) continue;
        if (line == "key 37 repeat") {
            ++repeats;
        } else {
            keys.push_back(line);
        }
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"key 37", "key 13", "key 35", "key 35", "key 9",
                                              "key 39"}));
    // Held for 24 ticks of 40 ms or more, half a second of it the delay before the repeats.
    EXPECT_GE(repeats, 3);

    // A finger is the pointer with the left button held; a second one meanwhile is nothing.
    ASSERT_TRUE(Xdo({"key", "t"}));
    ASSERT_TRUE(m_probe->WaitFor("fingers pushed", kTimeoutMs));
    ASSERT_TRUE(m_probe->WaitFor("up 280 250", kTimeoutMs));
    std::vector<std::string> pointer;
    for (const std::string& line : m_probe->Lines()) {
        if (line.rfind("down", 0) == 0 || line.rfind("drag", 0) == 0 || line.rfind("up", 0) == 0) {
            pointer.push_back(line);
        }
    }
    EXPECT_EQ(pointer, (std::vector<std::string>{"down 140 200", "drag 280 250", "up 280 250"}));
}

TEST_F(SdlProbeTest, ReleaseOutsideTheWindowArrives) {
    ASSERT_TRUE(PointerTo(100, 300));
    ASSERT_TRUE(Xdo({"mousedown", "1"}));
    EXPECT_TRUE(m_probe->WaitFor("down 100 300", kTimeoutMs));
    ASSERT_TRUE(PointerTo(-60, 320));
    ASSERT_TRUE(Xdo({"mouseup", "1"}));
    EXPECT_TRUE(m_probe->WaitFor("up -60 320", kTimeoutMs));
}

TEST_F(SdlProbeTest, DraggingTheBackgroundMovesTheWindow) {
    ASSERT_TRUE(PointerTo(500, 250));
    ASSERT_TRUE(Xdo({"mousedown", "1"}));
    ASSERT_TRUE(m_probe->WaitFor("down 500 250", kTimeoutMs));
    for (int step = 1; step <= 4; ++step) ASSERT_TRUE(PointerTo(500 + step * 10, 250 + step * 6));
    ASSERT_TRUE(Xdo({"mouseup", "1"}));
    VirtualDisplay::Geometry now;
    for (int tries = 0; tries < 100; ++tries) {
        now = m_display->WindowGeometry(m_window).value_or(now);
        if (now.x == m_geometry.x + 40 && now.y == m_geometry.y + 24) break;
        usleep(20000);
    }
    EXPECT_EQ(now.x, m_geometry.x + 40);
    EXPECT_EQ(now.y, m_geometry.y + 24);
    // The release that ends a move belongs to the move, not to the window.
    ASSERT_TRUE(Xdo({"key", "a"}));
    ASSERT_TRUE(m_probe->WaitFor("key 65", kTimeoutMs));
    for (const std::string& line : m_probe->Lines()) EXPECT_NE(line.rfind("up ", 0), 0u) << line;
}

// Pixels of the probe's test pattern that the window does not show as drawn; reports the first
// few when report is set.
int PatternMismatches(const Screenshot& shot, bool report) {
    int wrong = 0;
    const RECT r = probe::kPattern;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            const COLORREF c = probe::PatternAt(x - r.left, y - r.top);
            const std::uint32_t expected = static_cast<std::uint32_t>(GetRValue(c)) << 16 |
                                           static_cast<std::uint32_t>(GetGValue(c)) << 8 |
                                           GetBValue(c);
            if (shot.At(x, y) != expected && ++wrong <= 3 && report) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << shot.At(x, y)
                              << ", expected " << expected;
            }
        }
    }
    return wrong;
}

TEST_F(SdlProbeTest, PresentedRectangleShowsExactlyTheMemoryImage) {
    ASSERT_TRUE(Xdo({"key", "p"}));
    ASSERT_TRUE(m_probe->WaitFor("presented", kTimeoutMs));
    std::string error;
    const auto shot = CaptureWindow(*m_display, m_window, error);
    ASSERT_TRUE(shot) << error;
    ASSERT_EQ(shot->width, 700);
    ASSERT_EQ(shot->height, 500);
    EXPECT_EQ(PatternMismatches(*shot, true), 0);
    // Around it the background is untouched.
    const RECT r = probe::kPattern;
    const std::uint32_t background = 0x1E3C5A;
    EXPECT_EQ(shot->At(r.left - 1, r.top), background);
    EXPECT_EQ(shot->At(r.right, r.bottom - 1), background);
    EXPECT_EQ(shot->At(r.left, r.bottom), background);
}

TEST_F(SdlProbeTest, AClosedMenuGivesBackWhatLayUnderIt) {
    ASSERT_TRUE(Xdo({"key", "p"}));
    ASSERT_TRUE(m_probe->WaitFor("presented", kTimeoutMs));
    const auto paints = [&] {
        return std::count(m_probe->Lines().begin(), m_probe->Lines().end(), "paint");
    };
    const auto paintsBefore = paints();
    // Opened over the pattern, the menu hides part of it; the ticks go on drawing meanwhile.
    ASSERT_TRUE(PointerTo(120, 100));
    ASSERT_TRUE(Xdo({"click", "3"}));
    ASSERT_TRUE(WaitForPixels(m_window, [](const Screenshot& shot) {
        return shot.At(121, 101) == 0xF2F2F2 && PatternMismatches(shot, false) > 1000;
    })) << "no menu over the pattern";
    for (int tick = 0; tick < 5; ++tick) ASSERT_TRUE(NextLine("timer 2"));
    // Closed, it leaves the pattern and the background as they were, without a repaint.
    ASSERT_TRUE(Xdo({"key", "Escape"}));
    EXPECT_TRUE(WaitForPixels(m_window, [](const Screenshot& shot) {
        return PatternMismatches(shot, false) == 0 && shot.At(99, 79) == 0x1E3C5A &&
               shot.At(261, 201) == 0x1E3C5A;
    })) << "the menu left traces";
    std::string error;
    const auto shot = CaptureWindow(*m_display, m_window, error);
    ASSERT_TRUE(shot) << error;
    EXPECT_EQ(PatternMismatches(*shot, true), 0);
    EXPECT_EQ(paints(), paintsBefore);
}

TEST_F(SdlProbeTest, SystemMenuFromKeyboardOpensAboutBoxAndFromPointerCloses) {
    // Alt+Space opens the menu; I is the underlined letter of the About entry.
    ASSERT_TRUE(Xdo({"key", "alt+space"}));
    EXPECT_TRUE(WaitForPixels(m_window, [](const Screenshot& shot) {
        return shot.At(1, 1) == 0xF2F2F2;  // the menu's face inside its frame
    }));
    ASSERT_TRUE(Xdo({"key", "i"}));
    ASSERT_TRUE(m_probe->WaitFor("syscommand 16", kTimeoutMs));
    const auto about = m_display->FindWindow("^Info .+ber Icepup$", kTimeoutMs);
    ASSERT_TRUE(about) << "no About box";
    const auto aboutGeometry = m_display->WindowGeometry(*about);
    ASSERT_TRUE(aboutGeometry);
    // 235 × 55 dialog units at the shell font's base units (6 × 13 pixels).
    EXPECT_EQ(aboutGeometry->width, 352);
    EXPECT_EQ(aboutGeometry->height, 89);
    EXPECT_TRUE(WaitForPixels(*about, [](const Screenshot& shot) {
        return std::count_if(shot.pixels.begin(), shot.pixels.end(),
                             [](std::uint32_t p) { return (p & 0xFF) < 80; }) > 100;
    }));
    ASSERT_TRUE(Xdo({"key", "Escape"}));
    ASSERT_TRUE(m_probe->WaitFor("about 2", kTimeoutMs));

    // A right click opens the menu at the pointer; a click on "Schließen" closes the window.
    ASSERT_TRUE(PointerTo(40, 40));
    ASSERT_TRUE(Xdo({"click", "3"}));
    const int closeY = 40 + platform::PopupMenu::kBorder + platform::PopupMenu::kItemHeight +
                       platform::PopupMenu::kItemHeight / 2;
    EXPECT_TRUE(WaitForPixels(m_window,
                              [](const Screenshot& shot) { return shot.At(41, 41) == 0xF2F2F2; }));
    ASSERT_TRUE(PointerTo(90, closeY));
    ASSERT_TRUE(Xdo({"click", "1"}));
    EXPECT_TRUE(m_probe->WaitFor("syscommand 61536", kTimeoutMs));
    EXPECT_TRUE(m_probe->WaitFor("end 2", kTimeoutMs));
    EXPECT_EQ(m_probe->Wait(kTimeoutMs), 0);
}

}  // namespace
