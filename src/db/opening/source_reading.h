// How the engine reads a database it only reads (the chosen file, the
// backup) without writing anything of it: not its bytes, not its journal
// mode, no checkpoint, no file left beside it; and yet with every committed
// row, those still in a write-ahead log included. docs/file-format.md,
// "Databases that are only read", has the cases.
#pragma once

#include <memory>

#include "db/opening/database_opener.h"
#include "fs/temp_folder.h"

namespace korvane::db {

class ReadOnlySource final : public OpenedFile {
 public:
  // Checks and holds the file `request` names, makes the hold a reader's
  // lock, looks at the files beside it and chooses how SQLite opens it: the
  // file itself read-only, as a file nothing changes while it is open, or a
  // private copy settled (its journal rolled back, its log taken in) in a
  // private folder (private_folder.h), where the user's files are not. The
  // connection may write, so that IN 'file' targets can be attached; what it
  // reads it cannot. Fails as checkDatabaseFile does, with 3051 when the file
  // cannot be held, 3045 when another program is writing it, 3043 when the
  // private copy cannot be made.
  explicit ReadOnlySource(const OpenRequest& request);
  sqlite::Connection& connection() override { return *connection_; }

 private:
  std::unique_ptr<fs::TempFolder> privateCopy_;  // none: the file itself is read
  std::unique_ptr<sqlite::Connection> connection_;
};

}  // namespace korvane::db
