// Small helpers over POSIX file descriptors, shared by the file layer's own
// sources. Nothing outside src/fs includes this header.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace korvane::fs::detail {

// Owns one file descriptor and closes it when destroyed.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    reset(std::exchange(other.fd_, -1));
    return *this;
  }
  ~UniqueFd() { reset(); }

  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }
  explicit operator bool() const { return fd_ >= 0; }

  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

// open(2) with O_CLOEXEC added, retried when a signal interrupts it. On
// failure the result is empty and errno says why.
inline UniqueFd openFd(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return UniqueFd(fd);
}

// Takes the exclusive flock on the open file `fd` without waiting. False when
// another open file holds a lock on it (a FileHold or another claim). Where
// the file system cannot lock, the claim is granted: the mark is advisory.
inline bool claimExclusive(int fd) {
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  return rc == 0 || errno != EWOULDBLOCK;
}

}  // namespace korvane::fs::detail
