// SPDX-License-Identifier: GPL-3.0-or-later
// Where the tests find data that lives outside the test programs: the repository and the shared
// conformance files beside it.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

/// The repository root: $FLOEMAZE_SOURCE_DIR (set by CTest), else the folder the tests were
/// configured from.
std::filesystem::path SourceDir();

/// The shared BMP conformance folder: SourceDir()/../shared/bmpsuite, else /work/shared/bmpsuite;
/// nothing when neither holds its README.md.
std::optional<std::filesystem::path> BmpSuiteDir();

/// Every regular file below folder, sorted; empty when the folder does not exist.
std::vector<std::filesystem::path> FilesBelow(const std::filesystem::path& folder);
