// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/TestData.h"

#include <algorithm>
#include <cstdlib>

namespace fs = std::filesystem;

fs::path SourceDir() {
    if (const char* dir = std::getenv("FLOEMAZE_SOURCE_DIR"); dir != nullptr && *dir != '\0') {
        return dir;
    }
    return FLOEMAZE_CONFIGURED_SOURCE_DIR;
}

std::optional<fs::path> BmpSuiteDir() {
    std::error_code ignored;
    for (const fs::path& dir :
         {SourceDir() / ".." / "shared" / "bmpsuite", fs::path("/work/shared/bmpsuite")}) {
        if (fs::is_regular_file(dir / "README.md", ignored)) return fs::weakly_canonical(dir);
    }
    return std::nullopt;
}

std::vector<fs::path> FilesBelow(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file()) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}
