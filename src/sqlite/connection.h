// The one SQLite layer of the program: a connection, a prepared statement, a
// savepoint, all speaking Jet's error numbers.
//
// Every SQLite failure becomes a korvane::Failure by one mapping
// (raiseFailure): read-only 3027, disk full 3035, I/O 3043, busy or locked
// 3045, cannot open 3051, not a database or damaged 3343; any other (a fault
// of the SQL the program wrote) is Jet's "reserved error" 3000 with SQLite's
// message, so it is never mistaken for a skippable 3078.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace korvane::sqlite {

// Raises the Jet failure for SQLite result `rc` on `db` (which may be null
// when opening failed); `fileName` names the file where Jet's text names one.
[[noreturn]] void raiseFailure(sqlite3* db, int rc, std::string_view fileName);

// Runs the statements `sql` on `db`, without results.
void exec(sqlite3* db, const std::string& sql, std::string_view fileName);

enum class OpenMode {
  kReadWrite,  // an existing file
  kReadOnly,   // an existing file, never written
  kCreate,     // a new file, made when missing
};

class Connection {
 public:
  // Opens `hostPath` (an SQLite URI is taken too), reads its schema (which
  // tells a database from any other file) and sets full syncing. A file it
  // may write gets a rollback journal; one it only reads (kReadOnly, or a
  // "mode=ro" URI) is left in its journal mode and never checkpointed.
  // `displayName` names the file in failures.
  Connection(const std::filesystem::path& hostPath, std::string displayName, OpenMode mode);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Runs one or more statements without results.
  void exec(const std::string& sql);

  // Runs `sql` with text parameters ?1, ?2, ... and calls `row` for each row
  // with a function that reads column i as text ("" for Null).
  using ColumnText = std::function<std::string(int)>;
  void query(const std::string& sql, const std::vector<std::string>& params,
             const std::function<void(const ColumnText&)>& row);

  sqlite3* handle() const { return db_; }
  const std::string& displayName() const { return displayName_; }

  // raiseFailure for `rc` on this connection.
  [[noreturn]] void raise(int rc) const;

 private:
  sqlite3* db_ = nullptr;
  std::string displayName_;
};

// One prepared statement on `db`. Failures raise as raiseFailure does,
// naming `fileName`.
class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql, std::string fileName = {});
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void bindNull(int index);
  void bind(int index, std::int64_t value);
  void bind(int index, double value);
  void bindText(int index, std::string_view text);
  // An empty value binds an empty BLOB, not Null.
  void bindBlob(int index, std::span<const unsigned char> bytes);
  // Binds column `column` of `row`'s current row as it is: the same storage
  // class and value.
  void bindColumn(int index, const Statement& row, int column);

  // Runs the statement one step; true when it produced a row.
  bool step();
  // Makes it ready to run again, with the same bindings.
  void reset();
  // Column `i` of the current row as text; "" for Null.
  std::string columnText(int i) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  std::string fileName_;
};

// Nothing done on `db` after it is made stays unless release() is reached:
// destroyed before that (a failure on the way), it rolls everything back.
class Savepoint {
 public:
  Savepoint(sqlite3* db, std::string name, std::string fileName = {});
  ~Savepoint();
  Savepoint(const Savepoint&) = delete;
  Savepoint& operator=(const Savepoint&) = delete;

  void release();

 private:
  sqlite3* db_;
  std::string name_;
  std::string fileName_;
  bool released_ = false;
};

// Runs `body` inside a savepoint: released when it returns, rolled back
// (nothing of it stays) when it throws.
void inSavepoint(Connection& c, const std::function<void()>& body);

}  // namespace korvane::sqlite
