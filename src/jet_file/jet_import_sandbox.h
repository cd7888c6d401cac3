// The helper's sandbox for one import (fs/sandbox.h): what it must still
// reach once the rules hold.
#pragma once

#include <filesystem>
#include <string>

namespace korvane::jetfile {

// Confines the helper before it reads `jetFile`: it may then read that file
// and iconv's modules, and make, write and remove files in `targetFile`'s
// folder (its private folder), where SQLite's temporary files go too.
// SQLite's random numbers are seeded before. Fails with 3343, naming
// `displayName`, when the kernel offers a protection that cannot be applied.
void confineTheImport(const std::filesystem::path& jetFile, const std::filesystem::path& targetFile,
                      const std::string& displayName);

}  // namespace korvane::jetfile
