// How the engine reads a database it only reads (the chosen file, the
// backup) without writing anything of it: not its bytes, not its journal
// mode, no checkpoint, no file left beside it; and yet with every committed
// row, those still in a write-ahead log included. docs/file-format.md,
// "Databases that are only read", has the cases.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "fs/file_hold.h"
#include "fs/temp_folder.h"

namespace korvane::db {

class SourceReading {
 public:
  // Looks at `hostPath`'s files, with `hold` on it made a reader's lock,
  // and chooses how SQLite opens it: the file itself read-only, as a file
  // nothing changes while it is open, or a private copy settled (its journal
  // rolled back, its log taken in) in a private folder (private_folder.h),
  // where the user's files are not. Fails
  // with 3045 when another program is writing it, 3043 when the private copy
  // cannot be made.
  static std::unique_ptr<SourceReading> choose(const std::filesystem::path& hostPath,
                                               const std::string& windowsPath, fs::FileHold& hold);
  // Removes the private copy, if one was made; the connection on it must be
  // closed.
  ~SourceReading();
  SourceReading(const SourceReading&) = delete;
  SourceReading& operator=(const SourceReading&) = delete;

  // The SQLite URI the connection opens: read-only whatever the connection.
  const std::string& uri() const { return uri_; }

 private:
  SourceReading(std::string uri, std::unique_ptr<fs::TempFolder> privateFolder)
      : uri_(std::move(uri)), privateFolder_(std::move(privateFolder)) {}
  std::string uri_;
  std::unique_ptr<fs::TempFolder> privateFolder_;  // none: the file itself is read
};

}  // namespace korvane::db
