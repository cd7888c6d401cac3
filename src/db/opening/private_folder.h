// A folder of the engine's own under the system's temporary folder, for the
// private copies it reads a file through (a real Jet file's import, a
// database settled away from the user's file). Each is an fs::TempFolder:
// held while the copy is in use, removed when let go, and swept by a later
// run when the run that made it was killed.
#pragma once

#include <memory>

#include "fs/temp_folder.h"

namespace korvane::db {

enum class PrivateCopy {
  kJetImport,      // "korvane-jet-XXXXXX": a Jet file's SQLite copy
  kSettledSource,  // "korvane-source-XXXXXX": a source settled aside
};

// First removes the private folders, of either kind, that killed runs left
// behind, then makes and holds a new, empty one of `kind`. Fails with 3043
// when it cannot be made.
std::unique_ptr<fs::TempFolder> makePrivateFolder(PrivateCopy kind);

}  // namespace korvane::db
