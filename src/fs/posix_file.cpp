// The file layer's helpers over POSIX descriptors (posix_file.h).
#include "fs/posix_file.h"

#include <sys/random.h>

#include <cstdlib>
#include <vector>

#include "fs/failure.h"

namespace korvane::fs::detail {

int numberOf(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return fserr::kFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
      return fserr::kPermissionDenied;
    case ENOSPC:
    case EDQUOT:
      return fserr::kDiskFull;
    default:
      return fserr::kPathFileAccessError;
  }
}

int copyBytes(int from, int to, off_t size) {
  off_t copied = 0;
  bool inKernel = true;
  std::vector<char> buffer;
  for (;;) {
    if (inKernel) {
      const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, std::size_t{1} << 30, 0);
      if (n > 0) {
        copied += n;
      } else if (n == 0 && copied >= size) {
        return 0;
      } else if (n == 0 || errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
                 errno == EOPNOTSUPP) {
        inKernel = false;  // a file system that cannot, or reports an early end
      } else if (errno != EINTR) {
        return errno;
      }
      continue;
    }
    buffer.resize(std::size_t{1} << 17);
    const ssize_t n = ::read(from, buffer.data(), buffer.size());
    if (n == 0) return 0;
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    for (ssize_t done = 0; done < n;) {
      const ssize_t written = ::write(to, buffer.data() + done, static_cast<std::size_t>(n - done));
      if (written < 0 && errno != EINTR) return errno;
      if (written > 0) done += written;
    }
  }
}

UniqueFd createTemporary(const std::string& folder, const std::string& name, mode_t mode,
                         std::string& path) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  const std::string stem = folder + "/." + name.substr(0, 200) + ".korvane-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned char random[6];
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
      for (unsigned char& byte : random) byte = static_cast<unsigned char>(::rand());
    }
    path = stem;
    for (unsigned char byte : random) path += kLetters[byte % (sizeof kLetters - 1)];
    UniqueFd fd = openFd(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, mode);
    if (fd || errno != EEXIST) return fd;
  }
  return UniqueFd();
}

namespace {

struct flock rangeOf(off_t start, off_t length, short type) {
  struct flock range = {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = start;
  range.l_len = length;
  return range;
}

}  // namespace

short lockOn(int fd, off_t start, off_t length, short type) {
  struct flock range = rangeOf(start, length, type);
  if (::fcntl(fd, F_OFD_GETLK, &range) != 0) return F_UNLCK;
  return range.l_type;
}

bool takeLock(int fd, off_t start, off_t length, short type) {
  struct flock range = rangeOf(start, length, type);
  int rc;
  do {
    rc = ::fcntl(fd, F_OFD_SETLK, &range);
  } while (rc != 0 && errno == EINTR);
  return rc == 0 || (errno != EAGAIN && errno != EACCES);
}

}  // namespace korvane::fs::detail
