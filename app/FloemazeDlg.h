// SPDX-License-Identifier: GPL-3.0-or-later
// CFloemazeDlg: the game window — start-up, timers and painting, the image buttons and pointer
// input, the options panel and the start screen, the keyboard.
#pragma once

#include <array>
#include <cstdint>

#include "app/Settings.h"
#include "maze/MazeBoard.h"
#include "platform/Dialog.h"
#include "platform/Icon.h"
#include "res/Layout.h"
#include "res/Pictures.h"
#include "sprites/DIB.h"
#include "sprites/Sprite.h"
#include "sprites/SpriteList.h"

/// The options panel's state machine: its states (m_panelState), the inputs fed into it and the
/// actions its transitions run.
namespace panel {
inline constexpr std::int32_t kClosed = 0;
inline constexpr std::int32_t kOpening = 1;  ///< the exit button slides down
inline constexpr std::int32_t kFadingIn = 2;
inline constexpr std::int32_t kOpen = 3;
inline constexpr std::int32_t kClosing = 4;  ///< the exit button slides up
inline constexpr std::int32_t kFadingOut = 5;
inline constexpr int kStates = 6;

enum Input : int {
    kTick,           ///< every 40 ms tick
    kOptionsButton,  ///< a release on the options button
    kSlideDownDone,
    kFadeInDone,
    kFadeOutDone,
    kSlideUpDone,
    kUnused,  ///< has its column in the table; nothing feeds it
    kInputs,
};

inline constexpr std::int32_t kNoAction = -1;
inline constexpr std::int32_t kSlideDown = 0;
inline constexpr std::int32_t kFadeIn = 1;
inline constexpr std::int32_t kFadeOut = 2;
inline constexpr std::int32_t kSlideUp = 3;
}  // namespace panel

/// The start screen's phases (m_startPhase).
namespace startscreen {
inline constexpr std::int32_t kShown = 0;      ///< the start tiles cover the board area
inline constexpr std::int32_t kFalling = 1;    ///< the tiles fall away, 100 ticks
inline constexpr std::int32_t kGameOn = 2;     ///< the tiles lie below the background
inline constexpr std::int32_t kReturning = 3;  ///< the game is over; the tiles return next tick
}  // namespace startscreen

/// One entry of the options panel's state machine.
struct PanelTransition {
    std::int32_t next;    ///< state after the input
    std::int32_t action;  ///< panel::kNoAction or the action to run
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
    static constexpr int kPanelStates = panel::kStates;
    static constexpr int kPanelInputs = panel::kInputs;
    /// The start picture's frames, each shown by a start tile of its own.
    static constexpr res::PictureInfo kStartPicture = res::PictureOf(res::Picture::StartPicture);
    static constexpr int kStartTiles = kStartPicture.columns * kStartPicture.rows;
    static constexpr int kControlColumnWidth = res::layout::kColumnWidth;
    /// The board area's width and height; also m_sideX with the control column at the right.
    static constexpr int kBoardSide = CMazeBoard::kSize * CMazeBoard::kField;

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
    std::array<CSprite, kStartTiles> m_startTiles;  ///< tile k shows frame (k / rows, k mod rows)
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
    POINT m_steerPoint{};             ///< where a press that steers the seal points now
    CMazeBoard m_maze;
    std::int32_t m_panelState = panel::kClosed;
    std::int32_t m_sideX = 0;       ///< x of the control column: 0 or 500
    std::int32_t m_panelY = -1000;  ///< panel offset: 0 shown, −1000 hidden above the window
    std::int32_t m_panelSlide = 0;  ///< how far the exit button slid down, 0..110
    std::int32_t m_startPhase = startscreen::kShown;
    std::int32_t m_startCounter = 0;  ///< ticks of phase 1, 0..100
    bool m_mouseDown = false;         ///< the left button is held, as far as the window has seen
    bool m_steering = false;          ///< a press on the board in play leads the seal
    bool m_animate = true;            ///< logo and seal picture animate
    bool m_dragEnabled = false;       ///< the logo can be dragged
    bool m_gameStarted = false;       ///< the first game has started; never cleared
    float m_panelAlpha = 0.0f;        ///< panel opacity, single precision, never snapped
    PanelTransition m_panelTable[kPanelStates][kPanelInputs];
    HICON m_hIcon = nullptr;
    app::Settings m_settings;  ///< the start state; set before the window opens

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
    /// Feeds one of panel::Input into the panel's state machine; a tick also steps the start
    /// screen. Other values change nothing.
    void StepPanel(int input);
    /// One tick of the start screen's phases; nothing before the first game has begun.
    void StepStartScreen();
    /// Gives the radio buttons and the check boxes the frames m_sideX, m_animate and
    /// m_dragEnabled call for.
    void ShowOptions();
    /// Moves the control column to the other side and redraws the window at once.
    void ToggleSide();
    /// The left edge of the board area, beside the control column.
    int BoardLeft() const { return m_sideX == 0 ? kControlColumnWidth : 0; }
    /// Adds the board's sprites to m_sprites, the first time only, and updates the window.
    void RevealBoard();

private:
    /// Loads one window picture; when it cannot be loaded, reports it and ends the dialog.
    void LoadImage(CSprite& sprite, res::Picture picture);
    /// A release on the start button, or a key that stands for one: starts a game unless the
    /// tiles are falling or returning.
    void PressStartButton();
    void StartGame();
    /// Whether point lies in the board area while a game is in play.
    bool OnBoardInPlay(POINT point) const;
    /// While a press steers: starts a step towards m_steerPoint if the seal stands on a field.
    /// Nothing in help mode, where the guidance steers.
    void SteerTowardsPointer();
};
