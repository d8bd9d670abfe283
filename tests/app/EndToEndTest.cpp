// SPDX-License-Identifier: GPL-3.0-or-later
// The game program itself on a real X server: started from the build in a folder with the drawn
// pictures, driven with xdotool, its windows read back with xwd. What its window shows is compared
// with the same window drawn in this process by the headless backend from the same pictures.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/FloemazeDlg.h"
#include "lang/Language.h"
#include "platform/Backend.h"
#include "platform/Scaling.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/Resources.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GameImages.h"
#include "tests/support/XServer.h"

namespace {

namespace headless = platform::headless;
using Clock = std::chrono::steady_clock;

constexpr int kTimeoutMs = 10000;
// A walk home in help mode takes 240 ms a field; the longest way a maze of 400 fields can have
// is far shorter than this.
constexpr int kWalkTimeoutMs = 90000;
// What the libraries below SDL leak is not the program's.
const std::string kLeakOptions = std::string("LSAN_OPTIONS=") + FLOEMAZE_GAME_LSAN;

// Client points with the control column at the left and the panel closed.
constexpr POINT kStartButton{100, 150};
constexpr POINT kOptionsButton{100, 210};
// Background below the exit button: a press there moves the window.
constexpr POINT kBackground{100, 320};
// A start tile, whichever side the column is on: hovering there changes nothing, and no sliding
// button passes under it.
constexpr POINT kRest{350, 250};
// The middle of the radio buttons while the panel shows (their corners are clear), with the
// column at the left and at the right.
constexpr POINT kRadioRight{113, 269};
constexpr POINT kRadioLeftOnTheRight{533, 269};

std::uint32_t Rgb(COLORREF c) {
    return static_cast<std::uint32_t>(GetRValue(c)) << 16 |
           static_cast<std::uint32_t>(GetGValue(c)) << 8 | GetBValue(c);
}

bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// What the window must show: fixed pixels, except in the areas of the pictures that the 150 ms
// timer animates (the logo and the seal picture), each of which must show one of its frames
// whole; pixels in ignored areas are not looked at.
struct Expected {
    struct Animated {
        RECT area;
        std::vector<Screenshot> frames;
    };
    Screenshot still;
    std::vector<Animated> animated;
    std::vector<RECT> ignored;
};

// Why shot differs from what is expected, or empty when it does not.
std::string Differences(const Screenshot& shot, const Expected& expected) {
    const Screenshot& still = expected.still;
    if (shot.width != still.width || shot.height != still.height) {
        return "window is " + std::to_string(shot.width) + " x " + std::to_string(shot.height);
    }
    const auto ignored = [&](int x, int y) {
        return std::any_of(expected.ignored.begin(), expected.ignored.end(),
                           [&](const RECT& r) { return Inside(r, x, y); });
    };
    const auto animated = [&](int x, int y) {
        return std::any_of(expected.animated.begin(), expected.animated.end(),
                           [&](const Expected::Animated& a) { return Inside(a.area, x, y); });
    };
    std::ostringstream why;
    int wrong = 0;
    for (int y = 0; y < still.height; ++y) {
        for (int x = 0; x < still.width; ++x) {
            if (shot.At(x, y) == still.At(x, y) || ignored(x, y) || animated(x, y)) continue;
            if (++wrong <= 3) {
                why << "(" << x << ", " << y << ") is " << std::hex << shot.At(x, y)
                    << ", expected " << still.At(x, y) << std::dec << "; ";
            }
        }
    }
    if (wrong > 0) why << wrong << " pixels differ; ";
    for (const Expected::Animated& a : expected.animated) {
        const bool anyFrame =
            std::any_of(a.frames.begin(), a.frames.end(), [&](const Screenshot& frame) {
                for (int y = std::max(0, a.area.top); y < std::min(a.area.bottom, shot.height);
                     ++y) {
                    for (int x = std::max(0, a.area.left); x < std::min(a.area.right, shot.width);
                         ++x) {
                        if (shot.At(x, y) != frame.At(x, y) && !ignored(x, y)) return false;
                    }
                }
                return true;
            });
        if (!anyFrame) {
            why << "the area at (" << a.area.left << ", " << a.area.top
                << ") shows none of its frames; ";
        }
    }
    return why.str();
}

// A screenshot's pixels as a 32-bit surface, for the scaler.
platform::Bitmap Over(Screenshot& shot) {
    return platform::PixelsAsBitmap(shot.pixels.data(), shot.width, shot.height,
                                    static_cast<std::size_t>(shot.width) * 4);
}

// A client-sized picture as the screen shows it in view.
Screenshot ScaledShot(Screenshot shot, const platform::ScreenView& view) {
    Screenshot scaled;
    scaled.width = view.screenWidth;
    scaled.height = view.screenHeight;
    scaled.pixels.assign(static_cast<std::size_t>(scaled.width) * scaled.height, 0);
    platform::Bitmap target = Over(scaled);
    platform::ScaleRect(Over(shot), target, view, RECT{0, 0, view.width, view.height});
    return scaled;
}

// What a window shown in view must show: the expected picture put through the same scaler,
// every area on the screen where its pixels are; the border is not looked at.
Expected ScaledExpected(const Expected& expected, const platform::ScreenView& view) {
    Expected scaled;
    scaled.still = ScaledShot(expected.still, view);
    for (const Expected::Animated& animated : expected.animated) {
        Expected::Animated area{platform::ToScreen(view, animated.area), {}};
        for (const Screenshot& frame : animated.frames) {
            area.frames.push_back(ScaledShot(frame, view));
        }
        scaled.animated.push_back(std::move(area));
    }
    for (const RECT& ignored : expected.ignored) {
        scaled.ignored.push_back(platform::ToScreen(view, ignored));
    }
    const RECT& t = view.target;
    for (const RECT& band : {RECT{0, 0, view.screenWidth, t.top},
                             RECT{0, t.bottom, view.screenWidth, view.screenHeight},
                             RECT{0, 0, t.left, view.screenHeight},
                             RECT{t.right, 0, view.screenWidth, view.screenHeight}}) {
        if (!IsRectEmpty(&band)) scaled.ignored.push_back(band);
    }
    return scaled;
}

// The client pixels of a window shown in view, one screen pixel of each.
Screenshot ClientPixels(const Screenshot& shot, const platform::ScreenView& view) {
    Screenshot client;
    client.width = view.width;
    client.height = view.height;
    for (int y = 0; y < view.height; ++y) {
        for (int x = 0; x < view.width; ++x) {
            const RECT at = platform::ToScreen(view, RECT{x, y, x + 1, y + 1});
            client.pixels.push_back(shot.At(at.left, at.top));
        }
    }
    return client;
}

// How many of the 50 × 50 blocks of the start picture in the board area of shot still show
// (nine of ten of their pixels) what they show in start.
int StartTilesInPlace(const Screenshot& shot, const Screenshot& start, int boardLeft) {
    int inPlace = 0;
    for (int by = 0; by < 500; by += 50) {
        for (int bx = boardLeft; bx < boardLeft + 500; bx += 50) {
            int same = 0;
            for (int y = by; y < by + 50; ++y) {
                for (int x = bx; x < bx + 50; ++x) same += shot.At(x, y) == start.At(x, y);
            }
            if (same * 10 >= 50 * 50 * 9) ++inPlace;
        }
    }
    return inPlace;
}

// The game window drawn by the headless backend from the pictures in the current directory:
// the window of the program under test must show the same.
class HeadlessTwin {
public:
    HeadlessTwin() {
        res::RegisterResources();
        headless::Use();
        m_opened = m_dlg.Open() != FALSE;
        platform::DrainQueue();
    }

    bool Opened() const { return m_opened; }
    void Click(POINT p) { headless::Click(m_dlg, p.x, p.y); }
    void PointerTo(POINT p) { headless::MouseMove(m_dlg, p.x, p.y); }
    // Enough 40 ms ticks for the panel to open or close.
    void Settle() {
        for (int i = 0; i < 40; ++i) headless::FireTimer(m_dlg, 2);
    }

    // What the window shows now, and each frame of the logo and of the seal picture in place.
    Expected Expect(std::vector<RECT> ignored = {}) {
        Expected expected;
        expected.still = Shot();
        expected.ignored = std::move(ignored);
        expected.animated.push_back(Frames(m_dlg.m_logo, 8));
        expected.animated.push_back(Frames(m_dlg.m_sealPicture, 6));
        return expected;
    }

private:
    // The back buffer after a paint, which is what the paint put on the window.
    Screenshot Shot() {
        headless::Paint(m_dlg);
        Screenshot shot;
        shot.width = m_dlg.m_backBuffer.GetWidth();
        shot.height = m_dlg.m_backBuffer.GetHeight();
        for (int y = 0; y < shot.height; ++y) {
            for (int x = 0; x < shot.width; ++x) {
                shot.pixels.push_back(Rgb(PixelAt(m_dlg.m_backBuffer, x, y)));
            }
        }
        return shot;
    }

    Expected::Animated Frames(CSprite& sprite, int rows) {
        Expected::Animated animated;
        sprite.GetRect(&animated.area);
        const int row = sprite.m_nFrameRow;
        for (int r = 0; r < rows; ++r) {
            sprite.SetFrame(0, r);
            animated.frames.push_back(Shot());
        }
        sprite.SetFrame(0, row);
        Shot();
        return animated;
    }

    CFloemazeDlg m_dlg;
    bool m_opened = false;
};

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ProgramInPath("Xvfb") || !ProgramInPath("xdotool") || !ProgramInPath("xwd")) {
            GTEST_SKIP() << "needs Xvfb, xdotool and xwd (Debian packages xvfb, xdotool and "
                            "x11-apps, installed by tools/ensure-packages)";
        }
        m_display = std::make_unique<VirtualDisplay>();
        ASSERT_TRUE(m_display->Error().empty()) << m_display->Error();
    }

    void TearDown() override {
        if (m_game && HasFailure()) ADD_FAILURE() << "the game's stderr: " << m_game->Stderr();
        EndGame();
        lang::Use(lang::kGerman, {});
    }
    // Ends the game if it still runs; it goes before the folder it runs in, and the folder goes
    // back to where it was made from before the next one is made.
    void EndGame() {
        m_game.reset();
        m_twin.reset();
        m_folder.reset();
    }

    // Starts the game from a folder with copies of the drawn pictures but those missing; the
    // folder is this process's current directory too, where the headless twin finds them.
    void Start(std::initializer_list<GameImage> missing = {},
               std::initializer_list<std::string> arguments = {},
               std::vector<std::string> environment = {}) {
        m_folder = std::make_unique<GameFolder>(FLOEMAZE_ASSET_DIR, missing);
        m_twin = std::make_unique<HeadlessTwin>();
        StartGame(std::move(environment), arguments);
    }
    // The same with everything the game needs in language: its pictures and its catalogue. The
    // game finds them as gettext finds the language, by LANGUAGE; the twin is told.
    void StartIn(const std::string& language) {
        m_folder =
            std::make_unique<GameFolder>(FLOEMAZE_ASSET_DIR, std::initializer_list<GameImage>{});
        const std::filesystem::path from(FLOEMAZE_ASSET_DIR);
        std::filesystem::copy(from / language, language);
        std::filesystem::copy(lang::CatalogueFolder(from), lang::CatalogueFolder("."),
                              std::filesystem::copy_options::recursive);
        lang::Use(language, lang::CatalogueFolder("."));
        m_twin = std::make_unique<HeadlessTwin>();
        StartGame({"LANGUAGE=" + language, "LC_ALL=C.UTF-8"});
    }
    // The game's language comes from environment alone: the twin's choice of language set
    // LANGUAGE in this process too. The scale comes from arguments alone.
    void StartGame(std::vector<std::string> environment,
                   std::initializer_list<std::string> arguments = {}) {
        environment.insert(environment.begin(),
                           {"LANGUAGE", "FLOEMAZE_SCALE", "FLOEMAZE_SDL_SURFACE"});
        environment.insert(environment.end(),
                           {m_display->Environment(), "SDL_VIDEODRIVER", kLeakOptions});
        std::vector<std::string> command{FLOEMAZE_GAME};
        command.insert(command.end(), arguments.begin(), arguments.end());
        m_game = std::make_unique<ChildProcess>(command, environment);
        ASSERT_TRUE(m_game->Started());
    }

    // The game's visible windows, by X id.
    std::vector<std::string> GameWindows() const {
        const auto out =
            m_display->Xdotool({"search", "--onlyvisible", "--pid", std::to_string(m_game->Pid())});
        std::vector<std::string> ids;
        std::istringstream lines(out.value_or(""));
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty()) ids.push_back(line);
        }
        return ids;
    }
    std::string WindowName(const std::string& window) const {
        const auto out = m_display->Xdotool({"getwindowname", window});
        return out ? out->substr(0, out->find('\n')) : std::string();
    }
    // The captionless game window, once it shows as large as the view it is expected in.
    std::optional<std::string> GameWindow() const {
        for (const std::string& id : GameWindows()) {
            const auto g = m_display->WindowGeometry(id);
            if (g && g->width == m_view.screenWidth && g->height == m_view.screenHeight &&
                WindowName(id) != "floemaze") {
                return id;
            }
        }
        return std::nullopt;
    }
    // A message box: a window of its own, captioned with the program's name.
    std::optional<std::string> MessageBox() const {
        for (const std::string& id : GameWindows()) {
            if (WindowName(id) == "floemaze") return id;
        }
        return std::nullopt;
    }
    bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < deadline) {
            if (done()) return true;
            if (m_game->Wait(0) >= 0) return done();
            usleep(20000);
        }
        return false;
    }
    std::optional<std::string> WaitForWindow(
        const std::function<std::optional<std::string>()>& find, int timeoutMs) {
        std::optional<std::string> found;
        WaitUntil([&] { return (found = find()).has_value(); }, timeoutMs);
        return found;
    }
    bool Gone(const std::string& window) const {
        const auto ids = GameWindows();
        return std::find(ids.begin(), ids.end(), window) == ids.end();
    }

    // Finds the game window and gives it the keyboard, which no window manager does here.
    void TakeGameWindow() {
        const auto window = WaitForWindow([this] { return GameWindow(); }, kTimeoutMs);
        ASSERT_TRUE(window) << "the game window did not appear";
        m_window = *window;
        ASSERT_TRUE(Xdo({"windowfocus", "--sync", m_window}));
        UpdateGeometry();
    }
    void UpdateGeometry() {
        const auto geometry = m_display->WindowGeometry(m_window);
        ASSERT_TRUE(geometry);
        m_geometry = *geometry;
    }

    bool Xdo(const std::vector<std::string>& args) { return m_display->Xdotool(args).has_value(); }
    // Moves the pointer to a point of the screen; xdotool's --sync would wait for a motion that
    // never comes if the pointer is there already.
    bool PointerToScreen(int x, int y) {
        if (m_pointer && m_pointer->x == x && m_pointer->y == y) return true;
        m_pointer = POINT{x, y};
        return Xdo({"mousemove", "--sync", std::to_string(x), std::to_string(y)});
    }
    // The same with a point of the game window's client area: the middle of its pixel on the
    // screen.
    bool PointerTo(POINT p) {
        const RECT shown = platform::ToScreen(m_view, RECT{p.x, p.y, p.x + 1, p.y + 1});
        return PointerToScreen(m_geometry.x + (shown.left + shown.right) / 2,
                               m_geometry.y + (shown.top + shown.bottom) / 2);
    }
    // A click, and the pointer moved on to rest, so that no button shows its hover or pressed
    // look afterwards.
    bool Click(POINT p) { return PointerTo(p) && Xdo({"click", "1"}) && PointerTo(kRest); }

    std::optional<Screenshot> Capture(const std::string& window) {
        std::string error;
        return CaptureWindow(*m_display, window, error);
    }
    // Polls the game window until it shows what is expected; the last difference otherwise.
    std::string WaitForPicture(const Expected& expected, int timeoutMs = kTimeoutMs) {
        std::string why = "no capture of the window";
        WaitUntil(
            [&] {
                const auto shot = Capture(m_window);
                if (shot) why = Differences(*shot, expected);
                return shot && why.empty();
            },
            timeoutMs);
        return why;
    }
    // Whether the game window comes to stand (dx, dy) from where it stood.
    bool MovedBy(int dx, int dy) {
        return WaitUntil(
            [&] {
                const auto g = m_display->WindowGeometry(m_window);
                return g && g->x == m_geometry.x + dx && g->y == m_geometry.y + dy;
            },
            kTimeoutMs);
    }
    // A virtual X server with a screen of that size in place of the usual one.
    void UseScreen(const std::string& screen) {
        m_display = std::make_unique<VirtualDisplay>(-1, screen);
        ASSERT_TRUE(m_display->Error().empty()) << m_display->Error();
    }
    // The system menu from the keyboard (its face shows at (face, face), inside its frame), its
    // About entry by its letter; Enter closes the box.
    void AboutBoxFromTheKeyboard(int face) {
        ASSERT_TRUE(Xdo({"key", "alt+space"}));
        EXPECT_TRUE(WaitUntil(
            [&] {
                const auto shot = Capture(m_window);
                return shot && shot->At(face, face) == 0xF2F2F2;
            },
            kTimeoutMs))
            << "no system menu";
        ASSERT_TRUE(Xdo({"key", "i"}));
        const auto about = m_display->FindWindow("^Info .+ber Icepup$", kTimeoutMs);
        ASSERT_TRUE(about) << "no About box";
        EXPECT_TRUE(ShowsText(*about, 100)) << "the About box shows no text";
        ASSERT_TRUE(Xdo({"key", "Return"}));
        EXPECT_TRUE(WaitUntil([&] { return Gone(*about); }, kTimeoutMs)) << "the About box stayed";
    }
    // Waits until no block of the start picture is left in the board area of the game window
    // (read back in its client pixels); says how many are left otherwise.
    std::string WaitForStartPictureGone(const Expected& start) {
        int inPlace = 100;
        const bool gone = WaitUntil(
            [&] {
                const auto shot = Capture(m_window);
                return shot && (inPlace = StartTilesInPlace(ClientPixels(*shot, m_view),
                                                            start.still, 200)) == 0;
            },
            kTimeoutMs);
        return gone ? "" : std::to_string(inPlace) + " tiles of the start picture are in place";
    }
    // Whether window shows text: dark pixels on its light face.
    bool ShowsText(const std::string& window, int darkPixels) {
        return WaitUntil(
            [&] {
                const auto shot = Capture(window);
                return shot &&
                       std::count_if(shot->pixels.begin(), shot->pixels.end(),
                                     [](std::uint32_t p) { return (p & 0xFF) < 80; }) > darkPixels;
            },
            kTimeoutMs);
    }

    // The program has ended by itself with status 0 and no sanitizer finding.
    void ExpectCleanEnd() {
        EXPECT_EQ(m_game->Wait(kTimeoutMs), 0);
        const std::string err = m_game->Stderr();
        EXPECT_EQ(err.find("Sanitizer"), std::string::npos) << err;
        EXPECT_EQ(err.find("runtime error"), std::string::npos) << err;
    }

    std::unique_ptr<VirtualDisplay> m_display;
    std::unique_ptr<GameFolder> m_folder;
    std::unique_ptr<HeadlessTwin> m_twin;
    std::unique_ptr<ChildProcess> m_game;
    std::string m_window;
    VirtualDisplay::Geometry m_geometry;
    std::optional<POINT> m_pointer;
    // How the game window shows its 700 × 500 pixels on the screen.
    platform::ScreenView m_view = platform::ScreenView::Scaled(700, 500, 1);
};

TEST_F(EndToEndTest, StartScreenPanelSidesAboutBoxMoveAndAltF4) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(m_twin->Opened());
    const Expected start = m_twin->Expect();
    ASSERT_NO_FATAL_FAILURE(TakeGameWindow());
    EXPECT_EQ(m_geometry.width, 700);
    EXPECT_EQ(m_geometry.height, 500);
    // The window offers its icon at every size it has, for task bars and switchers to choose.
    if (ProgramInPath("xprop")) {
        const auto icon = RunCommand({"xprop", "-id", m_window, "_NET_WM_ICON"}, kTimeoutMs,
                                     {m_display->Environment()});
        for (const char* size : {"48 x 48", "32 x 32", "16 x 16"}) {
            EXPECT_NE(icon.out.find(size), std::string::npos) << size << "\n" << icon.err;
        }
    }

    // The first paint: exactly the headless back buffer, pixel for pixel. The 150 ms timer
    // animates the logo from its second tick and the seal picture from its eleventh, so by the
    // time of the capture each of their areas must show one of their frames whole; nothing else
    // on the start screen moves.
    EXPECT_EQ(WaitForPicture(start), "");

    // The options panel opens; a radio button moves the column to the right and back.
    ASSERT_TRUE(Click(kOptionsButton));
    m_twin->Click(kOptionsButton);
    m_twin->PointerTo(kRest);
    m_twin->Settle();
    EXPECT_EQ(WaitForPicture(m_twin->Expect()), "") << "panel open";

    ASSERT_TRUE(Click(kRadioRight));
    m_twin->Click(kRadioRight);
    m_twin->PointerTo(kRest);
    EXPECT_EQ(WaitForPicture(m_twin->Expect()), "") << "column at the right";

    ASSERT_TRUE(Click(kRadioLeftOnTheRight));
    m_twin->Click(kRadioLeftOnTheRight);
    m_twin->PointerTo(kRest);
    EXPECT_EQ(WaitForPicture(m_twin->Expect()), "") << "column back at the left";

    ASSERT_TRUE(Click(kOptionsButton));
    m_twin->Click(kOptionsButton);
    m_twin->PointerTo(kRest);
    m_twin->Settle();
    EXPECT_EQ(WaitForPicture(start), "") << "panel closed";

    ASSERT_NO_FATAL_FAILURE(AboutBoxFromTheKeyboard(1));
    EXPECT_EQ(WaitForPicture(start), "") << "after the About box";

    // Dragging the background moves the window along with the pointer, and the window shows
    // the same afterwards.
    ASSERT_TRUE(PointerTo(kBackground));
    ASSERT_TRUE(Xdo({"mousedown", "1"}));
    for (int step = 1; step <= 4; ++step) {
        ASSERT_TRUE(PointerToScreen(m_geometry.x + kBackground.x + step * 10,
                                    m_geometry.y + kBackground.y + step * 6));
        EXPECT_TRUE(MovedBy(step * 10, step * 6)) << "the window does not follow, step " << step;
    }
    ASSERT_TRUE(Xdo({"mouseup", "1"}));
    EXPECT_TRUE(MovedBy(40, 24)) << "the window did not stay where it was dropped";
    ASSERT_NO_FATAL_FAILURE(UpdateGeometry());
    EXPECT_EQ(WaitForPicture(start), "") << "after the move";

    // Pressed again where it was dropped, without a motion in between, dragged partly off the
    // screen and back: the window neither jumps nor loses the part that was off.
    const VirtualDisplay::Geometry dropped = m_geometry;
    ASSERT_TRUE(Xdo({"mousedown", "1"}));
    const int y = dropped.y + kBackground.y;
    ASSERT_TRUE(PointerToScreen(0, y));
    EXPECT_TRUE(MovedBy(-dropped.x - kBackground.x, 0)) << "the window did not follow to the edge";
    ASSERT_TRUE(PointerToScreen(dropped.x + kBackground.x, y));
    ASSERT_TRUE(Xdo({"mouseup", "1"}));
    EXPECT_TRUE(MovedBy(0, 0)) << "the window did not come back";
    EXPECT_EQ(WaitForPicture(start), "") << "after a move off the screen and back";

    // Alt+F4 ends the program normally, and nothing leaks.
    ASSERT_TRUE(Xdo({"key", "alt+F4"}));
    ExpectCleanEnd();
}

// The column between the start picture and the separator, whose order among their equal depths
// the return of the start picture after a game may change.
constexpr RECT kSeam{200, 0, 201, 500};

TEST_F(EndToEndTest, StartedInEnglishTheGameShowsTheEnglishPictures) {
    ASSERT_NO_FATAL_FAILURE(StartIn("en"));
    ASSERT_NE(ReadFileBytes("en/Startbild.bmp"), ReadFileBytes("Startbild.bmp"));
    ASSERT_NE(ReadFileBytes("en/Buttons.bmp"), ReadFileBytes("Buttons.bmp"));
    ASSERT_TRUE(m_twin->Opened());
    ASSERT_NO_FATAL_FAILURE(TakeGameWindow());
    EXPECT_EQ(WaitForPicture(m_twin->Expect()), "") << "start screen";
    ASSERT_TRUE(Click(kOptionsButton));
    m_twin->Click(kOptionsButton);
    m_twin->PointerTo(kRest);
    m_twin->Settle();
    EXPECT_EQ(WaitForPicture(m_twin->Expect()), "") << "panel open";
}

TEST_F(EndToEndTest, AGameWalkedHomeWithHelpEndsWithTheResultBox) {
    ASSERT_NO_FATAL_FAILURE(Start());
    const Expected start = m_twin->Expect();
    ASSERT_NO_FATAL_FAILURE(TakeGameWindow());
    EXPECT_EQ(WaitForPicture(start), "");

    // The start picture falls away and the board lies under it.
    ASSERT_TRUE(Click(kStartButton));
    int inPlace = 100;
    EXPECT_TRUE(WaitUntil(
        [&] {
            const auto shot = Capture(m_window);
            return shot && (inPlace = StartTilesInPlace(*shot, start.still, 200)) == 0;
        },
        kTimeoutMs))
        << inPlace << " tiles of the start picture are still in place";

    // End: the seal walks home by itself; the result box opens on its own window.
    ASSERT_TRUE(Xdo({"key", "End"}));
    const auto box = WaitForWindow([this] { return MessageBox(); }, kWalkTimeoutMs);
    ASSERT_TRUE(box) << "no result box";
    EXPECT_TRUE(ShowsText(*box, 200)) << "the result box shows no text";
    EXPECT_FALSE(Gone(m_window));
    ASSERT_TRUE(Xdo({"key", "Return"}));
    EXPECT_TRUE(WaitUntil([&] { return Gone(*box); }, kTimeoutMs)) << "the box stayed open";
    // The start picture has returned while the box was open, and the board has fallen away.
    EXPECT_EQ(WaitForPicture(m_twin->Expect({kSeam})), "");

    ASSERT_TRUE(Xdo({"key", "alt+F4"}));
    ExpectCleanEnd();
}

TEST_F(EndToEndTest, MissingWindowImageIsReportedAndTheProgramEnds) {
    ASSERT_NO_FATAL_FAILURE(Start({GameImage::SealPicture}));
    const auto box = WaitForWindow([this] { return MessageBox(); }, kTimeoutMs);
    ASSERT_TRUE(box) << "no message box";
    EXPECT_TRUE(ShowsText(*box, 100)) << "the box shows no text";
    // The game window never shows.
    EXPECT_FALSE(GameWindow());
    EXPECT_EQ(GameWindows().size(), 1u);
    // The box has the keyboard, as the program's first window, wherever the pointer is.
    ASSERT_TRUE(PointerToScreen(5, 5));
    ASSERT_TRUE(Xdo({"key", "Return"}));
    ExpectCleanEnd();
}

TEST_F(EndToEndTest, MissingMazeImageIsReportedAndTheGameGoesOn) {
    ASSERT_NO_FATAL_FAILURE(Start({GameImage::Path}));
    const Expected start = m_twin->Expect();
    ASSERT_NO_FATAL_FAILURE(TakeGameWindow());
    EXPECT_EQ(WaitForPicture(start), "");

    // The board's pictures load with the first game.
    ASSERT_TRUE(Click(kStartButton));
    const auto box = WaitForWindow([this] { return MessageBox(); }, kTimeoutMs);
    ASSERT_TRUE(box) << "no message box";
    EXPECT_TRUE(ShowsText(*box, 100)) << "the box shows no text";
    ASSERT_TRUE(Xdo({"key", "Return"}));
    EXPECT_TRUE(WaitUntil([&] { return Gone(*box); }, kTimeoutMs)) << "the box stayed open";

    // The game goes on: the start picture falls away, and End sends the seal on its way, on a
    // board without pictures of its own.
    int inPlace = 100;
    std::optional<Screenshot> fallen;
    EXPECT_TRUE(WaitUntil(
        [&] {
            fallen = Capture(m_window);
            return fallen && (inPlace = StartTilesInPlace(*fallen, start.still, 200)) == 0;
        },
        kTimeoutMs))
        << inPlace << " tiles of the start picture are still in place";
    ASSERT_TRUE(fallen);
    ASSERT_TRUE(Xdo({"key", "End"}));
    EXPECT_TRUE(WaitUntil(
        [&] {
            const auto shot = Capture(m_window);
            if (!shot) return false;
            for (int y = 0; y < 500; ++y) {
                for (int x = 200; x < 700; ++x) {
                    if (shot->At(x, y) != fallen->At(x, y)) return true;
                }
            }
            return false;
        },
        kTimeoutMs))
        << "the seal does not walk";
    ASSERT_TRUE(Xdo({"key", "alt+F4"}));
    ExpectCleanEnd();
}

// The window at scale 3 by itself on a 3840 × 2160 screen, and at --scale 2: the back buffer
// through the scaler, pixel for pixel, a click where "Neues Spiel" shows starts a game, and
// dragging the background moves the window.
TEST_F(EndToEndTest, ScaledWindowShowsTheBackBufferScaledAndTakesClicksWhereTheySee) {
    ASSERT_NO_FATAL_FAILURE(UseScreen("3840x2160x24"));
    m_view = platform::ScreenView::Scaled(700, 500, 3);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(TakeGameWindow());
    EXPECT_EQ(m_geometry.width, 2100);
    EXPECT_EQ(m_geometry.height, 1500);
    EXPECT_EQ(WaitForPicture(ScaledExpected(m_twin->Expect(), m_view)), "") << "scale 3";
    ASSERT_TRUE(Xdo({"key", "alt+F4"}));
    ExpectCleanEnd();
    EndGame();

    // The same through SDL's window surface, the way without drawing straight to the X server.
    ASSERT_NO_FATAL_FAILURE(Start({}, {}, {"FLOEMAZE_SDL_SURFACE=1"}));
    ASSERT_NO_FATAL_FAILURE(TakeGameWindow());
    EXPECT_EQ(WaitForPicture(ScaledExpected(m_twin->Expect(), m_view)), "") << "SDL's surface";
    ASSERT_TRUE(Xdo({"key", "alt+F4"}));
    ExpectCleanEnd();
    EndGame();

    m_view = platform::ScreenView::Scaled(700, 500, 2);
    ASSERT_NO_FATAL_FAILURE(Start({}, {"--scale", "2"}));
    const Expected start = m_twin->Expect();
    ASSERT_NO_FATAL_FAILURE(TakeGameWindow());
    EXPECT_EQ(m_geometry.width, 1400);
    EXPECT_EQ(m_geometry.height, 1000);
    EXPECT_EQ(WaitForPicture(ScaledExpected(start, m_view)), "") << "scale 2";

    // The hover frame follows the pointer onto the button, as in the window drawn headless.
    ASSERT_TRUE(PointerTo(kStartButton));
    m_twin->PointerTo(kStartButton);
    EXPECT_EQ(WaitForPicture(ScaledExpected(m_twin->Expect(), m_view)), "") << "hovered";
    ASSERT_TRUE(PointerTo(kRest));
    m_twin->PointerTo(kRest);

    // The system menu lies over the enlarged pixels and the About box over the window; after
    // them the window shows all of itself again.
    ASSERT_NO_FATAL_FAILURE(AboutBoxFromTheKeyboard(2));
    EXPECT_EQ(WaitForPicture(ScaledExpected(m_twin->Expect(), m_view)), "")
        << "after the menu and the About box";

    ASSERT_TRUE(PointerTo(kBackground));
    ASSERT_TRUE(Xdo({"mousedown", "1"}));
    ASSERT_TRUE(PointerToScreen(m_pointer->x + 90, m_pointer->y + 40));
    EXPECT_TRUE(MovedBy(90, 40)) << "the window did not follow the pointer";
    ASSERT_TRUE(Xdo({"mouseup", "1"}));
    ASSERT_NO_FATAL_FAILURE(UpdateGeometry());

    ASSERT_TRUE(Click(kStartButton));
    EXPECT_EQ(WaitForStartPictureGone(start), "");
    ASSERT_TRUE(Xdo({"key", "alt+F4"}));
    ExpectCleanEnd();
}

// --fullscreen on a 1920 × 1080 screen: the largest 7 : 5 area in the middle on a calm border,
// clicks land where they are seen, and F11 brings the 700 × 500 window back, and again the
// full screen, while the tiles fall.
TEST_F(EndToEndTest, FullscreenFillsTheScreenAndF11BringsTheWindowBack) {
    ASSERT_NO_FATAL_FAILURE(UseScreen("1920x1080x24"));
    const platform::ScreenView full = platform::ScreenView::Fullscreen(700, 500, 1920, 1080);
    m_view = full;
    ASSERT_NO_FATAL_FAILURE(Start({}, {"--fullscreen"}));
    const Expected start = m_twin->Expect();
    ASSERT_NO_FATAL_FAILURE(TakeGameWindow());
    EXPECT_EQ(m_geometry.x, 0);
    EXPECT_EQ(m_geometry.y, 0);
    EXPECT_EQ(WaitForPicture(ScaledExpected(start, full)), "");
    const auto shot = Capture(m_window);
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->At(0, 0), 0x162E46u);
    EXPECT_EQ(shot->At(1919, 1079), 0x162E46u);

    // A click on the border hits nothing; one on "Neues Spiel" starts a game.
    ASSERT_TRUE(PointerToScreen(100, 320));
    ASSERT_TRUE(Xdo({"click", "1"}));
    EXPECT_EQ(WaitForPicture(ScaledExpected(start, full)), "") << "after a click on the border";
    ASSERT_TRUE(Click(kStartButton));
    ASSERT_TRUE(Xdo({"key", "F11"}));
    m_view = platform::ScreenView::Scaled(700, 500, 1);
    EXPECT_TRUE(WaitUntil([&] { return GameWindow().has_value(); }, kTimeoutMs))
        << "no 700 x 500 window after F11";
    ASSERT_NO_FATAL_FAILURE(UpdateGeometry());
    ASSERT_TRUE(Xdo({"key", "F11"}));
    m_view = full;
    EXPECT_TRUE(WaitUntil([&] { return GameWindow().has_value(); }, kTimeoutMs))
        << "no full screen after F11 again";
    ASSERT_NO_FATAL_FAILURE(UpdateGeometry());
    EXPECT_EQ(WaitForStartPictureGone(start), "");
    ASSERT_TRUE(Xdo({"key", "alt+F4"}));
    ExpectCleanEnd();
}

// Under a window manager the full screen is its to give: --fullscreen fills the screen, F11 brings
// the 700 x 500 window back centred, as it would have opened, and F11 fills the screen again.
TEST_F(EndToEndTest, UnderAWindowManagerF11AsksItForTheFullScreen) {
    ASSERT_NO_FATAL_FAILURE(UseScreen("1920x1080x24"));
    ChildProcess manager({"openbox"}, {m_display->Environment()});
    ASSERT_TRUE(manager.Started());
    bool managed = false;
    for (int tries = 0; tries < 100 && !managed; ++tries) {
        const CommandResult root = RunCommand({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"},
                                              kTimeoutMs, {m_display->Environment()});
        managed = root.out.find("window id") != std::string::npos;
        if (!managed) usleep(50000);
    }
    ASSERT_TRUE(managed) << "openbox did not start: " << manager.Stderr();
    const platform::ScreenView full = platform::ScreenView::Fullscreen(700, 500, 1920, 1080);
    m_view = full;
    ASSERT_NO_FATAL_FAILURE(Start({}, {"--fullscreen"}));
    const Expected start = m_twin->Expect();
    ASSERT_NO_FATAL_FAILURE(TakeGameWindow());
    EXPECT_EQ(WaitForPicture(ScaledExpected(start, full)), "");

    ASSERT_TRUE(Xdo({"key", "F11"}));
    m_view = platform::ScreenView::Scaled(700, 500, 1);
    EXPECT_TRUE(WaitUntil([&] { return GameWindow().has_value(); }, kTimeoutMs))
        << "no 700 x 500 window after F11";
    ASSERT_NO_FATAL_FAILURE(UpdateGeometry());
    EXPECT_EQ(m_geometry.x, (1920 - 700) / 2);
    EXPECT_EQ(m_geometry.y, (1080 - 500) / 2);
    EXPECT_EQ(WaitForPicture(start), "");

    ASSERT_TRUE(Xdo({"key", "F11"}));
    m_view = full;
    EXPECT_TRUE(WaitUntil([&] { return GameWindow().has_value(); }, kTimeoutMs))
        << "no full screen after F11 again";
    ASSERT_NO_FATAL_FAILURE(UpdateGeometry());
    EXPECT_EQ(WaitForPicture(ScaledExpected(start, full)), "");
    ASSERT_TRUE(Xdo({"key", "alt+F4"}));
    ExpectCleanEnd();
}

// On a full screen of 1920 x 1080 the game is shown 2.16 times as large, and a box opens at
// scale 2, as large as from a window at --scale 2. F11 while it is open: the game window leaves
// the full screen and the box stays over it, taking Return.
TEST_F(EndToEndTest, F11WithAMessageBoxOpenLeavesTheBoxUsable) {
    ASSERT_NO_FATAL_FAILURE(UseScreen("1920x1080x24"));
    m_view = platform::ScreenView::Scaled(700, 500, 2);
    ASSERT_NO_FATAL_FAILURE(Start({GameImage::Path}, {"--scale", "2"}));
    ASSERT_NO_FATAL_FAILURE(TakeGameWindow());
    ASSERT_TRUE(Click(kStartButton));
    const auto scaledBox = WaitForWindow([this] { return MessageBox(); }, kTimeoutMs);
    ASSERT_TRUE(scaledBox) << "no message box at --scale 2";
    const auto atScale2 = m_display->WindowGeometry(*scaledBox);
    ASSERT_TRUE(atScale2);
    EndGame();

    m_view = platform::ScreenView::Fullscreen(700, 500, 1920, 1080);
    ASSERT_NO_FATAL_FAILURE(Start({GameImage::Path}, {"--fullscreen"}));
    ASSERT_NO_FATAL_FAILURE(TakeGameWindow());
    ASSERT_TRUE(Click(kStartButton));
    const auto box = WaitForWindow([this] { return MessageBox(); }, kTimeoutMs);
    ASSERT_TRUE(box) << "no message box";
    const auto onFullScreen = m_display->WindowGeometry(*box);
    ASSERT_TRUE(onFullScreen);
    EXPECT_EQ(onFullScreen->width, atScale2->width);
    EXPECT_EQ(onFullScreen->height, atScale2->height);
    ASSERT_TRUE(Xdo({"key", "F11"}));
    m_view = platform::ScreenView::Scaled(700, 500, 1);
    EXPECT_TRUE(WaitUntil([&] { return GameWindow().has_value(); }, kTimeoutMs))
        << "no 700 x 500 window after F11";
    EXPECT_FALSE(Gone(*box));
    EXPECT_TRUE(ShowsText(*box, 100)) << "the box shows no text after the switch";
    ASSERT_TRUE(Xdo({"key", "Return"}));
    EXPECT_TRUE(WaitUntil([&] { return Gone(*box); }, kTimeoutMs)) << "the box stayed open";
    ASSERT_TRUE(Xdo({"key", "alt+F4"}));
    ExpectCleanEnd();
}

}  // namespace
