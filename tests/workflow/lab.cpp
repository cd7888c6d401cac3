// The workflow test bench: a temporary prefix, real files, a fixed clock.
#include "lab.h"

#include "db/engine/database_engine.h"
#include "db/engine/script_builder.h"
#include "support/files.h"
#include "support/scripted_dialog.h"
#include "support/sqlite_file.h"
#include "workflow/database_selection.h"
#include "workflow/naming.h"
#include "workflow/start_up.h"

namespace korvane::workflow::testing {

namespace stdfs = std::filesystem;

fs::LocalTime fixedTime() {
  return fs::LocalTime{2026, 12, 7, 8, 43, 15};
}

Lab::Lab() : prefix_("cd"), paths_(prefix_.root()), files_(paths_), clock_(fixedTime()) {
  stdfs::create_directories(prefix_.driveC() / "data_aco" / "Backup");
  restart();
}

void Lab::restart() {
  frame_.reset();
  heard_.clear();
  frame_ = std::make_unique<CommandFrame>(Services{files_, clock_, paths_});
  frame_->setListener(Listener{
      [this] { heard_.push_back(frame_->state().pointer == Pointer::kBusy ? "busy" : "default"); },
      [this] { heard_.push_back("close"); }});
}

Lab::~Lab() {
  frame_.reset();  // its handles go before the files they hold
}

stdfs::path Lab::host(const std::string& windowsPath) const {
  return paths_.toHost(windowsPath);
}

bool Lab::exists(const std::string& windowsPath) const {
  return stdfs::exists(host(windowsPath));
}

std::string Lab::bytes(const std::string& windowsPath) const {
  return support::readFile(host(windowsPath));
}

void Lab::makeFolder(const std::string& windowsPath) const {
  stdfs::create_directories(host(windowsPath));
}

void Lab::buildDatabase(const std::string& windowsPath, const std::string& fixture) const {
  const stdfs::path target = host(windowsPath);
  stdfs::remove(target);
  db::buildDatabaseFromScriptFile(target, stdfs::path(KORVANE_WORKFLOW_FIXTURES) / fixture);
}

void Lab::installSystemFiles() const {
  buildDatabase(kSystemDatabase, "old_system.sql");
  buildDatabase(kTemplateDatabase, "template.sql");
}

void Lab::alter(const std::string& windowsPath, const std::vector<std::string>& statements) const {
  db::DatabaseEngine engine(paths_);
  std::unique_ptr<db::Database> database = engine.openDatabase(windowsPath);
  for (const std::string& statement : statements) database->execute(statement);
  database->close();
}

std::vector<std::string> Lab::column(const std::string& windowsPath,
                                     const std::string& query) const {
  return support::readColumn(host(windowsPath), query);
}

bool Lab::hasTable(const std::string& windowsPath, const std::string& table) const {
  return !column(windowsPath, "SELECT name FROM sqlite_master WHERE type = 'table' AND name = '" +
                                  table + "' COLLATE NOCASE")
              .empty();
}

void chooseSystemDatabase(UpdateContext& context) {
  startUp(context);
}

void chooseExternal(UpdateContext& context, const std::string& windowsPath) {
  startUp(context);
  support::ScriptedDialog dialog({windowsPath});
  selectDatabase(kExternalOption, context, dialog, {});
}

void chooseNothing(UpdateContext& context) {
  startUp(context);
  support::ScriptedDialog cancelled;
  selectDatabase(kExternalOption, context, cancelled, {});
}

Column samples(const Lab& lab, const std::string& file) {
  return lab.column(file, "SELECT [Sample Name] FROM Samples ORDER BY [Sample Date]");
}

}  // namespace korvane::workflow::testing
