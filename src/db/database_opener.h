// Opening and creating database files by host path: the checks Jet makes
// before it opens a file, and the handle's inner state. Shared by the engine
// (which maps Windows paths first) and the script builder (host paths).
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "db/database_engine.h"

namespace korvane::db {

struct OpenRequest {
  std::string windowsPath;  // the name used in Jet's messages
  std::filesystem::path hostPath;
  bool readOnly = false;
  bool create = false;               // make a new, empty database (3204 if one is there)
  std::optional<fs::PathMap> paths;  // for IN 'file' targets; none: they fail with 3044
};

// Opens the file a request names. A `readOnly` request is a database the
// program only reads: nothing of it is ever written (source_reading.h).
std::unique_ptr<Database> openDatabaseFile(const OpenRequest& request);

// An SQLite URI that opens `hostPath` in `mode` ("rw" or "ro"), with the
// further parameters `more` ("immutable=1"), and never creates it.
std::string uriOf(const std::filesystem::path& hostPath, const char* mode,
                  std::string_view more = {});

// Checks that `hostPath` is an existing SQLite database without opening it
// for SQLite: 3044 when its folder is missing, 3024 when it is, 3051 when it
// cannot be read, 3343 when it is not a database (an empty file included).
void checkDatabaseFile(const std::filesystem::path& hostPath, const std::string& windowsPath);

}  // namespace korvane::db
