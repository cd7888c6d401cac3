// Copy and delete on this machine's files.
//
// A copy claims `from` (and an existing `to`) with the exclusive flock for as
// long as it works on them, so a holder can neither be overlooked nor arrive
// halfway. The bytes go to a temporary file in `to`'s folder, which is
// flushed and then published: renamed over `to`, or, when `to` must not be
// replaced, linked to its name (which fails atomically if the name is
// taken). Until it is published the temporary file is removed on any
// failure, so `to` stays as it was.
#include "fs/file_services.h"

#include <stdio.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "fs/failure.h"
#include "fs/file_hold.h"
#include "fs/posix_file.h"

namespace korvane::fs {
namespace stdfs = std::filesystem;

namespace {

// The number of a system error met while reading, writing or removing a file
// whose folder exists.
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

// Moves every byte of `from`, from its current offset to its end, to `to`:
// in the kernel where the two files allow it, else through a buffer (also
// when the kernel reports the end before `size`, the length fstat gave).
// Returns 0, or the errno of the failure.
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

// Removes the temporary file `path` when it goes out of scope, unless it was
// published under the destination's name.
class TempFileRemover {
 public:
  explicit TempFileRemover(std::string path) : path_(std::move(path)) {}
  ~TempFileRemover() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TempFileRemover(const TempFileRemover&) = delete;
  TempFileRemover& operator=(const TempFileRemover&) = delete;

  void published() { path_.clear(); }

 private:
  std::string path_;
};

// Opens the existing file `host` and claims it. Fails with 70 when it is held.
detail::UniqueFd claim(const stdfs::path& host, const std::string& shown) {
  detail::UniqueFd fd = detail::openFd(host.c_str(), O_RDONLY | O_NONBLOCK);
  if (!fd) raiseFileFailure(numberOf(errno), shown);
  if (hasPendingJournal(host) || !detail::claimExclusive(fd.get())) {
    raiseFileFailure(fserr::kPermissionDenied, shown);
  }
  return fd;
}

// Gives the flushed temporary file `temp` the name `target` unless that name
// is taken (58). link(2) fails atomically on a taken name; on a file system
// without hard links (FAT), rename with RENAME_NOREPLACE does the same.
void publishNew(const std::string& temp, const stdfs::path& target, const std::string& shown) {
  if (::link(temp.c_str(), target.c_str()) == 0) {
    ::unlink(temp.c_str());
    return;
  }
  int error = errno;
  if (error == EPERM || error == EOPNOTSUPP) {
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
      return;
    }
    error = errno;
  }
  raiseFileFailure(error == EEXIST ? fserr::kFileAlreadyExists : numberOf(error), shown);
}

// Flushes the entry list of `folder`, so a rename or link in it lasts. Best
// effort: the file is already in place, and some file systems cannot.
void syncFolder(const stdfs::path& folder) {
  const detail::UniqueFd fd = detail::openFd(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd) (void)::fsync(fd.get());
}

}  // namespace

void HostFileServices::copyFile(const std::string& from, const std::string& to, Overwrite mode) {
  const stdfs::path hostFrom = paths_.toHost(from);
  const stdfs::path hostTo = paths_.toHost(to);

  struct stat sourceInfo;
  if (::stat(hostFrom.c_str(), &sourceInfo) != 0) raiseFileFailure(numberOf(errno), from);
  if (!S_ISREG(sourceInfo.st_mode)) raiseFileFailure(fserr::kPathFileAccessError, from);
  const detail::UniqueFd source = claim(hostFrom, from);

  const stdfs::path folder = hostTo.parent_path();
  struct stat folderInfo;
  if (::stat(folder.c_str(), &folderInfo) != 0) {
    const bool missing = errno == ENOENT || errno == ENOTDIR;
    raiseFileFailure(missing ? fserr::kPathNotFound : numberOf(errno), to);
  }
  if (!S_ISDIR(folderInfo.st_mode)) raiseFileFailure(fserr::kPathNotFound, to);

  detail::UniqueFd replaced;  // the file `to` names now, claimed until it is replaced
  struct stat targetInfo;
  if (::stat(hostTo.c_str(), &targetInfo) == 0) {
    if (S_ISDIR(targetInfo.st_mode)) raiseFileFailure(fserr::kPathFileAccessError, to);
    if (mode == Overwrite::kNever) raiseFileFailure(fserr::kFileAlreadyExists, to);
    // Copying a file onto itself leaves it as it is.
    if (targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino) return;
    replaced = claim(hostTo, to);
  } else if (errno != ENOENT) {
    raiseFileFailure(numberOf(errno), to);
  } else if (hasPendingJournal(hostTo)) {
    // SQLite would roll that journal back into the new file.
    raiseFileFailure(fserr::kPermissionDenied, to);
  }

  // ".<name>.korvane-XXXXXX", the name cut so the whole stays a legal name.
  std::string tempPath =
      (folder / ("." + hostTo.filename().string().substr(0, 200) + ".korvane-XXXXXX")).string();
  detail::UniqueFd temp(::mkostemp(tempPath.data(), O_CLOEXEC));
  if (!temp) raiseFileFailure(numberOf(errno), to);
  TempFileRemover remover(tempPath);

  // The source's permission bits, and always read and write for the owner:
  // the program copies files in order to open and change them.
  (void)::fchmod(temp.get(), (sourceInfo.st_mode & 0777) | S_IRUSR | S_IWUSR);
  if (const int error = copyBytes(source.get(), temp.get(), sourceInfo.st_size); error != 0) {
    raiseFileFailure(numberOf(error), to);
  }
  if (::fsync(temp.get()) != 0) raiseFileFailure(numberOf(errno), to);
  temp.reset();

  if (mode == Overwrite::kNever) {
    publishNew(tempPath, hostTo, to);
  } else if (::rename(tempPath.c_str(), hostTo.c_str()) != 0) {
    raiseFileFailure(numberOf(errno), to);
  }
  remover.published();
  syncFolder(folder);
}

void HostFileServices::deleteFile(const std::string& path) {
  const stdfs::path host = paths_.toHost(path);
  struct stat info;
  if (::lstat(host.c_str(), &info) != 0) raiseFileFailure(numberOf(errno), path);
  if (S_ISDIR(info.st_mode)) raiseFileFailure(fserr::kPathFileAccessError, path);
  // A link is removed, not what it points to; only a file is claimed.
  detail::UniqueFd file;
  if (!S_ISLNK(info.st_mode)) file = claim(host, path);
  if (::unlink(host.c_str()) != 0) raiseFileFailure(numberOf(errno), path);
}

bool HostFileServices::fileExists(const std::string& path) {
  stdfs::path host;
  try {
    host = paths_.toHost(path);
  } catch (const Failure&) {
    return false;  // an unmapped drive holds no file
  }
  struct stat info;
  return ::stat(host.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace korvane::fs
