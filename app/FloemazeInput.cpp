// SPDX-License-Identifier: GPL-3.0-or-later
// The game window's input: the pointer with the image buttons, the logo drag and the panel's
// controls; the keyboard.
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
    Default();
}

void CFloemazeDlg::OnLButtonDown(UINT /*flags*/, CPoint point) {
    m_mouseDown = true;
    CSprite* hit = m_sprites.GetSpriteAt(point.x, point.y);

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
    Default();
}

void CFloemazeDlg::OnLButtonUp(UINT /*flags*/, CPoint point) {
    m_mouseDown = false;
    m_dragSprite = nullptr;
    const CSprite* hit = m_sprites.GetSpriteAt(point.x, point.y);

    // A click is a release over a sprite, wherever the press was.
    if (hit == &m_buttonStart &&
        (m_startPhase == startscreen::kShown || m_startPhase == startscreen::kGameOn)) {
        StartGame();
    }
    if (hit == &m_buttonOptions) StepPanel(panel::kOptionsButton);
    if (hit == &m_buttonExit) OnCancel();
    if (hit == &m_radioLeft || hit == &m_radioRight) ToggleSide();
    if (hit == &m_checkAnimation) {
        m_animate = !m_animate;
        m_checkAnimation.SetFrame(0, m_animate ? 0 : 1);
    }
    if (hit == &m_checkDrag) {
        m_dragEnabled = !m_dragEnabled;
        m_checkDrag.SetFrame(0, m_dragEnabled ? 0 : 1);
    }
    Default();
}

void CFloemazeDlg::StartGame() {
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

void CFloemazeDlg::OnKeyDown(UINT key, UINT /*repeatCount*/, UINT /*flags*/) {
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
