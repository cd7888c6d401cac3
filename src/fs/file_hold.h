// The "held" mark: what an open database handle puts on its file.
//
// Windows refuses to copy, replace or delete a file that another handle has
// open (a sharing violation). Here a holder takes a shared advisory lock
// (flock) on the file; the file services try an exclusive one and fail with
// 70 when they cannot get it. Any process using this code honours the mark,
// and so does any thread of the same process (flock locks belong to the open
// file, not to the process).
#pragma once

#include <filesystem>
#include <memory>

namespace korvane::fs {

class FileHold {
 public:
  // Holds the existing file `hostPath` until destroyed. Returns nullptr when
  // the file cannot be opened (the caller reports why). Waits while a file
  // service copies or deletes the file.
  static std::unique_ptr<FileHold> acquire(const std::filesystem::path& hostPath);
  ~FileHold();

  // Also takes SQLite's shared lock on the file, as its readers take it (an
  // open-file-description lock, apart from this process's own SQLite locks):
  // until the hold ends no connection can commit into the file itself, roll
  // a journal back into it or change its journal mode. False when a
  // connection has the file exclusively (it is writing it).
  bool lockAsReader();

  FileHold(const FileHold&) = delete;
  FileHold& operator=(const FileHold&) = delete;

 private:
  explicit FileHold(int fd) : fd_(fd) {}
  int fd_;
};

// True when the file alone cannot be copied: some handle holds `hostPath`,
// another program is writing it, or hasPendingJournal says it is torn or
// behind. False for a file that does not exist and has no journal.
bool isHeld(const std::filesystem::path& hostPath);

// True when SQLite's files beside `hostPath` hold what the file lacks: a hot
// rollback journal (inspectDatabase, database_files.h) or a "-wal" that is
// not empty.
bool hasPendingJournal(const std::filesystem::path& hostPath);

}  // namespace korvane::fs
