// The system calls through which the file services change the disk: making a
// file, writing it, flushing it or its folder, renaming, linking, removing.
//
// The file services take them as an interface so that a test can watch or
// break them where they happen, inside the real copy and delete: a model of
// what a power cut keeps, or a call that fails halfway. The program wires the
// host's calls (hostSystemCalls) once; reading, locking and looking at files
// call POSIX directly, since they change nothing on disk.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace korvane::fs {

class SystemCalls {
 public:
  virtual ~SystemCalls() = default;

  // Each behaves as its POSIX namesake: the result, or -1 with errno set.

  // open(2); O_CLOEXEC is the caller's to add.
  virtual int open(const char* path, int flags, mode_t mode) = 0;
  // write(2) at the descriptor's offset.
  virtual ssize_t write(int fd, const void* data, std::size_t size) = 0;
  // copy_file_range(2) from and to the two descriptors' offsets.
  virtual ssize_t copyFileRange(int from, int to, std::size_t size) = 0;
  // fsync(2) of a file, or of a folder opened with O_DIRECTORY.
  virtual int fsync(int fd) = 0;
  // rename(2); with `noReplace`, renameat2(2) with RENAME_NOREPLACE.
  virtual int rename(const char* from, const char* to, bool noReplace) = 0;
  virtual int link(const char* from, const char* to) = 0;
  virtual int unlink(const char* path) = 0;
};

// The host's own calls.
SystemCalls& hostSystemCalls();

}  // namespace korvane::fs
