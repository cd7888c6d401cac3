// The fault-injecting SQLite VFS: every file it opens is the default VFS's
// file behind a thin layer that counts reads and writes and fails the chosen
// one. SQLite's callbacks are plain C, so the fault plan is process-wide.
#include "faulty_vfs.h"

#include <sqlite3.h>

#include <stdexcept>

namespace korvane::reliability {

namespace {

struct Plan {
  sqlite3_vfs* real = nullptr;
  int writes = 0;
  int reads = 0;
  int failingWrite = -1;
  int failingRead = -1;
  bool fired = false;
};
Plan plan;

// Our file: SQLite's base first, the real VFS's file right behind it.
struct FaultyFile {
  sqlite3_file base;
  sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

sqlite3_file* realOf(sqlite3_file* file) {
  return reinterpret_cast<FaultyFile*>(file)->real();
}

int faultyWrite(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
  const bool fail = plan.writes++ == plan.failingWrite;
  if (!fail) return realOf(file)->pMethods->xWrite(realOf(file), data, amount, offset);
  plan.fired = true;
  // A full disk takes part of the write before it refuses the rest.
  (void)realOf(file)->pMethods->xWrite(realOf(file), data, amount / 2, offset);
  return SQLITE_FULL;
}

int faultyRead(sqlite3_file* file, void* data, int amount, sqlite3_int64 offset) {
  if (plan.reads++ == plan.failingRead) {
    plan.fired = true;
    return SQLITE_IOERR_READ;
  }
  return realOf(file)->pMethods->xRead(realOf(file), data, amount, offset);
}

int faultyClose(sqlite3_file* file) {
  return realOf(file)->pMethods->xClose(realOf(file));
}
int faultyTruncate(sqlite3_file* file, sqlite3_int64 size) {
  return realOf(file)->pMethods->xTruncate(realOf(file), size);
}
int faultySync(sqlite3_file* file, int flags) {
  return realOf(file)->pMethods->xSync(realOf(file), flags);
}
int faultyFileSize(sqlite3_file* file, sqlite3_int64* size) {
  return realOf(file)->pMethods->xFileSize(realOf(file), size);
}
int faultyLock(sqlite3_file* file, int level) {
  return realOf(file)->pMethods->xLock(realOf(file), level);
}
int faultyUnlock(sqlite3_file* file, int level) {
  return realOf(file)->pMethods->xUnlock(realOf(file), level);
}
int faultyCheckReservedLock(sqlite3_file* file, int* out) {
  return realOf(file)->pMethods->xCheckReservedLock(realOf(file), out);
}
int faultyFileControl(sqlite3_file* file, int op, void* arg) {
  return realOf(file)->pMethods->xFileControl(realOf(file), op, arg);
}
int faultySectorSize(sqlite3_file* file) {
  return realOf(file)->pMethods->xSectorSize(realOf(file));
}
int faultyDeviceCharacteristics(sqlite3_file* file) {
  return realOf(file)->pMethods->xDeviceCharacteristics(realOf(file));
}

// Version 1 methods only: no shared memory (the engine does not use WAL) and
// no memory mapping, so every byte goes through xRead and xWrite.
const sqlite3_io_methods kFaultyMethods = {
    1,
    faultyClose,
    faultyRead,
    faultyWrite,
    faultyTruncate,
    faultySync,
    faultyFileSize,
    faultyLock,
    faultyUnlock,
    faultyCheckReservedLock,
    faultyFileControl,
    faultySectorSize,
    faultyDeviceCharacteristics,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

int faultyOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
  auto* ours = reinterpret_cast<FaultyFile*>(file);
  ours->base.pMethods = nullptr;
  const int rc = plan.real->xOpen(plan.real, name, ours->real(), flags, outFlags);
  if (ours->real()->pMethods != nullptr) ours->base.pMethods = &kFaultyMethods;
  return rc;
}

int faultyDelete(sqlite3_vfs*, const char* name, int syncDir) {
  return plan.real->xDelete(plan.real, name, syncDir);
}
int faultyAccess(sqlite3_vfs*, const char* name, int flags, int* out) {
  return plan.real->xAccess(plan.real, name, flags, out);
}
int faultyFullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  return plan.real->xFullPathname(plan.real, name, size, out);
}
int faultyRandomness(sqlite3_vfs*, int size, char* out) {
  return plan.real->xRandomness(plan.real, size, out);
}
int faultySleep(sqlite3_vfs*, int microseconds) {
  return plan.real->xSleep(plan.real, microseconds);
}
int faultyCurrentTime(sqlite3_vfs*, double* out) {
  return plan.real->xCurrentTime(plan.real, out);
}
int faultyGetLastError(sqlite3_vfs*, int size, char* out) {
  return plan.real->xGetLastError(plan.real, size, out);
}

sqlite3_vfs faultyVfs = {};

}  // namespace

FaultyVfs::FaultyVfs() {
  if (plan.real != nullptr) throw std::logic_error("one FaultyVfs at a time");
  sqlite3_initialize();
  plan = Plan{};
  plan.real = sqlite3_vfs_find(nullptr);
  faultyVfs.iVersion = 1;
  faultyVfs.szOsFile = static_cast<int>(sizeof(FaultyFile)) + plan.real->szOsFile;
  faultyVfs.mxPathname = plan.real->mxPathname;
  faultyVfs.zName = "korvane-faulty";
  faultyVfs.xOpen = faultyOpen;
  faultyVfs.xDelete = faultyDelete;
  faultyVfs.xAccess = faultyAccess;
  faultyVfs.xFullPathname = faultyFullPathname;
  faultyVfs.xRandomness = faultyRandomness;
  faultyVfs.xSleep = faultySleep;
  faultyVfs.xCurrentTime = faultyCurrentTime;
  faultyVfs.xGetLastError = faultyGetLastError;
  if (sqlite3_vfs_register(&faultyVfs, 1) != SQLITE_OK) throw std::runtime_error("vfs");
}

FaultyVfs::~FaultyVfs() {
  sqlite3_vfs_unregister(&faultyVfs);
  sqlite3_vfs_register(plan.real, 1);
  plan = Plan{};
}

void FaultyVfs::failWrite(int write) {
  resetCounts();
  plan.failingRead = -1;
  plan.failingWrite = write;
}

void FaultyVfs::failRead(int read) {
  resetCounts();
  plan.failingWrite = -1;
  plan.failingRead = read;
}

void FaultyVfs::clearFault() {
  plan.failingWrite = -1;
  plan.failingRead = -1;
}

int FaultyVfs::writes() const {
  return plan.writes;
}
int FaultyVfs::reads() const {
  return plan.reads;
}
bool FaultyVfs::fired() const {
  return plan.fired;
}

void FaultyVfs::resetCounts() {
  plan.writes = 0;
  plan.reads = 0;
  plan.fired = false;
}

}  // namespace korvane::reliability
