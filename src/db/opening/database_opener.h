// Opening and creating database files by host path: the checks Jet makes
// before it opens a file, and the one decision of which way a handle opens
// its file. Shared by the engine (which maps Windows paths first) and the
// script builder (host paths).
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "db/engine/database_engine.h"
#include "fs/file_hold.h"
#include "sqlite/connection.h"

namespace korvane::db {

struct OpenRequest {
  std::string windowsPath;  // the name used in Jet's messages
  std::filesystem::path hostPath;
  bool readOnly = false;
  bool create = false;               // make a new, empty database (3204 if one is there)
  std::optional<fs::PathMap> paths;  // for IN 'file' targets; none: they fail with 3044
  // The host paths of scratch files (DatabaseEngine::treatAsScratch), which
  // are written without flushing, as the file itself or as an IN 'file'
  // target; none: every file is flushed at every commit.
  std::shared_ptr<const std::set<std::filesystem::path>> scratch;
};

// A database file as one handle opened it: the connection its statements run
// on and what that connection stands on, the hold on the user's file and any
// private copy. Each way of opening is a type of its own; destroying one
// closes its connection, then removes its copy, then lets the file go.
class OpenedFile {
 public:
  virtual ~OpenedFile();
  OpenedFile(const OpenedFile&) = delete;
  OpenedFile& operator=(const OpenedFile&) = delete;

  virtual sqlite::Connection& connection() = 0;

 protected:
  OpenedFile() = default;
  // Holds the file `request` names for this handle's life (fs/file_hold.h).
  // Fails with 3051 when it cannot be opened.
  fs::FileHold& hold(const OpenRequest& request);

 private:
  // The base's, so that it is let go after everything a way keeps.
  std::unique_ptr<fs::FileHold> hold_;
};

// Opens the file `request` names the one way it calls for: a new database
// (`create`), a real Jet file through an imported copy (jet_source.h), a
// database only read (`readOnly`, source_reading.h), the working copy
// written as scratch, or any other database read and written. Fails as that
// way does.
std::unique_ptr<OpenedFile> openFile(const OpenRequest& request);

// A handle on the file `request` names, opened by openFile.
std::unique_ptr<Database> openDatabaseFile(const OpenRequest& request);

// An SQLite URI that opens `hostPath` in `mode` ("rw" or "ro"), with the
// further parameters `more` ("immutable=1"), and never creates it.
std::string uriOf(const std::filesystem::path& hostPath, const char* mode,
                  std::string_view more = {});

// A hold on `hostPath` (fs/file_hold.h) for as long as it is kept; 3051 when
// the file cannot be opened.
std::unique_ptr<fs::FileHold> holdFile(const std::filesystem::path& hostPath,
                                       const std::string& windowsPath);

// Checks that `hostPath` is an existing SQLite database without opening it
// for SQLite: 3044 when its folder is missing, 3024 when it is, 3051 when it
// cannot be read, 3343 when it is not a database (an empty file included).
void checkDatabaseFile(const std::filesystem::path& hostPath, const std::string& windowsPath);

// Whether `hostPath` is one of the `scratch` files.
bool isScratch(const std::shared_ptr<const std::set<std::filesystem::path>>& scratch,
               const std::filesystem::path& hostPath);

// How SQLite flushes a file of `schema` that it writes: at every commit, or,
// for a scratch file, never (the journal still rolls a failed statement
// back).
std::string synchronousOf(const std::string& schema, bool scratch);

}  // namespace korvane::db
