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
  // the file cannot be opened (the caller reports why).
  static std::unique_ptr<FileHold> acquire(const std::filesystem::path& hostPath);
  ~FileHold();

  FileHold(const FileHold&) = delete;
  FileHold& operator=(const FileHold&) = delete;

 private:
  explicit FileHold(int fd) : fd_(fd) {}
  int fd_;
};

// True when some handle holds `hostPath`, or when a rollback journal lies
// beside it (an interrupted write: the file alone is torn).
bool isHeld(const std::filesystem::path& hostPath);

}  // namespace korvane::fs
