// The temporary SQLite copy a real Jet file is read through (jet_source.h).
#include "db/jet_source.h"

#include "db/jet_file/jet_file.h"
#include "db/private_folder.h"

namespace korvane::db {

namespace stdfs = std::filesystem;

std::unique_ptr<JetSourceCopy> JetSourceCopy::import(const stdfs::path& jetFile,
                                                     const std::string& windowsPath) {
  const stdfs::path folder = makePrivateFolder("korvane-jet-");
  // Owns the folder from here on, so any failure of the import removes it.
  std::unique_ptr<JetSourceCopy> copy(new JetSourceCopy(folder, folder / "copy.sqlite"));
  jetfile::importJetFileToNewDatabase(jetFile, copy->file(), windowsPath);
  return copy;
}

JetSourceCopy::~JetSourceCopy() {
  removePrivateFolder(folder_);
}

}  // namespace korvane::db
