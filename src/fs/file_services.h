// The two file services of the program: copy a whole file, delete a file.
//
// Both take Windows paths and never create folders. Failures raise
// korvane::Failure with the numbers of failure.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "fs/path_map.h"

namespace korvane::fs {

enum class Overwrite { kReplace, kNever };

// Which file a name stands for, and which state of it: equal identities
// taken at two moments mean the file was neither replaced nor written in
// between (its content and status times are kept in nanoseconds).
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;  // last change of content
  std::int64_t changedNs = 0;   // last change of content or status

  bool operator==(const FileIdentity&) const = default;
};

class FileServices {
 public:
  virtual ~FileServices() = default;

  // Copies `from` over `to`. With kReplace an existing `to` is replaced
  // atomically (temporary file in `to`'s folder, flushed, renamed over it):
  // an interruption leaves the old file or the new one, never a mix. The
  // replacement keeps the replaced file's permission bits, and its owner and
  // group where this process may set them; when `to` is a symbolic link the
  // file it names is replaced, in that file's own folder, and the link
  // stays. A new file gets `from`'s permission bits, read and write for its
  // owner added, less the umask. With kNever an existing `to` fails with 58
  // and is left alone.
  // Fails with 53 when `from` does not exist, 76 when `to`'s folder does not
  // (or a path cannot be mapped, see PathMap::toHost), 70 when `from` is held
  // or cannot be copied alone (isHeld, file_hold.h), when another program
  // has `to` open as a database or access is denied, 61 when the disk is
  // full, 75 for other access errors (e.g. `from` or `to` is a folder).
  // On failure `to` is as it was and no temporary file is left. Copying a
  // file onto itself (under any spelling) leaves it as it is.
  virtual void copyFile(const std::string& from, const std::string& to,
                        Overwrite mode = Overwrite::kReplace) = 0;

  // Removes `path` (a link, not the file it names). Fails with 53 when it
  // does not exist, 70 when it is held or cannot be removed, 75 when it is a
  // folder, 76 when the path cannot be mapped.
  virtual void deleteFile(const std::string& path) = 0;

  // True when `path` names an existing file (not a folder). A path that
  // cannot be mapped names no file.
  virtual bool fileExists(const std::string& path) = 0;

  // The identity of the file `path` names now (through links); none when
  // no file is there or the path cannot be mapped. A question: it never fails.
  virtual std::optional<FileIdentity> identify(const std::string& path) = 0;
};

// The real file services on this machine's files.
class HostFileServices : public FileServices {
 public:
  explicit HostFileServices(PathMap paths) : paths_(std::move(paths)) {}

  void copyFile(const std::string& from, const std::string& to,
                Overwrite mode = Overwrite::kReplace) override;
  void deleteFile(const std::string& path) override;
  bool fileExists(const std::string& path) override;
  std::optional<FileIdentity> identify(const std::string& path) override;

  const PathMap& paths() const { return paths_; }

 private:
  PathMap paths_;
};

}  // namespace korvane::fs
