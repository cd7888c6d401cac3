// The SQLite layer: connection, statement, savepoint, and the one mapping of
// SQLite's result codes to Jet's numbers.
#include "sqlite/connection.h"

#include <sqlite3.h>

#include "fs/failure.h"
#include "sqlite/jet_errors.h"

namespace korvane::sqlite {

namespace {

// SQLite's internal bit for its Bloom filters (SQLITE_BloomFilter).
constexpr unsigned kBloomFilterOptimisation = 0x00080000;

int flagsOf(OpenMode mode) {
  switch (mode) {
    case OpenMode::kReadOnly:
      return SQLITE_OPEN_READONLY;
    case OpenMode::kCreate:
      return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    case OpenMode::kReadWrite:
      break;
  }
  return SQLITE_OPEN_READWRITE;
}

}  // namespace

void raiseFailure(sqlite3* db, int rc, std::string_view fileName) {
  switch (rc & 0xFF) {
    case SQLITE_READONLY:
      raiseJet(jeterr::kReadOnly);
    case SQLITE_FULL:
      raiseJet(jeterr::kDiskFull);
    case SQLITE_IOERR:
      raiseJet(jeterr::kDiskIo);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      raiseJet(jeterr::kFileInUse, fileName);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      raiseJet(jeterr::kNotADatabase, fileName);
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      raiseJet(jeterr::kCannotOpen, fileName);
    default:
      raiseJet(jeterr::kReservedError, std::to_string(rc),
               db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
  }
}

void exec(sqlite3* db, const std::string& sql, std::string_view fileName) {
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) raiseFailure(db, rc, fileName);
}

// ---- Connection -------------------------------------------------------------

Connection::Connection(const std::filesystem::path& hostPath, std::string displayName,
                       OpenMode mode)
    : displayName_(std::move(displayName)) {
  // URIs are allowed so that IN 'file' targets can be attached with
  // mode=rw (never created); host paths are absolute and never look like one.
  const int flags = flagsOf(mode) | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
  int rc = sqlite3_open_v2(hostPath.string().c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(db_);
    db_ = nullptr;
    raiseJet(jeterr::kCannotOpen, displayName_);
  }
  sqlite3_extended_result_codes(db_, 1);
  // SQLite 3.40's Bloom filters tell text apart by its length, so in a join
  // plan text that JETTEXT calls equal ('Glass Beads ', 'Glass Beads') never
  // meets. The switch only turns an optimisation off, so it cannot change a
  // result in any SQLite version.
  sqlite3_test_control(SQLITE_TESTCTRL_OPTIMIZATIONS, db_, kBloomFilterOptimisation);
  try {
    // A file opened read-only (also through a "mode=ro" URI) is never
    // checkpointed, not even by the last connection to close it.
    const bool mainReadOnly = mode == OpenMode::kReadOnly || sqlite3_db_readonly(db_, "main") == 1;
    if (mainReadOnly) sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    // Reading the schema is what tells a database from any other file.
    exec("SELECT count(*) FROM sqlite_master");
    if (!mainReadOnly) exec("PRAGMA journal_mode=DELETE");
    exec("PRAGMA synchronous=FULL");
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

Connection::~Connection() {
  if (db_) sqlite3_close_v2(db_);
}

void Connection::exec(const std::string& sql) {
  sqlite::exec(db_, sql, displayName_);
}

void Connection::query(const std::string& sql, const std::vector<std::string>& params,
                       const std::function<void(const ColumnText&)>& row) {
  Statement statement(db_, sql, displayName_);
  for (size_t i = 0; i < params.size(); ++i) statement.bindText(static_cast<int>(i + 1), params[i]);
  const ColumnText column = [&statement](int i) { return statement.columnText(i); };
  while (statement.step()) row(column);
}

void Connection::raise(int rc) const {
  raiseFailure(db_, rc, displayName_);
}

// ---- Statement --------------------------------------------------------------

Statement::Statement(sqlite3* db, const std::string& sql, std::string fileName)
    : db_(db), fileName_(std::move(fileName)) {
  const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr);
  if (rc != SQLITE_OK) raiseFailure(db_, rc, fileName_);
}

Statement::~Statement() {
  sqlite3_finalize(stmt_);
}

void Statement::bindNull(int index) {
  sqlite3_bind_null(stmt_, index);
}

void Statement::bind(int index, std::int64_t value) {
  sqlite3_bind_int64(stmt_, index, value);
}

void Statement::bind(int index, double value) {
  sqlite3_bind_double(stmt_, index, value);
}

void Statement::bindText(int index, std::string_view text) {
  sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void Statement::bindBlob(int index, std::span<const unsigned char> bytes) {
  // sqlite3_bind_blob would make an empty value Null.
  if (bytes.empty()) {
    sqlite3_bind_zeroblob(stmt_, index, 0);
  } else {
    sqlite3_bind_blob64(stmt_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
  }
}

void Statement::bindColumn(int index, const Statement& row, int column) {
  // sqlite3_bind_value copies the value, so `row` may step on.
  const int rc = sqlite3_bind_value(stmt_, index, sqlite3_column_value(row.stmt_, column));
  if (rc != SQLITE_OK) raiseFailure(db_, rc, fileName_);
}

bool Statement::step() {
  const int rc = sqlite3_step(stmt_);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) raiseFailure(db_, rc, fileName_);
  return rc == SQLITE_ROW;
}

void Statement::reset() {
  sqlite3_reset(stmt_);
}

std::string Statement::columnText(int i) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
  return text ? std::string(text, sqlite3_column_bytes(stmt_, i)) : std::string();
}

// ---- Savepoint --------------------------------------------------------------

Savepoint::Savepoint(sqlite3* db, std::string name, std::string fileName)
    : db_(db), name_(std::move(name)), fileName_(std::move(fileName)) {
  exec(db_, "SAVEPOINT " + name_, fileName_);
}

Savepoint::~Savepoint() {
  if (released_) return;
  // Undoes everything since the savepoint; the failure that brought us here
  // is what the caller hears of.
  sqlite3_exec(db_, ("ROLLBACK TO " + name_ + "; RELEASE " + name_).c_str(), nullptr, nullptr,
               nullptr);
}

void Savepoint::release() {
  exec(db_, "RELEASE " + name_, fileName_);
  released_ = true;
}

void inSavepoint(Connection& c, const std::function<void()>& body) {
  Savepoint savepoint(c.handle(), "korvane_statement", c.displayName());
  body();
  savepoint.release();
}

}  // namespace korvane::sqlite
