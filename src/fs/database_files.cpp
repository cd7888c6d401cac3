// Reading an SQLite database's state from its files and from the record
// locks its connections hold (sqlite_locks.h), and copying it aside whole.
#include "fs/database_files.h"

#include <sys/stat.h>

#include <cstring>
#include <string>

#include "fs/failure.h"
#include "fs/posix_file.h"
#include "fs/sqlite_locks.h"

namespace korvane::fs {

namespace {

using detail::kDatabaseLockBytes;
using detail::kPendingByte;
using detail::kSharedFirst;
using detail::kSharedSize;

constexpr char kSqliteHeader[16] = "SQLite format 3";  // with its closing '\0'

// SQLite's rule for a hot rollback journal: it exists, is not empty and its
// first byte is not zero (journal_mode TRUNCATE empties a finished journal,
// PERSIST zeroes its header). A journal that cannot be read counts.
bool isHotJournal(const std::string& journalPath) {
  const detail::UniqueFd journal = detail::openFd(journalPath.c_str(), O_RDONLY);
  if (!journal) return errno != ENOENT && errno != ENOTDIR;
  char first = 0;
  const ssize_t n = ::pread(journal.get(), &first, 1, 0);
  return n < 0 || (n == 1 && first != 0);
}

bool hasWalHeader(int fd) {
  unsigned char header[20] = {};
  return ::pread(fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header) &&
         std::memcmp(header, kSqliteHeader, sizeof kSqliteHeader) == 0 && header[18] == 2 &&
         header[19] == 2;
}

// Copies the whole file `from` to the new file `to`; 0 or the errno.
int copyWhole(const std::string& from, const std::string& to) {
  const detail::UniqueFd source = detail::openFd(from.c_str(), O_RDONLY);
  if (!source) return errno;
  struct stat info;
  if (::fstat(source.get(), &info) != 0) return errno;
  const detail::UniqueFd target =
      detail::openFd(to.c_str(), O_WRONLY | O_CREAT | O_EXCL, S_IRUSR | S_IWUSR);
  if (!target) return errno;
  return detail::copyBytes(source.get(), target.get(), info.st_size);
}

}  // namespace

DatabaseState inspectDatabase(const std::filesystem::path& file) {
  DatabaseState state;
  const std::string base = file.native();
  state.hotJournal = isHotJournal(base + "-journal");
  struct stat wal;
  state.walFile = ::stat((base + "-wal").c_str(), &wal) == 0;
  state.walFrames = state.walFile && wal.st_size > 0;

  if (const detail::UniqueFd db = detail::openFd(base.c_str(), O_RDONLY | O_NONBLOCK)) {
    state.walMode = hasWalHeader(db.get());
    // Readers lock the SHARED range for reading; any write lock in the
    // three is a writer's (RESERVED, PENDING, or all of SHARED).
    state.writing = detail::lockOn(db.get(), kPendingByte, kDatabaseLockBytes, F_RDLCK) == F_WRLCK;
    state.connected =
        state.writing || detail::lockOn(db.get(), kSharedFirst, kSharedSize, F_WRLCK) != F_UNLCK;
  }
  if (const detail::UniqueFd shm = detail::openFd((base + "-shm").c_str(), O_RDONLY | O_NONBLOCK)) {
    state.shmFile = true;
    if (detail::lockOn(shm.get(), detail::kWalWriteLock, detail::kWalExclusiveLocks, F_RDLCK) ==
        F_WRLCK) {
      state.writing = true;
    }
    state.connected = state.connected || state.writing ||
                      detail::lockOn(shm.get(), detail::kWalDmsByte, 1, F_WRLCK) != F_UNLCK;
  } else {
    state.shmFile = errno != ENOENT && errno != ENOTDIR;
  }
  return state;
}

void copyDatabaseAside(const std::filesystem::path& file, const std::filesystem::path& copy) {
  const std::string shown = file.string();
  const detail::UniqueFd lock = detail::openFd(file.c_str(), O_RDONLY);
  if (!lock) raiseFileFailure(detail::numberOf(errno), shown);
  // Taken before looking, so what is seen cannot change under the copy.
  if (!detail::takeLock(lock.get(), kSharedFirst, kSharedSize, F_RDLCK)) {
    raiseFileFailure(fserr::kPermissionDenied, shown);
  }
  const DatabaseState state = inspectDatabase(file);
  if (state.writing) raiseFileFailure(fserr::kPermissionDenied, shown);
  const struct {
    const char* suffix;
    bool wanted;
  } parts[] = {{"", true}, {"-journal", state.hotJournal}, {"-wal", state.walFrames}};
  for (const auto& part : parts) {
    if (!part.wanted) continue;
    if (const int error = copyWhole(file.native() + part.suffix, copy.native() + part.suffix)) {
      raiseFileFailure(detail::numberOf(error), shown + part.suffix);
    }
  }
}

}  // namespace korvane::fs
