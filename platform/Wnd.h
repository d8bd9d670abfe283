// SPDX-License-Identifier: GPL-3.0-or-later
// CWnd, CMenu: a window as the game code sees it, with its message handlers and default
// processing. The window itself (a real one or a memory surface) is provided by a backend.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Icon.h"
#include "platform/Messages.h"
#include "platform/ObList.h"

namespace platform {
class WindowPeer;
}

/// A window's system menu: the platform's entries followed by what the program appends.
class CMenu {
public:
    struct Item {
        UINT flags;        ///< MF_STRING or MF_SEPARATOR
        UINT id;           ///< command id sent with WM_SYSCOMMAND
        std::string text;  ///< "&" marks the underlined letter
    };
    /// Appends an entry; FALSE for flags other than MF_STRING and MF_SEPARATOR.
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);
    const std::vector<Item>& Items() const { return m_items; }

private:
    std::vector<Item> m_items;
};

/// A window. Messages reach it one at a time through Dispatch, which gives PreTranslateMessage the
/// first look and then calls the handler; handlers end with Default(), the platform's own
/// processing of the message being handled.
class CWnd : public CObject {
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // -- the window ------------------------------------------------------------------------
    /// Sets the window's title (UTF-8).
    virtual void SetWindowText(const char* text);
    std::string GetWindowText() const { return m_title; }
    /// Resizes the client area to cx × cy (the window has no frame) and/or moves the window.
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    /// (0, 0, client width, client height).
    void GetClientRect(RECT* rect) const;
    BOOL IsIconic() const;
    /// Sets the big (ICON_BIG) or small icon; returns the previous one.
    HICON SetIcon(HICON icon, BOOL big);
    HICON GetIcon(BOOL big) const { return big ? m_bigIcon : m_smallIcon; }
    /// The system menu, created with the platform's entries on first use; null without a window.
    CMenu* GetSystemMenu(BOOL revert);
    /// Queues a message for this window; it is dispatched by the message loop.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    /// Dispatches a message to this window at once and returns its result.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    /// Starts a periodic timer: WM_TIMER with id every elapse ms. Returns id (0 on failure).
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, void* callback = nullptr);
    BOOL KillTimer(UINT_PTR id);
    bool HasWindow() const { return m_peer != nullptr; }
    platform::WindowPeer* Peer() const { return m_peer.get(); }

    // -- messages --------------------------------------------------------------------------
    /// Gives the window a first look at a message; TRUE means it was handled.
    virtual BOOL PreTranslateMessage(MSG* msg);
    /// Runs the handler of msg (after PreTranslateMessage) and returns its result.
    LRESULT Dispatch(const MSG& msg);
    /// The platform's own processing of the message being dispatched.
    LRESULT Default();

protected:
    virtual void OnPaint();
    virtual void OnTimer(UINT_PTR id);
    virtual void OnMouseMove(UINT flags, CPoint point);
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnLButtonUp(UINT flags, CPoint point);
    virtual void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
    virtual void OnSysCommand(UINT id, LPARAM lParam);
    virtual HCURSOR OnQueryDragIcon();
    /// Default processing of WM_CLOSE and SC_CLOSE; a dialog ends itself with IDCANCEL.
    virtual void OnClose();

    /// Creates the backend window (client size width × height); a window with an owner is
    /// centred on it. FALSE when the window system gives none. screenPixels: see WindowSpec.
    BOOL CreatePeer(int width, int height, bool caption, const std::string& title,
                    CWnd* owner = nullptr, bool screenPixels = false);
    void DestroyPeer();

private:
    std::unique_ptr<platform::WindowPeer> m_peer;
    std::unique_ptr<CMenu> m_systemMenu;
    std::string m_title;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    const MSG* m_current = nullptr;  // the message Default() processes
};
