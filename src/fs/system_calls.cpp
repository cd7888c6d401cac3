// The host's system calls, straight through (system_calls.h).
#include "fs/system_calls.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace korvane::fs {

namespace {

class HostSystemCalls : public SystemCalls {
 public:
  int open(const char* path, int flags, mode_t mode) override { return ::open(path, flags, mode); }
  ssize_t write(int fd, const void* data, std::size_t size) override {
    return ::write(fd, data, size);
  }
  ssize_t copyFileRange(int from, int to, std::size_t size) override {
    return ::copy_file_range(from, nullptr, to, nullptr, size, 0);
  }
  int fsync(int fd) override { return ::fsync(fd); }
  int rename(const char* from, const char* to, bool noReplace) override {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, noReplace ? RENAME_NOREPLACE : 0);
  }
  int link(const char* from, const char* to) override { return ::link(from, to); }
  int unlink(const char* path) override { return ::unlink(path); }
};

}  // namespace

SystemCalls& hostSystemCalls() {
  static HostSystemCalls calls;
  return calls;
}

}  // namespace korvane::fs
