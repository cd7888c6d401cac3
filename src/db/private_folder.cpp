// The engine's private temporary folders (private_folder.h).
#include "db/private_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sqlite/jet_errors.h"

namespace korvane::db {

namespace stdfs = std::filesystem;

stdfs::path makePrivateFolder(const char* stem) {
  std::error_code error;
  const stdfs::path base = stdfs::temp_directory_path(error);
  std::string pattern =
      ((error ? stdfs::path("/tmp") : base) / (std::string(stem) + "XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr)
    raiseJet(jeterr::kDiskIo, {}, pattern + ": " + std::strerror(errno));
  return pattern;
}

void removePrivateFolder(const stdfs::path& folder) {
  std::error_code ignored;
  stdfs::remove_all(folder, ignored);
}

}  // namespace korvane::db
