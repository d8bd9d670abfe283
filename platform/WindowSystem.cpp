// The program's window system. Until a real one is built in, the program cannot show a window.
#include "platform/Backend.h"

namespace platform {
std::unique_ptr<Backend> CreateWindowSystemBackend(std::string& reason) {
    reason = "this build has no window system to show the game on";
    return nullptr;
}
}  // namespace platform
