// Windows paths as the program writes them, mapped onto this machine's files.
//
// Drive X: is the folder (or link) <prefix>/dosdevices/x:, as a Wine prefix
// lays it out. Components are looked up without regard to letter case, as
// Windows does; a component that does not exist keeps the spelling it was
// given. The way back turns a host path into Windows text: the drive whose
// folder holds it (the deepest match wins), then the components as the disk
// spells them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::fs {

class PathMap {
 public:
  // A drive of the prefix: its letter, upper case, and the host folder it
  // opens (its link resolved).
  struct Drive {
    char letter;
    std::filesystem::path folder;
  };

  // `prefix` is the Wine-style prefix folder that holds dosdevices/.
  explicit PathMap(std::filesystem::path prefix);

  // $WINEPREFIX, or ~/.wine when it is unset or empty.
  static PathMap fromEnvironment();

  const std::filesystem::path& prefix() const { return prefix_; }

  // Host path of a Windows path. Accepts "C:\a\b", "C:/a/b", "C:name"
  // (against the root of C:), "\a\b" and "a\b" (against the root of C:).
  // Existing components are matched case-insensitively; the first missing
  // one and everything after it keep the given spelling, so the caller finds
  // out what is missing when it uses the path. "." and ".." are settled as
  // text, never above the drive's root. Fails with 76 "Path not found" for a
  // UNC path, an empty path, a drive that is not mapped (no folder at
  // dosdevices/x:) or a colon after the drive.
  std::filesystem::path toHost(std::string_view windowsPath) const;

  // Windows text of a host path, e.g. "C:\data_aco\QX_aco.mdb". Links are
  // resolved first; the drive whose folder is the deepest ancestor wins; the
  // drive letter is upper case, the components are spelled as on disk (a
  // missing tail as given). Fails with 76 when no drive holds the path.
  std::string toWindows(const std::filesystem::path& hostPath) const;

  // The mapped drives, in letter order: each entry "x:" of dosdevices that is
  // a folder or a link to one. A link that leads nowhere, a file, and Wine's
  // device entries ("c::", "com1") are no drives. When two entries name one
  // letter ("D:" and "d:"), the first in byte order that opens a folder counts.
  std::vector<Drive> drives() const;

 private:
  std::filesystem::path prefix_;
};

}  // namespace korvane::fs
