// SPDX-License-Identifier: GPL-3.0-or-later
// A fresh temporary folder, removed with everything in it when the object goes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    /// Path of name inside the folder.
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    /// Writes bytes to name inside the folder and returns its path.
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

private:
    std::string m_path;
};

/// The whole content of a file (empty when it cannot be read).
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
