// Small helpers over POSIX file descriptors, shared by the file layer's own
// sources. Nothing outside src/fs includes this header.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>
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

// The file-service number (failure.h) of a system error met while reading,
// writing or removing a file whose folder exists.
int numberOf(int error);

// Moves every byte of `from`, from its current offset to its end, to `to`:
// in the kernel where the two files allow it, else through a buffer (also
// when the kernel reports the end before `size`, the length fstat gave).
// Returns 0, or the errno of the failure.
int copyBytes(int from, int to, off_t size);

// Creates a new file "<folder>/.<name>.korvane-XXXXXX" (the name cut so the
// whole stays a legal name) for writing, with `mode` less the umask, as
// open(2) gives a new file. Stores its path in `path`. On failure the result
// is empty and errno says why.
UniqueFd createTemporary(const std::string& folder, const std::string& name, mode_t mode,
                         std::string& path);

// The kind of record lock (F_RDLCK, F_WRLCK) that some open file holds on
// bytes [start, start + length) of `fd` and that conflicts with a lock of
// kind `type`, or F_UNLCK when none does. Locks of this process count too
// (the probe is an open-file-description lock), and nothing is taken.
short lockOn(int fd, off_t start, off_t length, short type);

// Takes an open-file-description lock of kind `type` on the bytes without
// waiting; it lasts until `fd` is closed. False when another open file holds
// a conflicting lock. Where the file system cannot lock, the lock is granted:
// like the held mark, it is advisory.
bool takeLock(int fd, off_t start, off_t length, short type);

}  // namespace korvane::fs::detail
