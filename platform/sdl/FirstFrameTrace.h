// SPDX-License-Identifier: GPL-3.0-or-later
// The moment the first frame reached the screen, for bench/measure-runtime (opt-in), written to
// the file $FLOEMAZE_TRACE_FIRST_FRAME names. Header-only: the bare SDL program the game is
// measured against writes it the same way without the game's libraries.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace platform::sdl {

/// Writes the time now to the file FLOEMAZE_TRACE_FIRST_FRAME names, when it is set. Only a new
/// file is written: an existing one (which may be anything, a picture) is left as it is, with a
/// line on standard error that starts with program.
inline void WriteFirstFrameTrace(const char* program) {
    const char* path = std::getenv("FLOEMAZE_TRACE_FIRST_FRAME");
    if (path == nullptr || *path == '\0') return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    // O_EXCL also refuses a symbolic link, wherever it points.
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        const int error = errno;
        std::fprintf(stderr, "%s: FLOEMAZE_TRACE_FIRST_FRAME: not writing \"%s\": %s%s\n", program,
                     path, std::strerror(error),
                     error == EEXIST ? " (only a new file is written)" : "");
        return;
    }
    char line[48];
    const int length = std::snprintf(line, sizeof line, "%lld.%09ld\n",
                                     static_cast<long long>(now.tv_sec), now.tv_nsec);
    if (write(fd, line, static_cast<std::size_t>(length)) != length) {
        std::fprintf(stderr, "%s: FLOEMAZE_TRACE_FIRST_FRAME: cannot write \"%s\": %s\n", program,
                     path, std::strerror(errno));
    }
    close(fd);
}

}  // namespace platform::sdl
