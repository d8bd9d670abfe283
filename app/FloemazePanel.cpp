// SPDX-License-Identifier: GPL-3.0-or-later
// The game window's options panel (a table-driven state machine), the side switch and the start
// screen's falling and returning tiles.
#include <cstdlib>

#include "app/FloemazeDlg.h"
#include "platform/WindowDC.h"

namespace {

using namespace panel;

constexpr int kSlideEnd = 110;
constexpr int kSlideStep = 10;
// Single precision throughout: the opacity is never snapped, so after the first fade in it rests
// just above 1 and after a fade out just below 0, which is why later fades take a tick longer.
constexpr float kFadeStep = 0.1f;

constexpr int kFallTicks = 100;
// Row r of the start picture starts falling at tick 10·r: the fall is made for ten rows.
static_assert(CFloemazeDlg::kStartPicture.columns == 10 && CFloemazeDlg::kStartPicture.rows == 10);

}  // namespace

void CFloemazeDlg::StepPanel(int input) {
    if (input < 0 || input >= kPanelInputs) return;
    switch (m_panelTable[m_panelState][input].action) {
        case kSlideDown:
            if (m_panelSlide >= kSlideEnd) {
                StepPanel(kSlideDownDone);
            } else {
                m_panelSlide += kSlideStep;
                LayoutSprites(false);
            }
            break;
        case kFadeIn:
            if (m_panelAlpha < 1.0f) {
                m_panelAlpha += kFadeStep;
                ApplyPanelAlpha();
                LayoutSprites(false);
            } else {
                StepPanel(kFadeInDone);
            }
            break;
        case kFadeOut:
            if (m_panelAlpha > 0.0f) {
                m_panelAlpha -= kFadeStep;
                ApplyPanelAlpha();
                LayoutSprites(false);
            } else {
                StepPanel(kFadeOutDone);
            }
            break;
        case kSlideUp:
            if (m_panelSlide > 0) {
                m_panelSlide -= kSlideStep;
                LayoutSprites(false);
            } else {
                StepPanel(kSlideUpDone);
            }
            break;
        default:
            break;
    }
    // The state as the action left it: a completion fed on this tick stands.
    m_panelState = m_panelTable[m_panelState][input].next;
    if (input == kTick) StepStartScreen();
}

void CFloemazeDlg::ShowOptions() {
    const bool right = m_sideX != 0;
    m_radioLeft.SetFrame(0, right ? 1 : 0);
    m_radioRight.SetFrame(0, right ? 0 : 1);
    m_checkAnimation.SetFrame(0, m_animate ? 0 : 1);
    m_checkDrag.SetFrame(0, m_dragEnabled ? 0 : 1);
}

void CFloemazeDlg::ToggleSide() {
    m_sideX = m_sideX != 0 ? 0 : kBoardSide;
    ShowOptions();
    LayoutSprites(true);
    CClientDC dc(this);
    m_sprites.Redraw(&dc);
}

void CFloemazeDlg::StepStartScreen() {
    // The first game's start can show a message box (a board picture missing), whose loop runs
    // ticks before that game exists: the tiles wait for it rather than fall, and its running
    // flag, not yet set, is not taken for a game that is over.
    if (!m_gameStarted) return;
    switch (m_startPhase) {
        case startscreen::kFalling:
            if (m_startCounter >= kFallTicks) {
                m_startCounter = 0;
                m_startPhase = startscreen::kGameOn;
            } else {
                // Row r starts falling at counter 10·r: the picture crumbles from the top.
                const int lowestRow = m_startCounter / 10;
                for (int column = 0; column < kStartPicture.columns; ++column) {
                    for (int row = lowestRow; row >= 0; --row) {
                        CSprite& tile = m_startTiles[static_cast<std::size_t>(
                            kStartPicture.rows * column + row)];
                        const int dy = std::rand() % 20;
                        const int dx = std::rand() % 20 - 10;
                        tile.MoveTo(tile.m_nX + dx, tile.m_nY + dy);
                    }
                }
                ++m_startCounter;
            }
            break;
        case startscreen::kGameOn:
            if (!m_maze.m_bRunning) m_startPhase = startscreen::kReturning;
            // Below the background picture, unseen, while the game runs.
            for (CSprite& tile : m_startTiles) tile.SetDepth(1);
            break;
        case startscreen::kReturning:
            LayoutSprites(true);
            for (CSprite& tile : m_startTiles) tile.SetDepth(105);
            m_startPhase = startscreen::kShown;
            break;
        default:
            break;
    }
}
