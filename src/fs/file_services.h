// The two file services of the program: copy a whole file, delete a file.
//
// Both take Windows paths and never create folders. Failures raise
// korvane::Failure with the numbers of failure.h.
#pragma once

#include <string>

#include "fs/path_map.h"

namespace korvane::fs {

enum class Overwrite { kReplace, kNever };

class FileServices {
 public:
  virtual ~FileServices() = default;

  // Copies `from` over `to`. With kReplace an existing `to` is replaced
  // atomically (temporary file in `to`'s folder, flushed, renamed over it):
  // an interruption leaves the old file or the new one, never a mix. With
  // kNever an existing `to` fails with 58 and is left alone.
  // Fails with 53 when `from` does not exist, 76 when `to`'s folder does not
  // (or a path cannot be mapped, see PathMap::toHost), 70 when `from` or `to`
  // is held (isHeld, file_hold.h) or access is denied, 61 when the disk is
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
};

// The real file services on this machine's files.
class HostFileServices : public FileServices {
 public:
  explicit HostFileServices(PathMap paths) : paths_(std::move(paths)) {}

  void copyFile(const std::string& from, const std::string& to,
                Overwrite mode = Overwrite::kReplace) override;
  void deleteFile(const std::string& path) override;
  bool fileExists(const std::string& path) override;

  const PathMap& paths() const { return paths_; }

 private:
  PathMap paths_;
};

}  // namespace korvane::fs
