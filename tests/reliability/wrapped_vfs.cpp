// The wrapping VFS (wrapped_vfs.h). SQLite's callbacks are plain C, so the
// hooks and the default VFS are held process-wide while a WrappedVfs exists.
#include "wrapped_vfs.h"

#include <stdexcept>

namespace korvane::reliability {

int FileHooks::open(sqlite3_vfs* real, const char* name, WrappedFile& file, int* outFlags) {
  return real->xOpen(real, name, file.real, file.flags, outFlags);
}

void FileHooks::closing(WrappedFile&) {}

int FileHooks::read(WrappedFile& file, void* data, int amount, sqlite3_int64 offset) {
  return file.real->pMethods->xRead(file.real, data, amount, offset);
}

int FileHooks::write(WrappedFile& file, const void* data, int amount, sqlite3_int64 offset) {
  return file.real->pMethods->xWrite(file.real, data, amount, offset);
}

int FileHooks::truncate(WrappedFile& file, sqlite3_int64 size) {
  return file.real->pMethods->xTruncate(file.real, size);
}

int FileHooks::sync(WrappedFile& file, int flags) {
  return file.real->pMethods->xSync(file.real, flags);
}

int FileHooks::remove(sqlite3_vfs* real, const char* path, int syncFolder) {
  return real->xDelete(real, path, syncFolder);
}

namespace {

sqlite3_vfs* realVfs = nullptr;
FileHooks* hooks = nullptr;

// Our file: SQLite's base first, then what we know of it, then the default
// VFS's file right behind it.
struct OurFile {
  sqlite3_file base;
  WrappedFile* file;
  sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

WrappedFile& fileOf(sqlite3_file* file) {
  return *reinterpret_cast<OurFile*>(file)->file;
}
sqlite3_file* realOf(sqlite3_file* file) {
  return reinterpret_cast<OurFile*>(file)->real();
}

int wrappedClose(sqlite3_file* file) {
  hooks->closing(fileOf(file));
  const int rc = realOf(file)->pMethods->xClose(realOf(file));
  delete reinterpret_cast<OurFile*>(file)->file;
  return rc;
}
int wrappedRead(sqlite3_file* file, void* data, int amount, sqlite3_int64 offset) {
  return hooks->read(fileOf(file), data, amount, offset);
}
int wrappedWrite(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
  return hooks->write(fileOf(file), data, amount, offset);
}
int wrappedTruncate(sqlite3_file* file, sqlite3_int64 size) {
  return hooks->truncate(fileOf(file), size);
}
int wrappedSync(sqlite3_file* file, int flags) {
  return hooks->sync(fileOf(file), flags);
}
int wrappedFileSize(sqlite3_file* file, sqlite3_int64* size) {
  return realOf(file)->pMethods->xFileSize(realOf(file), size);
}
int wrappedLock(sqlite3_file* file, int level) {
  return realOf(file)->pMethods->xLock(realOf(file), level);
}
int wrappedUnlock(sqlite3_file* file, int level) {
  return realOf(file)->pMethods->xUnlock(realOf(file), level);
}
int wrappedCheckReservedLock(sqlite3_file* file, int* out) {
  return realOf(file)->pMethods->xCheckReservedLock(realOf(file), out);
}
int wrappedFileControl(sqlite3_file* file, int op, void* arg) {
  return realOf(file)->pMethods->xFileControl(realOf(file), op, arg);
}
int wrappedSectorSize(sqlite3_file* file) {
  return realOf(file)->pMethods->xSectorSize(realOf(file));
}
int wrappedDeviceCharacteristics(sqlite3_file* file) {
  return realOf(file)->pMethods->xDeviceCharacteristics(realOf(file));
}

const sqlite3_io_methods kWrappedMethods = {
    1,
    wrappedClose,
    wrappedRead,
    wrappedWrite,
    wrappedTruncate,
    wrappedSync,
    wrappedFileSize,
    wrappedLock,
    wrappedUnlock,
    wrappedCheckReservedLock,
    wrappedFileControl,
    wrappedSectorSize,
    wrappedDeviceCharacteristics,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

int wrappedOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
  auto* ours = reinterpret_cast<OurFile*>(file);
  ours->base.pMethods = nullptr;
  ours->file = new WrappedFile{name != nullptr ? name : "", flags, ours->real()};
  const int rc = hooks->open(realVfs, name, *ours->file, outFlags);
  if (ours->real()->pMethods == nullptr) {
    delete ours->file;
    return rc;
  }
  // SQLite calls xClose whenever the methods are set, even after a failure.
  ours->base.pMethods = &kWrappedMethods;
  return rc;
}

int wrappedDelete(sqlite3_vfs*, const char* name, int syncDir) {
  return hooks->remove(realVfs, name, syncDir);
}
int wrappedAccess(sqlite3_vfs*, const char* name, int flags, int* out) {
  return realVfs->xAccess(realVfs, name, flags, out);
}
int wrappedFullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  return realVfs->xFullPathname(realVfs, name, size, out);
}
int wrappedRandomness(sqlite3_vfs*, int size, char* out) {
  return realVfs->xRandomness(realVfs, size, out);
}
int wrappedSleep(sqlite3_vfs*, int microseconds) {
  return realVfs->xSleep(realVfs, microseconds);
}
int wrappedCurrentTime(sqlite3_vfs*, double* out) {
  return realVfs->xCurrentTime(realVfs, out);
}
int wrappedGetLastError(sqlite3_vfs*, int size, char* out) {
  return realVfs->xGetLastError(realVfs, size, out);
}

sqlite3_vfs wrappedVfs = {};

}  // namespace

WrappedVfs::WrappedVfs(FileHooks& fileHooks) {
  if (realVfs != nullptr) throw std::logic_error("one WrappedVfs at a time");
  sqlite3_initialize();
  realVfs = sqlite3_vfs_find(nullptr);
  hooks = &fileHooks;
  wrappedVfs.iVersion = 1;
  wrappedVfs.szOsFile = static_cast<int>(sizeof(OurFile)) + realVfs->szOsFile;
  wrappedVfs.mxPathname = realVfs->mxPathname;
  wrappedVfs.zName = "korvane-wrapped";
  wrappedVfs.xOpen = wrappedOpen;
  wrappedVfs.xDelete = wrappedDelete;
  wrappedVfs.xAccess = wrappedAccess;
  wrappedVfs.xFullPathname = wrappedFullPathname;
  wrappedVfs.xRandomness = wrappedRandomness;
  wrappedVfs.xSleep = wrappedSleep;
  wrappedVfs.xCurrentTime = wrappedCurrentTime;
  wrappedVfs.xGetLastError = wrappedGetLastError;
  if (sqlite3_vfs_register(&wrappedVfs, 1) != SQLITE_OK) throw std::runtime_error("vfs");
}

WrappedVfs::~WrappedVfs() {
  sqlite3_vfs_unregister(&wrappedVfs);
  sqlite3_vfs_register(realVfs, 1);
  realVfs = nullptr;
  hooks = nullptr;
}

}  // namespace korvane::reliability
