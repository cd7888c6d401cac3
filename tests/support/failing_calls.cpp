// The host's system calls, one of them failing (failing_calls.h).
#include "support/failing_calls.h"

#include <sys/stat.h>

#include <cerrno>

namespace korvane::support {

bool FailingSystemCalls::fails(Call call) {
  if (call != failing_) return false;
  failing_ = Call::kNone;
  fired_ = true;
  errno = EIO;
  return true;
}

int FailingSystemCalls::open(const char* path, int flags, mode_t mode) {
  return fs::hostSystemCalls().open(path, flags, mode);
}

ssize_t FailingSystemCalls::write(int fd, const void* data, std::size_t size) {
  return fs::hostSystemCalls().write(fd, data, size);
}

ssize_t FailingSystemCalls::copyFileRange(int from, int to, std::size_t size) {
  return fs::hostSystemCalls().copyFileRange(from, to, size);
}

int FailingSystemCalls::fsync(int fd) {
  struct stat info;
  const bool folder = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
  if (fails(folder ? Call::kFolderFlush : Call::kFileFlush)) return -1;
  return fs::hostSystemCalls().fsync(fd);
}

int FailingSystemCalls::rename(const char* from, const char* to, bool noReplace) {
  if (fails(Call::kPublish)) return -1;
  return fs::hostSystemCalls().rename(from, to, noReplace);
}

int FailingSystemCalls::link(const char* from, const char* to) {
  if (fails(Call::kPublish)) return -1;
  return fs::hostSystemCalls().link(from, to);
}

int FailingSystemCalls::unlink(const char* path) {
  if (fails(Call::kUnlink)) return -1;
  return fs::hostSystemCalls().unlink(path);
}

}  // namespace korvane::support
