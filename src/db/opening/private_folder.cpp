// The engine's private temporary folders (private_folder.h).
#include "db/opening/private_folder.h"

#include <string>

#include "sqlite/jet_errors.h"

namespace korvane::db {

namespace {

constexpr const char* kJetImportPrefix = "korvane-jet-";
constexpr const char* kSettledSourcePrefix = "korvane-source-";

const char* prefixOf(PrivateCopy kind) {
  return kind == PrivateCopy::kJetImport ? kJetImportPrefix : kSettledSourcePrefix;
}

}  // namespace

std::unique_ptr<fs::TempFolder> makePrivateFolder(PrivateCopy kind) {
  for (const char* prefix : {kJetImportPrefix, kSettledSourcePrefix})
    fs::removeAbandonedTempFolders(prefix);
  std::string why;
  std::unique_ptr<fs::TempFolder> folder = fs::TempFolder::make(prefixOf(kind), why);
  if (!folder) raiseJet(jeterr::kDiskIo, {}, why);
  return folder;
}

}  // namespace korvane::db
