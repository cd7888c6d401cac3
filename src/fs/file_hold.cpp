// The "held" mark: a shared flock taken by a holder, probed with an exclusive
// one. flock, not fcntl record locks: SQLite puts fcntl locks on the same
// files, flock locks are independent of them, and they belong to the open
// file rather than the process, so a hold in this very process is seen too.
#include "fs/file_hold.h"

#include "fs/database_files.h"
#include "fs/posix_file.h"
#include "fs/sqlite_locks.h"

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

bool FileHold::lockAsReader() {
  return detail::takeLock(fd_, detail::kSharedFirst, detail::kSharedSize, F_RDLCK);
}

bool hasPendingJournal(const std::filesystem::path& hostPath) {
  return inspectDatabase(hostPath).pendingBeside();
}

bool isHeld(const std::filesystem::path& hostPath) {
  if (inspectDatabase(hostPath).cannotBeCopiedAlone()) return true;
  const detail::UniqueFd fd = detail::openFd(hostPath.c_str(), O_RDONLY | O_NONBLOCK);
  return fd && !detail::claimExclusive(fd.get());
}

}  // namespace korvane::fs
