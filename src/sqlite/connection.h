// A thin owner of one SQLite connection, speaking Jet's error numbers.
//
// Every SQLite failure is turned into a korvane::Failure: read-only 3027,
// disk full 3035, I/O 3043, busy or locked 3045, not a database 3343; any
// other (a fault of the engine's own SQL) is Jet's "reserved error" with
// SQLite's message, so it is never mistaken for a skippable 3078.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace korvane::db {

class Connection {
 public:
  // Opens the existing file `hostPath` (never creates it unless `create`),
  // sets a rollback journal with full syncing and registers Jet's collation
  // and functions. `displayName` names the file in Jet's messages.
  Connection(const std::filesystem::path& hostPath, std::string displayName, bool readOnly,
             bool create);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Runs one or more statements without results.
  void exec(const std::string& sql);

  // Runs `sql` with text parameters ?1, ?2, ... and calls `row` for each row
  // with a function that reads column i as text ("" for Null) and a flag
  // function telling whether column i is Null.
  using ColumnText = std::function<std::string(int)>;
  void query(const std::string& sql, const std::vector<std::string>& params,
             const std::function<void(const ColumnText&)>& row);

  sqlite3* handle() const { return db_; }

  // Raises the Jet failure for SQLite result `rc` on this connection.
  [[noreturn]] void raise(int rc) const;

 private:
  sqlite3* db_ = nullptr;
  std::string displayName_;
};

// Runs a body inside a SAVEPOINT: released when the body returns, rolled back
// (nothing of it stays) when it throws.
void inSavepoint(Connection& c, const std::function<void()>& body);

// `name` quoted as an SQLite identifier: "a ""b""".
std::string quoteName(std::string_view name);
// `text` quoted as an SQLite string literal: 'it''s'.
std::string quoteText(std::string_view text);

}  // namespace korvane::db
