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
/// handler restores the default. Without a window system the default writes the text to standard
/// error and answers IDOK; a window backend installs a handler that runs a real modal box.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace platform
