// DatabaseEngine: the program's Jet engine, on SQLite files.
//
// The engine object lives for the program's life and opens databases; a
// handle (`Database`) executes Jet SQL statements, deletes and refreshes table
// definitions, and is closed. While a handle is open it holds its file (see
// fs/file_hold.h), so the file services cannot copy, replace or delete it.
// Destroying a handle without Close releases it. Every failure raises
// korvane::Failure with Jet's error number and message text (jet_errors.h).
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fs/path_map.h"

namespace korvane::db {

struct OpenRequest;  // database_opener.h

class Database {
 public:
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Executes one Jet SQL statement without options: rows that break a key,
  // a required column or a check are skipped and the rest written; a
  // statement that cannot run at all fails and changes nothing.
  void execute(std::string_view jetSql);

  // Closes the database and releases its file. Any later call fails (3420).
  void close();

  // TableDefs.Delete: drops table `name` with its field properties. Fails
  // with 3265 when there is no such table.
  void deleteTableDef(std::string_view name);

  // TableDefs.Refresh: re-reads the catalog.
  void refreshTableDefs();

  bool isOpen() const;
  const std::string& path() const;  // the Windows path it was opened with

  // The user tables, in the order they were made (TableDefs, without the
  // system tables).
  std::vector<std::string> tableNames();

  // Field properties ("Caption", "Description", ...) kept in the file.
  // setFieldProperty fails with 3265 when the table or field is not there.
  void setFieldProperty(std::string_view table, std::string_view field, std::string_view property,
                        std::string_view value);
  std::optional<std::string> fieldProperty(std::string_view table, std::string_view field,
                                           std::string_view property);

  struct Impl;
  explicit Database(std::unique_ptr<Impl> impl);

  // Runs `body` (calls on this handle) as one transaction; used to build
  // databases from scripts.
  void inTransaction(const std::function<void()>& body);

 private:
  std::unique_ptr<Impl> impl_;
};

class DatabaseEngine {
 public:
  explicit DatabaseEngine(fs::PathMap paths);
  ~DatabaseEngine();

  // DBEngine.OpenDatabase(path): shared, read-write, no connect string.
  // Fails with 3024 when the file does not exist (nothing is created), 3044
  // when its folder does not, 3343 when it is not a database, 3051 when it
  // cannot be opened. A real Jet 3 or Jet 4 file opens read-only (every
  // write fails with 3027; a damaged one fails with 3343): see jet_source.h.
  std::unique_ptr<Database> openDatabase(const std::string& windowsPath);

  // DBEngine.Workspaces(0).OpenDatabase(path, , readOnly). A database
  // opened read-only is never written: not its bytes, not its journal mode,
  // no checkpoint, no file left beside it; its committed rows are read, those
  // in a write-ahead log too. Writes to it fail with 3027; statements may
  // still write the IN 'file' they name. It fails with 3045 while another
  // program is writing it; one that only reads it is no obstacle.
  std::unique_ptr<Database> openDatabaseInWorkspace(const std::string& windowsPath, bool readOnly);

  // Creates a new, empty database at `windowsPath` and opens it. Never
  // replaces a file (3204 when one is there); 3044 when its folder is missing.
  std::unique_ptr<Database> createDatabase(const std::string& windowsPath);

  // Declares the file `windowsPath` scratch: no one's data until the caller
  // makes it durable (fs::FileServices::flush). Every handle of this engine
  // that writes it, opened on it or naming it in IN 'file', keeps each
  // statement atomic (a statement that fails still leaves nothing of
  // itself, through the rollback journal) but never waits for the disk, so a
  // power cut may leave it torn. Every other file is flushed at each commit.
  // A handle opened on it before keeps flushing it.
  void treatAsScratch(const std::string& windowsPath);

  const fs::PathMap& paths() const { return paths_; }

 private:
  // A request to open `windowsPath` on this engine's drives.
  OpenRequest requestFor(const std::string& windowsPath) const;

  fs::PathMap paths_;
  std::shared_ptr<std::set<std::filesystem::path>> scratch_;
};

}  // namespace korvane::db
