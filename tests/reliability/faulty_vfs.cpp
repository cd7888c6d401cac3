// The fault-injecting SQLite VFS: counts reads and writes and fails the
// chosen one.
#include "faulty_vfs.h"

namespace korvane::reliability {

int FaultyVfs::write(WrappedFile& file, const void* data, int amount, sqlite3_int64 offset) {
  if (writes_++ != failingWrite_) return FileHooks::write(file, data, amount, offset);
  fired_ = true;
  // A full disk takes part of the write before it refuses the rest.
  (void)FileHooks::write(file, data, amount / 2, offset);
  return SQLITE_FULL;
}

int FaultyVfs::read(WrappedFile& file, void* data, int amount, sqlite3_int64 offset) {
  if (reads_++ != failingRead_) return FileHooks::read(file, data, amount, offset);
  fired_ = true;
  return SQLITE_IOERR_READ;
}

void FaultyVfs::failWrite(int write) {
  resetCounts();
  failingRead_ = -1;
  failingWrite_ = write;
}

void FaultyVfs::failRead(int read) {
  resetCounts();
  failingWrite_ = -1;
  failingRead_ = read;
}

void FaultyVfs::clearFault() {
  failingWrite_ = -1;
  failingRead_ = -1;
}

void FaultyVfs::resetCounts() {
  writes_ = 0;
  reads_ = 0;
  fired_ = false;
}

}  // namespace korvane::reliability
