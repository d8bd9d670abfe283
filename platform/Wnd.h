// CWnd: a window as the game code sees it. Here only its title; a window backend adds the rest.
#pragma once

#include <string>

#include "platform/ObList.h"

class CWnd : public CObject {
public:
    /// Sets the window's title (UTF-8).
    virtual void SetWindowText(const char* text);
    std::string GetWindowText() const { return m_title; }

private:
    std::string m_title;
};
