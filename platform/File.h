// SPDX-License-Identifier: GPL-3.0-or-later
// CFile, CFileException and CFileDialog: binary file access and the file chooser, as far as the
// image class uses them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/ObList.h"

/// Raised by CFile::Write when the bytes could not be written.
class CFileException : public CObject {
public:
    enum Cause { none, generic, diskFull, accessDenied, badSeek, endOfFile };
    CFileException(Cause cause, int osError, std::string fileName)
        : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {}
    Cause m_cause;
    int m_lOsError;  ///< errno of the failed call
    std::string m_strFileName;
};

/// An open binary file. Not copyable; closes itself when destroyed.
class CFile : public CObject {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
        typeBinary = 0x8000,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    ~CFile() override;

    /// Opens path with the given flags; modeCreate creates or truncates. The share flags are
    /// accepted for the callers' sake but not enforced: Linux has no mandatory share modes.
    BOOL Open(const char* path, UINT flags);
    /// Reads up to count bytes and returns how many were read (fewer at the end of the file or
    /// on an error).
    UINT Read(void* buffer, UINT count);
    /// Writes all count bytes or raises CFileException.
    void Write(const void* buffer, UINT count);
    /// Moves the file pointer; returns the new position, or raises CFileException.
    std::uint64_t Seek(std::int64_t offset, UINT from);
    std::uint64_t GetLength() const;
    /// True when the open file is a regular file (not a folder, FIFO, device or socket).
    bool IsRegularFile() const;
    void Close();
    const std::string& GetFilePath() const { return m_path; }
    /// The open file's descriptor, or -1.
    int GetDescriptor() const { return m_fd; }

private:
    int m_fd = -1;
    std::string m_path;
};

// Flags of the file chooser, with the framework's values.
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

namespace platform {

/// What a file chooser is asked for.
struct FileDialogRequest {
    bool open;           ///< true: choose a file to open; false: a name to save under
    DWORD flags;         ///< OFN_* flags
    std::string filter;  ///< "Description|*.ext;*.ext|...||"
};

/// Answers a file chooser: a full path, or nothing when the user cancelled.
using FileDialogHandler = std::function<std::optional<std::string>(const FileDialogRequest&)>;

/// Installs the handler that answers every CFileDialog and returns the previous one; an empty
/// handler restores the default, which cancels.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);

}  // namespace platform

/// The file chooser. Without a window system it cancels unless a handler is installed.
class CFileDialog : public CObject {
public:
    CFileDialog(BOOL openFileDialog, const char* defaultExt = nullptr,
                const char* fileName = nullptr, DWORD flags = 0, const char* filter = nullptr,
                void* parentWnd = nullptr);
    /// IDOK when a file was chosen, IDCANCEL otherwise.
    int DoModal();
    std::string GetPathName() const { return m_path; }

private:
    platform::FileDialogRequest m_request;
    std::string m_path;
};
