// A SQLite VFS for tests that wraps the default one: every file it opens is
// the default VFS's file behind a thin layer whose calls go to a FileHooks
// object, which may watch them, change them or fail them. While a WrappedVfs
// exists it is the default VFS of the process; only one may exist at a time.
//
// The files get version 1 methods only: no shared memory (our files never
// use a write-ahead log) and no memory mapping, so every byte SQLite reads
// or writes goes through read() and write().
#pragma once

#include <sqlite3.h>

#include <string>

namespace korvane::reliability {

// One open file: the name SQLite opened it by (empty for a temporary file
// without one), its open flags, and the default VFS's file.
struct WrappedFile {
  std::string path;
  int flags = 0;
  sqlite3_file* real = nullptr;
};

// Each call stands in for the default VFS's method of the same name; the
// default calls it unchanged. They run inside SQLite's C frames: they must
// not throw.
class FileHooks {
 public:
  virtual ~FileHooks() = default;
  // Opens `file` (SQLite's name for it, URI parameters and all, is `name`)
  // through the default VFS `real`.
  virtual int open(sqlite3_vfs* real, const char* name, WrappedFile& file, int* outFlags);
  // Before the default VFS closes `file`.
  virtual void closing(WrappedFile& file);
  virtual int read(WrappedFile& file, void* data, int amount, sqlite3_int64 offset);
  virtual int write(WrappedFile& file, const void* data, int amount, sqlite3_int64 offset);
  virtual int truncate(WrappedFile& file, sqlite3_int64 size);
  virtual int sync(WrappedFile& file, int flags);
  virtual int remove(sqlite3_vfs* real, const char* path, int syncFolder);
};

class WrappedVfs {
 public:
  explicit WrappedVfs(FileHooks& hooks);
  ~WrappedVfs();
  WrappedVfs(const WrappedVfs&) = delete;
  WrappedVfs& operator=(const WrappedVfs&) = delete;
};

}  // namespace korvane::reliability
