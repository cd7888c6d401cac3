// A SQLite VFS for tests that wraps the default one and makes one chosen
// write or read fail, so the engine meets a full disk or a failing read in
// the middle of its own work. While a FaultyVfs exists it is the default VFS
// of the process; only one may exist at a time.
#pragma once

namespace korvane::reliability {

class FaultyVfs {
 public:
  FaultyVfs();
  ~FaultyVfs();
  FaultyVfs(const FaultyVfs&) = delete;
  FaultyVfs& operator=(const FaultyVfs&) = delete;

  // Write number `write` (0 = the next one) stores half its bytes and
  // reports a full disk.
  void failWrite(int write);
  // Read number `read` (0 = the next one) reports an I/O error.
  void failRead(int read);
  void clearFault();

  // Writes and reads since the last failWrite/failRead/resetCounts.
  int writes() const;
  int reads() const;
  bool fired() const;
  void resetCounts();
};

}  // namespace korvane::reliability
