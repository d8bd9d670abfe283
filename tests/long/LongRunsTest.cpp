// SPDX-License-Identifier: GPL-3.0-or-later
// Long runs of the game on a real X server, run by hand (tools/long-runs), not by the test suite:
// a result box left open for minutes while both timers tick, an arrow key held down under
// auto-repeat, the window minimised and restored during a game. The game is the watched build
// (WatchedGame.cpp), whose reports on standard output give the figures; each test prints its
// figures as "figure:" lines.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/PopupMenu.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GameImages.h"
#include "tests/support/XServer.h"

namespace {

constexpr int kTimeoutMs = 10000;
const std::string kLeakOptions = std::string("LSAN_OPTIONS=") + FLOEMAZE_GAME_LSAN;

constexpr POINT kStartButton{100, 150};
constexpr POINT kBackground{100, 320};
const char* const kArrowKeys[4] = {"Up", "Down", "Left", "Right"};
constexpr long kArrowCodes[4] = {0x26, 0x28, 0x25, 0x27};  // their virtual key codes
constexpr int kReverse[4] = {1, 0, 3, 2};

// The monotonic clock, which the watched game reads alike.
long long Now() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int SecondsFromEnvironment(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

// The value of "name=value" in a report line; -1 without it.
long Field(const std::string& line, const std::string& name) {
    const std::size_t at = line.find(" " + name + "=");
    return at == std::string::npos ? -1 : std::atol(line.c_str() + at + name.size() + 2);
}
std::string TextField(const std::string& line, const std::string& name) {
    const std::size_t at = line.find(" " + name + "=");
    if (at == std::string::npos) return "";
    const std::size_t start = at + name.size() + 2;
    return line.substr(start, line.find(' ', start) - start);
}
// The time stamp of a report line: its second word.
long long Stamp(const std::string& line) {
    const std::size_t space = line.find(' ');
    return space == std::string::npos ? -1 : std::atoll(line.c_str() + space + 1);
}
// The key code of a "key" report: its third word.
long KeyCode(const std::string& line) {
    std::istringstream words(line);
    std::string word;
    long long stamp = 0;
    long code = -1;
    words >> word >> stamp >> code;
    return code;
}
bool Starts(const std::string& line, const char* prefix) {
    return line.rfind(prefix, 0) == 0;
}

// The seal as the watched game reported it last.
struct Seal {
    long long at = -1;
    int dir = 6;
    std::string field;
    std::string open = "0000";
    int ahead = 0;
    int runs[4] = {0, 0, 0, 0};
    bool Open(int d) const { return open[static_cast<std::size_t>(d)] == '1'; }
};
Seal ParseSeal(const std::string& line) {
    Seal seal;
    seal.at = Stamp(line);
    seal.dir = static_cast<int>(Field(line, "dir"));
    seal.field = TextField(line, "field");
    seal.open = TextField(line, "open");
    seal.ahead = static_cast<int>(Field(line, "ahead"));
    std::istringstream runs(TextField(line, "runs"));
    char comma = 0;
    runs >> seal.runs[0] >> comma >> seal.runs[1] >> comma >> seal.runs[2] >> comma >> seal.runs[3];
    return seal;
}

// Smallest, largest and last of a series of report values.
struct Range {
    long min = 0, max = 0, last = 0, count = 0, sum = 0;
    void Add(long v) {
        sum += v;
        min = count == 0 ? v : std::min(min, v);
        max = count == 0 ? v : std::max(max, v);
        last = v;
        ++count;
    }
};

void Figure(const std::string& text) {
    std::printf("figure: %s\n", text.c_str());
    std::fflush(stdout);
}

class LongRunsTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (m_game && HasFailure()) {
            std::string last;
            const auto& lines = m_game->Lines();
            for (std::size_t i = lines.size() > 40 ? lines.size() - 40 : 0; i < lines.size(); ++i) {
                last += lines[i] + "\n";
            }
            ADD_FAILURE() << "the game's last reports:\n"
                          << last << "its stderr: " << m_game->Stderr();
        }
        m_game.reset();
        m_windowManager.reset();
        m_folder.reset();
    }

    // Starts the watched game on its own Xvfb :display, with a window manager if asked.
    void Start(int display, bool windowManager = false) {
        if (!ProgramInPath("Xvfb") || !ProgramInPath("xdotool") || !ProgramInPath("xwd")) {
            GTEST_SKIP() << "needs Xvfb, xdotool and xwd";
        }
        if (windowManager && !ProgramInPath("openbox")) {
            GTEST_SKIP() << "needs a window manager to minimise and restore: apt-get install "
                            "openbox";
        }
        m_display = std::make_unique<VirtualDisplay>(display);
        ASSERT_TRUE(m_display->Error().empty()) << m_display->Error();
        if (windowManager) {
            m_windowManager =
                std::make_unique<ChildProcess>(std::vector<std::string>{"openbox", "--sm-disable"},
                                               std::vector<std::string>{m_display->Environment()});
            ASSERT_TRUE(WaitUntil(
                [&] {
                    const CommandResult r =
                        RunCommand({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}, kTimeoutMs,
                                   {m_display->Environment()});
                    return r.out.find("window id") != std::string::npos;
                },
                kTimeoutMs))
                << "the window manager did not start";
        }
        m_folder =
            std::make_unique<GameFolder>(FLOEMAZE_ASSET_DIR, std::initializer_list<GameImage>{});
        m_game = std::make_unique<ChildProcess>(
            std::vector<std::string>{FLOEMAZE_WATCHED_GAME},
            std::vector<std::string>{m_display->Environment(), "SDL_VIDEODRIVER", kLeakOptions});
        ASSERT_TRUE(m_game->Started());
        ASSERT_TRUE(WaitUntil([&] { return (m_window = GameWindow()).has_value(); }, kTimeoutMs))
            << "the game window did not appear";
        ASSERT_TRUE(Xdo({windowManager ? "windowactivate" : "windowfocus", "--sync", *m_window}));
        ASSERT_TRUE(m_game->WaitForLine([](const std::string& l) { return Starts(l, "paint"); },
                                        kTimeoutMs));
    }

    bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
        const long long deadline = Now() + timeoutMs;
        while (Now() < deadline) {
            if (done()) return true;
            usleep(20000);
        }
        return done();
    }
    bool Xdo(const std::vector<std::string>& args) { return m_display->Xdotool(args).has_value(); }

    // The game's visible 700 × 500 window.
    std::optional<std::string> GameWindow() const {
        const auto out =
            m_display->Xdotool({"search", "--onlyvisible", "--pid", std::to_string(m_game->Pid())});
        std::istringstream lines(out.value_or(""));
        std::string id;
        while (std::getline(lines, id)) {
            const auto g = m_display->WindowGeometry(id);
            if (g && g->width == 700 && g->height == 500) return id;
        }
        return std::nullopt;
    }
    // Moves the pointer to a client point; xdotool's --sync would wait for a motion that never
    // comes if the pointer is there already.
    bool PointerTo(POINT p) {
        const auto g = m_display->WindowGeometry(*m_window);
        if (!g) return false;
        const POINT target{g->x + p.x, g->y + p.y};
        if (m_pointer && m_pointer->x == target.x && m_pointer->y == target.y) return true;
        m_pointer = target;
        return Xdo({"mousemove", "--sync", std::to_string(target.x), std::to_string(target.y)});
    }
    bool Click(POINT p, const char* button = "1") { return PointerTo(p) && Xdo({"click", button}); }
    // The next report line that starts with prefix.
    std::optional<std::string> Next(const char* prefix, int timeoutMs) {
        return m_game->WaitForLine([&](const std::string& l) { return Starts(l, prefix); },
                                   timeoutMs);
    }
    std::optional<std::string> NextWith(const char* prefix, const std::string& field, long value,
                                        int timeoutMs) {
        return m_game->WaitForLine(
            [&](const std::string& l) { return Starts(l, prefix) && Field(l, field) == value; },
            timeoutMs);
    }
    // Starts a game and waits until the start picture has fallen away.
    void StartAGame() {
        ASSERT_TRUE(Click(kStartButton));
        ASSERT_TRUE(PointerTo(kBackground));
        ASSERT_TRUE(m_game->WaitForLine(
            [](const std::string& l) { return Starts(l, "phase") && l.back() == '2'; }, kTimeoutMs))
            << "the start picture did not fall";
    }
    // Alt+F4: the program ends with status 0 and without a sanitizer finding.
    void Finish() {
        ASSERT_TRUE(Xdo({"key", "alt+F4"}));
        EXPECT_EQ(m_game->Wait(kTimeoutMs), 0);
        const std::string err = m_game->Stderr();
        EXPECT_EQ(err.find("Sanitizer"), std::string::npos) << err;
        EXPECT_EQ(err.find("runtime error"), std::string::npos) << err;
    }

    std::unique_ptr<VirtualDisplay> m_display;
    std::unique_ptr<ChildProcess> m_windowManager;
    std::unique_ptr<GameFolder> m_folder;
    std::unique_ptr<ChildProcess> m_game;
    std::optional<std::string> m_window;
    std::optional<POINT> m_pointer;
};

// The result box stays open (FLOEMAZE_LONG_BOX_SECONDS, 600 by default) while both timers tick
// under it: the memory stays flat, the ticks arrive at their rate and no more, and none are
// left over when it closes.
TEST_F(LongRunsTest, ResultBoxLeftOpenWhileTheTimersTick) {
    const int seconds = SecondsFromEnvironment("FLOEMAZE_LONG_BOX_SECONDS", 600);
    ASSERT_NO_FATAL_FAILURE(Start(90));
    ASSERT_NO_FATAL_FAILURE(StartAGame());
    ASSERT_TRUE(Xdo({"key", "End"}));
    const auto opened = m_game->WaitForLine(
        [](const std::string& l) { return Starts(l, "modal") && l.back() == '2'; }, 180000);
    ASSERT_TRUE(opened) << "the seal did not get home";
    const auto first = Next("second", kTimeoutMs);
    ASSERT_TRUE(first);
    Range rss, t1, t2, depth, queue, modal, ms;
    const long long start = Now();
    while (Now() - start < seconds * 1000LL) {
        const auto line = Next("second", kTimeoutMs);
        ASSERT_TRUE(line) << "no report from the game";
        ms.Add(Field(*line, "ms"));
        rss.Add(Field(*line, "rss"));
        t1.Add(Field(*line, "t1"));
        t2.Add(Field(*line, "t2"));
        depth.Add(Field(*line, "depth"));
        queue.Add(Field(*line, "queue"));
        modal.Add(Field(*line, "modal"));
        if (rss.count % 60 == 0) {
            Figure("box open " + std::to_string(rss.count) + " s: VmRSS " +
                   std::to_string(rss.last) + " kB");
        }
    }
    ASSERT_TRUE(Xdo({"key", "Return"}));
    const auto closed = m_game->WaitForLine(
        [](const std::string& l) { return Starts(l, "modal") && l.back() == '1'; }, kTimeoutMs);
    ASSERT_TRUE(closed) << "the box did not close";
    Range after;
    for (int i = 0; i < 3; ++i) {
        const auto line = Next("second", kTimeoutMs);
        ASSERT_TRUE(line);
        after.Add(Field(*line, "t2"));
    }
    const long startRss = Field(*first, "rss");
    const auto rate = [&](const Range& ticks) {
        return std::to_string(ticks.sum * 1000.0 / static_cast<double>(ms.sum)).substr(0, 5);
    };
    Figure("result box open " + std::to_string(ms.sum / 1000) + " s; VmRSS at opening " +
           std::to_string(startRss) + " kB, at the end " + std::to_string(rss.last) + " kB (min " +
           std::to_string(rss.min) + ", max " + std::to_string(rss.max) + ")");
    Figure("ticks under the box: 150 ms timer " + std::to_string(t1.sum) + " (" + rate(t1) +
           " a second, " + std::to_string(t1.min) + ".." + std::to_string(t1.max) +
           " in one report), 40 ms timer " + std::to_string(t2.sum) + " (" + rate(t2) +
           " a second, " + std::to_string(t2.min) + ".." + std::to_string(t2.max) +
           "); reports every " + std::to_string(ms.min) + ".." + std::to_string(ms.max) +
           " ms; handlers nested at most " + std::to_string(depth.max) + " deep; queue at most " +
           std::to_string(queue.max) + " messages; modal loops " + std::to_string(modal.min) +
           ".." + std::to_string(modal.max));
    Figure("40 ms ticks in each of the 3 seconds after closing: at most " +
           std::to_string(after.max));
    EXPECT_LE(rss.last - startRss, 1024) << "memory grew under the box";
    EXPECT_LE(t1.max, 8);
    EXPECT_LE(t2.max, 27);
    EXPECT_GE(t2.min, 10) << "the timers almost stopped under the box";
    EXPECT_LE(depth.max, 2);
    EXPECT_LE(queue.max, 4);
    EXPECT_EQ(modal.min, 2);
    EXPECT_LE(after.max, 27) << "ticks piled up while the box was open";
    ASSERT_NO_FATAL_FAILURE(Finish());
}

// An arrow key held down (FLOEMAZE_LONG_KEY_SECONDS, 10 by default) under the X server's
// auto-repeat: the queue stays short however many repeats come. Then keys held along the maze's
// corridors, one released while the seal walks with open fields ahead: the seal ends the step it
// is in and stands.
TEST_F(LongRunsTest, ArrowKeyHeldUnderAutoRepeat) {
    const int seconds = SecondsFromEnvironment("FLOEMAZE_LONG_KEY_SECONDS", 10);
    ASSERT_NO_FATAL_FAILURE(Start(91));
    ASSERT_NO_FATAL_FAILURE(StartAGame());
    const auto& lines = m_game->Lines();
    const auto last = std::find_if(lines.rbegin(), lines.rend(),
                                   [](const std::string& l) { return Starts(l, "seal"); });
    ASSERT_NE(last, lines.rend()) << "no report of the seal";
    Seal seal = ParseSeal(*last);
    int held = -1;
    for (int d = 0; d < 4 && held < 0; ++d) {
        if (seal.Open(d)) held = d;
    }
    ASSERT_GE(held, 0) << "the seal stands on a field without open neighbours";

    // One key, held: the seal walks to the next wall and stands there while the repeats go on.
    Range keys, repeats, queue, t2, rss;
    int steps = 0;
    ASSERT_TRUE(Xdo({"keydown", kArrowKeys[held]}));
    const long long until = Now() + seconds * 1000LL;
    while (Now() < until) {
        const auto line = m_game->ReadLine(50);
        if (!line) continue;
        if (Starts(*line, "seal")) {
            const Seal now = ParseSeal(*line);
            steps += now.field != seal.field;
            seal = now;
        }
        if (Starts(*line, "second")) {
            keys.Add(Field(*line, "keys"));
            repeats.Add(Field(*line, "repeats"));
            queue.Add(Field(*line, "queue"));
            t2.Add(Field(*line, "t2"));
            rss.Add(Field(*line, "rss"));
        }
    }
    ASSERT_TRUE(Xdo({"keyup", kArrowKeys[held]}));
    ASSERT_TRUE(Next("keyup", kTimeoutMs));
    Figure("one key held " + std::to_string(seconds) + " s: " + std::to_string(keys.sum) +
           " key messages, " + std::to_string(repeats.sum) + " of them auto-repeats (" +
           std::to_string(repeats.max) + " in the busiest second); the seal walked " +
           std::to_string(steps) + " fields to a wall; queue at most " + std::to_string(queue.max) +
           " messages; 40 ms ticks a second " + std::to_string(t2.min) + ".." +
           std::to_string(t2.max) + "; VmRSS " + std::to_string(rss.min) + ".." +
           std::to_string(rss.max) + " kB");
    EXPECT_GT(repeats.sum, 10 * (seconds - 1)) << "the X server sent few auto-repeats";
    EXPECT_LE(queue.max, 8);
    EXPECT_GE(t2.min, 10) << "the repeats starved the timers";

    // Keys held along the corridors, a new one where the seal stands before a wall; released
    // once a key has repeated for a second and the seal walks towards an open field beyond the
    // one it walks into, where a key that went on repeating would take it.
    long long heldSince = Now();
    held = -1;
    int repeatsOfHeld = 0;
    bool walking = false;
    const long long giveUp = Now() + 60000;
    while (Now() < giveUp && !walking) {
        if (const auto line = m_game->ReadLine(20)) {
            if (Starts(*line, "seal")) seal = ParseSeal(*line);
            if (Starts(*line, "key") && Field(*line, "repeat") == 1 && held >= 0 &&
                KeyCode(*line) == kArrowCodes[held] && Stamp(*line) >= heldSince) {
                ++repeatsOfHeld;
            }
        }
        walking = held >= 0 && seal.dir == held && seal.ahead >= 1 && repeatsOfHeld > 0;
        if (walking || seal.dir != 6 || (held >= 0 && seal.Open(held))) continue;
        // The longest straight way on, back only from a dead end.
        int next = -1;
        for (int d = 0; d < 4; ++d) {
            if (!seal.Open(d) || (held >= 0 && d == kReverse[held])) continue;
            if (next < 0 || seal.runs[d] > seal.runs[next]) next = d;
        }
        if (next < 0 && held >= 0 && seal.Open(kReverse[held])) next = kReverse[held];
        if (next < 0) continue;
        if (held >= 0) Xdo({"keyup", kArrowKeys[held]});
        Xdo({"keydown", kArrowKeys[next]});
        held = next;
        heldSince = Now();
        repeatsOfHeld = 0;
    }
    ASSERT_GE(held, 0);
    const long long releasedAt = Now();
    ASSERT_TRUE(Xdo({"keyup", kArrowKeys[held]}));
    // What the seal did until the game saw the release counts as before it.
    const auto keyup = m_game->WaitForLine(
        [&](const std::string& l) {
            if (Starts(l, "seal")) seal = ParseSeal(l);
            return Starts(l, "keyup");
        },
        kTimeoutMs);
    ASSERT_TRUE(keyup);
    const long long upAt = Stamp(*keyup);
    std::string field = seal.field;
    int stepsAfter = 0;
    long long lastChange = upAt;
    const long long watchUntil = Now() + 2000;
    while (Now() < watchUntil) {
        const auto line = m_game->ReadLine(50);
        if (!line || !Starts(*line, "seal")) continue;
        const Seal now = ParseSeal(*line);
        stepsAfter += now.field != field;
        field = now.field;
        lastChange = now.at;
        seal = now;
    }
    Figure(std::string("released ") + (walking ? "mid-step with open fields ahead" : "standing") +
           " after " + std::to_string(releasedAt - heldSince) + " ms of holding; the game saw " +
           "the release " + std::to_string(upAt - releasedAt) + " ms after xdotool's keyup; " +
           "steps begun after it: " + std::to_string(stepsAfter) + "; the seal stood " +
           std::to_string(lastChange - upAt) + " ms after it (direction " +
           std::to_string(seal.dir) + ")");
    EXPECT_TRUE(walking) << "the seal was not walking when the key was released";
    EXPECT_EQ(stepsAfter, 0);
    EXPECT_EQ(seal.dir, 6);
    EXPECT_LE(lastChange - upAt, 300);
    ASSERT_NO_FATAL_FAILURE(Finish());
}

// Minimised from the system menu during a game in help mode and restored by the window manager:
// the game goes on while the window is minimised, and the restored window is painted afresh.
TEST_F(LongRunsTest, MinimisedAndRestoredDuringAGame) {
    ASSERT_NO_FATAL_FAILURE(Start(92, true));
    ASSERT_NO_FATAL_FAILURE(StartAGame());
    // A maze whose way home takes the seal longer than the whole run (60 fields, 14 s), so that
    // no result box comes in between: the start button replaces a running game's maze at once.
    const auto home = [&] {
        const auto& lines = m_game->Lines();
        const auto last = std::find_if(lines.rbegin(), lines.rend(),
                                       [](const std::string& l) { return Starts(l, "seal"); });
        return last == lines.rend() ? -1 : Field(*last, "home");
    };
    for (int tries = 0; tries < 50 && home() < 60; ++tries) {
        ASSERT_TRUE(Click(kStartButton));
        ASSERT_TRUE(PointerTo(kBackground));
        m_game->WaitForLine([](const std::string& l) { return Starts(l, "seal"); }, 1000);
    }
    ASSERT_GE(home(), 60) << "no maze with a long way home";
    Figure("the way home is " + std::to_string(home()) + " fields long");
    ASSERT_TRUE(Xdo({"key", "End"}));
    usleep(500000);
    std::string error;
    const auto before = CaptureWindow(*m_display, *m_window, error);
    ASSERT_TRUE(before) << error;

    // The system menu at the pointer; its first entry minimises.
    ASSERT_TRUE(Click(kBackground, "3"));
    ASSERT_TRUE(WaitUntil(
        [&] {
            const auto shot = CaptureWindow(*m_display, *m_window, error);
            return shot && shot->At(kBackground.x + 1, kBackground.y + 1) == 0xF2F2F2;
        },
        kTimeoutMs))
        << "no system menu";
    ASSERT_TRUE(PointerTo(POINT{kBackground.x + 30, kBackground.y + platform::PopupMenu::kBorder +
                                                        platform::PopupMenu::kItemHeight / 2}));
    ASSERT_TRUE(Xdo({"click", "1"}));
    const auto minimised = NextWith("second", "iconic", 1, kTimeoutMs);
    ASSERT_TRUE(minimised) << "the window was not minimised";
    EXPECT_TRUE(WaitUntil([&] { return !GameWindow(); }, kTimeoutMs)) << "the window still shows";
    const long long minimisedAt = Stamp(*minimised);

    // Minimised for a while: the ticks and the game go on.
    int sealLines = 0;
    int paintsIconic = 0;
    Range t2;
    const long long until = Now() + 5000;
    while (Now() < until) {
        const auto line = m_game->ReadLine(50);
        if (!line) continue;
        if (Starts(*line, "seal")) ++sealLines;
        if (Starts(*line, "paint")) ++paintsIconic;
        if (Starts(*line, "second")) t2.Add(Field(*line, "t2"));
    }

    const long long restoredAt = Now();
    ASSERT_TRUE(Xdo({"windowactivate", "--sync", *m_window}));
    const auto painted = NextWith("paint", "iconic", 0, kTimeoutMs);
    ASSERT_TRUE(painted) << "the restored window was not painted";
    usleep(200000);
    const auto after = CaptureWindow(*m_display, *m_window, error);
    ASSERT_TRUE(after) << error;
    // The control column between the logo and the seal picture does not change in a game.
    int differ = 0;
    for (int y = 129; y < 366; ++y) {
        for (int x = 0; x < 196; ++x) differ += after->At(x, y) != before->At(x, y);
    }
    // The board goes on changing: the seal walks.
    int changing = 0;
    WaitUntil(
        [&] {
            const auto later = CaptureWindow(*m_display, *m_window, error);
            if (!later) return false;
            changing = 0;
            for (int y = 0; y < 500; ++y) {
                for (int x = 200; x < 700; ++x) changing += later->At(x, y) != after->At(x, y);
            }
            return changing > 0;
        },
        kTimeoutMs);
    Figure("minimised " + std::to_string(restoredAt - minimisedAt) + " ms: 40 ms ticks a second " +
           std::to_string(t2.min) + ".." + std::to_string(t2.max) + ", " +
           std::to_string(sealLines) + " seal moves, " + std::to_string(paintsIconic) +
           " paints; repainted " + std::to_string(Stamp(*painted) - restoredAt) +
           " ms after the restore; column pixels unlike before: " + std::to_string(differ) +
           "; board pixels changing afterwards: " + std::to_string(changing));
    EXPECT_GT(sealLines, 0) << "the game stopped while minimised";
    EXPECT_GE(t2.min, 10);
    EXPECT_EQ(differ, 0);
    EXPECT_GT(changing, 0);
    ASSERT_NO_FATAL_FAILURE(Finish());
}

}  // namespace
