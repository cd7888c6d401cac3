// The temporary SQLite copy a real Jet file is read through (jet_source.h).
#include "db/jet_source.h"

#include "db/jet_file/jet_import_process.h"
#include "db/private_folder.h"

namespace korvane::db {

namespace stdfs = std::filesystem;

std::unique_ptr<JetSourceCopy> JetSourceCopy::import(const stdfs::path& jetFile,
                                                     const std::string& windowsPath) {
  std::unique_ptr<fs::TempFolder> folder = makePrivateFolder(PrivateCopy::kJetImport);
  const stdfs::path file = folder->path() / "copy.sqlite";
  // Owns the folder from here on, so any failure of the import removes it.
  std::unique_ptr<JetSourceCopy> copy(new JetSourceCopy(std::move(folder), file));
  jetfile::importJetFileInHelper(jetFile, copy->file(), windowsPath);
  return copy;
}

JetSourceCopy::JetSourceCopy(std::unique_ptr<fs::TempFolder> folder, stdfs::path file)
    : folder_(std::move(folder)), file_(std::move(file)) {}

JetSourceCopy::~JetSourceCopy() = default;

}  // namespace korvane::db
