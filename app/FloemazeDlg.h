// SPDX-License-Identifier: GPL-3.0-or-later
// CFloemazeDlg: the game window — start-up, timers and painting, the image buttons and pointer
// input, the options panel and the start screen, the keyboard.
#pragma once

#include <array>
#include <cstdint>

#include "maze/MazeBoard.h"
#include "platform/Dialog.h"
#include "platform/Icon.h"
#include "sprites/DIB.h"
#include "sprites/Sprite.h"
#include "sprites/SpriteList.h"

/// One entry of the options panel's state machine.
struct PanelTransition {
    std::int32_t next;    ///< state after the input, 0..5
    std::int32_t action;  ///< −1 none, 0 slide down, 1 fade in, 2 fade out, 3 slide up
};

/// The captionless 700 × 500 game window. It owns every image and sprite it shows, its one sprite
/// list m_sprites with the back buffer, and the maze model; everything on screen is a sprite in
/// that list. Handlers only change sprite state; each timer tick ends with the list's Update,
/// which puts the changed area on the screen.
///
/// The state is public for reading (the tests do); it changes only through the window's
/// messages.
class CFloemazeDlg : public CDialog {
public:
    static constexpr int kPanelStates = 6;
    static constexpr int kPanelInputs = 7;
    static constexpr int kStartTiles = 100;

    explicit CFloemazeDlg(CWnd* parent = nullptr);
    ~CFloemazeDlg() override = default;

    BOOL OnInitDialog() override;
    /// The window's own keys: skips the dialog manager, so the arrow keys reach OnKeyDown.
    BOOL PreTranslateMessage(MSG* msg) override;

    // Members in construction order; the sprite lists point into them, so the order matters.
    CDIB m_backBuffer;  ///< what m_sprites composes into and copies to the window
    CSprite m_background;
    CSprite m_logo;
    CSprite m_startTile;  ///< template of the start tiles; never in a sprite list
    std::array<CSprite, kStartTiles> m_startTiles;  ///< tile k shows frame (k / 10, k mod 10)
    CSprite m_buttonStart;
    CSprite m_buttonOptions;
    CSprite m_buttonExit;
    CSprite m_sealPicture;
    CSprite m_optionsMenu;
    CSprite m_radioLeft;
    CSprite m_radioRight;
    CSprite m_checkAnimation;
    CSprite m_checkDrag;
    CSprite m_separator;
    CSpriteList m_sprites;
    CSprite* m_dragSprite = nullptr;  ///< sprite following the pointer, or null
    POINT m_lastMouse{};              ///< pointer position at the last drag step
    CMazeBoard m_maze;
    std::int32_t m_panelState = 0;    ///< 0 closed … 5 fading out
    std::int32_t m_sideX = 0;         ///< x of the control column: 0 or 500
    std::int32_t m_panelY = -1000;    ///< panel offset: 0 shown, −1000 hidden above the window
    std::int32_t m_panelSlide = 0;    ///< how far the exit button slid down, 0..110
    std::int32_t m_startPhase = 0;    ///< 0 start screen, 1 tiles fall, 2 game on, 3 tiles return
    std::int32_t m_startCounter = 0;  ///< ticks of phase 1, 0..100
    bool m_mouseDown = false;         ///< the left button is held, as far as the window has seen
    bool m_animate = true;            ///< logo and seal picture animate
    bool m_dragEnabled = false;       ///< the logo can be dragged
    bool m_gameStarted = false;       ///< the first game has started; never cleared
    float m_panelAlpha = 0.0f;        ///< panel opacity, single precision, never snapped
    PanelTransition m_panelTable[kPanelStates][kPanelInputs];
    HICON m_hIcon = nullptr;

protected:
    void OnSysCommand(UINT id, LPARAM lParam) override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnTimer(UINT_PTR id) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnKeyDown(UINT key, UINT repeatCount, UINT flags) override;

    /// Places the lower control column and the panel; with whole also the logo, the start tiles,
    /// the separator and, once a game has started, the board.
    void LayoutSprites(bool whole);
    /// Gives m_panelAlpha (clamped to 0..1) to the panel sprites and shows or hides the panel.
    void ApplyPanelAlpha();
    /// Feeds input 0..6 into the panel's state machine; input 0 (a tick) also steps the start
    /// screen.
    void StepPanel(int input);
    void StepStartScreen();
    /// Moves the control column to the other side and redraws the window at once.
    void ToggleSide();
    /// Adds the board's sprites to m_sprites, the first time only, and updates the window.
    void RevealBoard();

private:
    /// Loads one window image of columns × rows frames; when it cannot be loaded or is too small
    /// for its frames, reports message and ends the dialog.
    void LoadImage(CSprite& sprite, const char* file, int colourKey, int frameWidth,
                   int frameHeight, int columns, int rows, const char* message);
    void StartGame();
};
