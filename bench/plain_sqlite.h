// A plain SQLite connection for the hand-written side and for reading what
// a working copy holds: SQLite's own defaults, nothing of Korvane's engine.
#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

namespace korvane::bench {

// A connection with SQLite's defaults: rollback journal (DELETE),
// synchronous FULL, the default page cache; with `synchronousOff`,
// synchronous=OFF, the disk's limit: nothing waits for the disk. Any SQLite
// error fails the benchmark.
class Sqlite {
 public:
  explicit Sqlite(const std::filesystem::path& file, bool readOnly = false,
                  bool synchronousOff = false);
  ~Sqlite();
  Sqlite(const Sqlite&) = delete;
  Sqlite& operator=(const Sqlite&) = delete;

  void exec(const std::string& sql);

  // The rows of `sql`, columns joined by ',' and rows by ';'.
  std::string text(const std::string& sql);

  // The column names of `table`, in their order.
  std::vector<std::string> columns(const std::string& table);

 private:
  sqlite3* db_ = nullptr;
};

// `names` quoted and joined by ", ".
std::string list(const std::vector<std::string>& names);

}  // namespace korvane::bench
