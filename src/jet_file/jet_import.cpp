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

#include "fs/failure.h"
#include "jet_file/jet_file.h"
#include "jet_file/jet_reader.h"
#include "jet_file/stderr_capture.h"
#include "sqlite/connection.h"
#include "sqlite/jet_errors.h"
#include "sqlite/sql_text.h"

namespace korvane::jetfile {

namespace {

constexpr size_t kLibmdbNoteLimit = 300;

// The name of `target`'s file, which its failures name ("" in memory).
std::string fileNameOf(sqlite3* target) {
  const char* name = sqlite3_db_filename(target, "main");
  return name ? name : "";
}

void bind(sqlite::Statement& statement, int index, const JetValue& value) {
  if (const auto* i = std::get_if<std::int64_t>(&value)) {
    statement.bind(index, *i);
  } else if (const auto* d = std::get_if<double>(&value)) {
    statement.bind(index, *d);
  } else if (const auto* s = std::get_if<std::string>(&value)) {
    statement.bindText(index, *s);
  } else if (const auto* b = std::get_if<Blob>(&value)) {
    statement.bindBlob(index, b->bytes);
  } else {
    statement.bindNull(index);
  }
}

void requireNewTable(sqlite3* db, const std::string& name) {
  sqlite::Statement exists(db,
                           "SELECT 1 FROM main.sqlite_master WHERE type IN ('table', 'view') "
                           "AND name = ?1 COLLATE NOCASE",
                           fileNameOf(db));
  exists.bindText(1, name);
  if (exists.step()) raiseJet(jeterr::kTableExists, name);
}

void createTable(sqlite3* db, const JetTable& table) {
  requireNewTable(db, table.name);
  std::string body;
  for (const auto& c : table.columns)
    sqlite::appendToList(body,
                         sqlite::quoteName(c.name) + " " + declaredTypeOf(c.type, c.size, c.scale));
  sqlite::exec(db, "CREATE TABLE " + sqlite::qualifiedName("main", table.name) + " (" + body + ")",
               fileNameOf(db));
}

void copyRows(JetReader& reader, size_t index, sqlite3* db) {
  const JetTable& table = reader.tables()[index];
  std::string placeholders;
  for (size_t i = 1; i <= table.columns.size(); ++i)
    sqlite::appendToList(placeholders, "?" + std::to_string(i));
  sqlite::Statement insert(
      db,
      "INSERT INTO " + sqlite::qualifiedName("main", table.name) + " VALUES (" + placeholders + ")",
      fileNameOf(db));
  reader.readRows(index, [&](const std::vector<JetValue>& values) {
    for (size_t i = 0; i < values.size(); ++i) bind(insert, static_cast<int>(i + 1), values[i]);
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
    raiseDamaged(name, "Access 2007 and later files are not supported");
  if (format == JetFileFormat::kNotJet) raiseDamaged(name, "no Jet header");
}

void importAll(JetReader& reader, sqlite3* target) {
  sqlite::Savepoint savepoint(target, "jet_import", fileNameOf(target));
  for (size_t i = 0; i < reader.tables().size(); ++i) {
    createTable(target, reader.tables()[i]);
    copyRows(reader, i, target);
  }
  savepoint.release();
}

}  // namespace

void importJetFile(const std::filesystem::path& jetFile, sqlite3* target,
                   const std::string& displayName) {
  const std::string name = displayName.empty() ? jetFile.string() : displayName;
  requireReadableJetFile(jetFile, name);
  StderrCapture capture;
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
  try {
    sqlite::Connection target(targetFile, targetFile.string(), sqlite::OpenMode::kCreate);
    importJetFile(jetFile, target.handle(), displayName);
  } catch (const Failure&) {
    removeDatabaseFiles(targetFile);
    throw;
  }
}

void removeDatabaseFiles(const std::filesystem::path& file) {
  std::error_code ignored;  // best effort: the file may never have been made
  std::filesystem::remove(file, ignored);
  std::filesystem::remove(file.string() + "-journal", ignored);
}

}  // namespace korvane::jetfile
