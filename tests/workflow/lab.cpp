// The workflow test bench: a temporary prefix, real files, a fixed clock.
#include "lab.h"

#include "db/database_engine.h"
#include "db/script_builder.h"
#include "support/files.h"
#include "support/sqlite_file.h"
#include "workflow/naming.h"

namespace korvane::workflow::testing {

namespace stdfs = std::filesystem;

namespace {

// The window fills in the real instructions (its own tests check them); here
// any text serves, as long as the actions' texts can be told from it.
const char* kStartUpInstructions = "start-up instructions";

void startUp(UpdateContext& context) {
  DialogState& state = context.state;
  context.dataFolder = kDataFolder;
  state.caption = "Korvane Utility ";
  state.command(kExitWithoutUpdate).visible = true;
  state.instructions = kStartUpInstructions;
  for (int index : {kUpdate, kDeleteOrphans, kSetNull}) state.command(index).visible = false;
}

void offerUpdate(DialogState& state) {
  state.command(kUpdate).visible = true;
  state.command(kDeleteOrphans).visible = false;
  state.command(kSetNull).visible = false;
  state.options[kSystemOption].enabled = true;
  state.options[kExternalOption].enabled = true;
}

}  // namespace

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

void Lab::chooseSystemDatabase() {
  UpdateContext& context = frame_->context();
  startUp(context);
  context.selectedPath = kSystemDatabase;
  context.state.caption = std::string("Update system database, ") + kSystemDatabase;
  offerUpdate(context.state);
  context.state.options[kSystemOption].selected = true;
  context.state.options[kExternalOption].selected = false;
}

void Lab::chooseExternal(const std::string& windowsPath) {
  UpdateContext& context = frame_->context();
  startUp(context);
  context.state.caption = "Update external database, " + windowsPath;
  context.selectedPath = windowsPath;
  offerUpdate(context.state);
  context.state.options[kSystemOption].selected = false;
  context.state.options[kExternalOption].selected = true;
}

void Lab::chooseNothing() {
  chooseSystemDatabase();
  DialogState& state = frame_->context().state;
  state.caption = "Update external database, ";
  state.command(kDeleteOrphans).visible = false;
  state.options[kSystemOption].selected = false;
  state.options[kExternalOption].selected = false;
  state.command(kUpdate).visible = false;
  state.command(kSetNull).visible = false;
  state.options[kSystemOption].enabled = true;
  state.options[kExternalOption].enabled = true;
}

Column samples(const Lab& lab, const std::string& file) {
  return lab.column(file, "SELECT [Sample Name] FROM Samples ORDER BY [Sample Date]");
}

}  // namespace korvane::workflow::testing
