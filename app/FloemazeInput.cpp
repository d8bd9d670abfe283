// SPDX-License-Identifier: GPL-3.0-or-later
// The game window's input: the pointer with the image buttons, the logo drag and the panel's
// controls; the keyboard.
#include <cstdlib>

#include "app/FloemazeDlg.h"

namespace {

// Frame rows of the three image buttons in "Buttons.bmp".
struct ButtonRows {
    int normal;
    int hover;
    int pressed;
};
constexpr ButtonRows kStartRows{0, 1, 2};
constexpr ButtonRows kOptionsRows{3, 4, 5};
constexpr ButtonRows kExitRows{6, 7, 8};

}  // namespace

void CFloemazeDlg::OnMouseMove(UINT flags, CPoint point) {
    // A release the window never received (outside the window, or the one that ended a window
    // move) must not leave the button pressed for the next hover or keep a drag pending: the
    // first move without the button held ends the press.
    if (m_mouseDown && (flags & MK_LBUTTON) == 0) {
        m_mouseDown = false;
        m_dragSprite = nullptr;
        m_steering = false;
    }

    const CSprite* hit = m_sprites.GetSpriteAt(point.x, point.y);
    const auto follow = [&](CSprite& button, const ButtonRows& rows) {
        if (hit == &button) {
            button.SetFrame(0, m_mouseDown ? rows.pressed : rows.hover);
        } else {
            button.SetFrame(0, rows.normal);
        }
    };
    follow(m_buttonStart, kStartRows);
    follow(m_buttonOptions, kOptionsRows);
    follow(m_buttonExit, kExitRows);

    if (m_dragSprite != nullptr && m_mouseDown) {
        // The sprite keeps its offset to the pointer; it may leave the window.
        m_dragSprite->MoveTo(point.x + m_dragSprite->m_nX - m_lastMouse.x,
                             point.y + m_dragSprite->m_nY - m_lastMouse.y);
        m_lastMouse = point;
    }
    if (m_steering && m_mouseDown) {
        m_steerPoint = point;
        SteerTowardsPointer();
    }
    Default();
}

void CFloemazeDlg::OnLButtonDown(UINT /*flags*/, CPoint point) {
    m_mouseDown = true;
    // During a game a press on the board leads the seal: it hits none of the sprites there, and
    // the seams between the tiles, where the background shows, do not move the window.
    const bool steer = OnBoardInPlay(point);
    CSprite* hit = steer ? nullptr : m_sprites.GetSpriteAt(point.x, point.y);

    // The start button keeps its frame when another sprite is pressed; the other two go back
    // to normal.
    if (hit == &m_buttonStart) m_buttonStart.SetFrame(0, kStartRows.pressed);
    m_buttonOptions.SetFrame(0,
                             hit == &m_buttonOptions ? kOptionsRows.pressed : kOptionsRows.normal);
    m_buttonExit.SetFrame(0, hit == &m_buttonExit ? kExitRows.pressed : kExitRows.normal);

    if (hit == &m_logo && m_dragEnabled) {
        m_dragSprite = &m_logo;
        m_lastMouse = point;
    }
    if (m_gameStarted && hit == &m_sealPicture) m_maze.m_bHelp = !m_maze.m_bHelp;
    if (hit == &m_background) {
        // The window has no caption: a press on the background moves it as one would.
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    }
    if (steer) {
        m_steering = true;
        m_steerPoint = point;
        SteerTowardsPointer();
    }
    Default();
}

void CFloemazeDlg::OnLButtonUp(UINT /*flags*/, CPoint point) {
    m_mouseDown = false;
    m_dragSprite = nullptr;
    // The step under way finishes; no new one starts.
    m_steering = false;
    const CSprite* hit = m_sprites.GetSpriteAt(point.x, point.y);

    // A click is a release over a sprite, wherever the press was.
    if (hit == &m_buttonStart) PressStartButton();
    if (hit == &m_buttonOptions) StepPanel(panel::kOptionsButton);
    if (hit == &m_buttonExit) OnCancel();
    if (hit == &m_radioLeft || hit == &m_radioRight) ToggleSide();
    if (hit == &m_checkAnimation) m_animate = !m_animate;
    if (hit == &m_checkDrag) m_dragEnabled = !m_dragEnabled;
    if (hit == &m_checkAnimation || hit == &m_checkDrag) ShowOptions();
    Default();
}

void CFloemazeDlg::PressStartButton() {
    if (m_startPhase == startscreen::kShown || m_startPhase == startscreen::kGameOn) StartGame();
}

void CFloemazeDlg::StartGame() {
    // A press held from the last game does not lead the seal in the new one.
    m_steering = false;
    if (!m_gameStarted) {
        m_startPhase = startscreen::kFalling;
        m_maze.NewGame();
        RevealBoard();
        m_gameStarted = true;
    } else {
        // While a game runs its board is replaced at once; the tiles fall only from the start
        // screen.
        if (!m_maze.m_bRunning) m_startPhase = startscreen::kFalling;
        m_maze.NewGame();
    }
    LayoutSprites(true);
    m_maze.ShowBoard();
}

bool CFloemazeDlg::OnBoardInPlay(POINT point) const {
    if (!m_gameStarted || !m_maze.m_bRunning) return false;
    const int left = BoardLeft();
    return point.x >= left && point.x < left + kBoardSide && point.y >= 0 && point.y < kBoardSide;
}

void CFloemazeDlg::SteerTowardsPointer() {
    if (!m_steering || !m_maze.m_bRunning || m_maze.m_bHelp) return;
    const MazeCell* field = m_maze.CellAt(m_maze.m_nSealCol, m_maze.m_nSealRow);
    if (field == nullptr || m_maze.m_nDirection != direction::kStand) return;
    // Twice the offset of the pointer's pixel centre from the field's centre, in whole numbers:
    // half a field is 25, and the field's own pixels lie within 24 of its centre.
    constexpr int kHalfField = CMazeBoard::kField;
    const int dx = 2 * (m_steerPoint.x - field->m_tile.m_nX) + 1 - CMazeBoard::kField;
    const int dy = 2 * (m_steerPoint.y - field->m_tile.m_nY) + 1 - CMazeBoard::kField;
    const bool outsideColumn = std::abs(dx) > kHalfField;
    const bool outsideRow = std::abs(dy) > kHalfField;
    if (!outsideColumn && !outsideRow) return;
    const int across = dx > 0 ? direction::kRight : direction::kLeft;
    const int along = dy > 0 ? direction::kDown : direction::kUp;
    // The axis the pointer lies farther along first; the other one when that way is closed and
    // the pointer lies beyond the seal's row or column.
    const bool acrossFirst = std::abs(dx) >= std::abs(dy);
    m_maze.TryDirection(acrossFirst ? across : along);
    if (m_maze.m_nDirection == direction::kStand && (acrossFirst ? outsideRow : outsideColumn)) {
        m_maze.TryDirection(acrossFirst ? along : across);
    }
}

void CFloemazeDlg::OnKeyDown(UINT key, UINT /*repeatCount*/, UINT flags) {
    // The keys of the buttons, for those without a pointer; a held key's repeats press nothing.
    const bool repeated = (flags & KF_REPEAT) != 0;
    switch (key) {
        case VK_RETURN:
        case VK_SPACE:
            if (!repeated) PressStartButton();
            break;
        case VK_TAB:
            if (!repeated) StepPanel(panel::kOptionsButton);
            break;
        default:
            break;
    }
    if (m_gameStarted) {
        switch (key) {
            case VK_END:
                m_maze.m_bHelp = !m_maze.m_bHelp;
                break;
            case VK_LEFT:
                m_maze.TryDirection(direction::kLeft);
                break;
            case VK_UP:
                m_maze.TryDirection(direction::kUp);
                break;
            case VK_RIGHT:
                m_maze.TryDirection(direction::kRight);
                break;
            case VK_DOWN:
                m_maze.TryDirection(direction::kDown);
                break;
            default:
                break;
        }
    }
    Default();
}
