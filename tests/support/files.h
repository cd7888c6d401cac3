// Whole files as bytes, for tests that lay out or check what is on disk.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace korvane::support {

// Replaces `path` with `bytes`; throws std::runtime_error when it cannot.
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// The bytes of `path`; throws std::runtime_error when it cannot be read.
std::string readFile(const std::filesystem::path& path);

// The names in `folder`, sorted.
std::vector<std::string> entriesOf(const std::filesystem::path& folder);

// The files of a folder and their bytes, by name; a folder in it stands as
// "<folder>".
using FolderBytes = std::map<std::string, std::string>;
FolderBytes bytesIn(const std::filesystem::path& folder);

// What is not in `folder` as `before` has it: the files changed, gone and
// new, by name; "" when nothing is.
std::string changesIn(const std::filesystem::path& folder, const FolderBytes& before);

// lstat(2) of `path`: the link itself when it is one; all zero when there is
// nothing there.
struct stat statOf(const std::filesystem::path& path);

// File times come from a clock that ticks every few milliseconds: returns
// once a change made now carries a later time than one made before the call.
void waitForTheNextFileTimeTick();

}  // namespace korvane::support
