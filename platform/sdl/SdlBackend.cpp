// SPDX-License-Identifier: GPL-3.0-or-later
// The SDL backend's start and end, its fonts, its windows and its boxes, and the reasons it gives
// when it cannot start.
#include "platform/sdl/SdlBackend.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/Dialog.h"
#include "platform/TextLayout.h"
#include "platform/Wnd.h"
#include "platform/sdl/TextLibrary.h"
#include "platform/sdl/Widgets.h"
#include "platform/sdl/WindowSystem.h"
#include "platform/sdl/X11Connection.h"

namespace platform::sdl {
namespace {

constexpr const char* kFontFamily = "DejaVu Sans";
constexpr const char* kWindowClass = "floemaze";
constexpr const char* kFallbackFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

bool ContainsWord(const char* list, std::string_view word) {
    if (list == nullptr) return false;
    std::string_view rest(list);
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        std::string_view item = rest.substr(0, comma);
        while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
        if (item.size() == word.size() &&
            std::equal(item.begin(), item.end(), word.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            return true;
        }
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return false;
}
// Read by CreateSdlBackend.
DisplayOptions g_displayOptions;

// The box of AfxMessageBox: a window of its own with the text and an OK button, laid out and drawn
// in the screen's pixels at the scale of the game's windows.
class MessageBoxWindow final : public CWnd {
public:
    MessageBoxWindow(const Font* font, std::string text, int scale)
        : m_font(font), m_text(std::move(text)), m_scale(scale) {}
    ~MessageBoxWindow() override { DestroyPeer(); }

    /// Makes and shows the window, centred on owner; false when the window system gives none.
    bool Open(const std::string& caption, CWnd* owner) {
        m_layout = LayoutMessageBox(m_text, m_font, m_scale);
        if (!CreatePeer(m_layout.width, m_layout.height, true, caption, owner, true)) return false;
        Draw();
        Peer()->Show();
        return true;
    }
    void Close() { DestroyPeer(); }
    const bool& Done() const { return m_done; }

protected:
    void OnPaint() override { Draw(); }
    void OnKeyDown(UINT key, UINT /*repeatCount*/, UINT /*flags*/) override {
        if (key == VK_RETURN || key == VK_SPACE || key == VK_ESCAPE) m_done = true;
    }
    void OnLButtonDown(UINT /*flags*/, CPoint point) override {
        m_tracking = PtInRect(&m_layout.button, point) != FALSE;
        SetPressed(m_tracking);
    }
    void OnMouseMove(UINT /*flags*/, CPoint point) override {
        if (m_tracking) SetPressed(PtInRect(&m_layout.button, point) != FALSE);
    }
    void OnLButtonUp(UINT /*flags*/, CPoint point) override {
        if (!m_tracking) return;
        m_tracking = false;
        SetPressed(false);
        if (PtInRect(&m_layout.button, point)) m_done = true;
    }
    // The close button of the window manager, Alt+F4 and "Schließen" answer like OK.
    void OnClose() override { m_done = true; }

private:
    void SetPressed(bool pressed) {
        if (pressed == m_pressed) return;
        m_pressed = pressed;
        Draw();
    }
    void Draw() {
        if (!HasWindow()) return;
        Bitmap& surface = *Peer()->Surface();
        PaintMessageBox(surface, m_layout, m_font, m_pressed);
        Peer()->Present(RECT{0, 0, surface.width, surface.height});
    }

    const Font* m_font;
    std::string m_text;
    int m_scale;
    MessageBoxLayout m_layout;
    bool m_done = false;
    bool m_tracking = false;
    bool m_pressed = false;
};

}  // namespace

void UseDisplayOptions(const DisplayOptions& options) {
    g_displayOptions = options;
}

SdlBackend::SdlBackend(const DisplayOptions& options) : m_options(options) {
    // Text input (and its input method) is not used: keys arrive as key events.
    SDL_StopTextInput();
}

SdlBackend::~SdlBackend() {
    for (auto& [id, gamepad] : m_gamepads) SDL_GameControllerClose(gamepad.controller);
    m_menu.reset();
    m_scaledFonts.clear();
    m_textFont.reset();
    m_dialogFont.reset();
    if (const TextLibrary* text = OpenedTextLibrary();
        text != nullptr && text->TTF_WasInit() != 0) {
        text->TTF_Quit();
    }
    SDL_Quit();
}

// Message boxes and menus use the desktop's 9-point message font, dialogs their 8-point shell
// font, whose size the dialog units are measured in; scaled windows the same, scale times as large.
constexpr int kTextPoints = 9;
constexpr int kDialogPoints = 8;

const Font* SdlBackend::TextFont(int scale) {
    LoadFonts();
    return scale <= 1 ? m_textFont.get() : ScaledFont(kTextPoints * scale);
}

const Font* SdlBackend::DialogFont(int scale) {
    LoadFonts();
    return scale <= 1 ? m_dialogFont.get() : ScaledFont(kDialogPoints * scale);
}

const Font* SdlBackend::ScaledFont(int points) {
    if (!m_textFont) return nullptr;
    std::unique_ptr<Font>& font = m_scaledFonts[points];
    if (!font) {
        std::string error;
        font = Font::Open(m_fontFile, points, error);
        // The text at the usual size is better than none.
        if (!font) return m_textFont.get();
    }
    return font.get();
}

int SdlBackend::RescaleMain(const SdlPeer& peer, int width, int height) {
    if (&peer != m_main || peer.Shown()) return peer.Scale();
    m_scale = 0;
    return WindowScale(width, height);
}

int SdlBackend::BoxScale() const {
    return m_main != nullptr ? m_main->TextScale() : WindowScale();
}

int SdlBackend::WindowScale(int width, int height) {
    if (m_scale > 0) return m_scale;
    if (m_options.scale >= kMinScale && m_options.scale <= kMaxScale) {
        m_scale = m_options.scale;
        return m_scale;
    }
    // A new window opens on the first display.
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = SDL_Rect{0, 0, 0, 0};
    m_scale = AutomaticScale(width, height, usable.w, usable.h);
    return m_scale;
}

void SdlBackend::LoadFonts() {
    // The fonts are looked up when the first text is drawn, not at start: finding them through
    // fontconfig costs more than opening the window.
    if (m_fontsTried) return;
    m_fontsTried = true;
    std::string why;
    const TextLibrary* text = OpenTextLibrary(why);
    if (text == nullptr || text->TTF_Init() != 0) {
        std::fprintf(stderr,
                     "%s: cannot draw text in message boxes and dialogs: %s. Install the Debian "
                     "packages libsdl2-ttf-2.0-0 and libfontconfig1.\n",
                     ApplicationName().c_str(), text == nullptr ? why.c_str() : SDL_GetError());
        return;
    }
    std::string file = Font::FindFile(kFontFamily);
    // The font's file is all that is needed: fontconfig's configuration and caches go at once,
    // before the glyphs take memory of their own.
    Font::ReleaseFontLookup();
    if (file.empty()) file = kFallbackFontFile;
    std::string error;
    m_fontFile = file;
    m_textFont = Font::Open(file, kTextPoints, error);
    if (m_textFont) m_dialogFont = Font::Open(file, kDialogPoints, error);
    if (!m_textFont || !m_dialogFont) {
        m_textFont.reset();
        std::fprintf(stderr,
                     "%s: cannot open the font \"%s\" (%s); message boxes and dialogs show no "
                     "text. Install the Debian package fonts-dejavu-core.\n",
                     ApplicationName().c_str(), file.c_str(), error.c_str());
    }
}

std::unique_ptr<WindowPeer> SdlBackend::CreateWindow(CWnd& window, const WindowSpec& spec) {
    CloseMenu();
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (!spec.caption) flags |= SDL_WINDOW_BORDERLESS;
    const int width = std::clamp(spec.width, 1, kMaxBitmapSide);
    const int height = std::clamp(spec.height, 1, kMaxBitmapSide);
    // Later windows are boxes and dialogs of the game's window, at its text scale.
    const int scale = spec.screenPixels   ? 1
                      : m_main != nullptr ? BoxScale()
                                          : WindowScale(width, height);
    SDL_Window* handle =
        SDL_CreateWindow(ToValidUtf8(spec.title).c_str(), SDL_WINDOWPOS_CENTERED,
                         SDL_WINDOWPOS_CENTERED, width * scale, height * scale, flags);
    if (handle == nullptr) {
        std::fprintf(stderr, "%s: cannot create a window: %s\n", ApplicationName().c_str(),
                     SDL_GetError());
        return nullptr;
    }
    if (SdlPeer* owner = PeerOf(spec.owner)) SDL_SetWindowModalFor(handle, owner->Handle());
    if (m_x11Fd < 0) m_x11Fd = X11ConnectionFd(handle);
    auto peer = std::make_unique<SdlPeer>(*this, window, handle, spec.owner, width, height, scale);
    if (m_main == nullptr && spec.owner == nullptr && !spec.screenPixels) {
        m_main = peer.get();
        if (m_options.fullscreen) peer->SetFullscreen(true);
    }
    return peer;
}

void SdlBackend::Unregister(SdlPeer& peer) {
    if (m_menu && m_menu->peer == &peer) m_menu.reset();
    if (m_main == &peer) m_main = nullptr;
    m_backdrops.erase(&peer);
    if (m_move && m_move->peer == &peer) m_move.reset();
    if (m_shiftedWindow == peer.Id()) m_shiftedWindow = 0;
    m_peers.erase(peer.Id());
}

SdlPeer* SdlBackend::Find(Uint32 windowId) const {
    const auto found = m_peers.find(windowId);
    return found != m_peers.end() ? found->second : nullptr;
}

SdlPeer* SdlBackend::PeerOf(const CWnd* window) const {
    if (window == nullptr) return nullptr;
    for (const auto& [id, peer] : m_peers) {
        if (&peer->Window() == window) return peer;
    }
    return nullptr;
}
int SdlBackend::MessageBox(CWnd* owner, const std::string& text, const std::string& caption,
                           UINT /*type*/) {
    CloseMenu();
    m_move.reset();
    const std::string message = ToValidUtf8(text);
    const int scale = BoxScale();
    const Font* font = TextFont(scale);
    if (font == nullptr) {
        // The box cannot show its text; the terminal still can.
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), message.c_str());
    }
    MessageBoxWindow box(font, message, scale);
    if (!box.Open(ToValidUtf8(caption), owner)) {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), message.c_str());
        return IDOK;
    }
    RunModalLoop(box.Done(), &box);
    box.Close();
    return IDOK;
}

void SdlBackend::PaintDialog(CDialog& dialog, const DialogTemplate& dialogTemplate) {
    SdlPeer* peer = PeerOf(&dialog);
    if (peer == nullptr) return;
    if (peer->Scale() > 1) {
        // Drawn at the screen's pixels, text and all, and shown in place of the client area.
        Bitmap& picture = m_backdrops[peer];
        const RECT screen = peer->ScreenRect();
        if (picture.width != screen.right || picture.height != screen.bottom) {
            Allocate(picture, screen.right, screen.bottom);
        }
        PaintDialogItems(picture, dialogTemplate, DialogFont(peer->Scale()), peer->Scale());
        peer->SetBackdrop(&picture);
        peer->Redraw();
        return;
    }
    Bitmap& surface = *peer->Surface();
    PaintDialogItems(surface, dialogTemplate, DialogFont());
    peer->Present(RECT{0, 0, surface.width, surface.height});
}

bool IsVisibleDriver(const char* chosen, const char* requested) {
    if (chosen == nullptr) return false;
    const std::string_view name(chosen);
    if (name == "offscreen" || name == "dummy" || name == "evdev") {
        return ContainsWord(requested, name);
    }
    return true;
}

std::string NoDisplayReason(const char* display, const char* waylandDisplay,
                            std::string_view sdlError) {
    const bool hasX = display != nullptr && *display != '\0';
    const bool hasWayland = waylandDisplay != nullptr && *waylandDisplay != '\0';
    std::string reason = "cannot open the game window: there is no display to show it on.\n";
    reason += "  Tried: ";
    reason += hasX ? "the X display \"" + std::string(display) + "\", which could not be opened"
                   : "an X display, but DISPLAY is not set";
    reason += hasWayland ? "; the Wayland display \"" + std::string(waylandDisplay) +
                               "\", which could not be opened"
                         : "; a Wayland display, but WAYLAND_DISPLAY is not set";
    reason += ".\n";
    if (!sdlError.empty()) reason += "  SDL reports: " + std::string(sdlError) + "\n";
    reason +=
        "  Start the game from a graphical desktop session, or set DISPLAY to a running X server "
        "(for example DISPLAY=:0).";
    return reason;
}

std::string VideoDriverReason(std::string_view requested, std::string_view sdlError,
                              const std::vector<std::string>& available, const char* display) {
    std::string reason = "cannot open the game window: SDL could not start the video driver \"" +
                         std::string(requested) + "\" that SDL_VIDEODRIVER names.\n";
    reason += "  SDL reports: " + std::string(sdlError.empty() ? "no reason" : sdlError) + "\n";
    const std::string list(requested);
    const bool known = std::any_of(available.begin(), available.end(), [&](const std::string& d) {
        return ContainsWord(list.c_str(), d);
    });
    if (!known) {
        reason += "  This SDL has no such video driver; it has:";
        for (std::size_t i = 0; i < available.size(); ++i) {
            reason += (i == 0 ? " " : ", ") + available[i];
        }
        reason += ".\n";
    } else if (ContainsWord(list.c_str(), "x11")) {
        // SDL's own words for a display it could not open are only that the driver is not there.
        const bool hasX = display != nullptr && *display != '\0';
        reason += hasX ? "  The X display \"" + std::string(display) + "\" could not be opened.\n"
                       : "  DISPLAY is not set.\n";
    }
    reason += "  Unset SDL_VIDEODRIVER to let SDL choose the driver.";
    return reason;
}

std::unique_ptr<Backend> CreateSdlBackend(std::string& reason) {
    // Ctrl+C and kill end the program as usual; there is nothing to save.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The plain software framebuffer (X11 shared memory) rather than one through OpenGL: far less
    // processor time, memory and start-up time for a few small rectangles a tick.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The pointer stays captured while a button is held, so the release outside still arrives.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "1");
    // A children's game has no business keeping the screen saver away, nor the compositor.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // A finger is turned into pointer messages by the backend itself, not also by SDL.
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
    // The window's class names the game, whatever the program file is called, so that desktops
    // group its windows and find its icon (the desktop entry's StartupWMClass); a class the user
    // set stays.
    setenv("SDL_VIDEO_X11_WMCLASS", kWindowClass, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", kWindowClass, 0);

    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        const char* requested = std::getenv("SDL_VIDEODRIVER");
        if (requested != nullptr && *requested != '\0') {
            std::vector<std::string> available;
            for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
                available.emplace_back(SDL_GetVideoDriver(i));
            }
            reason =
                VideoDriverReason(requested, SDL_GetError(), available, std::getenv("DISPLAY"));
        } else {
            reason = NoDisplayReason(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                                     SDL_GetError());
        }
        return nullptr;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!IsVisibleDriver(driver, std::getenv("SDL_VIDEODRIVER"))) {
        reason = NoDisplayReason(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), "");
        reason += "\n  (SDL fell back to its invisible \"" + std::string(driver ? driver : "?") +
                  "\" video driver; set SDL_VIDEODRIVER=" + std::string(driver ? driver : "?") +
                  " to run without a display on purpose.)";
        SDL_Quit();
        return nullptr;
    }
    if (std::string_view(driver) == "x11") EndProgramWhenDisplayIsLost(ApplicationName());
    return std::make_unique<SdlBackend>(g_displayOptions);
}

}  // namespace platform::sdl
