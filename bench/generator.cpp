// Generates the benchmark's old system database and template: schemas through
// the engine's script builder, rows through raw SQLite prepared inserts.
#include "generator.h"

#include <sqlite3.h>

#include <memory>

#include "db/engine/script_builder.h"
#include "keyless_tables.h"
#include "old_system_rows.h"
#include "table_filler.h"

namespace korvane::bench {

namespace stdfs = std::filesystem;

namespace {

// A file opened for writing, closed however the generation ends.
struct CloseFile {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using File = std::unique_ptr<sqlite3, CloseFile>;

}  // namespace

GeneratedCounts generateDatabases(const stdfs::path& folder, const GeneratorOptions& options) {
  stdfs::create_directories(folder);
  const stdfs::path oldSystem = folder / "QX_aco.mdb";
  const stdfs::path templateFile = folder / "QX_Std.mdb";
  stdfs::remove(oldSystem);
  stdfs::remove(templateFile);
  db::buildDatabaseFromScriptFile(templateFile, options.templateScript);
  db::buildDatabaseFromScriptFile(oldSystem, options.oldSystemScript);

  if (!options.indexes) dropKeysAndIndexes(File(openFile(templateFile)).get());

  const File db(openFile(oldSystem));
  GeneratedCounts counts;
  if (!options.indexes) dropKeysAndIndexes(db.get());
  exec(db.get(), "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-65536");
  exec(db.get(), "BEGIN");
  fillOldSystem(db.get(), options, counts);
  exec(db.get(), "COMMIT");
  return counts;
}

stdfs::path defaultOldSystemScript() {
  return stdfs::path(KORVANE_SAMPLES_DIR) / "old_system.sql";
}

stdfs::path defaultTemplateScript() {
  return stdfs::path(KORVANE_SAMPLES_DIR) / "template.sql";
}

}  // namespace korvane::bench
