// SPDX-License-Identifier: GPL-3.0-or-later
// floemaze_soak: plays games on the headless backend with random input from a seed, the way a
// child would — every key, held ones repeating, clicks and drags anywhere, a finger leading the
// seal over the board, a gamepad, the options panel, side switches in the middle of things,
// message boxes left open while the timers go on, the About box — and checks
// the window's invariants after every tick (tests/soak/Invariants.h).
//
//   floemaze_soak [--games N] [--seed S]      N games played from run seed S
//   floemaze_soak --session X [--games N]     replays one window session with seed X
//   --screen-rows K: after a tick, every K-th row of the screen is compared with the back buffer
//   (a different row each time; 4 by default); after painting, all of them.
//   --walk-home P: P % of the games (50 by default) are played for a while and then walked home
//   to their result; in the others the child goes on playing until it starts a new maze.
//
// Each window session gets a seed of its own, printed with every violation, so a failing
// session can be replayed alone. The exit status is 1 when anything was violated.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/FloemazeApp.h"
#include "app/FloemazeDlg.h"
#include "platform/Backend.h"
#include "platform/Gamepad.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/Resources.h"
#include "tests/soak/Invariants.h"
#include "tests/support/GameImages.h"

namespace {

namespace headless = platform::headless;

constexpr int kWidth = 700;
constexpr int kHeight = 500;
constexpr UINT kArrows[4] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT};
// Keys a child hits besides the arrows, End and the keys of the buttons: none of them may do
// anything.
constexpr UINT kOtherKeys[] = {VK_HOME, VK_ESCAPE, VK_F1, VK_F4, 'A'};
// The keys of the start and the options button.
constexpr UINT kButtonKeys[] = {VK_RETURN, VK_SPACE, VK_TAB};
// A gamepad's buttons; the window system maps them to keys.
constexpr platform::GamepadButton kPadButtons[] = {
    platform::GamepadButton::South,    platform::GamepadButton::East,
    platform::GamepadButton::West,     platform::GamepadButton::North,
    platform::GamepadButton::Back,     platform::GamepadButton::Start,
    platform::GamepadButton::DpadUp,   platform::GamepadButton::DpadDown,
    platform::GamepadButton::DpadLeft, platform::GamepadButton::DpadRight};
// A game that takes longer than this many ticks has hung.
constexpr int kTicksPerGameLimit = 30000;
constexpr int kMaxViolationsShown = 20;

std::uint64_t SplitMix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

struct Figures {
    int sessions = 0;
    int exits = 0;  // sessions the exit button or the close command ended
    int gamesStarted = 0;
    int gamesFinished = 0;
    int gamesReplaced = 0;
    long ticks = 0;
    long nestedTicks = 0;  // ticks inside message boxes and About boxes
    long inputs = 0;
    long droppedInputs = 0;  // input sent while a box was open, which must not arrive
    int resultBoxes = 0;
    int aboutBoxes = 0;
    int sideSwitches = 0;
    int sideSwitchesInFall = 0;  // while the start picture's tiles fell
    int sideSwitchesInStep = 0;  // while the seal was between two fields
    int helpToggles = 0;
    int leads = 0;  // presses on the board that led the seal
    long gamepadInputs = 0;
    int paints = 0;
    long violations = 0;
};

// One window session: the program started, games played until `games` have ended (with their
// result, or replaced by a new maze from the start button), then the window closed.
class Session {
public:
    Session(std::uint64_t seed, int games, int screenRowStep, double walkHomeShare,
            Figures& figures)
        : m_seed(seed),
          m_gamesWanted(games),
          m_rng(seed),
          m_figures(figures),
          m_watch([this](const std::string& what) { Violation(what); }),
          m_walkHomeShare(walkHomeShare) {
        m_watch.SetScreenRowStep(screenRowStep);
    }

    // Returns the number of games played: ended with their result or replaced by a new maze.
    int Run() {
        auto& backend = headless::Use();
        CFloemazeApp app;
        m_app = &app;
        backend.SetScript([this] { return Step(); });
        app.InitInstance();
        backend.SetScript(nullptr);
        m_app = nullptr;

        m_figures.gamesStarted += m_watch.GamesStarted();
        m_figures.gamesFinished += m_watch.GamesFinished();
        m_figures.gamesReplaced += m_watch.GamesReplaced();
        return m_watch.GamesPlayed();
    }

private:
    enum class Context { Box, About };
    struct Plan {
        Context context;
        int ticksLeft;  // ticks to run inside before the box is answered
    };

    CFloemazeDlg& Dlg() const { return *static_cast<CFloemazeDlg*>(m_app->m_pMainWnd); }

    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_rng) < p; }
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }

    void Violation(const std::string& what) {
        if (m_figures.violations++ < kMaxViolationsShown) {
            std::printf("VIOLATION in session %llu, game %d, tick %ld: %s\n",
                        static_cast<unsigned long long>(m_seed), m_watch.GamesStarted(),
                        m_figures.ticks, what.c_str());
            std::printf("  replay: floemaze_soak --session %llu --games %d\n",
                        static_cast<unsigned long long>(m_seed), m_gamesWanted);
        }
    }

    // Called whenever a modal loop waits: the message boxes and About boxes opened since the
    // last call are noticed here, and the innermost one decides what happens next.
    bool Step() {
        if (m_app == nullptr || m_app->m_pMainWnd == nullptr) return false;
        if (!m_seeded) {
            // The maze seeds the game's random numbers with the time; the session takes over.
            std::srand(static_cast<unsigned>(m_seed));
            m_seeded = true;
        }
        auto& backend = headless::Use();
        const int boxes =
            static_cast<int>(std::count_if(m_plans.begin(), m_plans.end(), [](const Plan& p) {
                return p.context == Context::Box;
            }));
        if (backend.OpenMessageBoxes() > boxes) {
            ++m_figures.resultBoxes;
            m_watch.MessageBox(Dlg(), backend.MessageBoxTexts().back());
            m_plans.push_back(Plan{Context::Box, NestedTicks()});
        }
        if (!m_plans.empty()) return StepInside();
        return StepOutside();
    }

    // How long a box stays open: mostly a moment, sometimes through the whole fall of the board
    // and the return of the start screen.
    int NestedTicks() {
        const int kind = Uniform(0, 9);
        if (kind < 5) return Uniform(0, 5);
        if (kind < 9) return Uniform(5, 100);
        return Uniform(100, 300);
    }

    bool StepInside() {
        Plan& plan = m_plans.back();
        if (plan.ticksLeft > 0) {
            --plan.ticksLeft;
            ++m_figures.nestedTicks;
            Tick();
            // The child goes on pressing and clicking; none of it may reach the game window.
            if (Chance(0.3)) TryInputWhileBlocked();
            return true;
        }
        const Context context = plan.context;
        m_plans.pop_back();
        if (context == Context::Box) {
            headless::Use().AnswerMessageBox(IDOK);
            return true;
        }
        return false;  // ends the About box's loop, as its close button would
    }

    void TryInputWhileBlocked() {
        CFloemazeDlg& dlg = Dlg();
        MSG msg{&dlg, WM_KEYDOWN, kArrows[Uniform(0, 3)], 1};
        switch (Uniform(0, 3)) {
            case 0:
                msg.wParam = VK_END;
                break;
            case 1:
                msg = MSG{&dlg, WM_LBUTTONUP, 0, MAKELPARAM(Uniform(0, kWidth - 1), 150)};
                break;
            case 2: {
                const POINT p = RandomPoint();
                msg = MSG{&dlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y)};
                break;
            }
            default:
                break;
        }
        ++m_figures.droppedInputs;
        if (platform::DeliverMessage(msg)) Violation("input reached the window behind a box");
    }

    // One 40 ms tick, with the 150 ms timer's ticks that fall due in it, then the checks.
    void Tick() {
        CFloemazeDlg& dlg = Dlg();
        m_clockMs += 40;
        if (const auto repeat = m_pad.Repeat(static_cast<std::uint64_t>(m_clockMs))) {
            Key(repeat->key, true);
        }
        if (!headless::FireTimer(dlg, 2)) Violation("the 40 ms timer does not run");
        ++m_figures.ticks;
        m_watch.Check(dlg, soak::Invariants::Moment::Tick);
        while (m_clockMs >= m_nextAnimationMs) {
            m_nextAnimationMs += 150;
            if (!headless::FireTimer(dlg, 1)) Violation("the 150 ms timer does not run");
            m_watch.Check(dlg, soak::Invariants::Moment::Tick);
        }
    }

    // Where things are for the current layout.
    POINT RandomPoint() { return POINT{Uniform(0, kWidth - 1), Uniform(0, kHeight - 1)}; }
    // A point inside the area (left, top, width, height) that hits what lies there: a sprite's
    // own left column and top row never hit. The two draws are made in this order.
    POINT Within(int left, int top, int width, int height) {
        const int x = left + Uniform(1, width - 1);
        const int y = top + Uniform(1, height - 1);
        return POINT{x, y};
    }
    POINT Target() {
        CFloemazeDlg& dlg = Dlg();
        const int column = dlg.m_sideX;
        const int board = dlg.m_sideX == 0 ? 200 : 0;
        const bool panel = dlg.m_panelY == 0;
        switch (Uniform(0, panel ? 11 : 6)) {
            case 0:
                return Within(column, 125, 200, 50);  // start
            case 1:
                return Within(column, 175, 200, 50);  // options
            case 2:
                return Within(column, 366, 200, 134);  // seal picture
            case 3:
                return Within(dlg.m_logo.m_nX, dlg.m_logo.m_nY, 180, 129);
            case 4:
                return Within(board, 0, 500, 500);
            case 5:
                return Within(column, 0, 196, 500);  // the control column, background between
            case 6:
                return RandomPoint();
            case 7:
                return Within(column + 23, 259, 20, 20);  // radio button left
            case 8:
                return Within(column + 103, 259, 20, 20);  // radio button right
            case 9:
                return Within(column + 110, 286, 20, 20);  // animation check box
            case 10:
                return Within(column + 140, 311, 20, 20);  // dragging check box
            default:
                return Within(column, 226, 200, 150);  // the panel and the exit button
        }
    }
    // The exit button only ends a session on purpose, and a new maze during a game comes now
    // and then, not whenever a release lands on the start button: a stray release there is moved
    // aside.
    POINT Aside(POINT p) {
        CFloemazeDlg& dlg = Dlg();
        const CSprite* hit = dlg.m_sprites.GetSpriteAt(p.x, p.y);
        const bool running = dlg.m_gameStarted && dlg.m_maze.m_bRunning;
        if (hit == &dlg.m_buttonExit ||
            (hit == &dlg.m_buttonStart && running && m_walkHome && !Chance(0.2))) {
            p.y = 499;
        }
        return p;
    }

    void Press(POINT p) {
        CFloemazeDlg& dlg = Dlg();
        const bool help = dlg.m_maze.m_bHelp;
        headless::LeftDown(dlg, p.x, p.y);
        if (dlg.m_dragSprite == &dlg.m_logo) m_watch.LogoDragStarted();
        if (dlg.m_maze.m_bHelp != help) ++m_figures.helpToggles;
        ++m_figures.inputs;
    }
    void Release(POINT p) {
        CFloemazeDlg& dlg = Dlg();
        const int side = dlg.m_sideX;
        const bool falling = dlg.m_startPhase == startscreen::kFalling;
        const bool stepping = dlg.m_gameStarted && dlg.m_maze.m_nDirection != direction::kStand;
        headless::LeftUp(dlg, p.x, p.y);
        if (dlg.m_sideX != side) {
            ++m_figures.sideSwitches;
            if (falling) ++m_figures.sideSwitchesInFall;
            if (stepping) ++m_figures.sideSwitchesInStep;
        }
        ++m_figures.inputs;
    }
    void Click(POINT p) {
        headless::MouseMove(Dlg(), p.x, p.y);
        Press(p);
        Release(Aside(p));
        ++m_figures.inputs;
    }
    void Key(UINT key, bool repeat = false) {
        CFloemazeDlg& dlg = Dlg();
        const bool help = dlg.m_maze.m_bHelp;
        platform::DeliverMessage(
            MSG{&dlg, WM_KEYDOWN, key, 1 | (repeat ? LPARAM{KF_REPEAT} << 16 : 0)});
        if (dlg.m_maze.m_bHelp != help) ++m_figures.helpToggles;
        ++m_figures.inputs;
    }
    // Return, Space or Tab, sometimes a held one's repeat. Like a stray release on the start
    // button, a key that would replace a game meant to be walked home mostly goes elsewhere.
    void ButtonKey() {
        CFloemazeDlg& dlg = Dlg();
        UINT key = kButtonKeys[Uniform(0, 2)];
        const bool running = dlg.m_gameStarted && dlg.m_maze.m_bRunning;
        if (key != VK_TAB && running && m_walkHome && !Chance(0.2)) key = VK_HOME;
        Key(key, Chance(0.3));
    }
    // A finger on the board leads the seal for a while: held on or near it, moved along, with
    // ticks between, and lifted (now and then outside the window, unheard).
    void Lead() {
        CFloemazeDlg& dlg = Dlg();
        const CSprite& seal = dlg.m_maze.m_seal;
        POINT p{seal.m_nX + Uniform(-60, 84), seal.m_nY + Uniform(-60, 84)};
        headless::MouseMove(dlg, p.x, p.y);
        Press(p);
        const int moves = Uniform(1, 10);
        for (int i = 0; i < moves && !dlg.IsEnded(); ++i) {
            p.x += Uniform(-40, 40);
            p.y += Uniform(-40, 40);
            headless::MouseMove(dlg, p.x, p.y, true);
            ++m_figures.inputs;
            const int ticks = Uniform(0, 8);
            for (int t = 0; t < ticks && !dlg.IsEnded(); ++t) Tick();
        }
        ++m_figures.leads;
        if (Chance(0.1)) return;
        Release(Aside(p));
    }
    // A gamepad: a button pressed or let go, or the stick moved; held directions repeat on the
    // session's clock, as the window system repeats them.
    void Gamepad() {
        using platform::HeldDirection;
        CFloemazeDlg& dlg = Dlg();
        std::optional<HeldDirection::Press> press;
        if (Chance(0.3)) {
            press = m_pad.Stick(platform::StickKey(Uniform(-32768, 32767), Uniform(-32768, 32767)),
                                static_cast<std::uint64_t>(m_clockMs));
        } else {
            const UINT key = platform::GamepadButtonKey(kPadButtons[Uniform(0, 9)]);
            const bool down = Chance(0.6);
            if (key >= VK_LEFT && key <= VK_DOWN) {
                press = m_pad.Pad(key, down, static_cast<std::uint64_t>(m_clockMs));
            } else if (key != 0 && down) {
                press = HeldDirection::Press{key, false};
            }
            const bool running = dlg.m_gameStarted && dlg.m_maze.m_bRunning;
            if (press && press->key == VK_RETURN && running && m_walkHome && !Chance(0.2)) {
                press.reset();
            }
        }
        ++m_figures.gamepadInputs;
        if (press) Key(press->key, press->repeat);
    }
    // A press, a few moves with the button held (with ticks between, sometimes), and a release,
    // now and then outside the window.
    void Drag() {
        CFloemazeDlg& dlg = Dlg();
        POINT p = Chance(0.5) ? Target() : RandomPoint();
        headless::MouseMove(dlg, p.x, p.y);
        Press(p);
        const int moves = Uniform(1, 12);
        for (int i = 0; i < moves; ++i) {
            p.x += Uniform(-60, 60);
            p.y += Uniform(-60, 60);
            headless::MouseMove(dlg, p.x, p.y, true);
            ++m_figures.inputs;
            if (Chance(0.3)) Tick();
        }
        if (Chance(0.1)) return;  // released outside the window: the window never hears of it
        Release(Aside(p));
    }

    void Paint() {
        CFloemazeDlg& dlg = Dlg();
        headless::Paint(dlg);
        ++m_figures.paints;
        m_watch.Check(dlg, soak::Invariants::Moment::Paint);
    }
    void MinimiseAndRestore() {
        CFloemazeDlg& dlg = Dlg();
        headless::SysCommand(dlg, SC_MINIMIZE);
        headless::Paint(dlg);
        const int ticks = Uniform(0, 20);
        for (int i = 0; i < ticks; ++i) Tick();
        headless::PeerOf(dlg)->Restore();
        Paint();
    }
    void About() {
        ++m_figures.aboutBoxes;
        m_plans.push_back(Plan{Context::About, Uniform(0, 40)});
        headless::SysCommand(Dlg(), IDM_ABOUTBOX);
    }

    bool StepOutside() {
        CFloemazeDlg& dlg = Dlg();
        if (dlg.IsEnded()) return false;
        if (m_watch.GamesPlayed() >= m_gamesWanted) {
            // A game that has just begun is closed with the window, unplayed.
            // Done: the exit button or the system menu's close command.
            if (Chance(0.5)) {
                headless::Click(dlg, dlg.m_sideX + 100, 255 + dlg.m_panelSlide);
            } else {
                headless::SysCommand(dlg, SC_CLOSE);
            }
            // A logo dropped over the exit button takes the click; the next try closes.
            if (dlg.IsEnded()) ++m_figures.exits;
            return true;
        }
        if (dlg.m_gameStarted && m_watch.TicksInGame() > kTicksPerGameLimit) {
            Violation("a game has not ended after " + std::to_string(kTicksPerGameLimit) +
                      " ticks");
            dlg.SendMessage(WM_CLOSE);
            return true;
        }

        const bool running = dlg.m_gameStarted && dlg.m_maze.m_bRunning;
        // Between games the child starts the next one sooner or later.
        if (!running &&
            (dlg.m_startPhase == startscreen::kShown || dlg.m_startPhase == startscreen::kGameOn) &&
            Chance(0.05)) {
            Click(POINT{dlg.m_sideX + 100, 150});
            return true;
        }
        // A game meant to be walked home is, once it has taken long enough: help on, and only
        // time passes. The others end when the child starts a new maze.
        if (running && m_watch.TicksInGame() > m_patience) {
            if (!dlg.m_maze.m_bHelp) Key(VK_END);
            for (int i = 0; i < 4; ++i) Tick();
            if (Chance(0.02)) Paint();
            return true;
        }

        // In a game not meant to be finished, the child soon starts the next one.
        if (running && !m_walkHome && Chance(0.01)) {
            Click(POINT{dlg.m_sideX + 100, 150});
            return true;
        }
        const int roll = Uniform(0, 999);
        if (roll < 440) {
            const int ticks = Uniform(1, 4);
            for (int i = 0; i < ticks && !dlg.IsEnded(); ++i) Tick();
        } else if (roll < 470) {
            Lead();
        } else if (roll < 485) {
            ButtonKey();
        } else if (roll < 500) {
            Gamepad();
        } else if (roll < 620) {
            Key(kArrows[Uniform(0, 3)]);
        } else if (roll < 640) {
            Key(VK_END);
        } else if (roll < 650) {
            Key(kOtherKeys[Uniform(0, std::size(kOtherKeys) - 1)]);
        } else if (roll < 720) {
            Click(RandomPoint());
        } else if (roll < 850) {
            Click(Target());
        } else if (roll < 900) {
            Drag();
        } else if (roll < 950) {
            const POINT p = RandomPoint();
            headless::MouseMove(dlg, p.x, p.y, Chance(0.2));
            ++m_figures.inputs;
        } else if (roll < 960) {
            const POINT p = RandomPoint();
            headless::RightClick(dlg, p.x, p.y);
            ++m_figures.inputs;
        } else if (roll < 965) {
            About();
        } else if (roll < 985) {
            Paint();
        } else if (roll < 990) {
            MinimiseAndRestore();
        } else {
            // The options button, so that the panel's controls are often within reach.
            Click(POINT{dlg.m_sideX + 100, 200});
        }
        // Messages the handlers posted (a window move from the background) are dispatched.
        platform::DrainQueue();
        if (m_watch.GamesStarted() != m_patienceGame) {
            m_patienceGame = m_watch.GamesStarted();
            m_walkHome = Chance(m_walkHomeShare);
            // A game that the start button has not replaced in that time is walked home too.
            m_patience = m_walkHome ? Uniform(50, 800) : 3000;
        }
        return true;
    }

    std::uint64_t m_seed;
    int m_gamesWanted;
    std::mt19937_64 m_rng;
    Figures& m_figures;
    soak::Invariants m_watch;
    CFloemazeApp* m_app = nullptr;
    std::vector<Plan> m_plans;
    bool m_seeded = false;
    long m_clockMs = 0;
    platform::HeldDirection m_pad;
    long m_nextAnimationMs = 150;
    double m_walkHomeShare;
    bool m_walkHome = true;  // the current game is to be walked home, not replaced
    int m_patience = 1000;   // ticks of random play before the current game is walked home
    int m_patienceGame = 0;
};

struct Options {
    int games = 100;
    std::uint64_t seed = 1;
    std::optional<std::uint64_t> session;
    int screenRows = 4;
    int walkHomePercent = 50;
};

std::optional<Options> Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return std::nullopt;
        const char* value = argv[++i];
        char* end = nullptr;
        const unsigned long long number = std::strtoull(value, &end, 0);
        if (end == value || *end != '\0') return std::nullopt;
        if (arg == "--games" && number > 0 && number < 10000000) {
            options.games = static_cast<int>(number);
        } else if (arg == "--seed") {
            options.seed = number;
        } else if (arg == "--session") {
            options.session = number;
        } else if (arg == "--screen-rows" && number > 0 && number <= 500) {
            options.screenRows = static_cast<int>(number);
        } else if (arg == "--walk-home" && number <= 100) {
            options.walkHomePercent = static_cast<int>(number);
        } else {
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = Parse(argc, argv);
    if (!options) {
        std::fprintf(stderr,
                     "usage: floemaze_soak [--games N] [--seed S]\n"
                     "       floemaze_soak --session X [--games N]\n"
                     "       --screen-rows K: compare every K-th screen row after a tick\n"
                     "       --walk-home P: P %% of the games are walked home (50), the others\n"
                     "         end when the child starts a new maze\n");
        return 2;
    }
    res::RegisterResources();
    headless::Use();
    GameFolder pictures;

    const auto start = std::chrono::steady_clock::now();
    Figures figures;
    int played = 0;
    for (std::uint64_t index = 0; played < options->games; ++index) {
        const std::uint64_t seed =
            options->session ? *options->session : SplitMix(options->seed + index);
        // A session plays a few games in one window, so that what happens between games is
        // played too.
        const int games = options->session
                              ? options->games
                              : std::min(options->games - played, 1 + static_cast<int>(seed % 4));
        Session session(seed, games, options->screenRows, options->walkHomePercent / 100.0,
                        figures);
        const int done = session.Run();
        ++figures.sessions;
        played += done;
        if (options->session) break;
        if (figures.violations > 1000) break;
        // Sessions end when their games are played; this only guards against one that could not
        // play any.
        if (done == 0 && figures.sessions > 10 * options->games) break;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const auto& f = figures;
    std::printf(
        "floemaze_soak: seed %llu, %.1f s\n",
        static_cast<unsigned long long>(options->session ? *options->session : options->seed),
        seconds);
    std::printf(
        "  %d games played: %d walked home, %d replaced by a new maze; %d windows, %d "
        "closed on purpose\n",
        f.gamesFinished + f.gamesReplaced, f.gamesFinished, f.gamesReplaced, f.sessions, f.exits);
    std::printf("  %ld ticks (%ld inside boxes), %ld inputs (%ld sent behind boxes)\n", f.ticks,
                f.nestedTicks, f.inputs, f.droppedInputs);
    std::printf(
        "  %d results, %d About boxes, %d side switches (%d during the fall, %d during a "
        "step), %d help toggles, %d paints\n",
        f.resultBoxes, f.aboutBoxes, f.sideSwitches, f.sideSwitchesInFall, f.sideSwitchesInStep,
        f.helpToggles, f.paints);
    std::printf("  %d leads by a finger on the board, %ld gamepad inputs\n", f.leads,
                f.gamepadInputs);
    std::printf("  %ld violations\n", f.violations);
    return figures.violations == 0 && played >= options->games ? 0 : 1;
}
