// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MessageBox.h"

#include <utility>

#include "platform/App.h"
#include "platform/Backend.h"
#include "platform/Types.h"

namespace platform {
namespace {
MessageBoxHandler& CurrentMessageBoxHandler() {
    static MessageBoxHandler handler;
    return handler;
}

// Without a handler the window system shows the box, owned by the main window and captioned
// with the application's name.
int ShowWithBackend(const std::string& text, unsigned type) {
    CWinApp* app = AfxGetApp();
    CWnd* owner = app != nullptr ? app->m_pMainWnd : nullptr;
    return CurrentBackend().MessageBox(owner, text, ApplicationName(), type);
}
}  // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(CurrentMessageBoxHandler(), std::move(handler));
}
}  // namespace platform

int AfxMessageBox(const char* text, unsigned type, unsigned /*helpId*/) {
    const std::string message = text != nullptr ? text : "";
    // A copy: the handler may run a nested loop whose code installs another handler.
    const platform::MessageBoxHandler handler = platform::CurrentMessageBoxHandler();
    if (!handler) return platform::ShowWithBackend(message, type);
    return handler(message, type);
}
