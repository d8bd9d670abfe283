// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace {
constexpr UINT kStagingBytes = 32 * 1024;
constexpr UINT kStagedReadBytes = 64 * 1024;
}  // namespace

CFile::~CFile() {
    Close();
}

BOOL CFile::Open(const char* path, UINT flags) {
    Close();
    if (path == nullptr || *path == '\0') return FALSE;
    int oflags = O_CLOEXEC;
    switch (flags & 0x3) {
        case modeWrite:
            oflags |= O_WRONLY;
            break;
        case modeReadWrite:
            oflags |= O_RDWR;
            break;
        default:
            oflags |= O_RDONLY;
            break;
    }
    if (flags & modeCreate) oflags |= O_CREAT | O_TRUNC;
    // Opening a FIFO waits for its other end, and a device may wait too: the open must not block.
    // Reads and writes block again as usual afterwards.
    int fd;
    do {
        fd = ::open(path, oflags | O_NONBLOCK, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return FALSE;
    // A directory opens for reading on Linux but is no file to read an image from.
    struct stat st {};
    const int status = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) || status < 0 ||
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return FALSE;
    }
    m_fd = fd;
    m_path = path;
    return TRUE;
}

UINT CFile::Read(void* buffer, UINT count) {
    if (m_fd < 0) return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    // Large reads, the pixels of a picture, come through a small buffer that the program copies
    // from itself. On the virtual machines the game is measured on, a page first written by the
    // kernel costs a second fault when the program first touches it: a picture read straight
    // into its memory costs about half as much again before it is first drawn.
    unsigned char staging[kStagingBytes];
    const bool staged = count >= kStagedReadBytes;
    UINT done = 0;
    while (done < count) {
        unsigned char* target = staged ? staging : out + done;
        const UINT want = staged ? std::min<UINT>(count - done, kStagingBytes) : count - done;
        const ssize_t n = ::read(m_fd, target, want);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        if (staged) std::memcpy(out + done, staging, static_cast<std::size_t>(n));
        done += static_cast<UINT>(n);
    }
    return done;
}

void CFile::Write(const void* buffer, UINT count) {
    if (m_fd < 0) throw CFileException(CFileException::generic, EBADF, m_path);
    const auto* in = static_cast<const unsigned char*>(buffer);
    UINT done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_fd, in + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            throw CFileException(err == ENOSPC ? CFileException::diskFull : CFileException::generic,
                                 err, m_path);
        }
        done += static_cast<UINT>(n);
    }
}

std::uint64_t CFile::Seek(std::int64_t offset, UINT from) {
    const int whence = from == current ? SEEK_CUR : from == end ? SEEK_END : SEEK_SET;
    const off_t pos = m_fd < 0 ? -1 : ::lseek(m_fd, offset, whence);
    if (pos < 0) throw CFileException(CFileException::badSeek, errno, m_path);
    return static_cast<std::uint64_t>(pos);
}

bool CFile::IsRegularFile() const {
    struct stat st {};
    return m_fd >= 0 && ::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode);
}

std::uint64_t CFile::GetLength() const {
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0 || st.st_size < 0) return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

void CFile::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}

namespace platform {
namespace {
FileDialogHandler& CurrentFileDialogHandler() {
    static FileDialogHandler handler;
    return handler;
}
}  // namespace

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) {
    return std::exchange(CurrentFileDialogHandler(), std::move(handler));
}
}  // namespace platform

CFileDialog::CFileDialog(BOOL openFileDialog, const char* /*defaultExt*/, const char* fileName,
                         DWORD flags, const char* filter, void* /*parentWnd*/)
    : m_request{openFileDialog != FALSE, flags, filter != nullptr ? filter : ""},
      m_path(fileName != nullptr ? fileName : "") {}

int CFileDialog::DoModal() {
    const auto& handler = platform::CurrentFileDialogHandler();
    if (!handler) return IDCANCEL;
    std::optional<std::string> answer = handler(m_request);
    if (!answer) return IDCANCEL;
    m_path = std::move(*answer);
    return IDOK;
}
