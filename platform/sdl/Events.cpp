// SPDX-License-Identifier: GPL-3.0-or-later
// SDL's events as the framework's messages, window moves that follow the pointer, and the system
// menu drawn over a window.
#include <poll.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "platform/Wnd.h"
#include "platform/sdl/Keys.h"
#include "platform/sdl/Widgets.h"
#include "platform/sdl/WindowSystem.h"
#include "platform/sdl/X11Connection.h"

namespace platform::sdl {
namespace {

// SDL numbers a gamepad's buttons as GamepadButton does, up to the d-pad.
GamepadButton ButtonOf(Uint8 button) {
    static_assert(SDL_CONTROLLER_BUTTON_A == static_cast<int>(GamepadButton::South) &&
                  SDL_CONTROLLER_BUTTON_Y == static_cast<int>(GamepadButton::North) &&
                  SDL_CONTROLLER_BUTTON_START == static_cast<int>(GamepadButton::Start) &&
                  SDL_CONTROLLER_BUTTON_DPAD_RIGHT == static_cast<int>(GamepadButton::DpadRight));
    return button <= SDL_CONTROLLER_BUTTON_DPAD_RIGHT ? static_cast<GamepadButton>(button)
                                                      : GamepadButton::Other;
}

// The lParam of a key message: repeat count 1, the scan code in bits 16..23, bit 30 for a key
// that was down already (auto-repeat), bits 30 and 31 on release.
LPARAM KeyFlags(bool down, bool repeat, unsigned scanCode) {
    LPARAM flags = 1 | static_cast<LPARAM>((scanCode & 0xFF) << 16);
    if (!down || repeat) flags |= static_cast<LPARAM>(KF_REPEAT) << 16;
    if (!down) flags |= LPARAM{1} << 31;
    return flags;
}

}  // namespace

bool SdlBackend::WaitForEvents(std::optional<std::uint32_t> timeoutMs) {
    if (!m_gamepadsStarted && FirstFramePresented()) StartGamepads();
    // A held gamepad direction repeats on time, as a held key does.
    const std::uint64_t now = SDL_GetTicks64();
    for (auto& [id, gamepad] : m_gamepads) {
        if (const auto until = gamepad.held.UntilRepeat(now)) {
            const auto wait = static_cast<std::uint32_t>(std::min<std::uint64_t>(*until, INT_MAX));
            timeoutMs = std::min(timeoutMs.value_or(wait), wait);
        }
    }
    const bool more = Wait(timeoutMs);
    const std::uint64_t later = SDL_GetTicks64();
    for (auto& [id, gamepad] : m_gamepads) {
        if (const auto press = gamepad.held.Repeat(later)) PostGamepadKey(*press);
    }
    return more;
}

bool SdlBackend::Wait(std::optional<std::uint32_t> timeoutMs) {
    SDL_Event event;
    if (m_x11Fd >= 0) {
        // On X11 the wait is a poll on the X connection. SDL's own wait wakes itself with an event
        // sent to one of the windows over a second connection; when that window is destroyed at
        // the same moment (a box closed by a key), the server may see the destroy first, and the
        // error ends the program when it closes its display.
        SDL_PumpEvents();
        if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) == SDL_FALSE) {
            pollfd connection{m_x11Fd, POLLIN, 0};
            const int wait =
                timeoutMs ? static_cast<int>(std::min<std::uint32_t>(*timeoutMs, INT_MAX)) : -1;
            // A connection the server has closed stays readable for ever: without this check
            // the loop would spin if Xlib did not notice.
            if (poll(&connection, 1, wait) > 0 && (connection.revents & (POLLHUP | POLLERR)) != 0) {
                EndForLostDisplay();
            }
            SDL_PumpEvents();
        }
        while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
            Handle(event);
        }
        // SDL drops a motion whose point in the window is the one it saw last, which is what a
        // window that follows the pointer mostly shows: every wake-up of a move follows it.
        if (m_move) FollowPointer(false);
        return true;
    }
    // Elsewhere SDL's wait: blocks until an event comes or the next timer is due.
    const int got =
        timeoutMs ? SDL_WaitEventTimeout(
                        &event, static_cast<int>(std::min<std::uint32_t>(*timeoutMs, INT_MAX)))
                  : SDL_WaitEvent(&event);
    if (got == 0) {
        // An error while waiting without a timer would otherwise spin.
        if (!timeoutMs) SDL_Delay(10);
        return true;
    }
    Handle(event);
    while (SDL_PollEvent(&event) != 0) Handle(event);
    return true;
}

void SdlBackend::Handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_WINDOWEVENT:
            HandleWindowEvent(event.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            HandleKey(event.key);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            // A finger comes as a finger only (HandleFinger).
            if (event.button.which != SDL_TOUCH_MOUSEID) HandleButton(event.button);
            break;
        case SDL_MOUSEMOTION:
            if (event.motion.which != SDL_TOUCH_MOUSEID) HandleMotion(event.motion);
            break;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            HandleFinger(event.tfinger);
            break;
        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED:
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
        case SDL_CONTROLLERAXISMOTION:
            HandleGamepad(event);
            break;
        default:
            // SDL_QUIT follows the close of the last window, which its own event has handled.
            break;
    }
}

void SdlBackend::HandleWindowEvent(const SDL_WindowEvent& event) {
    SdlPeer* peer = Find(event.windowID);
    if (peer == nullptr) return;
    CWnd* window = &peer->Window();
    switch (event.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // What the surface holds goes back at once (into or out of a full screen: placed
            // anew); the window then paints itself afresh.
            peer->Redraw();
            PostPaint(window);
            break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
            PostPaint(window);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            // A window under a modal box hands the focus on to the box, as a disabled window does.
            if (!InputAllowed(window)) ActivateModalWindow();
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (m_menu && m_menu->peer == peer) CloseMenu();
            break;
        case SDL_WINDOWEVENT_CLOSE:
            if (m_menu && m_menu->peer == peer) CloseMenu();
            // A window below a modal box is disabled: its close button does nothing.
            if (InputAllowed(window)) PostToQueue(MSG{window, WM_SYSCOMMAND, SC_CLOSE, 0});
            break;
        default:
            break;
    }
}

void SdlBackend::HandleKey(const SDL_KeyboardEvent& event) {
    SdlPeer* peer = Find(event.windowID);
    const SDL_Keycode key = event.keysym.sym;
    const Uint16 mods = event.keysym.mod;
    const bool down = event.type == SDL_KEYDOWN;
    if (key == SDLK_F11) {
        if (down && event.repeat == 0) ToggleFullscreen();
        return;
    }
    if (m_menu) {
        if (!down) return;
        if ((mods & KMOD_ALT) != 0 && key == SDLK_SPACE) {
            CloseMenu();
        } else if (peer == nullptr || peer == m_menu->peer) {
            MenuOutcome(m_menu->menu.Key(VirtualKey(key, mods)));
        }
        return;
    }
    if (peer == nullptr) return;
    CWnd* window = &peer->Window();
    if ((mods & KMOD_ALT) != 0) {
        // With Alt held keys are system keys: Alt+Space opens the system menu, Alt+F4 closes;
        // the window gets no key message for them.
        if (!down || !InputAllowed(window)) return;
        if (key == SDLK_SPACE) PostToQueue(MSG{window, WM_SYSCOMMAND, SC_KEYMENU, ' '});
        if (key == SDLK_F4) PostToQueue(MSG{window, WM_SYSCOMMAND, SC_CLOSE, 0});
        return;
    }
    const UINT vk = VirtualKey(key, mods);
    if (vk == 0) return;
    PostToQueue(MSG{window, down ? WM_KEYDOWN : WM_KEYUP, vk,
                    KeyFlags(down, event.repeat != 0, event.keysym.scancode)});
}

void SdlBackend::HandleButton(const SDL_MouseButtonEvent& event) {
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    const bool left = event.button == SDL_BUTTON_LEFT;
    if (m_move) {
        if (!down && left) FollowPointer(true);
        return;
    }
    SdlPeer* peer = Find(event.windowID);
    POINT point{event.x, event.y};
    X11PointerState pointer;
    if (peer != nullptr && event.windowID == m_shiftedWindow &&
        X11Pointer(peer->Handle(), pointer)) {
        point = POINT{pointer.windowX, pointer.windowY};
    }
    if (m_menu) {
        if (peer != m_menu->peer) {
            if (down) CloseMenu();
        } else {
            MenuOutcome(down ? m_menu->menu.PointerDown(point) : m_menu->menu.PointerUp(point));
        }
        return;
    }
    if (!down && left && m_swallowLeftUp) {
        m_swallowLeftUp = false;
        return;
    }
    if (peer == nullptr || (!left && event.button != SDL_BUTTON_RIGHT)) return;
    if (down && !InputAllowed(&peer->Window())) {
        ActivateModalWindow();
        return;
    }
    // The border around a full screen is no part of the window's client area.
    const ScreenView view = peer->View();
    if (down && !ToClient(view, point)) return;
    if (down && left) {
        m_swallowLeftUp = false;
        m_pressWindow = event.windowID;
        m_pressPoint = point;
    }
    const POINT client = ClientPoint(view, point);
    // The buttons held after this event: SDL's state may already include later events.
    Uint32 held = SDL_GetMouseState(nullptr, nullptr);
    const Uint32 mask = SDL_BUTTON(event.button);
    held = down ? (held | mask) : (held & ~mask);
    WPARAM keys = 0;
    if ((held & SDL_BUTTON_LMASK) != 0) keys |= MK_LBUTTON;
    if ((held & SDL_BUTTON_RMASK) != 0) keys |= MK_RBUTTON;
    const UINT message =
        left ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
    PostToQueue(MSG{&peer->Window(), message, keys, MAKELPARAM(client.x, client.y)});
}

void SdlBackend::HandleMotion(const SDL_MouseMotionEvent& event) {
    if (event.windowID == m_shiftedWindow) m_shiftedWindow = 0;
    if (m_move) {
        FollowPointer(false);
        return;
    }
    SdlPeer* peer = Find(event.windowID);
    if (peer == nullptr) return;
    const POINT point{event.x, event.y};
    if (m_menu) {
        if (peer == m_menu->peer) MenuOutcome(m_menu->menu.PointerMove(point));
        return;
    }
    WPARAM keys = 0;
    if ((event.state & SDL_BUTTON_LMASK) != 0) keys |= MK_LBUTTON;
    if ((event.state & SDL_BUTTON_RMASK) != 0) keys |= MK_RBUTTON;
    const POINT client = ClientPoint(peer->View(), point);
    PostToQueue(MSG{&peer->Window(), WM_MOUSEMOVE, keys, MAKELPARAM(client.x, client.y)});
}

void SdlBackend::HandleFinger(const SDL_TouchFingerEvent& event) {
    // The first finger down is the pointer until it is lifted; other fingers meanwhile are not.
    const bool down = event.type == SDL_FINGERDOWN;
    if (down ? m_finger.has_value() : m_finger != event.fingerId) return;
    if (!down && event.type == SDL_FINGERUP) m_finger.reset();
    SdlPeer* peer = Find(event.windowID);
    if (peer == nullptr || !std::isfinite(event.x) || !std::isfinite(event.y)) return;
    if (down) m_finger = event.fingerId;
    // The finger's place is a fraction of the window's size; a finger that slid off lies beyond.
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(peer->Handle(), &width, &height);
    const int x = static_cast<int>(std::clamp(event.x, -1.0f, 2.0f) * static_cast<float>(width));
    const int y = static_cast<int>(std::clamp(event.y, -1.0f, 2.0f) * static_cast<float>(height));
    SDL_MouseMotionEvent motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.windowID = event.windowID;
    motion.x = x;
    motion.y = y;
    if (event.type == SDL_FINGERMOTION) {
        motion.state = SDL_BUTTON_LMASK;
        HandleMotion(motion);
        return;
    }
    // A touch comes to a place and presses there, as a pointer does.
    if (down) HandleMotion(motion);
    SDL_MouseButtonEvent button{};
    button.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    button.windowID = event.windowID;
    button.button = SDL_BUTTON_LEFT;
    button.state = down ? SDL_PRESSED : SDL_RELEASED;
    button.clicks = 1;
    button.x = x;
    button.y = y;
    HandleButton(button);
}

void SdlBackend::StartGamepads() {
    m_gamepadsStarted = true;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "%s: gamepads cannot be used: %s\n", ApplicationName().c_str(),
                     SDL_GetError());
    }
}

void SdlBackend::HandleGamepad(const SDL_Event& event) {
    const std::uint64_t now = SDL_GetTicks64();
    if (event.type == SDL_CONTROLLERDEVICEADDED) {
        SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which);
        if (controller == nullptr) return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
        if (!m_gamepads.emplace(id, Gamepad{controller, HeldDirection{}}).second) {
            SDL_GameControllerClose(controller);
        }
        return;
    }
    const SDL_JoystickID id = event.type == SDL_CONTROLLERDEVICEREMOVED ? event.cdevice.which
                              : event.type == SDL_CONTROLLERAXISMOTION  ? event.caxis.which
                                                                        : event.cbutton.which;
    const auto found = m_gamepads.find(id);
    if (found == m_gamepads.end()) return;
    Gamepad& gamepad = found->second;
    std::optional<HeldDirection::Press> press;
    switch (event.type) {
        case SDL_CONTROLLERDEVICEREMOVED:
            SDL_GameControllerClose(gamepad.controller);
            m_gamepads.erase(found);
            return;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
            const UINT key = GamepadButtonKey(ButtonOf(event.cbutton.button));
            if (key >= VK_LEFT && key <= VK_DOWN) {
                press = gamepad.held.Pad(key, down, now);
            } else if (key != 0 && down) {
                press = HeldDirection::Press{key, false};
            }
            break;
        }
        case SDL_CONTROLLERAXISMOTION:
            if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX ||
                event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
                press = gamepad.held.Stick(
                    StickKey(
                        SDL_GameControllerGetAxis(gamepad.controller, SDL_CONTROLLER_AXIS_LEFTX),
                        SDL_GameControllerGetAxis(gamepad.controller, SDL_CONTROLLER_AXIS_LEFTY)),
                    now);
            }
            break;
        default:
            break;
    }
    if (press) PostGamepadKey(*press);
}

void SdlBackend::PostGamepadKey(HeldDirection::Press press) {
    // A menu is left alone by the gamepad, which could choose its close command: it just closes.
    if (m_menu) {
        if (!press.repeat) CloseMenu();
        return;
    }
    SDL_Window* focus = SDL_GetKeyboardFocus();
    SdlPeer* peer = focus != nullptr ? Find(SDL_GetWindowID(focus)) : nullptr;
    if (peer == nullptr) return;
    PostToQueue(MSG{&peer->Window(), WM_KEYDOWN, press.key, KeyFlags(true, press.repeat, 0)});
}

bool SdlBackend::LeftHeldAt(SdlPeer& peer, int& x, int& y) const {
    X11PointerState state;
    if (m_x11Fd >= 0 && X11Pointer(peer.Handle(), state)) {
        x = state.x;
        y = state.y;
        return state.leftHeld;
    }
    return (SDL_GetGlobalMouseState(&x, &y) & SDL_BUTTON_LMASK) != 0;
}

void SdlBackend::BeginMove(SdlPeer& peer) {
    int x = 0;
    int y = 0;
    // A press that is over already (a quick click) moves nothing, nor does a full screen.
    if (peer.Fullscreen() || !LeftHeldAt(peer, x, y)) return;
    CloseMenu();
    POINT grab = m_pressPoint;
    if (m_pressWindow != peer.Id()) {
        int windowX = 0;
        int windowY = 0;
        SDL_GetWindowPosition(peer.Handle(), &windowX, &windowY);
        grab = POINT{x - windowX, y - windowY};
    }
    m_move = Move{&peer, grab};
    FollowPointer(false);
}

// Moves the window so that the point it was grabbed at stays under the pointer. The window
// system's own move does not work for a window without a frame on X11, so the window is placed
// from the pointer's screen position.
void SdlBackend::FollowPointer(bool released) {
    if (!m_move) return;
    int x = 0;
    int y = 0;
    const bool held = LeftHeldAt(*m_move->peer, x, y);
    SDL_SetWindowPosition(m_move->peer->Handle(), x - m_move->grab.x, y - m_move->grab.y);
    m_shiftedWindow = m_move->peer->Id();
    if (released) {
        m_move.reset();
    } else if (!held) {
        // Released without its event yet: that event, when it comes, belongs to the move.
        m_move.reset();
        m_swallowLeftUp = true;
    }
}

void SdlBackend::ToggleFullscreen() {
    if (m_main == nullptr) return;
    CloseMenu();
    m_move.reset();
    m_main->SetFullscreen(!m_main->Fullscreen());
    // A box open over the game stays over it and keeps the keyboard.
    SdlPeer* modal = PeerOf(InnermostModalWindow());
    if (modal != nullptr && modal != m_main && modal->Shown()) {
        SDL_RaiseWindow(modal->Handle());
        SDL_SetWindowInputFocus(modal->Handle());
    }
}

void SdlBackend::ActivateModalWindow() {
    SdlPeer* modal = PeerOf(InnermostModalWindow());
    if (modal == nullptr || !modal->Shown() || SDL_GetKeyboardFocus() == modal->Handle()) return;
    SDL_RaiseWindow(modal->Handle());
    SDL_SetWindowInputFocus(modal->Handle());
}

void SdlBackend::OpenMenu(SdlPeer& peer, const CMenu& menu, std::optional<POINT> at) {
    CloseMenu();
    // The menu lies over the window in the screen's pixels, at the window's scale.
    const int scale = peer.TextScale();
    const Font* font = TextFont(scale);
    m_menu = std::make_unique<Menu>(
        Menu{&peer, PopupMenu(menu, TextWidths(font, scale), scale), Bitmap{}});
    const ScreenView view = peer.View();
    const RECT corner = ToScreen(view, RECT{0, 0, 1, 1});
    POINT place{corner.left, corner.top};
    if (at) {
        const RECT pixel = ToScreen(view, RECT{at->x, at->y, at->x + 1, at->y + 1});
        if (!IsRectEmpty(&pixel)) place = POINT{pixel.left, pixel.top};
    }
    m_menu->menu.Place(place, peer.ScreenRect());
    if (!at) m_menu->menu.HighlightFirst();
    const RECT bounds = m_menu->menu.Bounds();
    Allocate(m_menu->picture, bounds.right - bounds.left, bounds.bottom - bounds.top);
    PaintMenu(m_menu->picture, m_menu->menu, font);
    peer.SetOverlay(&m_menu->picture, POINT{bounds.left, bounds.top});
}

void SdlBackend::MenuOutcome(PopupMenu::Outcome outcome) {
    if (!m_menu) return;
    switch (outcome) {
        case PopupMenu::Outcome::None:
            break;
        case PopupMenu::Outcome::Redraw: {
            PaintMenu(m_menu->picture, m_menu->menu, TextFont(m_menu->menu.Scale()));
            m_menu->peer->ShowScreenRect(m_menu->menu.Bounds());
            break;
        }
        case PopupMenu::Outcome::Close:
            CloseMenu();
            break;
        case PopupMenu::Outcome::Choose: {
            CWnd* window = &m_menu->peer->Window();
            const UINT id = m_menu->menu.Chosen();
            CloseMenu();
            PostToQueue(MSG{window, WM_SYSCOMMAND, id, 0});
            break;
        }
    }
}

void SdlBackend::CloseMenu() {
    if (!m_menu) return;
    std::unique_ptr<Menu> menu = std::move(m_menu);
    menu->peer->SetOverlay(nullptr, POINT{});
}

}  // namespace platform::sdl
