// The watched SQLite VFS (model_vfs.h).
#include "model_vfs.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

namespace korvane::reliability {

int ModelVfs::open(sqlite3_vfs* real, const char* name, WrappedFile& file, int* outFlags) {
  const bool watched = !file.path.empty() && model_.watches(file.path);
  struct stat info;
  const bool making = watched && (file.flags & SQLITE_OPEN_CREATE) != 0 &&
                      ::lstat(file.path.c_str(), &info) != 0 && errno == ENOENT;
  const int rc = FileHooks::open(real, name, file, outFlags);
  if (rc != SQLITE_OK || !watched || ::stat(file.path.c_str(), &info) != 0) return rc;
  if (making) model_.created(file.path);
  // The unix VFS flushes the folder of a journal or log it may have made,
  // once, right after the file's first flush.
  const int kind = file.flags & 0x0FFF00;
  const bool journal = kind == SQLITE_OPEN_MAIN_JOURNAL || kind == SQLITE_OPEN_SUPER_JOURNAL ||
                       kind == SQLITE_OPEN_WAL;
  watched_[&file] = {{info.st_dev, info.st_ino}, journal && (file.flags & SQLITE_OPEN_CREATE) != 0};
  return rc;
}

void ModelVfs::closing(WrappedFile& file) {
  watched_.erase(&file);
}

int ModelVfs::write(WrappedFile& file, const void* data, int amount, sqlite3_int64 offset) {
  const int rc = FileHooks::write(file, data, amount, offset);
  if (rc != SQLITE_OK) return rc;
  if (const auto found = watched_.find(&file); found != watched_.end()) {
    model_.wrote(
        found->second.key, offset,
        std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(amount)));
  }
  return rc;
}

int ModelVfs::truncate(WrappedFile& file, sqlite3_int64 size) {
  const int rc = FileHooks::truncate(file, size);
  if (rc != SQLITE_OK) return rc;
  if (const auto found = watched_.find(&file); found != watched_.end()) {
    model_.truncated(found->second.key, size);
  }
  return rc;
}

int ModelVfs::sync(WrappedFile& file, int flags) {
  const int rc = FileHooks::sync(file, flags);
  const auto found = watched_.find(&file);
  if (rc != SQLITE_OK || found == watched_.end()) return rc;
  model_.flushed(found->second.key, file.path);
  if (found->second.folderFlushDue) {
    found->second.folderFlushDue = false;
    model_.folderFlushed(std::filesystem::path(file.path).parent_path());
  }
  return rc;
}

int ModelVfs::remove(sqlite3_vfs* real, const char* path, int syncFolder) {
  const int rc = FileHooks::remove(real, path, syncFolder);
  if (rc != SQLITE_OK || !model_.watches(path)) return rc;
  model_.unlinked(path);
  if ((syncFolder & 1) != 0) model_.folderFlushed(std::filesystem::path(path).parent_path());
  return rc;
}

}  // namespace korvane::reliability
