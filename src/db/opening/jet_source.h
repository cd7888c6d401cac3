// A real Jet file served to the engine: a read-only SQLite copy of it, made
// when the file is opened (in the helper program, jet_import_process.h) and
// removed when the handle lets it go.
#pragma once

#include <memory>

#include "db/opening/database_opener.h"
#include "fs/temp_folder.h"

namespace korvane::db {

class ImportedJetFile final : public OpenedFile {
 public:
  // Holds the Jet file `request` names (3051 when it cannot) and imports
  // every user table of it into a new SQLite file in a private folder
  // (private_folder.h); the Jet file is only read. The copy is opened by a
  // "mode=ro" URI on a read-write connection: every write to it fails with
  // 3027, while IN 'file' targets can still be attached read-write, which a
  // connection opened read-only refuses. Fails as importJetFileInHelper does
  // (3024 missing, 3343 not a readable Jet 3 or Jet 4 file, damaged, or the
  // reader crashed or reached a limit), 3043 when the folder cannot be made;
  // on failure nothing is left behind.
  explicit ImportedJetFile(const OpenRequest& request);
  sqlite::Connection& connection() override { return *connection_; }

 private:
  std::unique_ptr<fs::TempFolder> privateCopy_;
  std::unique_ptr<sqlite::Connection> connection_;
};

}  // namespace korvane::db
