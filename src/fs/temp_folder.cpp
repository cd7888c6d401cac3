// Held temporary folders and their sweep: see temp_folder.h.
#include "fs/temp_folder.h"

#include <sys/stat.h>

#include <cstring>

#include "fs/posix_file.h"

namespace korvane::fs {

namespace stdfs = std::filesystem;

namespace {

constexpr int kAttempts = 4;

stdfs::path temporaryFolder() {
  std::error_code error;
  const stdfs::path base = stdfs::temp_directory_path(error);
  return error ? stdfs::path("/tmp") : base;
}

detail::UniqueFd openFolder(const stdfs::path& path) {
  return detail::openFd(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
}

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True when `fd` is still the folder at `path` (a sweep did not take it).
bool stillAt(int fd, const stdfs::path& path) {
  struct stat open {
  }, named{};
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && sameFile(open, named);
}

}  // namespace

std::unique_ptr<TempFolder> TempFolder::make(const std::string& prefix, std::string& why) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string pattern = (temporaryFolder() / (prefix + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      why = pattern + ": " + std::strerror(errno);
      return nullptr;
    }
    detail::UniqueFd fd = openFolder(pattern);
    if (!fd) {
      why = pattern + ": " + std::strerror(errno);
      ::rmdir(pattern.c_str());
      return nullptr;
    }
    // A sweep holds the lock only while it removes a folder; between mkdtemp
    // and this lock it may have taken ours, so look again once it is held.
    while (::flock(fd.get(), LOCK_EX) != 0 && errno == EINTR) {
    }
    if (stillAt(fd.get(), pattern))
      return std::unique_ptr<TempFolder>(new TempFolder(pattern, fd.release()));
  }
  why = "a new temporary folder was taken away " + std::to_string(kAttempts) + " times";
  return nullptr;
}

TempFolder::~TempFolder() {
  std::error_code ignored;  // best effort: the next run's sweep takes what is left
  stdfs::remove_all(path_, ignored);
  ::close(fd_);
}

size_t removeAbandonedTempFolders(const std::string& prefix) {
  size_t removed = 0;
  std::error_code error;
  for (stdfs::directory_iterator it(temporaryFolder(), error), end; !error && it != end;
       it.increment(error)) {
    const stdfs::path path = it->path();
    if (path.filename().string().rfind(prefix, 0) != 0) continue;
    struct stat named {
    }, open{};
    if (::lstat(path.c_str(), &named) != 0 || !S_ISDIR(named.st_mode) ||
        named.st_uid != ::geteuid())
      continue;
    const detail::UniqueFd fd = openFolder(path);
    if (!fd || ::fstat(fd.get(), &open) != 0 || !sameFile(named, open)) continue;
    // Taken only when no one holds it; a file system that cannot lock keeps its folders.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
    std::error_code ignored;
    if (stdfs::remove_all(path, ignored) > 0) ++removed;
  }
  return removed;
}

}  // namespace korvane::fs
