// The engine on a temporary Wine-style prefix with drive C:, the sample
// databases built into it through the engine, and plain SQLite reads to
// check what the engine wrote.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/engine/database_engine.h"
#include "fs/path_map.h"
#include "support/failure_of.h"
#include "support/sqlite_file.h"
#include "support/temp_prefix.h"
#include "workflow/program_statements.h"

namespace korvane::db::test {

using namespace workflow::statements;

inline const std::string kTemplate = "C:\\data_aco\\QX_Std.mdb";
inline const std::string kSystem = "C:\\data_aco\\QX_aco.mdb";
inline const std::string kWorking = "C:\\data_aco\\Backup\\QX_aco_261207_0843_update.mdb";

using support::Caught;
using support::failureOf;
using support::Rows;  // Null reads as "<null>"

class Lab {
 public:
  Lab();  // C:\data_aco\Backup exists; nothing else
  Lab(const Lab&) = delete;
  Lab& operator=(const Lab&) = delete;

  const fs::PathMap& paths() const { return paths_; }
  DatabaseEngine& engine() { return engine_; }
  std::filesystem::path host(const std::string& windowsPath) const;

  // Builds `windowsPath` from samples/<sampleScript> followed by `extra`.
  void buildSample(const std::string& windowsPath, const std::string& sampleScript,
                   std::string_view extra = {});
  void build(const std::string& windowsPath, std::string_view script);
  void copy(const std::string& from, const std::string& to);

  // Reads with SQLite itself, bypassing the engine.
  Rows rows(const std::string& windowsPath, const std::string& sql) const;
  std::string value(const std::string& windowsPath, const std::string& sql) const;

 private:
  support::TempPrefix prefix_;
  fs::PathMap paths_;
  DatabaseEngine engine_;
};

// The sample script `name` from the repository's samples/ folder.
std::string sampleScript(const std::string& name);

// `path` as a Jet string literal's content (each ' doubled).
std::string jetQuoted(const std::string& path);

// Update's transfer `t` with `literalBody` where the working copy's path
// goes: jetQuoted(path), as the program writes it.
std::string transfer(const workflow::statements::Transfer& t, const std::string& literalBody);
// All five, in Update's order.
std::vector<std::string> transfers(const std::string& literalBody);

}  // namespace korvane::db::test
