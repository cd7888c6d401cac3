// UpdateContext: what the five actions pass to one another.
//
// One context lives as long as the window. Assigning a new handle to `db` or
// `db2` releases the previous one without an explicit close.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "db/engine/database_engine.h"
#include "fs/file_services.h"
#include "workflow/dialog_state.h"

namespace korvane::workflow {

// A backup an Update run of this window made, and the system database as it
// was then.
struct MadeBackup {
  std::string path;
  fs::FileIdentity backup;
  fs::FileIdentity system;
};

struct UpdateContext {
  std::string dataFolder;
  std::unique_ptr<db::Database> db;
  std::string sql;
  std::unique_ptr<db::Database> db2;
  std::string selectedPath;
  std::string workingPath;  // empty: no working copy exists
  std::string sourcePath;
  DialogState state;
  // Kept for the window's life, so that a retry in the same minute can use
  // the backup again while neither file has changed.
  std::optional<MadeBackup> madeBackup;
};

}  // namespace korvane::workflow
