// The "held" mark: a shared flock taken by a holder, probed with an exclusive
// one. flock, not fcntl record locks: SQLite puts fcntl locks on the same
// files, flock locks are independent of them, and they belong to the open
// file rather than the process, so a hold in this very process is seen too.
#include "fs/file_hold.h"

#include <sys/stat.h>

#include <string>

#include "fs/posix_file.h"

namespace korvane::fs {

std::unique_ptr<FileHold> FileHold::acquire(const std::filesystem::path& hostPath) {
  detail::UniqueFd fd = detail::openFd(hostPath.c_str(), O_RDONLY | O_NONBLOCK);
  if (!fd) return nullptr;
  // Waits while a file service has the file claimed (only for the length of
  // one copy or delete). Where the file system cannot lock, the file is held
  // open all the same.
  while (::flock(fd.get(), LOCK_SH) != 0 && errno == EINTR) {
  }
  return std::unique_ptr<FileHold>(new FileHold(fd.release()));
}

FileHold::~FileHold() {
  ::close(fd_);
}

bool hasPendingJournal(const std::filesystem::path& hostPath) {
  // SQLite's rule for a hot rollback journal: it exists, is not empty and its
  // first byte is not zero (journal_mode TRUNCATE empties a finished journal,
  // PERSIST zeroes its header). A journal that cannot be read counts.
  const std::string base = hostPath.native();
  const detail::UniqueFd journal = detail::openFd((base + "-journal").c_str(), O_RDONLY);
  if (!journal && errno != ENOENT && errno != ENOTDIR) return true;
  if (journal) {
    char first = 0;
    const ssize_t n = ::pread(journal.get(), &first, 1, 0);
    if (n < 0 || (n == 1 && first != 0)) return true;
  }
  // A write-ahead log that is not empty holds commits the file lacks.
  struct stat wal;
  return ::stat((base + "-wal").c_str(), &wal) == 0 && wal.st_size > 0;
}

bool isHeld(const std::filesystem::path& hostPath) {
  if (hasPendingJournal(hostPath)) return true;
  const detail::UniqueFd fd = detail::openFd(hostPath.c_str(), O_RDONLY | O_NONBLOCK);
  return fd && !detail::claimExclusive(fd.get());
}

}  // namespace korvane::fs
