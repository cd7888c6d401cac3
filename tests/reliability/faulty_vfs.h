// A SQLite VFS for tests that wraps the default one and makes one chosen
// write or read fail, so the engine meets a full disk or a failing read in
// the middle of its own work. While a FaultyVfs exists it is the default VFS
// of the process; only one wrapping VFS may exist at a time.
#pragma once

#include "wrapped_vfs.h"

namespace korvane::reliability {

class FaultyVfs : private FileHooks {
 public:
  FaultyVfs() : vfs_(*this) {}

  // Write number `write` (0 = the next one) stores half its bytes and
  // reports a full disk.
  void failWrite(int write);
  // Read number `read` (0 = the next one) reports an I/O error.
  void failRead(int read);
  void clearFault();

  // Writes and reads since the last failWrite/failRead/resetCounts.
  int writes() const { return writes_; }
  int reads() const { return reads_; }
  bool fired() const { return fired_; }
  void resetCounts();

 private:
  int read(WrappedFile& file, void* data, int amount, sqlite3_int64 offset) override;
  int write(WrappedFile& file, const void* data, int amount, sqlite3_int64 offset) override;

  int writes_ = 0;
  int reads_ = 0;
  int failingWrite_ = -1;
  int failingRead_ = -1;
  bool fired_ = false;
  WrappedVfs vfs_;  // last: registered once the counts exist
};

}  // namespace korvane::reliability
