// The engine object and database handles: opening files as Jet opens them,
// and Execute as parse -> resolve -> write SQLite -> run in one savepoint.
#include "db/engine/database_engine.h"

#include <sqlite3.h>

#include <type_traits>

#include "db/opening/database_opener.h"
#include "db/opening/encoding_bridge.h"
#include "db/statements/binder.h"
#include "db/statements/catalog.h"
#include "db/statements/parser.h"
#include "db/statements/resolver.h"
#include "db/values/jet_collation.h"
#include "db/writers/sql_writer.h"
#include "fs/failure.h"
#include "fs/file_hold.h"
#include "jet_file/jet_file.h"
#include "sqlite/connection.h"
#include "sqlite/jet_errors.h"

namespace korvane::db {

namespace stdfs = std::filesystem;

namespace {

constexpr const char* kInSchema = "korvane_in";

stdfs::path hostPathOf(const fs::PathMap& paths, const std::string& windowsPath) {
  try {
    return paths.toHost(windowsPath);
  } catch (const Failure& f) {
    // A drive that is not mapped is, to Jet, a path that does not exist.
    if (f.number() == fserr::kPathNotFound) raiseJet(jeterr::kInvalidPath, windowsPath);
    throw;
  }
}

}  // namespace

struct Database::Impl {
  Impl(const OpenRequest& request, std::unique_ptr<OpenedFile> opened)
      : windowsPath(request.windowsPath),
        paths(request.paths),
        scratch(request.scratch),
        file(std::move(opened)),
        connection(&file->connection()),
        catalog(std::make_unique<Catalog>(*connection, "main")) {}

  std::string windowsPath;
  std::optional<fs::PathMap> paths;                      // where IN 'file' targets are found
  std::shared_ptr<const std::set<stdfs::path>> scratch;  // IN 'file' targets written as scratch
  std::unique_ptr<OpenedFile> file;  // how the handle opened its file; none once closed
  sqlite::Connection* connection;    // the file's; none once closed
  std::unique_ptr<Catalog> catalog;
};

namespace {

// The host file of an IN 'file' target, checked as an open would check it.
stdfs::path checkedTarget(const Database::Impl& d, const std::string& windowsPath) {
  if (!d.paths) raiseJet(jeterr::kInvalidPath, windowsPath);
  const stdfs::path host = hostPathOf(*d.paths, windowsPath);
  // A real Jet file is only ever read: refused before anything is attached.
  if (jetfile::looksLikeJetFile(host)) raiseJet(jeterr::kReadOnly, windowsPath);
  checkDatabaseFile(host, windowsPath);
  return host;
}

// The checked IN 'file' target `host` of one statement: held and attached to
// `on` while the statement runs, detached afterwards.
class AttachedTarget {
 public:
  AttachedTarget(Database::Impl& d, const stdfs::path& host, const std::string& windowsPath,
                 sqlite::Connection& on)
      : connection_(on) {
    hold_ = holdFile(host, windowsPath);
    connection_.query(std::string("ATTACH DATABASE ?1 AS ") + kInSchema, {uriOf(host, "rw")},
                      [](const sqlite::Connection::ColumnText&) {});
    attached_ = true;
    try {
      connection_.exec(std::string("PRAGMA ") + kInSchema + ".journal_mode=DELETE; " +
                       synchronousOf(kInSchema, isScratch(d.scratch, host)));
    } catch (...) {
      detach();  // a constructor that throws gets no destructor
      throw;
    }
  }
  ~AttachedTarget() { detach(); }
  AttachedTarget(const AttachedTarget&) = delete;
  AttachedTarget& operator=(const AttachedTarget&) = delete;

 private:
  // Outside any transaction (insertInFile sees to it) DETACH cannot fail;
  // were it to, the next ATTACH of the name would report it, so a destructor
  // need not throw.
  void detach() {
    if (attached_)
      sqlite3_exec(connection_.handle(), (std::string("DETACH DATABASE ") + kInSchema).c_str(),
                   nullptr, nullptr, nullptr);
    attached_ = false;
  }

  sqlite::Connection& connection_;
  std::unique_ptr<fs::FileHold> hold_;
  bool attached_ = false;
};

void run(sqlite::Connection& connection, const SqlSteps& steps) {
  sqlite::inSavepoint(connection, [&] {
    for (const auto& step : steps) connection.exec(step);
  });
}

// INSERT INTO ... IN 'file': the target is attached to the handle's
// connection or, when the two files' text encodings differ (SQLite attaches
// none such), to a bridge holding copies of the tables the statement reads.
void insertInFile(Database::Impl& d, InsertStmt& s) {
  // The target is attached for one statement only, and SQLite keeps a file
  // that an open transaction has written attached until the transaction ends.
  if (!sqlite3_get_autocommit(d.connection->handle())) raiseJet(jeterr::kNotInTransaction);
  const stdfs::path host = checkedTarget(d, *s.inFile);
  std::unique_ptr<EncodingBridge> bridge;
  const std::string encoding = textEncodingOfFile(host);
  if (!encoding.empty() && encoding != textEncodingOf(*d.connection, "main")) {
    std::vector<std::string> tables;
    if (s.select) {
      Resolver probe(*d.catalog);
      probe.bindSource(*s.select->from);
      for (const auto& entry : probe.scope()) tables.push_back(entry.table->name);
    }
    // "": a private temporary database, removed when its connection closes.
    bridge = std::make_unique<EncodingBridge>(
        openJetConnection(stdfs::path(), d.windowsPath, sqlite::OpenMode::kCreate), *d.connection,
        tables, encoding);
  }
  sqlite::Connection& on = bridge ? bridge->connection() : *d.connection;
  AttachedTarget target(d, host, *s.inFile, on);
  Catalog targetCatalog(on, kInSchema);
  if (!bridge) return run(on, writeInsert(bindInsert(s, *d.catalog, targetCatalog)));
  Catalog bridgeCatalog(on, "main");
  run(on, writeInsert(bindInsert(s, bridgeCatalog, targetCatalog)));
}

}  // namespace

std::unique_ptr<Database> openDatabaseFile(const OpenRequest& request) {
  return std::make_unique<Database>(std::make_unique<Database::Impl>(request, openFile(request)));
}

// ---- Database -----------------------------------------------------------

void Database::inTransaction(const std::function<void()>& body) {
  Impl& d = *impl_;
  if (!d.connection) raiseJet(jeterr::kObjectInvalid);
  sqlite::inSavepoint(*d.connection, body);
}

Database::Database(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Database::~Database() = default;

bool Database::isOpen() const {
  return impl_->connection != nullptr;
}
const std::string& Database::path() const {
  return impl_->windowsPath;
}

void Database::close() {
  if (!isOpen()) raiseJet(jeterr::kObjectInvalid);
  impl_->catalog.reset();
  impl_->connection = nullptr;
  impl_->file.reset();
}

namespace {

Database::Impl& openImpl(const std::unique_ptr<Database::Impl>& impl) {
  if (!impl->connection) raiseJet(jeterr::kObjectInvalid);
  return *impl;
}

}  // namespace

void Database::execute(std::string_view jetSql) {
  Impl& d = openImpl(impl_);
  Statement statement = parseStatement(jetSql);
  d.catalog->refresh();
  std::visit(
      [&](auto& s) {
        using T = std::decay_t<decltype(s)>;
        if constexpr (std::is_same_v<T, SelectStmt>) {
          raiseJet(jeterr::kCannotExecuteSelect);
        } else if constexpr (std::is_same_v<T, InsertStmt>) {
          if (s.inFile) {
            insertInFile(d, s);
          } else {
            run(*d.connection, writeInsert(bindInsert(s, *d.catalog, *d.catalog)));
          }
        } else if constexpr (std::is_same_v<T, DeleteStmt>) {
          run(*d.connection, writeDelete(bindDelete(s, *d.catalog)));
        } else if constexpr (std::is_same_v<T, UpdateStmt>) {
          run(*d.connection, writeUpdate(bindUpdate(s, *d.catalog)));
        } else if constexpr (std::is_same_v<T, CreateTableStmt>) {
          run(*d.connection, writeCreateTable(bindCreateTable(s, *d.catalog)));
        } else if constexpr (std::is_same_v<T, CreateIndexStmt>) {
          run(*d.connection, writeCreateIndex(bindCreateIndex(s, *d.catalog)));
        } else {
          run(*d.connection,
              writeDropTable(bindDropTable(s.table, *d.catalog, jeterr::kTableDoesNotExist)));
        }
      },
      statement);
  d.catalog->refresh();
}

void Database::deleteTableDef(std::string_view name) {
  Impl& d = openImpl(impl_);
  d.catalog->refresh();
  run(*d.connection,
      writeDropTable(bindDropTable(std::string(name), *d.catalog, jeterr::kItemNotFound)));
  d.catalog->refresh();
}

void Database::refreshTableDefs() {
  openImpl(impl_).catalog->refresh();
}

std::vector<std::string> Database::tableNames() {
  Impl& d = openImpl(impl_);
  d.catalog->refresh();
  return d.catalog->tableNames();
}

void Database::setFieldProperty(std::string_view table, std::string_view field,
                                std::string_view property, std::string_view value) {
  Impl& d = openImpl(impl_);
  d.catalog->refresh();
  const TableInfo* t = d.catalog->findTable(table);
  const ColumnInfo* c = t ? t->findColumn(field) : nullptr;
  if (!c) raiseJet(jeterr::kItemNotFound);
  sqlite::inSavepoint(*d.connection, [&] {
    d.catalog->setFieldProperty(t->name, c->name, std::string(property), std::string(value));
  });
}

std::optional<std::string> Database::fieldProperty(std::string_view table, std::string_view field,
                                                   std::string_view property) {
  Impl& d = openImpl(impl_);
  d.catalog->refresh();
  const TableInfo* t = d.catalog->findTable(table);
  const ColumnInfo* c = t ? t->findColumn(field) : nullptr;
  if (!c) raiseJet(jeterr::kItemNotFound);
  return d.catalog->fieldProperty(t->name, c->name, std::string(property));
}

// ---- DatabaseEngine -------------------------------------------------------

DatabaseEngine::DatabaseEngine(fs::PathMap paths)
    : paths_(std::move(paths)), scratch_(std::make_shared<std::set<stdfs::path>>()) {}
DatabaseEngine::~DatabaseEngine() = default;

std::unique_ptr<Database> DatabaseEngine::openDatabase(const std::string& windowsPath) {
  return openDatabaseInWorkspace(windowsPath, false);
}

std::unique_ptr<Database> DatabaseEngine::openDatabaseInWorkspace(const std::string& windowsPath,
                                                                  bool readOnly) {
  OpenRequest request = requestFor(windowsPath);
  request.readOnly = readOnly;
  return openDatabaseFile(request);
}

std::unique_ptr<Database> DatabaseEngine::createDatabase(const std::string& windowsPath) {
  OpenRequest request = requestFor(windowsPath);
  request.create = true;
  return openDatabaseFile(request);
}

void DatabaseEngine::treatAsScratch(const std::string& windowsPath) {
  scratch_->insert(hostPathOf(paths_, windowsPath).lexically_normal());
}

OpenRequest DatabaseEngine::requestFor(const std::string& windowsPath) const {
  OpenRequest request;
  request.windowsPath = windowsPath;
  request.hostPath = hostPathOf(paths_, windowsPath);
  request.paths = paths_;
  request.scratch = scratch_;
  return request;
}

}  // namespace korvane::db
