// SPDX-License-Identifier: GPL-3.0-or-later
// The SDL backend itself, shared by its source files: Window.cpp holds its windows, Events.cpp
// turns SDL's events into messages (with window moves and the system menu), SdlBackend.cpp starts
// and ends it and draws its boxes.
#pragma once

#include <SDL.h>

#include <map>
#include <memory>
#include <optional>

#include "platform/Backend.h"
#include "platform/Gamepad.h"
#include "platform/PopupMenu.h"
#include "platform/sdl/Drawing.h"
#include "platform/sdl/SdlBackend.h"
#include "platform/sdl/Window.h"

namespace platform::sdl {

class SdlBackend final : public Backend {
public:
    explicit SdlBackend(const DisplayOptions& options);
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    std::unique_ptr<WindowPeer> CreateWindow(CWnd& window, const WindowSpec& spec) override;
    bool WaitForEvents(std::optional<std::uint32_t> timeoutMs) override;
    bool ClockedTimers() const override { return true; }
    int MessageBox(CWnd* owner, const std::string& text, const std::string& caption,
                   UINT type) override;
    void PaintDialog(CDialog& dialog, const DialogTemplate& dialogTemplate) override;

    void Register(SdlPeer& peer) { m_peers[peer.Id()] = &peer; }
    void Unregister(SdlPeer& peer);
    SdlPeer* Find(Uint32 windowId) const;
    SdlPeer* PeerOf(const CWnd* window) const;
    void BeginMove(SdlPeer& peer);
    void OpenMenu(SdlPeer& peer, const CMenu& menu, std::optional<POINT> at);
    /// The scale of the game's windows: chosen, or picked for the first window (of width ×
    /// height) and then the same for all; 1 before there is one.
    int WindowScale(int width, int height);
    /// The scale chosen so far: a box before the first window takes the one the user chose.
    int WindowScale() const {
        if (m_scale > 0) return m_scale;
        return m_options.scale >= kMinScale && m_options.scale <= kMaxScale ? m_options.scale : 1;
    }
    /// The scale boxes and dialogs open at: the main window's text scale, which on a full screen
    /// follows the game's enlargement there.
    int BoxScale() const;
    /// Picks the scale again for the main window's final size, before it is shown.
    int RescaleMain(const SdlPeer& peer, int width, int height);

private:
    struct Move {
        SdlPeer* peer;
        POINT grab;  // where the pointer holds the window, in client pixels
    };
    struct Menu {
        SdlPeer* peer;
        PopupMenu menu;
        Bitmap picture;
    };
    struct Gamepad {
        SDL_GameController* controller;
        HeldDirection held;
    };

    bool Wait(std::optional<std::uint32_t> timeoutMs);
    void Handle(const SDL_Event& event);
    void HandleWindowEvent(const SDL_WindowEvent& event);
    void HandleKey(const SDL_KeyboardEvent& event);
    void HandleButton(const SDL_MouseButtonEvent& event);
    void HandleMotion(const SDL_MouseMotionEvent& event);
    /// One finger is the pointer with the left button held, as SDL's mouse events give it.
    void HandleFinger(const SDL_TouchFingerEvent& event);
    /// Starts SDL's gamepads; their devices take a while to open, so not before the first frame.
    void StartGamepads();
    void HandleGamepad(const SDL_Event& event);
    /// Posts a gamepad's key to the window that has the keyboard.
    void PostGamepadKey(HeldDirection::Press press);
    void FollowPointer(bool released);
    /// F11: the game's main window fills the screen or goes back; a box open over it stays above.
    void ToggleFullscreen();
    /// Where the pointer is on the screen, and whether the left button is held. On X11 the server
    /// is asked: SDL answers from its last raw input event, which a warped pointer (remote
    /// desktops, test tools) never sends, and a moved window would not follow it.
    bool LeftHeldAt(SdlPeer& peer, int& x, int& y) const;
    void ActivateModalWindow();
    void MenuOutcome(PopupMenu::Outcome outcome);
    void CloseMenu();
    void LoadFonts();
    /// The fonts of boxes and menus, and of template dialogs, at a scale.
    const Font* TextFont(int scale = 1);
    const Font* DialogFont(int scale = 1);
    const Font* ScaledFont(int points);

    std::map<Uint32, SdlPeer*> m_peers;
    std::optional<Move> m_move;
    bool m_swallowLeftUp = false;  // the release of a move that ended without its event
    Uint32 m_pressWindow = 0;      // where the left button was last pressed, and at which point
    POINT m_pressPoint{};
    // A window that a move has placed under the pointer: SDL's idea of where the pointer is in
    // it is off by the last step of the move until the pointer moves again.
    Uint32 m_shiftedWindow = 0;
    std::unique_ptr<Menu> m_menu;
    std::unique_ptr<Font> m_textFont;    // message boxes and menus
    std::unique_ptr<Font> m_dialogFont;  // template dialogs, whose layout is in dialog units
    std::string m_fontFile;
    std::map<int, std::unique_ptr<Font>> m_scaledFonts;  // by size in points
    std::map<const SdlPeer*, Bitmap> m_backdrops;        // template dialogs drawn at the scale
    bool m_fontsTried = false;
    DisplayOptions m_options;
    int m_scale = 0;            // 0 until the first window has chosen it
    SdlPeer* m_main = nullptr;  // the first window without an owner: the one F11 switches
    int m_x11Fd = -1;           // the X connection, once a window exists on X11
    std::optional<SDL_FingerID> m_finger;  // the finger that is the pointer
    bool m_gamepadsStarted = false;
    std::map<SDL_JoystickID, Gamepad> m_gamepads;
};

}  // namespace platform::sdl
