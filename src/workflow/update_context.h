// UpdateContext: what the five actions pass to one another.
//
// One context lives as long as the window. Assigning a new handle to `db` or
// `db2` releases the previous one without an explicit close.
#pragma once

#include <memory>
#include <string>

#include "db/database_engine.h"
#include "workflow/dialog_state.h"

namespace korvane::workflow {

struct UpdateContext {
  std::string dataFolder;
  std::unique_ptr<db::Database> db;
  std::string sql;
  std::unique_ptr<db::Database> db2;
  std::string selectedPath;
  std::string workingPath;  // empty: no working copy exists
  std::string sourcePath;
  DialogState state;
};

}  // namespace korvane::workflow
