// The temporary SQLite copy a real Jet file is read through (jet_source.h).
#include "db/jet_source.h"

#include "db/jet_errors.h"
#include "db/jet_file/jet_import_process.h"
#include "fs/failure.h"
#include "fs/temp_folder.h"

namespace korvane::db {

namespace stdfs = std::filesystem;

namespace {

// Every open makes one folder of this name; a run that was killed leaves its
// folder behind, and the next open removes it.
constexpr char kFolderPrefix[] = "korvane-jet-";

}  // namespace

std::unique_ptr<JetSourceCopy> JetSourceCopy::import(const stdfs::path& jetFile,
                                                     const std::string& windowsPath) {
  fs::removeAbandonedTempFolders(kFolderPrefix);
  std::string why;
  std::unique_ptr<fs::TempFolder> folder = fs::TempFolder::make(kFolderPrefix, why);
  if (!folder) throw Failure(jeterr::kDiskIo, jetMessage(jeterr::kDiskIo) + " (" + why + ")");
  const stdfs::path file = folder->path() / "copy.sqlite";
  // Owns the folder from here on, so any failure of the import removes it.
  std::unique_ptr<JetSourceCopy> copy(new JetSourceCopy(std::move(folder), file));
  importJetFileInHelper(jetFile, copy->file(), windowsPath);
  return copy;
}

JetSourceCopy::JetSourceCopy(std::unique_ptr<fs::TempFolder> folder, stdfs::path file)
    : folder_(std::move(folder)), file_(std::move(file)) {}

JetSourceCopy::~JetSourceCopy() = default;

}  // namespace korvane::db
