// SPDX-License-Identifier: GPL-3.0-or-later
// What must hold in the game window after every timer tick, whatever the player did: the checks
// of the soak.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/FloemazeDlg.h"

namespace soak {

/// Watches one game window from tick to tick and reports every broken rule through the
/// violation callback. It keeps what it needs to compare one tick with the last: the current
/// game, its step counters and results, the depths sprites were last seen in order at.
class Invariants {
public:
    using Report = std::function<void(const std::string& what)>;

    explicit Invariants(Report report) : m_report(std::move(report)) {}

    enum class Moment { Tick, Paint };
    /// All checks; call after every tick, nested ones included, and after painting (which
    /// compares the whole screen).
    void Check(const CFloemazeDlg& dlg, Moment moment);
    /// Every rowStep-th row of the screen is compared after a tick (1: all of them).
    void SetScreenRowStep(int rowStep) { m_rowStep = rowStep < 1 ? 1 : rowStep; }
    /// A message box was shown with text; it must be the result of the game that just ended, and
    /// the only one of that game.
    void MessageBox(const CFloemazeDlg& dlg, const std::string& text);
    /// The soak saw the window start dragging the logo: the logo may leave its place.
    void LogoDragStarted() { m_logoAway = true; }

    /// Games whose maze was generated, games that ended with their result, and games replaced by
    /// a new maze before the seal was home. A game is played when it has ended either way.
    int GamesStarted() const { return m_gamesStarted; }
    int GamesFinished() const { return m_gamesFinished; }
    int GamesReplaced() const { return m_gamesReplaced; }
    int GamesPlayed() const { return m_gamesFinished + m_gamesReplaced; }
    /// Whether the current game has shown its result.
    bool ResultShown() const { return m_results > 0; }
    /// Ticks seen since the current maze was generated.
    int TicksInGame() const { return m_ticksInGame; }

private:
    void Fail(const std::string& what) { m_report(what); }
    void FollowGame(const CFloemazeDlg& dlg);
    void CheckSeal(const CFloemazeDlg& dlg);
    void CheckPlaces(const CFloemazeDlg& dlg);
    void CheckOrder(const CFloemazeDlg& dlg, bool afterUpdate);
    void CheckScreen(const CFloemazeDlg& dlg, bool whole);
    void CheckPanel(const CFloemazeDlg& dlg);

    Report m_report;

    // The current game: its maze, so a new one is noticed, and what it has counted so far.
    std::array<std::uint8_t, 400> m_maze{};
    const MazeCell* m_family = nullptr;
    bool m_inGame = false;
    bool m_wasRunning = false;
    int m_stepsOwn = 0;
    int m_stepsHelp = 0;
    int m_results = 0;
    int m_ticksInGame = 0;
    int m_gamesStarted = 0;
    int m_gamesFinished = 0;
    int m_gamesReplaced = 0;

    bool m_logoAway = false;
    // The list as last seen, every sprite with its depth (sorted by address), and how many were
    // out of order then.
    std::vector<const CSprite*> m_list;
    std::vector<std::pair<const CSprite*, int>> m_depthsBefore;
    std::vector<std::pair<const CSprite*, int>> m_depthsNow;
    int m_outOfOrder = -1;
    std::vector<RECT> m_waiting;
    int m_rowStep = 1;
    int m_rowOffset = 0;
};

}  // namespace soak
