// The temporary SQLite copy a real Jet file is read through (jet_source.h).
#include "db/opening/jet_source.h"

#include "db/opening/private_folder.h"
#include "db/values/jet_collation.h"
#include "jet_file/jet_import_process.h"

namespace korvane::db {

ImportedJetFile::ImportedJetFile(const OpenRequest& request) {
  hold(request);
  // A member from here on, so any failure of the import removes the folder.
  privateCopy_ = makePrivateFolder(PrivateCopy::kJetImport);
  const std::filesystem::path copy = privateCopy_->path() / "copy.sqlite";
  jetfile::importJetFileInHelper(request.hostPath, copy, request.windowsPath);
  connection_ =
      openJetConnection(uriOf(copy, "ro"), request.windowsPath, sqlite::OpenMode::kReadWrite);
}

}  // namespace korvane::db
