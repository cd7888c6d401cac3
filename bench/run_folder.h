// The folders the children work in, and the plain file operations of the
// hand-written side.
#pragma once

#include <filesystem>

namespace korvane::bench {

// The folders every child works in, the same for every side so that none
// gets the better place on the disk: `run`/prefix/drive_c/data_aco with its
// Backup folder, and drive C: of the prefix linked to drive_c. Returns the
// data_aco folder. The folders stay between runs; the parent deletes only
// the files.
std::filesystem::path makeLayout(const std::filesystem::path& run);

// Deletes the files under `folder` (not the links), keeping the folders.
void removeFiles(const std::filesystem::path& folder);

// Copies `from` over `to` as the standard library does, nothing flushed.
void copyPlain(const std::filesystem::path& from, const std::filesystem::path& to);

// Flushes a file, or a folder's entries, to the disk.
void fsyncFile(const std::filesystem::path& file);
void fsyncFolder(const std::filesystem::path& folder);

}  // namespace korvane::bench
