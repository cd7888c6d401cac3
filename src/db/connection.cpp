// One SQLite connection with Jet's settings and Jet's error numbers.
#include "db/connection.h"

#include <sqlite3.h>

#include "db/jet_collation.h"
#include "db/jet_errors.h"
#include "fs/failure.h"

namespace korvane::db {

namespace {
// SQLite's internal bit for its Bloom filters (SQLITE_BloomFilter).
constexpr unsigned kBloomFilterOptimisation = 0x00080000;
}  // namespace

Connection::Connection(const std::filesystem::path& hostPath, std::string displayName,
                       bool readOnly, bool create)
    : displayName_(std::move(displayName)) {
  int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  if (create) flags |= SQLITE_OPEN_CREATE;
  // URIs are allowed so that IN 'file' targets can be attached with
  // mode=rw (never created); host paths are absolute and never look like one.
  flags |= SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
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
    if (registerJetFunctions(db_) != SQLITE_OK) raise(sqlite3_errcode(db_));
    // Reading the schema is what tells a database from any other file.
    exec("SELECT count(*) FROM sqlite_master");
    if (!readOnly) exec("PRAGMA journal_mode=DELETE");
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
  int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) raise(rc);
}

void Connection::query(const std::string& sql, const std::vector<std::string>& params,
                       const std::function<void(const ColumnText&)>& row) {
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr);
  if (rc != SQLITE_OK) raise(rc);
  for (size_t i = 0; i < params.size(); ++i)
    sqlite3_bind_text(stmt, static_cast<int>(i + 1), params[i].c_str(),
                      static_cast<int>(params[i].size()), SQLITE_TRANSIENT);
  ColumnText column = [stmt](int i) {
    auto text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
    return text ? std::string(text, sqlite3_column_bytes(stmt, i)) : std::string();
  };
  try {
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) row(column);
  } catch (...) {
    sqlite3_finalize(stmt);
    throw;
  }
  sqlite3_finalize(stmt);
  if (rc != SQLITE_DONE) raise(rc);
}

void Connection::raise(int rc) const {
  switch (rc & 0xFF) {
    case SQLITE_READONLY:
      raiseJet(jeterr::kReadOnly);
    case SQLITE_FULL:
      raiseJet(jeterr::kDiskFull);
    case SQLITE_IOERR:
      raiseJet(jeterr::kDiskIo);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      raiseJet(jeterr::kFileInUse, displayName_);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      raiseJet(jeterr::kNotADatabase, displayName_);
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      raiseJet(jeterr::kCannotOpen, displayName_);
    default:
      throw Failure(3000, "Reserved error (" + std::to_string(rc) +
                              "); there is no message for this error. " + sqlite3_errmsg(db_));
  }
}

void inSavepoint(Connection& c, const std::function<void()>& body) {
  c.exec("SAVEPOINT korvane_statement");
  try {
    body();
    c.exec("RELEASE korvane_statement");
  } catch (...) {
    // Undo everything of the statement, then pass the failure on unchanged.
    sqlite3_exec(c.handle(), "ROLLBACK TO korvane_statement; RELEASE korvane_statement", nullptr,
                 nullptr, nullptr);
    throw;
  }
}

std::string quoteName(std::string_view name) {
  std::string out = "\"";
  for (char ch : name) {
    if (ch == '"') out += '"';
    out += ch;
  }
  return out + "\"";
}

std::string quoteText(std::string_view text) {
  std::string out = "'";
  for (char ch : text) {
    if (ch == '\'') out += '\'';
    out += ch;
  }
  return out + "'";
}

}  // namespace korvane::db
