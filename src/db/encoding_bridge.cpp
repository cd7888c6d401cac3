// Copies the tables a statement reads into a temporary database of the IN
// 'file' target's text encoding.
#include "db/encoding_bridge.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <fstream>

namespace korvane::db {

namespace {

// A prepared statement, finalized when it goes out of scope.
class Statement {
 public:
  Statement(Connection& connection, const std::string& sql) : connection_(connection) {
    const int rc = sqlite3_prepare_v2(connection.handle(), sql.c_str(), -1, &stmt_, nullptr);
    if (rc != SQLITE_OK) connection.raise(rc);
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  sqlite3_stmt* get() const { return stmt_; }
  // True while there is a row; raises the connection's failure on an error.
  bool step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) connection_.raise(rc);
    return false;
  }

 private:
  Connection& connection_;
  sqlite3_stmt* stmt_ = nullptr;
};

// Binds column `i` of `from`'s current row to parameter i + 1 of `to`, with
// its storage class; text as UTF-8, which SQLite stores in the bridge's
// encoding.
int bindColumn(sqlite3_stmt* from, int i, sqlite3_stmt* to) {
  switch (sqlite3_column_type(from, i)) {
    case SQLITE_INTEGER:
      return sqlite3_bind_int64(to, i + 1, sqlite3_column_int64(from, i));
    case SQLITE_FLOAT:
      return sqlite3_bind_double(to, i + 1, sqlite3_column_double(from, i));
    case SQLITE_TEXT: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(from, i));
      return sqlite3_bind_text(to, i + 1, text, sqlite3_column_bytes(from, i), SQLITE_TRANSIENT);
    }
    case SQLITE_BLOB:
      return sqlite3_bind_blob(to, i + 1, sqlite3_column_blob(from, i),
                               sqlite3_column_bytes(from, i), SQLITE_TRANSIENT);
    default:
      return sqlite3_bind_null(to, i + 1);
  }
}

}  // namespace

std::string textEncodingOfFile(const std::filesystem::path& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::array<unsigned char, 60> header{};
  if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) return "";
  // Bytes 56-59: 1 UTF-8, 2 UTF-16le, 3 UTF-16be, big-endian.
  if (header[56] != 0 || header[57] != 0 || header[58] != 0) return "";
  switch (header[59]) {
    case 1:
      return "UTF-8";
    case 2:
      return "UTF-16le";
    case 3:
      return "UTF-16be";
    default:
      return "";
  }
}

std::string textEncodingOf(Connection& connection, const std::string& schema) {
  std::string encoding;
  connection.query("PRAGMA " + quoteName(schema) + ".encoding", {},
                   [&](const Connection::ColumnText& col) { encoding = col(0); });
  return encoding;
}

EncodingBridge::EncodingBridge(Connection& source, const std::vector<std::string>& tables,
                               const std::string& encoding, const std::string& displayName) {
  // "": a private temporary database, removed when its connection closes.
  bridge_ = std::make_unique<Connection>(std::filesystem::path(), displayName, false, true);
  bridge_->exec("PRAGMA encoding = " + quoteText(encoding));
  bridge_->exec("BEGIN");
  std::vector<std::string> copied;
  for (const auto& table : tables) {
    if (std::find(copied.begin(), copied.end(), table) != copied.end()) continue;
    copyTable(source, table);
    copied.push_back(table);
  }
  bridge_->exec("COMMIT");
}

void EncodingBridge::copyTable(Connection& source, const std::string& table) {
  std::string columns, declared, parameters;
  int count = 0;
  source.query("SELECT name, type FROM pragma_table_xinfo(?1, 'main') WHERE hidden <> 1", {table},
               [&](const Connection::ColumnText& col) {
                 const std::string name = quoteName(col(0));
                 columns += (count ? ", " : "") + name;
                 // The declared type as the file wrote it, so that the copy
                 // has the same affinity and keeps each value as it is.
                 declared += (count ? ", " : "") + name + " " + col(1);
                 parameters += (count ? ", ?" : "?");
                 ++count;
               });
  bridge_->exec("CREATE TABLE main." + quoteName(table) + " (" + declared + ")");
  Statement read(source, "SELECT " + columns + " FROM main." + quoteName(table));
  Statement write(*bridge_,
                  "INSERT INTO main." + quoteName(table) + " VALUES (" + parameters + ")");
  while (read.step()) {
    for (int i = 0; i < count; ++i) {
      const int rc = bindColumn(read.get(), i, write.get());
      if (rc != SQLITE_OK) bridge_->raise(rc);
    }
    write.step();
    sqlite3_reset(write.get());
  }
}

}  // namespace korvane::db
