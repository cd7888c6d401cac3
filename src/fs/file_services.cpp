// Copy and delete on this machine's files.
//
// A copy claims `from` (and an existing `to`) with the exclusive flock for as
// long as it works on them, so a holder can neither be overlooked nor arrive
// halfway, and it reads `from` under SQLite's reader's lock, so no SQLite
// connection commits into it meanwhile. The bytes go to a temporary file in
// `to`'s folder; in this order the file gets its permissions (and owner),
// is flushed (fsync: data and metadata), is published (renamed over `to`,
// or, when `to` must not be replaced, linked to its name, which fails
// atomically if the name is taken), and the folder is flushed, so that the
// new name survives a power cut. Until it is published the temporary file is
// removed on any failure, so `to` stays as it was. Every call that changes
// the disk goes through the SystemCalls the services were given.
#include "fs/file_services.h"

#include <stdio.h>
#include <sys/stat.h>

#include <string>

#include "fs/database_files.h"
#include "fs/failure.h"
#include "fs/file_hold.h"
#include "fs/posix_file.h"
#include "fs/sqlite_locks.h"
#include "fs/system_calls.h"

namespace korvane::fs {
namespace stdfs = std::filesystem;

namespace {

// Removes the temporary file `path` when it goes out of scope, unless it was
// published under the destination's name.
class TempFileRemover {
 public:
  TempFileRemover(SystemCalls& calls, std::string path) : calls_(calls), path_(std::move(path)) {}
  ~TempFileRemover() {
    if (!path_.empty()) calls_.unlink(path_.c_str());
  }
  TempFileRemover(const TempFileRemover&) = delete;
  TempFileRemover& operator=(const TempFileRemover&) = delete;

  void published() { path_.clear(); }

 private:
  SystemCalls& calls_;
  std::string path_;
};

using detail::numberOf;

// Opens the existing file `host` that a copy reads and claims it: fails with
// 70 when a handle holds it, another program is writing it, or the file
// alone lacks what a journal or write-ahead log beside it holds (a copy
// never leaves committed rows behind). Until the descriptor is closed no
// SQLite connection can commit into the file.
detail::UniqueFd claimSource(const stdfs::path& host, const std::string& shown) {
  detail::UniqueFd fd = detail::openFd(host.c_str(), O_RDONLY | O_NONBLOCK);
  if (!fd) raiseFileFailure(numberOf(errno), shown);
  if (!detail::claimExclusive(fd.get()) ||
      !detail::takeLock(fd.get(), detail::kSharedFirst, detail::kSharedSize, F_RDLCK)) {
    raiseFileFailure(fserr::kPermissionDenied, shown);
  }
  if (inspectDatabase(host).cannotBeCopiedAlone())
    raiseFileFailure(fserr::kPermissionDenied, shown);
  return fd;
}

// Opens the existing file `host` that is about to be replaced or removed and
// claims it: fails with 70 when a handle holds it, any SQLite connection has
// it open (it would go on with the old file, or write into the new one), or
// a journal or write-ahead log beside it would be rolled into a new file of
// that name.
detail::UniqueFd claimReplaced(const stdfs::path& host, const std::string& shown) {
  detail::UniqueFd fd = detail::openFd(host.c_str(), O_RDONLY | O_NONBLOCK);
  if (!fd) raiseFileFailure(numberOf(errno), shown);
  if (!detail::claimExclusive(fd.get())) raiseFileFailure(fserr::kPermissionDenied, shown);
  const DatabaseState state = inspectDatabase(host);
  if (state.connected || state.pendingBeside()) {
    raiseFileFailure(fserr::kPermissionDenied, shown);
  }
  return fd;
}

// The file the symbolic link `link` names in the end (which need not
// exist); `link` itself when it is no link. Fails with 75 on a loop.
stdfs::path finalTarget(stdfs::path link, const std::string& shown) {
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    if (!stdfs::is_symlink(link, error)) return link;
    const stdfs::path next = stdfs::read_symlink(link, error);
    if (error) raiseFileFailure(numberOf(error.value()), shown);
    link = next.is_absolute() ? next : link.parent_path() / next;
  }
  raiseFileFailure(fserr::kPathFileAccessError, shown);
}

// Gives the new file `fd` the owner, group and permission bits of the file
// it replaces. Owner and group only where the system lets this process set
// them (the group alone, or neither, otherwise); the bits always, since the
// process owns the new file.
void takeOverPermissions(int fd, const struct stat& replaced) {
  if (::fchown(fd, replaced.st_uid, replaced.st_gid) != 0) {
    (void)::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid);
  }
  (void)::fchmod(fd, replaced.st_mode & 07777);
}

// Gives the flushed temporary file `temp` the name `target` unless that name
// is taken (58). link(2) fails atomically on a taken name; on a file system
// without hard links (FAT), rename with RENAME_NOREPLACE does the same.
void publishNew(SystemCalls& calls, const std::string& temp, const stdfs::path& target,
                const std::string& shown) {
  if (calls.link(temp.c_str(), target.c_str()) == 0) {
    calls.unlink(temp.c_str());
    return;
  }
  int error = errno;
  if (error == EPERM || error == EOPNOTSUPP) {
    if (calls.rename(temp.c_str(), target.c_str(), true) == 0) return;
    error = errno;
  }
  raiseFileFailure(error == EEXIST ? fserr::kFileAlreadyExists : numberOf(error), shown);
}

}  // namespace

void HostFileServices::copyFile(const std::string& from, const std::string& to, Overwrite mode) {
  const stdfs::path hostFrom = paths_.toHost(from);
  // A link that is replaced stays a link: the file it names is replaced.
  const stdfs::path hostTo =
      mode == Overwrite::kReplace ? finalTarget(paths_.toHost(to), to) : paths_.toHost(to);

  struct stat sourceInfo;
  if (::stat(hostFrom.c_str(), &sourceInfo) != 0) raiseFileFailure(numberOf(errno), from);
  if (!S_ISREG(sourceInfo.st_mode)) raiseFileFailure(fserr::kPathFileAccessError, from);
  const detail::UniqueFd source = claimSource(hostFrom, from);

  const stdfs::path folder = hostTo.parent_path();
  struct stat folderInfo;
  if (::stat(folder.c_str(), &folderInfo) != 0) {
    const bool missing = errno == ENOENT || errno == ENOTDIR;
    raiseFileFailure(missing ? fserr::kPathNotFound : numberOf(errno), to);
  }
  if (!S_ISDIR(folderInfo.st_mode)) raiseFileFailure(fserr::kPathNotFound, to);

  detail::UniqueFd replaced;  // the file `to` names now, claimed until it is replaced
  struct stat targetInfo;
  const bool replacing = ::stat(hostTo.c_str(), &targetInfo) == 0;
  if (replacing) {
    if (S_ISDIR(targetInfo.st_mode)) raiseFileFailure(fserr::kPathFileAccessError, to);
    if (mode == Overwrite::kNever) raiseFileFailure(fserr::kFileAlreadyExists, to);
    // Copying a file onto itself leaves it as it is.
    if (targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino) return;
    replaced = claimReplaced(hostTo, to);
  } else if (errno != ENOENT) {
    raiseFileFailure(numberOf(errno), to);
  } else if (hasPendingJournal(hostTo)) {
    // SQLite would roll that journal back into the new file.
    raiseFileFailure(fserr::kPermissionDenied, to);
  }

  // A new file: the source's bits less the umask, as open(2) applies it, and
  // always read and write for the owner, since the program copies files in
  // order to open and change them (a read-only template still gives a
  // working copy it can write).
  const mode_t newMode = (sourceInfo.st_mode & 0777) | S_IRUSR | S_IWUSR;
  std::string tempPath;
  detail::UniqueFd temp =
      detail::createTemporary(calls_, folder.string(), hostTo.filename().string(),
                              replacing ? S_IRUSR | S_IWUSR : newMode, tempPath);
  if (!temp) raiseFileFailure(numberOf(errno), to);
  TempFileRemover remover(calls_, tempPath);

  if (const int error =
          detail::copyBytes(calls_, source.get(), temp.get(), sourceInfo.st_size, true)) {
    raiseFileFailure(numberOf(error), to);
  }
  if (replacing) takeOverPermissions(temp.get(), targetInfo);
  if (calls_.fsync(temp.get()) != 0) raiseFileFailure(numberOf(errno), to);
  temp.reset();

  if (mode == Overwrite::kNever) {
    publishNew(calls_, tempPath, hostTo, to);
  } else if (calls_.rename(tempPath.c_str(), hostTo.c_str(), false) != 0) {
    raiseFileFailure(numberOf(errno), to);
  }
  remover.published();
  // Until the folder is flushed a power cut may take the new name back. A
  // new name that cannot be made to last is taken back now, so `to` is as it
  // was; a replaced file is gone already, and the failure says the new one
  // may not last.
  if (const int error = detail::flushFolder(calls_, folder.string())) {
    if (mode == Overwrite::kNever) calls_.unlink(hostTo.c_str());
    raiseFileFailure(numberOf(error), to);
  }
}

void HostFileServices::deleteFile(const std::string& path) {
  const stdfs::path host = paths_.toHost(path);
  struct stat info;
  if (::lstat(host.c_str(), &info) != 0) raiseFileFailure(numberOf(errno), path);
  if (S_ISDIR(info.st_mode)) raiseFileFailure(fserr::kPathFileAccessError, path);
  // A link is removed, not what it points to; only a file is claimed.
  detail::UniqueFd file;
  if (!S_ISLNK(info.st_mode)) file = claimReplaced(host, path);
  if (calls_.unlink(host.c_str()) != 0) raiseFileFailure(numberOf(errno), path);
}

void HostFileServices::flush(const std::string& path) {
  const stdfs::path host = finalTarget(paths_.toHost(path), path);
  const detail::UniqueFd file = detail::openFd(host.c_str(), O_RDONLY | O_NONBLOCK);
  if (!file) raiseFileFailure(numberOf(errno), path);
  struct stat info;
  if (::fstat(file.get(), &info) != 0) raiseFileFailure(numberOf(errno), path);
  if (S_ISDIR(info.st_mode)) raiseFileFailure(fserr::kPathFileAccessError, path);
  if (calls_.fsync(file.get()) != 0) raiseFileFailure(numberOf(errno), path);
  if (const int error = detail::flushFolder(calls_, host.parent_path().string())) {
    raiseFileFailure(numberOf(error), path);
  }
}

namespace {

// stat(2) of the file `path` names; false when there is none or the path
// cannot be mapped (an unmapped drive holds no file).
bool statOf(const PathMap& paths, const std::string& path, struct stat& info) {
  try {
    return ::stat(paths.toHost(path).c_str(), &info) == 0;
  } catch (const Failure&) {
    return false;
  }
}

}  // namespace

bool HostFileServices::fileExists(const std::string& path) {
  struct stat info;
  return statOf(paths_, path, info) && !S_ISDIR(info.st_mode);
}

std::optional<FileIdentity> HostFileServices::identify(const std::string& path) {
  struct stat info;
  if (!statOf(paths_, path, info)) return std::nullopt;
  constexpr std::int64_t kNs = 1000000000;
  return FileIdentity{info.st_dev, info.st_ino, info.st_size,
                      info.st_mtim.tv_sec * kNs + info.st_mtim.tv_nsec,
                      info.st_ctim.tv_sec * kNs + info.st_ctim.tv_nsec};
}

}  // namespace korvane::fs
