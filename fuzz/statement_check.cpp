// The statement check: the engine's front end on one text, with the catalog
// of a scratch database that the process builds once and never writes.
#include "statement_check.h"

#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>
#include <variant>

#include "db/engine/script_builder.h"
#include "db/statements/binder.h"
#include "db/statements/catalog.h"
#include "db/statements/parser.h"
#include "db/statements/tokenizer.h"
#include "db/writers/sql_writer.h"
#include "fs/failure.h"
#include "sqlite/connection.h"
#include "sqlite/jet_errors.h"
#include "support/temp_prefix.h"

namespace korvane::fuzz {

namespace {

namespace stdfs = std::filesystem;

// A database with the program's tables, opened read-only: the binder only
// reads the catalog, so nothing a statement says can change it.
struct Scratch {
  explicit Scratch(const char* schemaScript) {
    db::buildDatabaseFromScriptFile(file, schemaScript);
    connection =
        std::make_unique<sqlite::Connection>(file, "catalog.mdb", sqlite::OpenMode::kReadOnly);
    catalog = std::make_unique<db::Catalog>(*connection, "main");
  }

  support::TempFolder folder;  // removed after the connection on its file is closed
  stdfs::path file = folder.path() / "catalog.mdb";
  std::unique_ptr<sqlite::Connection> connection;
  std::unique_ptr<db::Catalog> catalog;
};

void write(db::Statement& statement, db::Catalog& catalog) {
  std::visit(
      [&](auto& s) {
        using T = std::decay_t<decltype(s)>;
        if constexpr (std::is_same_v<T, db::InsertStmt>) {
          // An IN 'file' target is resolved against the same tables.
          (void)db::writeInsert(db::bindInsert(s, catalog, catalog));
        } else if constexpr (std::is_same_v<T, db::DeleteStmt>) {
          (void)db::writeDelete(db::bindDelete(s, catalog));
        } else if constexpr (std::is_same_v<T, db::UpdateStmt>) {
          (void)db::writeUpdate(db::bindUpdate(s, catalog));
        } else if constexpr (std::is_same_v<T, db::CreateTableStmt>) {
          (void)db::writeCreateTable(db::bindCreateTable(s, catalog));
        } else if constexpr (std::is_same_v<T, db::CreateIndexStmt>) {
          (void)db::writeCreateIndex(db::bindCreateIndex(s, catalog));
        } else if constexpr (std::is_same_v<T, db::DropTableStmt>) {
          (void)db::writeDropTable(db::bindDropTable(s.table, catalog, jeterr::kTableDoesNotExist));
        }
      },
      statement);
}

}  // namespace

Reached checkStatement(std::string_view text, const char* schemaScript) {
  static Scratch scratch(schemaScript);
  try {
    (void)db::tokenize(text);
  } catch (const Failure&) {
    return Reached::kTokenizer;
  }
  db::Statement statement;
  try {
    statement = db::parseStatement(text);
  } catch (const Failure&) {
    return Reached::kParser;
  }
  try {
    scratch.catalog->refresh();
    write(statement, *scratch.catalog);
  } catch (const Failure&) {
    return Reached::kResolver;
  }
  return Reached::kWritten;
}

}  // namespace korvane::fuzz
