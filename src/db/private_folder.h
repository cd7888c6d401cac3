// A folder of the engine's own under the system's temporary folder, for the
// private copies it reads a file through (a real Jet file's import, a
// database settled away from the user's file).
#pragma once

#include <filesystem>

namespace korvane::db {

// Makes a new, empty folder "<temp>/<stem>XXXXXX", unique across processes
// (mkdtemp), so a copy left by a crashed run never blocks a later open.
// Fails with 3043 when it cannot be made.
std::filesystem::path makePrivateFolder(const char* stem);

// Removes `folder` with everything in it. Best effort: a temporary folder
// left behind harms nothing.
void removePrivateFolder(const std::filesystem::path& folder);

}  // namespace korvane::db
