// The watched system calls (model_system_calls.h). Offsets are read before a
// write so the model knows where its bytes went; a copy in the kernel is
// reported with the bytes read back from its source.
#include "model_system_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace korvane::reliability {

namespace {

std::filesystem::path pathOf(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace

bool ModelSystemCalls::watched(int fd, FileKey& key) const {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::read_symlink(pathOf(fd), error);
  struct stat info;
  if (error || !model_.watches(path) || ::fstat(fd, &info) != 0) return false;
  key = {info.st_dev, info.st_ino};
  return true;
}

int ModelSystemCalls::open(const char* path, int flags, mode_t mode) {
  struct stat info;
  const bool making = (flags & O_CREAT) != 0 && ::lstat(path, &info) != 0 && errno == ENOENT;
  const int fd = fs::hostSystemCalls().open(path, flags, mode);
  if (fd >= 0 && making) model_.created(path);
  return fd;
}

ssize_t ModelSystemCalls::write(int fd, const void* data, std::size_t size) {
  const off_t offset = ::lseek(fd, 0, SEEK_CUR);
  const ssize_t written = fs::hostSystemCalls().write(fd, data, size);
  FileKey key;
  if (written > 0 && watched(fd, key)) {
    model_.wrote(
        key, offset,
        std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(written)));
  }
  return written;
}

ssize_t ModelSystemCalls::copyFileRange(int from, int to, std::size_t size) {
  const off_t fromOffset = ::lseek(from, 0, SEEK_CUR);
  const off_t toOffset = ::lseek(to, 0, SEEK_CUR);
  const ssize_t copied = fs::hostSystemCalls().copyFileRange(from, to, size);
  FileKey key;
  if (copied > 0 && watched(to, key)) {
    std::string bytes(static_cast<std::size_t>(copied), '\0');
    const ssize_t read = ::pread(from, bytes.data(), bytes.size(), fromOffset);
    bytes.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
    model_.wrote(key, toOffset, bytes);
  }
  return copied;
}

int ModelSystemCalls::fsync(int fd) {
  const int rc = fs::hostSystemCalls().fsync(fd);
  FileKey key;
  if (rc == 0 && watched(fd, key)) model_.flushed(key, pathOf(fd));
  return rc;
}

int ModelSystemCalls::rename(const char* from, const char* to, bool noReplace) {
  const int rc = fs::hostSystemCalls().rename(from, to, noReplace);
  if (rc == 0) model_.renamed(from, to);
  return rc;
}

int ModelSystemCalls::link(const char* from, const char* to) {
  const int rc = fs::hostSystemCalls().link(from, to);
  if (rc == 0 && model_.watches(to)) model_.linked(from, to);
  return rc;
}

int ModelSystemCalls::unlink(const char* path) {
  const int rc = fs::hostSystemCalls().unlink(path);
  if (rc == 0) model_.unlinked(path);
  return rc;
}

}  // namespace korvane::reliability
