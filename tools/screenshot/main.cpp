// SPDX-License-Identifier: GPL-3.0-or-later
// floemaze_screenshot: plays the game on the headless window system and photographs it.
//
//   floemaze_screenshot <picture folder> <output folder>
//
// starts the game window in the picture folder, as the game itself does, and plays six short
// scenes (the last in English) through the window's own input and timer dispatch, each from a fixed
// random seed. What the window shows at the end of each scene is written as a PNG file into the
// output folder. The pictures are the same, byte for byte, on every run.
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/FloemazeDlg.h"
#include "lang/Language.h"
#include "platform/MessageBox.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/Resources.h"

namespace {

namespace fs = std::filesystem;
namespace headless = platform::headless;

// Places in the window, control column at the left (x + 500 with it at the right).
constexpr POINT kStartButton{100, 150};
constexpr POINT kOptionsButton{100, 210};
constexpr POINT kRadioRight{113, 269};
constexpr POINT kOnPanel{60, 330};      // on the panel's picture, away from its controls
constexpr POINT kOnBoard{450, 420};     // over the board, where a pointer rests while keys steer
constexpr int kGameTimerMs = 40;        // timer 2: panel, start screen and the maze
constexpr int kAnimationTimerMs = 150;  // timer 1: logo and seal picture
constexpr int kClockStepMs = 10;
constexpr int kLongestWaitMs = 60000;  // no scene waits this long for anything

constexpr int kDirectionKey[4] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT};
constexpr int kColumnStep[4] = {0, 0, -1, 1};
constexpr int kRowStep[4] = {-1, 1, 0, 0};

// Why a scene could not be played to its end.
struct SceneFailure {
    std::string reason;
};

// The game window and a player at it: the clock runs only while the player waits, and then the
// two timers fire in the order the window system's clock would fire them.
class Player {
public:
    Player() : m_window(std::make_unique<CFloemazeDlg>()) {}
    ~Player() {
        if (m_window->Peer() != nullptr) m_window->Close();
    }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Opens the window and delivers its first paint. The maze model seeds the random generator
    // with the time; the seed given here replaces that, so the scene is the same on every run.
    void Open(unsigned seed) {
        if (!m_window->Open() || m_window->IsEnded()) {
            throw SceneFailure{"the game window did not open"};
        }
        std::srand(seed);
        platform::DrainQueue();
    }

    void Wait(int ms) {
        for (const int end = m_now + ms; m_now < end;) Advance();
    }
    // Waits until done() holds, checked after every clock step.
    void WaitUntil(const std::function<bool()>& done, const char* what) {
        for (const int end = m_now + kLongestWaitMs; !done();) {
            if (m_now >= end) throw SceneFailure{std::string("waited in vain for ") + what};
            Advance();
        }
    }

    void Click(POINT p) { headless::Click(*m_window, p.x, p.y); }
    void MoveTo(POINT p) { headless::MouseMove(*m_window, p.x, p.y); }
    void Key(UINT key) { headless::KeyDown(*m_window, key); }

    CFloemazeDlg& Window() { return *m_window; }
    const CMazeBoard& Maze() const { return m_window->m_maze; }
    // Where p lies with the control column on the side it stands on now.
    POINT Column(POINT p) const { return POINT{p.x + m_window->m_sideX, p.y}; }

    // Clicks the start button and waits until the start picture has fallen away.
    void StartGame() {
        Click(Column(kStartButton));
        WaitUntil([this] { return m_window->m_startPhase == startscreen::kGameOn; },
                  "the start picture to fall");
    }
    // Clicks the options button and waits until the panel is open (state 3) or closed (0).
    void ToggleOptions() {
        const int target = m_window->m_panelState == panel::kClosed ? panel::kOpen : panel::kClosed;
        Click(Column(kOptionsButton));
        WaitUntil([this, target] { return m_window->m_panelState == target; }, "the options panel");
    }
    // Takes at least steps steps towards the family with the arrow keys, as a child who sees the
    // way does, and goes on until the seal has stepped to the right. Its walking picture after
    // steps up, down or left depends on a draw the maze model makes from the clock when it is
    // made; after a step to the right it does not.
    void WalkHome(int steps) {
        for (int i = 0; i < steps || !SealFacesRight(); ++i) {
            if (Maze().m_nSealCol == Maze().m_pFamilyCell->m_nCol &&
                Maze().m_nSealRow == Maze().m_pFamilyCell->m_nRow) {
                throw SceneFailure{"the seal came home before it stepped to the right"};
            }
            const int taken = Maze().m_nStepsOwn;
            Key(kDirectionKey[HomewardDirection()]);
            WaitUntil([this, taken] { return SealStands() && Maze().m_nStepsOwn > taken; },
                      "the seal to take its step");
        }
    }
    bool SealFacesRight() const { return Maze().m_seal.m_nFrameCol == 3; }
    // Waits until the logo rests between its animations, which only a moving picture explains.
    void WaitForLogoAtRest() {
        WaitUntil([this] { return LogoRests(); }, "the logo to rest");
    }
    bool LogoRests() const { return m_window->m_logo.m_nFrameRow == 0; }
    bool SealStands() const { return Maze().m_nDirection == direction::kStand; }
    // Whether the seal stands exactly on a field (also in help mode, where it turns there).
    bool SealOnField() const {
        return Maze().m_seal.m_nX % CMazeBoard::kField == 0 &&
               Maze().m_seal.m_nY % CMazeBoard::kField == 0;
    }

private:
    void Advance() {
        m_now += kClockStepMs;
        if (m_now % kGameTimerMs == 0) headless::FireTimer(*m_window, 2);
        if (m_now % kAnimationTimerMs == 0) headless::FireTimer(*m_window, 1);
    }
    // The direction of the seal's neighbour one field nearer to the family.
    int HomewardDirection() const {
        const CMazeBoard& maze = Maze();
        const MazeCell* here = maze.CellAt(maze.m_nSealCol, maze.m_nSealRow);
        for (int d = 0; d < 4; ++d) {
            const MazeCell* next =
                maze.CellAt(maze.m_nSealCol + kColumnStep[d], maze.m_nSealRow + kRowStep[d]);
            if (here != nullptr && next != nullptr && next->m_nDistance >= 0 &&
                next->m_nDistance == here->m_nDistance - 1) {
                return d;
            }
        }
        throw SceneFailure{"the seal has no way home"};
    }

    std::unique_ptr<CFloemazeDlg> m_window;
    int m_now = 0;  ///< play time in ms
};

// The start screen, shortly after the window opened.
void StartScreen(Player& player) {
    player.Open(11);
    player.Wait(3000);
    player.WaitForLogoAtRest();
}

// A game under way: the start picture has fallen, the child has walked a few fields.
void MazeInPlay(Player& player) {
    player.Open(21);
    player.Wait(1000);
    player.StartGame();
    player.WalkHome(6);
    player.MoveTo(kOnBoard);
    player.Wait(200);
    player.WaitForLogoAtRest();
}

// Help mode switched on with the End key: the seal walks home by itself, about half way there
// (after a step to the right, for the reason given at WalkHome).
void HelpMode(Player& player) {
    player.Open(31);
    player.Wait(1000);
    player.StartGame();
    player.MoveTo(kOnBoard);
    player.Key(VK_END);
    const int half = player.Maze().m_nShortest / 2;
    player.WaitUntil(
        [&player, half] {
            return player.Maze().m_nStepsHelp >= half && player.SealOnField() &&
                   player.SealFacesRight() && player.LogoRests();
        },
        "the seal to walk half its way");
}

// The options panel, opened from the start screen.
void OptionsPanel(Player& player) {
    player.Open(41);
    player.Wait(1000);
    player.ToggleOptions();
    player.MoveTo(kOnPanel);
    player.Wait(500);
    player.WaitForLogoAtRest();
}

// The control column moved to the right with the panel's radio button during a game. The child
// looks at the maze for a while first: for some three seconds after the start picture has
// fallen, its tiles still lie in front of the board in the sprite order (each update moves one of
// them back), and a side switch in that time brings them over the maze until they have sunk.
void ColumnRight(Player& player) {
    player.Open(51);
    player.Wait(1000);
    player.StartGame();
    player.Wait(3000);
    player.WalkHome(3);
    player.ToggleOptions();
    player.Click(kRadioRight);
    if (player.Window().m_sideX != 500) throw SceneFailure{"the column did not move right"};
    player.MoveTo(POINT{kOnBoard.x - 200, kOnBoard.y});
    player.Wait(500);
    player.WaitForLogoAtRest();
}

// Writes what the window shows now as an opaque PNG file.
bool WritePng(const CFloemazeDlg& window, const fs::path& path) {
    headless::HeadlessPeer* peer = headless::PeerOf(window);
    if (peer == nullptr) return false;
    const platform::Bitmap* screen = peer->Surface();
    cairo_surface_t* image =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, screen->width, screen->height);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return false;
    }
    // Both are 32-bit pixels with blue in the lowest byte and rows from the top.
    cairo_surface_flush(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    const auto stride = static_cast<std::size_t>(cairo_image_surface_get_stride(image));
    const auto rowBytes = static_cast<std::size_t>(screen->width) * 4;
    for (int y = 0; y < screen->height; ++y) {
        std::memcpy(data + static_cast<std::size_t>(y) * stride, screen->Row(y), rowBytes);
    }
    cairo_surface_mark_dirty(image);
    const bool written = cairo_surface_write_to_png(image, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(image);
    return written;
}

struct Scene {
    const char* file;
    void (*play)(Player&);
    const char* language = lang::kGerman;  ///< played with this catalogue and its pictures
};
constexpr Scene kScenes[] = {
    {"start-screen.png", StartScreen}, {"maze.png", MazeInPlay},
    {"help-mode.png", HelpMode},       {"options.png", OptionsPanel},
    {"column-right.png", ColumnRight}, {"start-screen-en.png", StartScreen, "en"},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: floemaze_screenshot <picture folder> <output folder>\n");
        return 2;
    }
    std::error_code error;
    const fs::path output = fs::absolute(argv[2], error);
    if (!error) fs::create_directories(output, error);
    if (error) {
        std::fprintf(stderr, "floemaze_screenshot: cannot make %s: %s\n", argv[2],
                     error.message().c_str());
        return 1;
    }
    // The game loads its pictures by bare name from the current directory.
    fs::current_path(argv[1], error);
    if (error) {
        std::fprintf(stderr, "floemaze_screenshot: cannot enter the picture folder %s: %s\n",
                     argv[1], error.message().c_str());
        return 1;
    }

    res::RegisterResources();
    headless::Use();
    // None of the scenes shows a message box: one means a picture failed to load or the game
    // went somewhere the scene did not expect.
    std::vector<std::string> messages;
    platform::SetMessageBoxHandler([&messages](const std::string& text, unsigned) {
        messages.push_back(text);
        return IDOK;
    });

    for (const Scene& scene : kScenes) {
        try {
            lang::Use(scene.language, lang::CatalogueFolder(fs::current_path()));
            Player player;
            scene.play(player);
            if (!messages.empty()) throw SceneFailure{messages.front()};
            if (!WritePng(player.Window(), output / scene.file)) {
                throw SceneFailure{"cannot write " + (output / scene.file).string()};
            }
        } catch (const SceneFailure& failure) {
            // The game's own message says most, for example which picture is missing.
            const std::string& reason = messages.empty() ? failure.reason : messages.front();
            std::fprintf(stderr, "floemaze_screenshot: %s: %s\n", scene.file, reason.c_str());
            return 1;
        }
    }
    return 0;
}
