// Copies a Jet file's user tables into an SQLite database in our format.
//
// One table per user table, fields in the table's own order with our declared
// types (jet_types.h), names as Jet has them (spaces and any letters kept,
// quoted). Values: text UTF-8, Yes/No -1/0, dates Jet's double, Currency and
// Decimal as numbers, OLE as a BLOB. Keys, indexes, relationships, defaults,
// validation rules and field properties are not copied: the copy is only ever
// read. All of it
// happens inside one savepoint, so a failure leaves the target as it was.
#include <sqlite3.h>

#include <memory>

#include "db/connection.h"
#include "db/jet_errors.h"
#include "db/jet_file/jet_file.h"
#include "db/jet_file/jet_reader.h"
#include "db/jet_file/stderr_capture.h"
#include "fs/failure.h"

namespace korvane::db {

namespace {

using jetfile::Blob;
using jetfile::JetReader;
using jetfile::JetTable;
using jetfile::JetValue;

constexpr size_t kLibmdbNoteLimit = 300;

[[noreturn]] void raiseTargetFailure(sqlite3* db) {
  const int number = sqlite3_errcode(db) == SQLITE_FULL ? jeterr::kDiskFull : jeterr::kDiskIo;
  throw Failure(number, jetMessage(number) + " (" + sqlite3_errmsg(db) + ")");
}

void execute(sqlite3* db, const std::string& sql) {
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) raiseTargetFailure(db);
}

class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK)
      raiseTargetFailure(db);
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void bind(int index, const JetValue& value);
  void bindText(int index, const std::string& text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
  }
  // Runs the statement; true when it returned a row.
  bool step() {
    const int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) raiseTargetFailure(db_);
    return rc == SQLITE_ROW;
  }
  void reset() { sqlite3_reset(stmt_); }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

void Statement::bind(int index, const JetValue& value) {
  if (const auto* i = std::get_if<std::int64_t>(&value)) {
    sqlite3_bind_int64(stmt_, index, *i);
  } else if (const auto* d = std::get_if<double>(&value)) {
    sqlite3_bind_double(stmt_, index, *d);
  } else if (const auto* s = std::get_if<std::string>(&value)) {
    bindText(index, *s);
  } else if (const auto* b = std::get_if<Blob>(&value)) {
    // An empty OLE value is an empty BLOB, not Null (sqlite3_bind_blob would make it Null).
    if (b->bytes.empty()) {
      sqlite3_bind_zeroblob(stmt_, index, 0);
    } else {
      sqlite3_bind_blob64(stmt_, index, b->bytes.data(), b->bytes.size(), SQLITE_STATIC);
    }
  } else {
    sqlite3_bind_null(stmt_, index);
  }
}

// Nothing of the import stays unless commit() is reached.
class ImportSavepoint {
 public:
  explicit ImportSavepoint(sqlite3* db) : db_(db) { execute(db_, "SAVEPOINT jet_import"); }
  ~ImportSavepoint() {
    if (!committed_) sqlite3_exec(db_, "ROLLBACK TO jet_import; RELEASE jet_import", 0, 0, 0);
  }
  ImportSavepoint(const ImportSavepoint&) = delete;
  ImportSavepoint& operator=(const ImportSavepoint&) = delete;
  void commit() {
    execute(db_, "RELEASE jet_import");
    committed_ = true;
  }

 private:
  sqlite3* db_;
  bool committed_ = false;
};

void requireNewTable(sqlite3* db, const std::string& name) {
  Statement exists(db,
                   "SELECT 1 FROM main.sqlite_master WHERE type IN ('table', 'view') "
                   "AND name = ?1 COLLATE NOCASE");
  exists.bindText(1, name);
  if (exists.step()) raiseJet(jeterr::kTableExists, name);
}

void createTable(sqlite3* db, const JetTable& table) {
  requireNewTable(db, table.name);
  std::string body;
  for (const auto& c : table.columns)
    body += (body.empty() ? "" : ", ") + quoteName(c.name) + " " +
            declaredTypeOf(c.type, c.size, c.scale);
  execute(db, "CREATE TABLE main." + quoteName(table.name) + " (" + body + ")");
}

void copyRows(JetReader& reader, size_t index, sqlite3* db) {
  const JetTable& table = reader.tables()[index];
  std::string placeholders;
  for (size_t i = 1; i <= table.columns.size(); ++i)
    placeholders += (i > 1 ? ", ?" : "?") + std::to_string(i);
  Statement insert(db,
                   "INSERT INTO main." + quoteName(table.name) + " VALUES (" + placeholders + ")");
  reader.readRows(index, [&](const std::vector<JetValue>& values) {
    for (size_t i = 0; i < values.size(); ++i) insert.bind(static_cast<int>(i + 1), values[i]);
    insert.step();
    insert.reset();
  });
}

// The first lines libmdb printed, to end a failure's text with.
std::string libmdbNote(const std::string& captured) {
  size_t begin = captured.find_first_not_of(" \n\r\t");
  if (begin == std::string::npos) return {};
  std::string note = captured.substr(begin, kLibmdbNoteLimit);
  while (!note.empty() && (note.back() == '\n' || note.back() == ' ')) note.pop_back();
  for (char& c : note)
    if (c == '\n') c = ';';
  return " libmdb: " + note;
}

void requireReadableJetFile(const std::filesystem::path& jetFile, const std::string& name) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(jetFile, error))
    raiseJet(std::filesystem::exists(jetFile, error) ? jeterr::kCannotOpen : jeterr::kFileNotFound,
             name);
  const JetFileFormat format = jetFileFormatOf(jetFile);
  if (format == JetFileFormat::kAce)
    jetfile::raiseDamaged(name, "Access 2007 and later files are not supported");
  if (format == JetFileFormat::kNotJet) jetfile::raiseDamaged(name, "no Jet header");
}

void importAll(JetReader& reader, sqlite3* target) {
  ImportSavepoint savepoint(target);
  for (size_t i = 0; i < reader.tables().size(); ++i) {
    createTable(target, reader.tables()[i]);
    copyRows(reader, i, target);
  }
  savepoint.commit();
}

struct SqliteCloser {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};

void removeDatabaseFiles(const std::filesystem::path& file) {
  std::error_code ignored;  // best effort: the file may never have been made
  std::filesystem::remove(file, ignored);
  std::filesystem::remove(file.string() + "-journal", ignored);
}

}  // namespace

void importJetFile(const std::filesystem::path& jetFile, sqlite3* target,
                   const std::string& displayName) {
  const std::string name = displayName.empty() ? jetFile.string() : displayName;
  requireReadableJetFile(jetFile, name);
  jetfile::StderrCapture capture;
  try {
    JetReader reader(jetFile, name);
    importAll(reader, target);
  } catch (const Failure& failure) {
    throw Failure(failure.number(), failure.text() + libmdbNote(capture.text()));
  }
}

void importJetFileToNewDatabase(const std::filesystem::path& jetFile,
                                const std::filesystem::path& targetFile,
                                const std::string& displayName) {
  std::error_code error;
  if (std::filesystem::exists(targetFile, error))
    raiseJet(jeterr::kDatabaseExists, targetFile.string());
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(targetFile.c_str(), &raw,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  std::unique_ptr<sqlite3, SqliteCloser> db(raw);
  try {
    if (rc != SQLITE_OK) raiseTargetFailure(raw);
    importJetFile(jetFile, db.get(), displayName);
  } catch (const Failure&) {
    db.reset();
    removeDatabaseFiles(targetFile);
    throw;
  }
}

}  // namespace korvane::db
