// SPDX-License-Identifier: GPL-3.0-or-later
// AfxMessageBox, the modal message box with an OK button, and the seam that answers it.
#pragma once

#include <functional>
#include <string>

/// Shows text (UTF-8; "\n" breaks lines) in a modal box and returns the button chosen (IDOK).
/// type and helpId follow the framework's signature; the game only uses type 0 (MB_OK).
int AfxMessageBox(const char* text, unsigned type = 0, unsigned helpId = 0);

namespace platform {

/// Answers a message box with the id of the button the user chose.
using MessageBoxHandler = std::function<int(const std::string& text, unsigned type)>;

/// Installs the handler that shows every message box and returns the previous one; an empty
/// handler restores the default, which lets the window system show the box: on the headless
/// backend (without a window system) that writes the text to standard error and answers IDOK; on
/// SDL it is a real modal window.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace platform
