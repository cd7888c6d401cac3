// SQLite's files, watched by the power-cut model: a VFS wrapping the default
// one whose every write, truncation, flush and removal under the model's
// folder is reported to it (disk_model.h). The default unix VFS flushes a
// folder itself in two places, and the model is told of both as they happen:
// after the first flush of a rollback journal it created (its new name), and
// after a removal SQLite asked to be flushed (only synchronous=EXTRA asks
// that of a finished journal).
//
// While a ModelVfs exists it is the default VFS of the process.
#pragma once

#include <map>

#include "disk_model.h"
#include "wrapped_vfs.h"

namespace korvane::reliability {

class ModelVfs : private FileHooks {
 public:
  explicit ModelVfs(DiskModel& model) : model_(model), vfs_(*this) {}

 private:
  struct Watched {
    FileKey key;
    bool folderFlushDue = false;
  };

  int open(sqlite3_vfs* real, const char* name, WrappedFile& file, int* outFlags) override;
  void closing(WrappedFile& file) override;
  int write(WrappedFile& file, const void* data, int amount, sqlite3_int64 offset) override;
  int truncate(WrappedFile& file, sqlite3_int64 size) override;
  int sync(WrappedFile& file, int flags) override;
  int remove(sqlite3_vfs* real, const char* path, int syncFolder) override;

  DiskModel& model_;
  std::map<const WrappedFile*, Watched> watched_;
  WrappedVfs vfs_;  // last: registered once the rest exists
};

}  // namespace korvane::reliability
