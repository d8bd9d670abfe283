#include "platform/MessageBox.h"

#include <cstdio>
#include <utility>

#include "platform/Types.h"

namespace platform {
namespace {
MessageBoxHandler& CurrentMessageBoxHandler() {
    static MessageBoxHandler handler;
    return handler;
}

int WriteToStandardError(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    return IDOK;
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
    if (!handler) return platform::WriteToStandardError(message);
    return handler(message, type);
}
