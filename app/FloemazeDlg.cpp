// SPDX-License-Identifier: GPL-3.0-or-later
// The game window: opening, layout, timers, painting and the system menu.
#include "app/FloemazeDlg.h"

#include <cstdint>
#include <string>

#include "app/AboutDlg.h"
#include "platform/MessageBox.h"
#include "platform/Resources.h"
#include "platform/WindowDC.h"
#include "res/Resources.h"

namespace {

constexpr int kWindowWidth = 700;
constexpr int kWindowHeight = 500;
constexpr UINT_PTR kAnimationTimer = 1;
constexpr UINT_PTR kGameTimer = 2;

// Ticks of the 150 ms timer while animation is on; lives as long as the program.
std::int32_t s_animTick = 0;

}  // namespace

CFloemazeDlg::CFloemazeDlg(CWnd* parent) : CDialog(IDD_FLOEMAZE_DIALOG, parent) {
    m_hIcon = LoadIcon(IDR_MAINFRAME);

    using namespace panel;
    for (int state = 0; state < kPanelStates; ++state) {
        for (int input = 0; input < kPanelInputs; ++input) {
            m_panelTable[state][input] = PanelTransition{state, kNoAction};
        }
    }
    m_panelTable[kClosed][kOptionsButton].next = kOpening;
    m_panelTable[kOpening][kTick].action = kSlideDown;
    m_panelTable[kOpening][kSlideDownDone].next = kFadingIn;
    m_panelTable[kFadingIn][kTick].action = kFadeIn;
    m_panelTable[kFadingIn][kFadeInDone].next = kOpen;
    m_panelTable[kOpen][kOptionsButton].next = kFadingOut;
    m_panelTable[kClosing][kTick].action = kSlideUp;
    m_panelTable[kClosing][kSlideUpDone].next = kClosed;
    m_panelTable[kFadingOut][kTick].action = kFadeOut;
    m_panelTable[kFadingOut][kFadeOutDone].next = kClosing;
}

BOOL CFloemazeDlg::PreTranslateMessage(MSG* msg) {
    return CWnd::PreTranslateMessage(msg);
}

void CFloemazeDlg::LoadImage(CSprite& sprite, res::Picture picture) {
    if (!maze::LoadPicture(sprite, picture)) OnCancel();
}

BOOL CFloemazeDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
        std::string about;
        platform::LoadStringResource(IDS_ABOUTBOX, about);
        if (!about.empty()) {
            systemMenu->AppendMenu(MF_SEPARATOR);
            systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    m_panelAlpha = 0.0f;
    m_dragSprite = nullptr;
    m_mouseDown = false;
    // The settings' start state, as if the options had been clicked, without their animation.
    m_sideX = m_settings.sideRight ? kBoardSide : 0;
    m_animate = m_settings.animate;
    m_dragEnabled = m_settings.logoDrag;
    m_panelY = -1000;
    m_panelSlide = 0;
    m_gameStarted = false;
    m_panelState = panel::kClosed;
    m_startPhase = startscreen::kShown;
    m_startCounter = 0;

    // A failed image ends the dialog but the set-up goes on, so that every missing file is
    // reported, in this order, before the window closes without ever running.
    LoadImage(m_background, res::Picture::Background);
    m_background.SetDepth(3);
    m_background.MoveTo(0, 0);

    LoadImage(m_logo, res::Picture::Logo);
    m_logo.SetDepth(101);

    LoadImage(m_startTile, res::Picture::StartPicture);
    m_startTile.SetDepth(107);

    LoadImage(m_buttonStart, res::Picture::Buttons);
    m_buttonStart.SetDepth(10);
    m_buttonStart.SetAlpha(0.9f);
    m_buttonExit = m_buttonStart;
    m_buttonOptions = m_buttonExit;
    m_buttonOptions.SetFrame(0, 3);
    m_buttonExit.SetFrame(0, 6);

    LoadImage(m_sealPicture, res::Picture::SealPicture);
    m_sealPicture.SetDepth(100);

    LoadImage(m_optionsMenu, res::Picture::OptionsMenu);
    m_optionsMenu.SetDepth(9);

    LoadImage(m_radioLeft, res::Picture::RadioButton);
    m_radioLeft.SetDepth(9);
    m_radioRight = m_radioLeft;

    LoadImage(m_checkAnimation, res::Picture::CheckButton);
    m_checkAnimation.SetDepth(9);
    m_checkDrag = m_checkAnimation;

    LoadImage(m_separator, res::Picture::Separator);
    m_separator.SetDepth(105);

    ShowOptions();

    ApplyPanelAlpha();
    LayoutSprites(false);
    SetWindowPos(nullptr, 0, 0, kWindowWidth, kWindowHeight, SWP_NOMOVE | SWP_NOZORDER);

    m_backBuffer.Load(res::PictureOf(res::Picture::Background).file);
    // Everything is composed into the back buffer, which only a 24-bit image of the window's size
    // can be. A background picture of another depth is reported and the game goes on, so the
    // window composes into a blank image instead of showing nothing but that picture.
    if (m_backBuffer.GetBitCount() != 24 || m_backBuffer.GetWidth() < kWindowWidth ||
        m_backBuffer.GetHeight() < kWindowHeight) {
        m_backBuffer.Share(CDIB());  // at the same size, CreateFromDC would keep the old depth
        m_backBuffer.CreateFromDC(nullptr, kWindowWidth, kWindowHeight);
    }
    m_sprites.m_pBackground = &m_backBuffer;

    // Equal depths: the sprite inserted later lies below, so the start tiles end up drawn from 99
    // down to 0 and the panel's check box 2 lowest of the panel.
    m_sprites.Insert(&m_background);
    m_sprites.Insert(&m_logo);
    for (int k = 0; k < kStartTiles; ++k) {
        CSprite& tile = m_startTiles[static_cast<std::size_t>(k)];
        tile = m_startTile;
        tile.SetFrame(k / kStartPicture.rows, k % kStartPicture.rows);
        m_sprites.Insert(&tile);
    }
    for (CSprite* sprite :
         {&m_buttonStart, &m_buttonOptions, &m_buttonExit, &m_sealPicture, &m_optionsMenu,
          &m_radioLeft, &m_radioRight, &m_checkAnimation, &m_separator, &m_checkDrag}) {
        // Without leave to quit there is no exit button to see or to hit.
        if (sprite != &m_buttonExit || m_settings.quit) m_sprites.Insert(sprite);
    }

    LayoutSprites(true);

    // Last, so that no tick comes before everything is in place.
    SetTimer(kAnimationTimer, 150);
    SetTimer(kGameTimer, 40);
    return TRUE;
}

void CFloemazeDlg::LayoutSprites(bool whole) {
    const int x = m_sideX;
    const int panel = m_panelY;
    const int board = BoardLeft();
    if (whole) {
        m_logo.MoveTo(x, 0);
        for (int column = 0; column < kStartPicture.columns; ++column) {
            for (int row = 0; row < kStartPicture.rows; ++row) {
                m_startTiles[static_cast<std::size_t>(kStartPicture.rows * column + row)].MoveTo(
                    board + kStartPicture.frameWidth * column, kStartPicture.frameHeight * row);
            }
        }
        // Four pixel columns of the control column and one of the board.
        m_separator.MoveTo(x == 0 ? 196 : 499, 0);
        if (m_gameStarted) m_maze.Place(board);
    }
    using namespace res::layout;
    m_buttonStart.MoveTo(x, kButtonY[0]);
    m_buttonOptions.MoveTo(x, kButtonY[1]);
    m_buttonExit.MoveTo(x, kButtonY[2] + m_panelSlide);
    m_sealPicture.MoveTo(x, kSealPictureY);
    const int panelY = kPanelY + panel;
    m_optionsMenu.MoveTo(x, panelY);
    m_radioLeft.MoveTo(x + kRadioX[0], panelY + kRadioY);
    m_radioRight.MoveTo(x + kRadioX[1], panelY + kRadioY);
    m_checkAnimation.MoveTo(x + kCheckX[0], panelY + kCheckY[0]);
    m_checkDrag.MoveTo(x + kCheckX[1], panelY + kCheckY[1]);
}

void CFloemazeDlg::ApplyPanelAlpha() {
    m_panelY = m_panelAlpha > 0.0f ? 0 : -1000;
    const float alpha = m_panelAlpha < 0.0f ? 0.0f : (m_panelAlpha > 1.0f ? 1.0f : m_panelAlpha);
    for (CSprite* sprite :
         {&m_optionsMenu, &m_radioLeft, &m_radioRight, &m_checkAnimation, &m_checkDrag}) {
        sprite->SetAlpha(alpha);
    }
}

void CFloemazeDlg::OnTimer(UINT_PTR id) {
    CClientDC dc(this);
    if (id == kGameTimer) {
        StepPanel(panel::kTick);
        // May open the result box, whose loop runs further ticks before this one goes on.
        if (m_gameStarted) {
            SteerTowardsPointer();
            m_maze.Tick();
        }
    } else if (m_animate) {
        const std::int32_t t = s_animTick;
        m_logo.SetFrame(0, t % 56 <= 7 ? t % 8 : 0);
        m_sealPicture.SetFrame(0, t % 120 <= 60 ? (t % 60) / 10 : 4);
        // After years of ticks the cycles start over rather than overflow.
        s_animTick = t == INT32_MAX ? 0 : t + 1;
    }
    m_sprites.Update(&dc);
    Default();
}

void CFloemazeDlg::RevealBoard() {
    CClientDC dc(this);
    if (!m_gameStarted) {
        POSITION pos = m_maze.m_boardSprites.GetHeadPosition();
        while (pos != nullptr) {
            auto* sprite = static_cast<CSprite*>(m_maze.m_boardSprites.GetNext(pos));
            if (sprite != nullptr) m_sprites.Insert(sprite);
        }
    }
    m_sprites.Update(&dc);
}

void CFloemazeDlg::OnPaint() {
    CPaintDC dc(this);
    if (IsIconic()) {
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        const int cx = GetSystemMetrics(SM_CXICON);
        const int cy = GetSystemMetrics(SM_CYICON);
        RECT client{};
        GetClientRect(&client);
        const int x = (client.right - client.left - cx + 1) / 2;
        const int y = (client.bottom - client.top - cy + 1) / 2;
        DrawIcon(dc.GetSafeHdc(), x, y, m_hIcon);
    } else {
        m_sprites.Redraw(&dc);
        CDialog::OnPaint();
    }
}

HCURSOR CFloemazeDlg::OnQueryDragIcon() {
    return m_hIcon;
}

void CFloemazeDlg::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else if ((id & 0xFFF0) == SC_CLOSE && !m_settings.quit) {
        // Alt+F4, the system menu's close and the window manager's close button: a school
        // machine's child cannot leave the game.
    } else {
        CDialog::OnSysCommand(id, lParam);
    }
}
