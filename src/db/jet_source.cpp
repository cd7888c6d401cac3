// The temporary SQLite copy a real Jet file is read through (jet_source.h).
#include "db/jet_source.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "db/jet_file/jet_file.h"
#include "sqlite/jet_errors.h"

namespace korvane::db {

namespace stdfs = std::filesystem;

namespace {

// A new, empty folder under the temporary folder, unique across processes
// (mkdtemp), so a copy left by a crashed run never blocks a later open.
stdfs::path makePrivateFolder() {
  std::error_code error;
  const stdfs::path base = stdfs::temp_directory_path(error);
  std::string pattern = ((error ? stdfs::path("/tmp") : base) / "korvane-jet-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr)
    raiseJet(jeterr::kDiskIo, {}, pattern + ": " + std::strerror(errno));
  return pattern;
}

void removeFolder(const stdfs::path& folder) {
  std::error_code ignored;  // best effort: a temporary folder left behind harms nothing
  stdfs::remove_all(folder, ignored);
}

}  // namespace

std::unique_ptr<JetSourceCopy> JetSourceCopy::import(const stdfs::path& jetFile,
                                                     const std::string& windowsPath) {
  const stdfs::path folder = makePrivateFolder();
  // Owns the folder from here on, so any failure of the import removes it.
  std::unique_ptr<JetSourceCopy> copy(new JetSourceCopy(folder, folder / "copy.sqlite"));
  jetfile::importJetFileToNewDatabase(jetFile, copy->file(), windowsPath);
  return copy;
}

JetSourceCopy::~JetSourceCopy() {
  removeFolder(folder_);
}

}  // namespace korvane::db
