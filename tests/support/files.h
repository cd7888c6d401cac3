// Whole files as bytes, for tests that lay out or check what is on disk.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace korvane::support {

// Replaces `path` with `bytes`; throws std::runtime_error when it cannot.
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// The bytes of `path`; throws std::runtime_error when it cannot be read.
std::string readFile(const std::filesystem::path& path);

// The names in `folder`, sorted.
std::vector<std::string> entriesOf(const std::filesystem::path& folder);

}  // namespace korvane::support
