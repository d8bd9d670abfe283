// SPDX-License-Identifier: GPL-3.0-or-later
// The game window played on the headless backend as a child would play it: pointer, keys and
// timer ticks go through the platform's dispatch; what the window shows is read back from its back
// buffer and its surface. The images are plain colours (tests/support/GameImages.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/AboutDlg.h"
#include "app/FloemazeApp.h"
#include "app/FloemazeDlg.h"
#include "platform/Backend.h"
#include "platform/WindowDC.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/Resources.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/GameImages.h"

namespace {

namespace headless = platform::headless;

// Places in the window with the control column at the left and the panel closed.
constexpr POINT kStartButton{100, 150};
constexpr POINT kOptionsButton{100, 210};
constexpr POINT kExitButton{100, 260};
constexpr POINT kSealPicture{100, 450};
constexpr POINT kBackground{100, 300};
constexpr POINT kLogo{50, 50};
constexpr POINT kStartTile{460, 260};  // a tile's own left column and top row never hit
// The panel's controls while it shows, control column at the left.
constexpr POINT kRadioLeft{33, 269};
constexpr POINT kRadioRight{113, 269};
constexpr POINT kCheckAnimation{120, 296};
constexpr POINT kCheckDrag{150, 321};

constexpr int kBoardSprites = 401;
constexpr int kWindowSprites = 112;  // the start tile template is never inserted

const COLORREF kBackgroundColour = FrameColour(GameImage::Background);

// By direction code: up, down, left, right.
constexpr UINT kKeyOfDirection[4] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT};
constexpr int kColumnStep[4] = {0, 0, -1, 1};
constexpr int kRowStep[4] = {-1, 1, 0, 0};

// The neighbour of the seal's field one field nearer to the family, as a direction code.
std::optional<int> HomewardDirection(const CMazeBoard& maze) {
    const MazeCell* here = maze.CellAt(maze.m_nSealCol, maze.m_nSealRow);
    for (int d = direction::kUp; d <= direction::kRight; ++d) {
        const MazeCell* next =
            maze.CellAt(maze.m_nSealCol + kColumnStep[d], maze.m_nSealRow + kRowStep[d]);
        if (next != nullptr && next->m_nDistance >= 0 &&
            next->m_nDistance == here->m_nDistance - 1) {
            return d;
        }
    }
    return std::nullopt;
}

// A direction from the seal's field into a wall or out of the grid.
std::optional<int> BlockedDirection(const CMazeBoard& maze) {
    for (int d = direction::kUp; d <= direction::kRight; ++d) {
        const MazeCell* next =
            maze.CellAt(maze.m_nSealCol + kColumnStep[d], maze.m_nSealRow + kRowStep[d]);
        if (next == nullptr || next->m_bOpen != 1) return d;
    }
    return std::nullopt;
}

// Everything that tells one maze from another.
std::vector<int> MazeLayout(const CMazeBoard& maze) {
    std::vector<int> layout;
    for (const MazeCell& cell : maze.m_cells) layout.push_back(cell.m_bOpen);
    layout.push_back(maze.m_pFamilyCell != nullptr
                         ? maze.m_pFamilyCell->m_nCol * 20 + maze.m_pFamilyCell->m_nRow
                         : -1);
    layout.push_back(maze.m_nSealCol * 20 + maze.m_nSealRow);
    return layout;
}

POINT Position(const CSprite& sprite) {
    return POINT{sprite.m_nX, sprite.m_nY};
}

class FloemazeDlgTest : public ::testing::Test {
protected:
    ~FloemazeDlgTest() override { headless::Use().SetScript(nullptr); }

    // Opens the window, makes the random draws repeatable and delivers the first paint.
    void Open(unsigned seed = 1) {
        ASSERT_TRUE(dlg.Open());
        std::srand(seed);
        platform::DrainQueue();
    }
    void Tick(int count = 1) {
        for (int i = 0; i < count; ++i) ASSERT_TRUE(headless::FireTimer(dlg, 2));
    }
    void AnimationTick(int count = 1) {
        for (int i = 0; i < count; ++i) ASSERT_TRUE(headless::FireTimer(dlg, 1));
    }
    void Click(POINT p) { headless::Click(dlg, p.x, p.y); }
    void Key(UINT key) { headless::KeyDown(dlg, key); }
    COLORREF Back(int x, int y) const { return PixelAt(dlg.m_backBuffer, x, y); }
    COLORREF Screen(int x, int y) const { return headless::PeerOf(dlg)->PixelAt(x, y); }
    headless::HeadlessPeer& Peer() const { return *headless::PeerOf(dlg); }

    // Opens or closes the panel and returns the ticks it took.
    int TogglePanel() {
        const int target = dlg.m_panelState == panel::kClosed ? panel::kOpen : panel::kClosed;
        Click(kOptionsButton);
        int ticks = 0;
        while (dlg.m_panelState != target && ticks < 100) {
            Tick();
            ++ticks;
        }
        return ticks;
    }
    // Starts the first game and waits until the start tiles have fallen and lie hidden.
    void StartFirstGame() {
        Click(kStartButton);
        Tick(102);
        ASSERT_EQ(dlg.m_startPhase, startscreen::kGameOn);
    }
    // One step by key: five moves and the standing tick.
    void Step(int direction) {
        Key(kKeyOfDirection[direction]);
        Tick(6);
    }
    // Answers the result box after the given number of ticks inside it; collects the phases
    // and the pixel at the start picture's top-left tile seen after each of those ticks.
    void AnswerResultAfter(int nestedTicks) {
        auto& backend = headless::Use();
        backend.SetScript([this, nestedTicks, &backend] {
            if (backend.OpenMessageBoxes() == 0) return false;
            if (static_cast<int>(nestedPhases.size()) < nestedTicks) {
                headless::FireTimer(dlg, 2);
                nestedPhases.push_back(dlg.m_startPhase);
                nestedTopLeft.push_back(Back(225, 25));
                // Input does not reach the window while the box is open.
                headless::KeyDown(dlg, VK_END);
                headless::Click(dlg, kStartButton.x, kStartButton.y);
                return true;
            }
            backend.AnswerMessageBox(IDOK);
            return true;
        });
    }

    struct Setup {
        Setup() {
            res::RegisterResources();
            headless::Use();
        }
    } setup;
    GameFolder folder;
    CFloemazeDlg dlg;
    std::vector<int> nestedPhases;
    std::vector<COLORREF> nestedTopLeft;
};

TEST_F(FloemazeDlgTest, FirstPaintShowsTheStartScreen) {
    Open();
    EXPECT_TRUE(Peer().Shown());
    EXPECT_EQ(Peer().Surface()->width, 700);
    EXPECT_EQ(Peer().Surface()->height, 500);
    EXPECT_EQ(dlg.m_sprites.GetCount(), static_cast<std::size_t>(kWindowSprites));
    EXPECT_EQ(dlg.GetIcon(TRUE), dlg.m_hIcon);
    EXPECT_EQ(dlg.GetIcon(FALSE), dlg.m_hIcon);
    ASSERT_NE(dlg.m_hIcon, nullptr);

    // The background between the buttons and the seal picture; no panel there.
    EXPECT_EQ(Back(kBackground.x, kBackground.y), kBackgroundColour);
    EXPECT_EQ(dlg.m_panelY, -1000);
    EXPECT_EQ(dlg.m_optionsMenu.m_fAlpha, 0.0f);

    // The logo at (0, 0) with its clear key pixel and clear right strip.
    EXPECT_EQ(Back(0, 0), kBackgroundColour);
    EXPECT_EQ(Back(1, 0), FrameColour(GameImage::Logo, 0, 0));
    EXPECT_EQ(Back(179, 128), FrameColour(GameImage::Logo, 0, 0));
    EXPECT_EQ(Back(185, 60), kBackgroundColour);
    EXPECT_EQ(Back(100, 128), FrameColour(GameImage::Logo, 0, 0));

    // The start picture covers x 200..699, tile by tile, above the separator.
    for (int c = 0; c < 10; ++c) {
        for (int r = 0; r < 10; ++r) {
            const COLORREF tile = FrameColour(GameImage::StartPicture, c, r);
            EXPECT_EQ(Back(200 + 50 * c, 50 * r), tile) << c << "," << r;
            EXPECT_EQ(Back(249 + 50 * c, 49 + 50 * r), tile) << c << "," << r;
        }
    }
    // The separator covers x 196..199 of the control column.
    const COLORREF line = FrameColour(GameImage::Separator);
    EXPECT_EQ(Back(195, 300), kBackgroundColour);
    EXPECT_EQ(Back(196, 0), line);
    EXPECT_EQ(Back(199, 499), line);

    // The buttons at y 125, 175 and 225, all at 90 % opacity; where they overlap the one loaded
    // first lies on top. Read at x 190, where the logo is clear.
    const COLORREF start = FrameColour(GameImage::Buttons, 0, 0);
    const COLORREF options = FrameColour(GameImage::Buttons, 0, 3);
    const COLORREF exit = FrameColour(GameImage::Buttons, 0, 6);
    EXPECT_EQ(Back(190, 124), kBackgroundColour);
    EXPECT_EQ(Back(190, 125), Blend(kBackgroundColour, start, 0.9f));
    EXPECT_EQ(Back(190, 184), Blend(Blend(kBackgroundColour, options, 0.9f), start, 0.9f));
    EXPECT_EQ(Back(190, 185), Blend(kBackgroundColour, options, 0.9f));
    EXPECT_EQ(Back(190, 234), Blend(Blend(kBackgroundColour, exit, 0.9f), options, 0.9f));
    EXPECT_EQ(Back(190, 235), Blend(kBackgroundColour, exit, 0.9f));
    EXPECT_EQ(Back(190, 284), Blend(kBackgroundColour, exit, 0.9f));
    EXPECT_EQ(Back(190, 285), kBackgroundColour);

    // The seal picture at y 366, resting on its first frame.
    EXPECT_EQ(Back(100, 365), kBackgroundColour);
    EXPECT_EQ(Back(100, 366), FrameColour(GameImage::SealPicture, 0, 0));
    EXPECT_EQ(Back(199, 499), line);
    EXPECT_EQ(Back(195, 499), FrameColour(GameImage::SealPicture, 0, 0));

    // The first paint put the whole back buffer on the screen.
    for (const POINT p : {POINT{0, 0}, POINT{190, 184}, POINT{699, 499}, POINT{100, 400}}) {
        EXPECT_EQ(Screen(p.x, p.y), Back(p.x, p.y));
    }
}

// A board picture that cannot be loaded opens its box while the first game starts, and ticks run
// while it is open. The game has not begun yet: the start screen waits for it instead of letting
// the tiles fall and, finding no game running, bringing them back over the board.
TEST_F(FloemazeDlgTest, BoxDuringTheFirstGamesStartDoesNotEndTheGame) {
    std::filesystem::remove(folder.Dir().File(FileName(GameImage::Path)));
    Open();
    auto& backend = headless::Use();
    std::vector<int> phases;
    constexpr std::size_t kTicksInBox = 110;  // longer than the fall
    backend.SetScript([&] {
        if (backend.OpenMessageBoxes() == 0) return false;
        if (phases.size() < kTicksInBox) {
            headless::FireTimer(dlg, 2);
            phases.push_back(dlg.m_startPhase);
        } else {
            backend.AnswerMessageBox(IDOK);
        }
        return true;
    });
    Click(kStartButton);
    ASSERT_EQ(phases.size(), kTicksInBox);
    EXPECT_EQ(backend.MessageBoxTexts().back(),
              "Die Datei \"Weg.bmp\" konnte nicht geladen werden!");
    EXPECT_EQ(std::count(phases.begin(), phases.end(), startscreen::kFalling),
              static_cast<std::ptrdiff_t>(kTicksInBox));
    EXPECT_EQ(dlg.m_startCounter, 0);
    EXPECT_EQ(Position(dlg.m_startTiles[0]), (POINT{200, 0}));

    // Once the game has begun, the tiles fall as on any first start and stay away.
    EXPECT_TRUE(dlg.m_gameStarted);
    EXPECT_TRUE(dlg.m_maze.m_bRunning);
    Tick(101);
    EXPECT_EQ(dlg.m_startPhase, startscreen::kGameOn);
    Tick(3);
    EXPECT_EQ(dlg.m_startPhase, startscreen::kGameOn);
    const CSprite& seal = dlg.m_maze.m_seal;
    EXPECT_EQ(Back(seal.m_nX + 12, seal.m_nY + 12),
              FrameColour(GameImage::BabySeal, seal.m_nFrameCol, seal.m_nFrameRow));
}

TEST_F(FloemazeDlgTest, StartButtonLetsTheTilesFallAndShowsTheBoard) {
    Open(11);
    Click(kStartButton);
    EXPECT_TRUE(dlg.m_gameStarted);
    EXPECT_EQ(dlg.m_startPhase, startscreen::kFalling);
    EXPECT_TRUE(dlg.m_maze.m_bRunning);
    EXPECT_EQ(dlg.m_sprites.GetCount(), static_cast<std::size_t>(kWindowSprites + kBoardSprites));
    EXPECT_EQ(dlg.m_maze.m_seal.m_nDepth, 90);
    EXPECT_EQ(dlg.m_maze.m_cells[0].m_tile.m_nDepth, 80);
    EXPECT_EQ(Position(dlg.m_maze.m_cells[399].m_tile), (POINT{675, 475}));

    // The first falling tick moves the top row only: for each column a fall then a drift.
    std::srand(5);
    std::vector<POINT> expected;
    for (int c = 0; c < 10; ++c) {
        const int dy = std::rand() % 20;
        const int dx = std::rand() % 20 - 10;
        expected.push_back(POINT{200 + 50 * c + dx, dy});
    }
    std::srand(5);
    Tick();
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(Position(dlg.m_startTiles[static_cast<std::size_t>(10 * c)]),
                  expected[static_cast<std::size_t>(c)]);
        EXPECT_EQ(Position(dlg.m_startTiles[static_cast<std::size_t>(10 * c + 1)]),
                  (POINT{200 + 50 * c, 50}));
    }
    EXPECT_EQ(dlg.m_startCounter, 1);

    // A release on the start button while the tiles fall does nothing.
    const std::vector<int> maze = MazeLayout(dlg.m_maze);
    Tick(8);
    Click(kStartButton);
    EXPECT_EQ(dlg.m_startPhase, startscreen::kFalling);
    EXPECT_EQ(dlg.m_startCounter, 9);
    EXPECT_EQ(MazeLayout(dlg.m_maze), maze);

    Tick(91);
    EXPECT_EQ(dlg.m_startCounter, 100);
    EXPECT_EQ(dlg.m_startPhase, startscreen::kFalling);
    const POINT fallen = Position(dlg.m_startTiles[99]);
    Tick();  // finds the counter at 100: nothing moves, the game is on
    EXPECT_EQ(dlg.m_startPhase, startscreen::kGameOn);
    EXPECT_EQ(dlg.m_startCounter, 0);
    EXPECT_EQ(Position(dlg.m_startTiles[99]), fallen);
    EXPECT_GT(fallen.y, 500);
    Tick();
    for (const CSprite& tile : dlg.m_startTiles) EXPECT_EQ(tile.m_nDepth, 1);

    // The board lies where the start picture was, the seal on its field.
    const MazeCell& family = *dlg.m_maze.m_pFamilyCell;
    const POINT home{200 + 25 * family.m_nCol, 25 * family.m_nRow};
    EXPECT_EQ(Position(family.m_tile), home);
    EXPECT_EQ(Back(home.x + 12, home.y + 12), FrameColour(GameImage::Path, 2, 0));
    const CSprite& seal = dlg.m_maze.m_seal;
    EXPECT_EQ(Position(seal),
              (POINT{200 + 25 * dlg.m_maze.m_nSealCol, 25 * dlg.m_maze.m_nSealRow}));
    EXPECT_EQ(Back(seal.m_nX + 12, seal.m_nY + 12),
              FrameColour(GameImage::BabySeal, seal.m_nFrameCol, seal.m_nFrameRow));
    EXPECT_EQ(Screen(seal.m_nX + 12, seal.m_nY + 12), Back(seal.m_nX + 12, seal.m_nY + 12));

    // During a running game the start button replaces the board at once, without a new fall.
    // (Once the parked tiles have all been re-sorted below the background, one per update.)
    Tick(100);
    Click(kStartButton);
    EXPECT_EQ(dlg.m_startPhase, startscreen::kGameOn);
    EXPECT_NE(MazeLayout(dlg.m_maze), maze);
    EXPECT_EQ(dlg.m_sprites.GetCount(), static_cast<std::size_t>(kWindowSprites + kBoardSprites));
    Tick(3);
    EXPECT_EQ(dlg.m_startPhase, startscreen::kGameOn);
    EXPECT_EQ(dlg.m_startCounter, 0);
    EXPECT_EQ(Position(dlg.m_startTiles[0]), (POINT{200, 0}));
    EXPECT_EQ(dlg.m_startTiles[0].m_nDepth, 1);
    const MazeCell& newFamily = *dlg.m_maze.m_pFamilyCell;
    EXPECT_EQ(Back(200 + 25 * newFamily.m_nCol + 12, 25 * newFamily.m_nRow + 12),
              FrameColour(GameImage::Path, 2, 0));
}

TEST_F(FloemazeDlgTest, AWholeGameByKeysThenOneWithHelp) {
    Open(21);
    // Before the first game no key does anything, End included.
    Key(VK_END);
    Key(VK_LEFT);
    Key(VK_DOWN);
    EXPECT_FALSE(dlg.m_maze.m_bHelp);
    EXPECT_EQ(dlg.m_maze.m_nDirection, direction::kStand);
    // Nor does a press on the seal picture.
    Click(kSealPicture);
    EXPECT_FALSE(dlg.m_maze.m_bHelp);

    Click(kStartButton);
    // The arrow keys steer while the tiles still fall.
    const auto blocked = BlockedDirection(dlg.m_maze);
    ASSERT_TRUE(blocked.has_value());
    const POINT before = Position(dlg.m_maze.m_seal);
    Key(kKeyOfDirection[*blocked]);
    EXPECT_EQ(dlg.m_maze.m_nDirection, direction::kStand);
    Tick();
    EXPECT_EQ(Position(dlg.m_maze.m_seal), before);

    auto home = HomewardDirection(dlg.m_maze);
    ASSERT_TRUE(home.has_value());
    Key(kKeyOfDirection[*home]);
    EXPECT_EQ(dlg.m_maze.m_nDirection, *home);
    Tick();
    EXPECT_EQ(Position(dlg.m_maze.m_seal),
              (POINT{before.x + 5 * kColumnStep[*home], before.y + 5 * kRowStep[*home]}));
    EXPECT_EQ(dlg.m_maze.m_nStepsOwn, 1);
    // A second key during the step is dropped.
    Key(kKeyOfDirection[*home ^ 1]);
    EXPECT_EQ(dlg.m_maze.m_nDirection, *home);
    Tick(5);
    EXPECT_EQ(dlg.m_maze.m_nDirection, direction::kStand);
    EXPECT_EQ(Position(dlg.m_maze.m_seal),
              (POINT{before.x + 25 * kColumnStep[*home], before.y + 25 * kRowStep[*home]}));

    // Home along the shortest way by keys. The arrival is found on the standing tick after the
    // last move; its box opens inside that tick, and the ticks that run while it is open bring
    // the start picture back on the second one.
    const int shortest = dlg.m_maze.m_nShortest;
    AnswerResultAfter(2);
    int steps = 1;
    while (dlg.m_maze.m_bRunning && steps < 400) {
        home = HomewardDirection(dlg.m_maze);
        ASSERT_TRUE(home.has_value());
        Step(*home);
        ++steps;
    }
    ASSERT_FALSE(dlg.m_maze.m_bRunning);
    EXPECT_EQ(steps, shortest);
    const auto& texts = headless::Use().MessageBoxTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(),
              "Du hast die kleine Robbe zu ihrer Familie zurück gebracht!\n"
              "\nDazu hast du " +
                  std::to_string(shortest) +
                  " Schritte gebraucht."
                  "\nDavon mit Hilfe: 0 Schritte"
                  "\nAuf eigene Faust: " +
                  std::to_string(shortest) +
                  " Schritte"
                  "\nDas war der kürzeste Weg! Die kleine Robbe hat also noch "
                  "genug Kraft,\num irgendwann endlich schwimmen zu lernen!");
    EXPECT_EQ(nestedPhases, (std::vector<int>{startscreen::kReturning, startscreen::kShown}));
    ASSERT_EQ(nestedTopLeft.size(), 2u);
    EXPECT_NE(nestedTopLeft[0], FrameColour(GameImage::StartPicture, 0, 0));
    // Input was dropped while the box was open: help stayed off, no new game began.
    EXPECT_FALSE(dlg.m_maze.m_bHelp);
    EXPECT_EQ(dlg.m_startPhase, startscreen::kShown);
    for (int k = 0; k < 100; ++k) {
        const CSprite& tile = dlg.m_startTiles[static_cast<std::size_t>(k)];
        EXPECT_EQ(Position(tile), (POINT{200 + 50 * (k / 10), 50 * (k % 10)}));
        EXPECT_EQ(tile.m_nDepth, 105);
    }
    // The maze falls away over the returned start picture; once it has fallen, the whole
    // picture shows.
    Tick(80);
    for (int c = 0; c < 10; ++c) {
        for (int r = 0; r < 10; ++r) {
            EXPECT_EQ(Screen(225 + 50 * c, 25 + 50 * r),
                      FrameColour(GameImage::StartPicture, c, r));
        }
    }

    // Between games End still switches help, and the next game switches it off again.
    Key(VK_END);
    EXPECT_TRUE(dlg.m_maze.m_bHelp);
    Click(kStartButton);
    EXPECT_EQ(dlg.m_startPhase, startscreen::kFalling);
    EXPECT_FALSE(dlg.m_maze.m_bHelp);
    EXPECT_EQ(dlg.m_sprites.GetCount(), static_cast<std::size_t>(kWindowSprites + kBoardSprites));
    EXPECT_EQ(dlg.m_maze.m_nDirection, direction::kStand);

    // A press on the seal picture switches help; the seal walks home by itself.
    Click(kSealPicture);
    EXPECT_TRUE(dlg.m_maze.m_bHelp);
    Click(kSealPicture);
    EXPECT_FALSE(dlg.m_maze.m_bHelp);
    Key(VK_END);
    EXPECT_TRUE(dlg.m_maze.m_bHelp);
    nestedPhases.clear();
    nestedTopLeft.clear();
    AnswerResultAfter(0);
    const int helpShortest = dlg.m_maze.m_nShortest;
    int ticks = 0;
    while (dlg.m_maze.m_bRunning && ticks < 3000) {
        Tick();
        ++ticks;
    }
    ASSERT_FALSE(dlg.m_maze.m_bRunning);
    EXPECT_EQ(dlg.m_maze.m_nStepsHelp, helpShortest);
    EXPECT_EQ(dlg.m_maze.m_nStepsOwn, 0);
    EXPECT_EQ(texts.back(),
              "\nDas hier ist doch kein Bildschirmschoner! Du darfst ruhig auch mal selbst was "
              "machen.");
    // No box answered inside it: the start picture returns on the two ticks after the arrival.
    EXPECT_EQ(dlg.m_startPhase, startscreen::kGameOn);
    Tick();
    EXPECT_EQ(dlg.m_startPhase, startscreen::kReturning);
    Tick();
    EXPECT_EQ(dlg.m_startPhase, startscreen::kShown);
}

TEST_F(FloemazeDlgTest, OptionsPanelOpensAndClosesInItsTicks) {
    Open();
    Click(kOptionsButton);
    EXPECT_EQ(dlg.m_panelState, panel::kOpening);
    Tick(11);
    EXPECT_EQ(dlg.m_panelSlide, 110);
    EXPECT_EQ(Position(dlg.m_buttonExit), (POINT{0, 335}));
    EXPECT_EQ(dlg.m_panelY, -1000);
    // Clicks while the panel moves are ignored.
    Click(kOptionsButton);
    EXPECT_EQ(dlg.m_panelState, panel::kOpening);
    Tick();  // the slide is over: only the state changes
    EXPECT_EQ(dlg.m_panelState, panel::kFadingIn);
    EXPECT_EQ(dlg.m_panelAlpha, 0.0f);
    Tick();
    EXPECT_EQ(dlg.m_panelY, 0);
    EXPECT_EQ(dlg.m_panelAlpha, 0.1f);
    EXPECT_EQ(dlg.m_checkDrag.m_fAlpha, 0.1f);
    EXPECT_EQ(Position(dlg.m_optionsMenu), (POINT{0, 236}));
    Click(kOptionsButton);
    EXPECT_EQ(dlg.m_panelState, panel::kFadingIn);
    Tick(9);
    EXPECT_EQ(dlg.m_panelState, panel::kFadingIn);
    EXPECT_EQ(dlg.m_panelAlpha, std::nextafter(1.0f, 2.0f));
    Tick();
    EXPECT_EQ(dlg.m_panelState, panel::kOpen);  // 23 ticks in all
    EXPECT_EQ(dlg.m_optionsMenu.m_fAlpha, 1.0f);
    EXPECT_EQ(dlg.m_radioLeft.m_fAlpha, 1.0f);

    // The open panel: its picture with the controls showing through, the exit button below.
    EXPECT_EQ(Back(100, 300), FrameColour(GameImage::OptionsMenu));
    EXPECT_EQ(Back(kRadioLeft.x, kRadioLeft.y), FrameColour(GameImage::RadioButton, 0, 0));
    EXPECT_EQ(Back(kRadioRight.x, kRadioRight.y), FrameColour(GameImage::RadioButton, 0, 1));
    EXPECT_EQ(Back(kCheckAnimation.x, kCheckAnimation.y),
              FrameColour(GameImage::CheckButton, 0, 0));
    EXPECT_EQ(Back(kCheckDrag.x, kCheckDrag.y), FrameColour(GameImage::CheckButton, 0, 1));
    EXPECT_EQ(Back(100, 350), Blend(FrameColour(GameImage::OptionsMenu),
                                    FrameColour(GameImage::Buttons, 0, 6), 0.9f));

    // Closing: 11 + 1 ticks of fading, 11 + 1 of sliding.
    Click(kOptionsButton);
    EXPECT_EQ(dlg.m_panelState, panel::kFadingOut);
    Tick();
    EXPECT_EQ(dlg.m_panelAlpha, std::nextafter(1.0f, 2.0f) - 0.1f);
    Tick(9);
    EXPECT_GT(dlg.m_panelAlpha, 0.0f);
    EXPECT_EQ(dlg.m_panelY, 0);
    Tick();
    EXPECT_LT(dlg.m_panelAlpha, 0.0f);
    EXPECT_NEAR(dlg.m_panelAlpha, -0.0999999866f, 1e-9f);
    EXPECT_EQ(dlg.m_panelY, -1000);
    EXPECT_EQ(dlg.m_optionsMenu.m_fAlpha, 0.0f);
    EXPECT_EQ(Position(dlg.m_optionsMenu), (POINT{0, -764}));
    int ticks = 11;
    while (dlg.m_panelState != panel::kClosed && ticks < 100) {
        Tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 24);
    EXPECT_EQ(dlg.m_panelSlide, 0);
    EXPECT_EQ(Back(100, 300), kBackgroundColour);

    // Opening again takes a tick longer: the first fade-in tick leaves it all but invisible.
    Click(kOptionsButton);
    Tick(13);
    EXPECT_EQ(dlg.m_panelY, 0);
    EXPECT_GT(dlg.m_panelAlpha, 0.0f);
    EXPECT_LT(dlg.m_panelAlpha, 1e-6f);
    EXPECT_EQ(Back(100, 300), kBackgroundColour);
    int reopen = 13;
    while (dlg.m_panelState != panel::kOpen && reopen < 100) {
        Tick();
        ++reopen;
    }
    EXPECT_EQ(reopen, 24);
    EXPECT_EQ(TogglePanel(), 24);
}

TEST_F(FloemazeDlgTest, RadioButtonsSwitchSidesAndRedrawAtOnce) {
    Open();
    ASSERT_EQ(TogglePanel(), 23);
    Peer().ResetPresented();
    Click(kRadioRight);
    EXPECT_EQ(dlg.m_sideX, 500);
    EXPECT_EQ(Peer().PresentedRects(), (std::vector<RECT>{{0, 0, 700, 500}}));
    EXPECT_EQ(Screen(600, 150),
              Blend(kBackgroundColour, FrameColour(GameImage::Buttons, 0, 0), 0.9f));
    EXPECT_EQ(Screen(25, 25), FrameColour(GameImage::StartPicture, 0, 0));
    EXPECT_EQ(Screen(499, 300), FrameColour(GameImage::StartPicture, 9, 6));
    EXPECT_EQ(Screen(500, 300), FrameColour(GameImage::Separator));
    EXPECT_EQ(Screen(503, 300), FrameColour(GameImage::Separator));

    // Every sprite where the layout puts it for a column at the right.
    EXPECT_EQ(Position(dlg.m_logo), (POINT{500, 0}));
    for (int k = 0; k < 100; ++k) {
        EXPECT_EQ(Position(dlg.m_startTiles[static_cast<std::size_t>(k)]),
                  (POINT{50 * (k / 10), 50 * (k % 10)}));
    }
    EXPECT_EQ(Position(dlg.m_separator), (POINT{499, 0}));
    EXPECT_EQ(Position(dlg.m_buttonStart), (POINT{500, 125}));
    EXPECT_EQ(Position(dlg.m_buttonOptions), (POINT{500, 175}));
    EXPECT_EQ(Position(dlg.m_buttonExit), (POINT{500, 335}));
    EXPECT_EQ(Position(dlg.m_sealPicture), (POINT{500, 366}));
    EXPECT_EQ(Position(dlg.m_optionsMenu), (POINT{500, 236}));
    EXPECT_EQ(Position(dlg.m_radioLeft), (POINT{523, 259}));
    EXPECT_EQ(Position(dlg.m_radioRight), (POINT{603, 259}));
    EXPECT_EQ(Position(dlg.m_checkAnimation), (POINT{610, 286}));
    EXPECT_EQ(Position(dlg.m_checkDrag), (POINT{640, 311}));
    EXPECT_EQ(dlg.m_radioLeft.m_nFrameRow, 1);
    EXPECT_EQ(dlg.m_radioRight.m_nFrameRow, 0);

    // The selected radio button switches just like the other one; so does the left one then.
    Click(POINT{kRadioRight.x + 500, kRadioRight.y});
    EXPECT_EQ(dlg.m_sideX, 0);
    EXPECT_EQ(dlg.m_radioLeft.m_nFrameRow, 0);
    EXPECT_EQ(dlg.m_radioRight.m_nFrameRow, 1);
    Click(kRadioLeft);
    EXPECT_EQ(dlg.m_sideX, 500);
    Click(POINT{kRadioLeft.x + 500, kRadioLeft.y});
    EXPECT_EQ(dlg.m_sideX, 0);
    EXPECT_EQ(Position(dlg.m_startTiles[0]), (POINT{200, 0}));

    // The board follows the side once a game has started; switching during the fall puts the
    // tiles back on the new side and the fall goes on where it was.
    Click(kStartButton);
    Tick(30);
    EXPECT_EQ(dlg.m_startCounter, 30);
    Click(kRadioRight);
    EXPECT_EQ(dlg.m_startCounter, 30);
    EXPECT_EQ(dlg.m_startPhase, startscreen::kFalling);
    EXPECT_EQ(Position(dlg.m_startTiles[0]), (POINT{0, 0}));
    EXPECT_EQ(Position(dlg.m_maze.m_cells[0].m_tile), (POINT{0, 0}));
    EXPECT_EQ(Position(dlg.m_maze.m_cells[399].m_tile), (POINT{475, 475}));
    Tick();
    EXPECT_EQ(dlg.m_startCounter, 31);
    EXPECT_NE(Position(dlg.m_startTiles[0]), (POINT{0, 0}));
    EXPECT_EQ(Position(dlg.m_startTiles[4]), (POINT{0, 200}));  // row 4 waits for counter 40

    // While the game runs the parked tiles go back in place but stay hidden. (The list
    // re-sorts one of the hundred tiles whose depth changed together per update, so they are
    // all below the background only 100 ticks into the game.)
    Tick(71 + 100);
    ASSERT_EQ(dlg.m_startPhase, startscreen::kGameOn);
    Click(POINT{kRadioLeft.x + 500, kRadioLeft.y});
    EXPECT_EQ(dlg.m_sideX, 0);
    EXPECT_EQ(Position(dlg.m_startTiles[0]), (POINT{200, 0}));
    EXPECT_EQ(dlg.m_startTiles[0].m_nDepth, 1);
    const MazeCell& family = *dlg.m_maze.m_pFamilyCell;
    EXPECT_EQ(Screen(200 + 25 * family.m_nCol + 12, 25 * family.m_nRow + 12),
              FrameColour(GameImage::Path, 2, 0));
}

TEST_F(FloemazeDlgTest, SideSwitchDuringAStepLandsTheSealOnItsField) {
    Open(31);
    ASSERT_EQ(TogglePanel(), 23);
    StartFirstGame();
    const auto home = HomewardDirection(dlg.m_maze);
    ASSERT_TRUE(home.has_value());
    Key(kKeyOfDirection[*home]);
    Tick(2);
    Click(kRadioRight);
    const CMazeBoard& maze = dlg.m_maze;
    EXPECT_EQ(Position(maze.m_seal), (POINT{25 * maze.m_nSealCol, 25 * maze.m_nSealRow}));
    EXPECT_EQ(maze.m_nDirection, direction::kStand);
    EXPECT_EQ(maze.m_nStepsOwn, 1);
    Tick(3);
    EXPECT_EQ(Position(maze.m_seal), (POINT{25 * maze.m_nSealCol, 25 * maze.m_nSealRow}));
    EXPECT_EQ(maze.m_nStepsOwn, 1);
    // The next key is taken at once.
    const auto next = HomewardDirection(dlg.m_maze);
    if (next.has_value()) {
        Step(*next);
        EXPECT_EQ(maze.m_nStepsOwn, 2);
        EXPECT_EQ(Position(maze.m_seal), (POINT{25 * maze.m_nSealCol, 25 * maze.m_nSealRow}));
    }
}

TEST_F(FloemazeDlgTest, CheckBoxesFreezeTheAnimationAndAllowDraggingTheLogo) {
    Open();
    // Both pictures follow one counter: the logo plays rows 0..7 once every 56 ticks, the seal
    // picture rows 0..5 in steps of 10 ticks, row 0 at tick 60 and row 4 for the rest of 120.
    std::vector<std::pair<int, int>> rows;
    const auto record = [&](int ticks) {
        for (int i = 0; i < ticks; ++i) {
            AnimationTick();
            rows.emplace_back(dlg.m_logo.m_nFrameRow, dlg.m_sealPicture.m_nFrameRow);
        }
    };
    record(300);
    ASSERT_EQ(TogglePanel(), 23);
    Click(kCheckAnimation);
    EXPECT_FALSE(dlg.m_animate);
    EXPECT_EQ(dlg.m_checkAnimation.m_nFrameRow, 1);
    const auto frozen = std::make_pair(dlg.m_logo.m_nFrameRow, dlg.m_sealPicture.m_nFrameRow);
    AnimationTick(200);
    EXPECT_EQ(std::make_pair(dlg.m_logo.m_nFrameRow, dlg.m_sealPicture.m_nFrameRow), frozen);
    Tick(5);  // the game timer goes on
    Click(kCheckAnimation);
    EXPECT_TRUE(dlg.m_animate);
    EXPECT_EQ(dlg.m_checkAnimation.m_nFrameRow, 0);
    record(600);

    // One run of the counter explains every frame seen, the pause included.
    const auto logoRow = [](int t) { return t % 56 <= 7 ? t % 56 : 0; };
    const auto sealRow = [](int t) {
        const int m = t % 120;
        return m < 60 ? m / 10 : (m == 60 ? 0 : 4);
    };
    int matches = 0;
    for (int start = 0; start < 840; ++start) {
        bool all = true;
        for (std::size_t i = 0; i < rows.size() && all; ++i) {
            const int t = start + static_cast<int>(i);
            all = rows[i] == std::make_pair(logoRow(t), sealRow(t));
        }
        matches += all ? 1 : 0;
    }
    EXPECT_EQ(matches, 1);

    // Dragging the logo: off at first, so a press on it neither drags nor moves the window.
    const int moves = Peer().MovesStarted();
    headless::LeftDown(dlg, kLogo.x, kLogo.y);
    headless::MouseMove(dlg, kLogo.x + 40, kLogo.y + 30, true);
    headless::LeftUp(dlg, kLogo.x + 40, kLogo.y + 30);
    platform::DrainQueue();
    EXPECT_EQ(Position(dlg.m_logo), (POINT{0, 0}));
    EXPECT_EQ(Peer().MovesStarted(), moves);

    Click(kCheckDrag);
    EXPECT_TRUE(dlg.m_dragEnabled);
    EXPECT_EQ(dlg.m_checkDrag.m_nFrameRow, 0);
    headless::LeftDown(dlg, kLogo.x, kLogo.y);
    headless::MouseMove(dlg, kLogo.x + 40, kLogo.y + 30, true);
    EXPECT_EQ(Position(dlg.m_logo), (POINT{40, 30}));
    headless::MouseMove(dlg, -400, 20, true);  // out of the window: it follows
    EXPECT_EQ(Position(dlg.m_logo), (POINT{-450, -30}));
    headless::MouseMove(dlg, 50, 150, true);
    EXPECT_EQ(Position(dlg.m_logo), (POINT{0, 100}));
    headless::LeftUp(dlg, 50, 150);
    headless::MouseMove(dlg, 190, 200);
    EXPECT_EQ(Position(dlg.m_logo), (POINT{0, 100}));
    EXPECT_EQ(Peer().MovesStarted(), moves);
    // A release the window never saw ends the drag with the first move without the button.
    headless::LeftDown(dlg, 60, 160);
    headless::MouseMove(dlg, 80, 170);
    EXPECT_EQ(dlg.m_dragSprite, nullptr);
    EXPECT_EQ(Position(dlg.m_logo), (POINT{0, 100}));

    // Dropped over the options button, its opaque pixels take the clicks there.
    const int state = dlg.m_panelState;
    Click(kOptionsButton);
    EXPECT_EQ(dlg.m_panelState, state);
    // A side switch puts it back.
    Click(kRadioRight);
    EXPECT_EQ(Position(dlg.m_logo), (POINT{500, 0}));

    Click(POINT{kCheckDrag.x + 500, kCheckDrag.y});
    EXPECT_FALSE(dlg.m_dragEnabled);
    EXPECT_EQ(dlg.m_checkDrag.m_nFrameRow, 1);
}

TEST_F(FloemazeDlgTest, ButtonFramesFollowThePointer) {
    Open();
    const auto frames = [&] {
        return std::vector<int>{dlg.m_buttonStart.m_nFrameRow, dlg.m_buttonOptions.m_nFrameRow,
                                dlg.m_buttonExit.m_nFrameRow};
    };
    EXPECT_EQ(frames(), (std::vector<int>{0, 3, 6}));

    // Hover, shown with the next tick.
    headless::MouseMove(dlg, kStartButton.x, kStartButton.y);
    EXPECT_EQ(frames(), (std::vector<int>{1, 3, 6}));
    EXPECT_EQ(Screen(190, 130),
              Blend(kBackgroundColour, FrameColour(GameImage::Buttons, 0, 0), 0.9f));
    Tick();
    EXPECT_EQ(Screen(190, 130),
              Blend(kBackgroundColour, FrameColour(GameImage::Buttons, 0, 1), 0.9f));
    headless::MouseMove(dlg, kOptionsButton.x, kOptionsButton.y);
    EXPECT_EQ(frames(), (std::vector<int>{0, 4, 6}));
    headless::MouseMove(dlg, kExitButton.x, kExitButton.y);
    EXPECT_EQ(frames(), (std::vector<int>{0, 3, 7}));

    // Pressed, and moved about with the button held.
    headless::LeftDown(dlg, kExitButton.x, kExitButton.y);
    EXPECT_EQ(frames(), (std::vector<int>{0, 3, 8}));
    headless::MouseMove(dlg, kOptionsButton.x, kOptionsButton.y, true);
    EXPECT_EQ(frames(), (std::vector<int>{0, 5, 6}));
    headless::MouseMove(dlg, kStartButton.x, kStartButton.y, true);
    EXPECT_EQ(frames(), (std::vector<int>{2, 3, 6}));
    headless::MouseMove(dlg, kStartTile.x, kStartTile.y, true);
    EXPECT_EQ(frames(), (std::vector<int>{0, 3, 6}));
    // Released elsewhere: nothing happens, the frames stay.
    headless::LeftUp(dlg, kStartTile.x, kStartTile.y);
    EXPECT_EQ(frames(), (std::vector<int>{0, 3, 6}));
    EXPECT_FALSE(dlg.IsEnded());

    // A press elsewhere leaves the start button's frame alone but resets the other two.
    headless::MouseMove(dlg, kStartButton.x, kStartButton.y);
    headless::LeftDown(dlg, kStartTile.x, kStartTile.y);
    EXPECT_EQ(frames(), (std::vector<int>{1, 3, 6}));
    headless::LeftUp(dlg, kStartTile.x, kStartTile.y);

    // Pressing the start button and releasing over the background does nothing.
    headless::LeftDown(dlg, kStartButton.x, kStartButton.y);
    headless::MouseMove(dlg, kBackground.x, kBackground.y, true);
    headless::LeftUp(dlg, kBackground.x, kBackground.y);
    EXPECT_FALSE(dlg.m_gameStarted);

    // Pressing on a start tile and releasing over the start button starts a game; the released
    // button keeps its pressed frame until the pointer moves.
    headless::LeftDown(dlg, kStartTile.x, kStartTile.y);
    headless::MouseMove(dlg, kStartButton.x, kStartButton.y, true);
    EXPECT_EQ(frames(), (std::vector<int>{2, 3, 6}));
    headless::LeftUp(dlg, kStartButton.x, kStartButton.y);
    EXPECT_TRUE(dlg.m_gameStarted);
    EXPECT_EQ(frames(), (std::vector<int>{2, 3, 6}));
    headless::MouseMove(dlg, kStartButton.x, kStartButton.y);
    EXPECT_EQ(frames(), (std::vector<int>{1, 3, 6}));

    // A press on the background moves the window; the release ends that move and never reaches
    // the window, so the next move without the button held ends the press: hover, not pressed.
    const int moves = Peer().MovesStarted();
    headless::LeftDown(dlg, kBackground.x, kBackground.y);
    platform::DrainQueue();
    EXPECT_EQ(Peer().MovesStarted(), moves + 1);
    EXPECT_TRUE(dlg.m_mouseDown);
    headless::MouseMove(dlg, kOptionsButton.x, kOptionsButton.y);
    EXPECT_FALSE(dlg.m_mouseDown);
    EXPECT_EQ(frames(), (std::vector<int>{0, 4, 6}));

    // The exit button ends the window.
    Click(kExitButton);
    EXPECT_TRUE(dlg.IsEnded());
}

TEST_F(FloemazeDlgTest, PaintingWholeOrMinimisedAndTheDragIcon) {
    Open();
    // A paint redraws the whole window even with nothing dirty.
    Tick();
    Peer().ResetPresented();
    headless::Paint(dlg);
    EXPECT_EQ(Peer().PresentedRects(), (std::vector<RECT>{{0, 0, 700, 500}}));

    // Minimised, only the icon is drawn, centred; the sprites keep their pending changes.
    headless::MouseMove(dlg, kStartButton.x, kStartButton.y);
    const RECT pending = dlg.m_buttonStart.m_rcDirty;
    ASSERT_NE(pending, RECT{});
    headless::SysCommand(dlg, SC_MINIMIZE);
    ASSERT_TRUE(dlg.IsIconic());
    Peer().ResetPresented();
    headless::Paint(dlg);
    const int size = GetSystemMetrics(SM_CXICON);
    const int x = (700 - size + 1) / 2;
    const int y = (500 - size + 1) / 2;
    EXPECT_EQ(Peer().PresentedRects(), (std::vector<RECT>{{x, y, x + size, y + size}}));
    EXPECT_EQ(dlg.m_buttonStart.m_rcDirty, pending);

    EXPECT_EQ(reinterpret_cast<HICON>(dlg.SendMessage(WM_QUERYDRAGICON)), dlg.m_hIcon);
}

TEST_F(FloemazeDlgTest, SystemMenuOpensTheAboutBox) {
    Open();
    CMenu* menu = dlg.GetSystemMenu(FALSE);
    ASSERT_NE(menu, nullptr);
    const auto& items = menu->Items();
    ASSERT_GE(items.size(), 2u);
    EXPECT_EQ(items[items.size() - 2].flags, MF_SEPARATOR);
    EXPECT_EQ(items.back().flags, MF_STRING);
    EXPECT_EQ(items.back().id, IDM_ABOUTBOX);
    EXPECT_EQ(items.back().text, "&Info über Floemaze...");

    // Every id whose upper bits are the entry's opens the box, modal over the game window.
    for (const UINT id : {0x0010u, 0x001Fu}) {
        int depth = 0;
        headless::Use().SetScript([&] {
            depth = platform::ModalDepth();
            headless::Click(dlg, kExitButton.x, kExitButton.y);  // dropped
            return false;                                        // closes the box
        });
        headless::SysCommand(dlg, id);
        EXPECT_EQ(depth, 1) << id;
        EXPECT_FALSE(dlg.IsEnded());
    }
    headless::Use().SetScript(nullptr);
    headless::SysCommand(dlg, 0x0020);
    EXPECT_FALSE(dlg.IsEnded());
    headless::SysCommand(dlg, SC_CLOSE);
    EXPECT_TRUE(dlg.IsEnded());

    CAboutDlg about;
    ASSERT_TRUE(about.Open());
    EXPECT_EQ(about.GetWindowText(), "Info über Icepup");
    ASSERT_EQ(about.Template()->items.size(), 5u);
    EXPECT_EQ(about.Template()->items[1].text, "Icepup Version 1.02");
    headless::KeyDown(about, VK_RETURN);
    EXPECT_EQ(about.Close(), IDOK);
}

class FloemazeAppTest : public ::testing::Test {
protected:
    void SetUp() override { res::RegisterResources(); }
    void TearDown() override { headless::Use().SetScript(nullptr); }
};

TEST_F(FloemazeAppTest, MissingImagesAreReportedInOrderAndNoTickEverRuns) {
    GameFolder folder(
        {GameImage::Background, GameImage::Logo, GameImage::Buttons, GameImage::SealPicture});
    // A file that opens but is no picture gets the image's own message first.
    folder.Dir().Write("Trennlinie.bmp", {'B', 'X', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    auto& backend = headless::Use();
    const std::size_t before = backend.MessageBoxTexts().size();
    CFloemazeApp app;
    bool ticked = false;
    int waitsOutsideBoxes = 0;
    backend.SetScript([&] {
        if (app.m_pMainWnd != nullptr) {
            ticked |= headless::FireTimer(*app.m_pMainWnd, 1);
            ticked |= headless::FireTimer(*app.m_pMainWnd, 2);
        }
        if (backend.OpenMessageBoxes() == 0) {
            ++waitsOutsideBoxes;
            return false;
        }
        backend.AnswerMessageBox(IDOK);
        return true;
    });
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(app.InitInstance());
    // Beside each box, standard error names the file where it was looked for.
    std::string tried;
    for (const GameImage image : {GameImage::Background, GameImage::Logo, GameImage::Buttons,
                                  GameImage::SealPicture, GameImage::Separator}) {
        tried += "floemaze: cannot load " +
                 (std::filesystem::current_path() / FileName(image)).string() + "\n";
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), tried);
    const std::vector<std::string> texts(
        backend.MessageBoxTexts().begin() + static_cast<std::ptrdiff_t>(before),
        backend.MessageBoxTexts().end());
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "Die Datei \"Hintergrund.bmp\" konnte nicht geladen werden!",
                         "Die Datei \"Logo.bmp\" konnte nicht geladen werden!",
                         "Die Datei \"buttons.bmp\" konnte nicht geladen werden!",
                         "Die Datei \"Robbe.bmp\" konnte nicht geladen werden!",
                         "Ungültige Bitmap-Datei",
                         "Die Datei \"Trennlinie.bmp\" konnte nicht geladen werden!",
                     }));
    EXPECT_FALSE(ticked);
    EXPECT_EQ(waitsOutsideBoxes, 0);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(app.m_registryKey, "Vom lokalen Anwendungs-Assistenten generierte Anwendungen");
}

TEST_F(FloemazeAppTest, ImageOfTheWrongDepthIsReportedAndTheGameRuns) {
    GameFolder folder;
    BmpSpec eightBit;
    eightBit.width = 5;
    eightBit.height = 500;
    eightBit.bitCount = 8;
    eightBit.paletteEntries = 256;
    folder.Dir().Write("Trennlinie.bmp", MakeBmp(eightBit));
    auto& backend = headless::Use();
    const std::size_t before = backend.MessageBoxTexts().size();
    CFloemazeApp app;
    int step = 0;
    backend.SetScript([&] {
        if (backend.OpenMessageBoxes() > 0) {
            backend.AnswerMessageBox(IDOK);
            return true;
        }
        if (step++ == 0) {
            EXPECT_TRUE(headless::FireTimer(*app.m_pMainWnd, 2));
            headless::Click(*app.m_pMainWnd, kExitButton.x, kExitButton.y);
        }
        return step < 5;
    });
    EXPECT_FALSE(app.InitInstance());
    ASSERT_EQ(backend.MessageBoxTexts().size(), before + 1);
    EXPECT_EQ(backend.MessageBoxTexts().back(),
              "Die Spritebibliothek unterstützt nur Bitmaps mit 24-Bit Farbtiefe");
    EXPECT_EQ(step, 1);
}

// A whole session through the program's own start: the start button, a game walked home by the
// arrow keys, the result box, and the exit button.
TEST_F(FloemazeAppTest, WholeSessionWithMouseAndKeyboard) {
    GameFolder folder;
    auto& backend = headless::Use();
    CFloemazeApp app;
    enum class Stage { Start, Walk, Done } stage = Stage::Start;
    int waits = 0;
    int results = 0;
    backend.SetScript([&] {
        if (++waits > 10000) return false;
        auto* window = static_cast<CFloemazeDlg*>(app.m_pMainWnd);
        if (backend.OpenMessageBoxes() > 0) {
            ++results;
            backend.AnswerMessageBox(IDOK);
            return true;
        }
        switch (stage) {
            case Stage::Start:
                window->PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(kStartButton.x, kStartButton.y));
                window->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON,
                                    MAKELPARAM(kStartButton.x, kStartButton.y));
                window->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(kStartButton.x, kStartButton.y));
                stage = Stage::Walk;
                return true;
            case Stage::Walk:
                if (window->m_gameStarted && !window->m_maze.m_bRunning) {
                    window->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(kExitButton.x, kExitButton.y));
                    stage = Stage::Done;
                    return true;
                }
                if (window->m_maze.m_nDirection == direction::kStand) {
                    if (const auto home = HomewardDirection(window->m_maze)) {
                        window->PostMessage(WM_KEYDOWN, kKeyOfDirection[*home], 1);
                    }
                }
                headless::FireTimer(*window, 2);
                headless::FireTimer(*window, 1);
                return true;
            case Stage::Done:
                return false;
        }
        return false;
    });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(stage, Stage::Done);
    EXPECT_EQ(results, 1);
    EXPECT_LT(waits, 10000);
    EXPECT_TRUE(backend.MessageBoxTexts().back().starts_with(
        "Du hast die kleine Robbe zu ihrer Familie zurück gebracht!\n"));
}

}  // namespace

namespace {

RECT UnionOf(const std::vector<RECT>& rects) {
    RECT all{};
    for (const RECT& r : rects) UnionRect(&all, &all, &r);
    return all;
}

// A seed whose next draws send all five wall-flicker tries of a tick to open fields, so that the
// tick changes nothing but the seal.
unsigned SeedSparingTheWalls(const CMazeBoard& maze) {
    for (unsigned seed = 1;; ++seed) {
        std::srand(seed);
        bool open = true;
        for (int i = 0; i < 5 && open; ++i) {
            const int col = std::rand() % 20;
            const int row = std::rand() % 20;
            open = maze.m_cells[static_cast<std::size_t>(col * 20 + row)].m_bOpen == 1;
        }
        if (open) return seed;
    }
}

}  // namespace

TEST_F(FloemazeDlgTest, OnlyWhatChangedReachesTheScreen) {
    Open(3);
    // With the animations off, an idle tick presents nothing at all.
    Click(kOptionsButton);
    Tick(30);
    Click(kCheckAnimation);
    Click(kOptionsButton);
    Tick(30);
    Peer().ResetPresented();
    Tick(10);
    AnimationTick(10);
    EXPECT_EQ(Peer().PresentedPixels(), 0u);

    // One move of the seal presents at most its old and new place: 30 × 25 pixels.
    // (The fallen start tiles first sink behind the background, one a tick.)
    StartFirstGame();
    Tick(110);
    dlg.m_maze.m_bHelp = true;
    Tick(3);
    for (int move = 0; move < 10; ++move) {
        SCOPED_TRACE(move);
        RECT before{};
        dlg.m_maze.m_seal.GetRect(&before);
        std::srand(SeedSparingTheWalls(dlg.m_maze));
        Peer().ResetPresented();
        Tick();
        RECT after{};
        dlg.m_maze.m_seal.GetRect(&after);
        RECT both{};
        UnionRect(&both, &before, &after);
        const RECT presented = UnionOf(Peer().PresentedRects());
        RECT inside{};
        UnionRect(&inside, &presented, &both);
        EXPECT_EQ(inside, both) << "presented beyond the seal's step";
        EXPECT_LE(Peer().PresentedPixels(), 30u * 25u);
    }
}
