// Generates the benchmark's old system database and template: schemas through
// the engine's script builder, rows through raw SQLite prepared inserts.
#include "generator.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "db/script_builder.h"
#include "sqlite/sql_text.h"

namespace korvane::bench {

namespace stdfs = std::filesystem;

namespace {

// 2017-01-01 as a Jet date (days since 1899-12-30); the sample scripts' own
// rows are all older, so generated keys never meet theirs.
constexpr double kFirstDay = 42736.0;
// Old IDs of the generated experiments start here, above the script's.
constexpr std::int64_t kFirstExperimentId = 100;

// xorshift64*: small, fast, and the same sequence for the same seed.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
  std::uint64_t next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
  }
  // Uniform in [0, 1).
  double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
  std::int64_t below(std::int64_t n) { return static_cast<std::int64_t>(next() % n); }
  // A reading: 0.01 to 1000.00 in steps of 0.01, never zero.
  double reading() { return static_cast<double>(below(100000) + 1) / 100.0; }

 private:
  std::uint64_t state_;
};

double jetDate(std::int64_t minutes) {
  return kFirstDay + static_cast<double>(minutes) / 1440.0;
}

void check(sqlite3* db, int rc, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

void exec(sqlite3* db, const std::string& sql) {
  check(db, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), sql.c_str());
}

// One prepared INSERT over every column of a table as the file has it. The
// row function binds values by column name; columns it leaves alone are Null.
class TableFiller {
 public:
  TableFiller(sqlite3* db, const std::string& table) : db_(db) {
    sqlite3_stmt* info = nullptr;
    check(db, sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info(?1)", -1, &info, nullptr),
          "table_info");
    sqlite3_bind_text(info, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(info) == SQLITE_ROW)
      columns_.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(info, 0)));
    sqlite3_finalize(info);
    if (columns_.empty()) throw std::runtime_error("no table " + table + " in the built schema");
    std::string names, marks;
    for (size_t i = 0; i < columns_.size(); ++i) {
      names += (i ? ", " : "") + sqlite::quoteName(columns_[i]);
      marks += i ? ", ?" : "?";
    }
    const std::string sql =
        "INSERT INTO " + sqlite::quoteName(table) + " (" + names + ") VALUES (" + marks + ")";
    check(db, sqlite3_prepare_v2(db, sql.c_str(), -1, &insert_, nullptr), sql.c_str());
  }
  ~TableFiller() { sqlite3_finalize(insert_); }
  TableFiller(const TableFiller&) = delete;
  TableFiller& operator=(const TableFiller&) = delete;

  const std::vector<std::string>& columns() const { return columns_; }
  int index(const std::string& name) const {
    for (size_t i = 0; i < columns_.size(); ++i)
      if (sqlite3_stricmp(columns_[i].c_str(), name.c_str()) == 0) return static_cast<int>(i);
    return -1;
  }

  void text(int column, const std::string& value) {
    if (column >= 0)
      sqlite3_bind_text(insert_, column + 1, value.c_str(), static_cast<int>(value.size()),
                        SQLITE_TRANSIENT);
  }
  void real(int column, double value) {
    if (column >= 0) sqlite3_bind_double(insert_, column + 1, value);
  }
  void integer(int column, std::int64_t value) {
    if (column >= 0) sqlite3_bind_int64(insert_, column + 1, value);
  }
  void null(int column) {
    if (column >= 0) sqlite3_bind_null(insert_, column + 1);
  }

  // Writes the bound row and clears the bindings for the next.
  void row() {
    check(db_, sqlite3_step(insert_), "insert");
    sqlite3_reset(insert_);
    sqlite3_clear_bindings(insert_);
    ++rows_;
  }
  std::int64_t rows() const { return rows_; }

 private:
  sqlite3* db_;
  sqlite3_stmt* insert_ = nullptr;
  std::vector<std::string> columns_;
  std::int64_t rows_ = 0;
};

struct Experiment {
  std::int64_t minute = 0;  // its date, in minutes after kFirstDay; -1: no date
  std::int64_t sample = 0;  // its sample's minute
  int measurements = 0;
  int system = 0;
};

// The reading groups of Measurements: a group's trigger is its first column.
const std::vector<std::string> kGroupC = {"C1",  "zp",  "E1", "K18", "K7", "K2",
                                          "K14", "K15", "K4", "K16", "K21"};
const std::vector<std::string> kGroupK = {"K1", "K5", "K6", "K11", "K12", "K8", "K9", "K10"};

enum class GroupState { kMeasured, kZero, kNull };

GroupState pickState(Random& random, double zeroShare, double nullShare) {
  const double u = random.unit();
  if (u < zeroShare) return GroupState::kZero;
  if (u < zeroShare + nullShare) return GroupState::kNull;
  return GroupState::kMeasured;
}

void fillOldSystem(sqlite3* db, const GeneratorOptions& options, GeneratedCounts& counts) {
  Random random(options.seed);
  const std::int64_t wanted = std::max<std::int64_t>(options.measurements, 1);
  const std::int64_t experimentCount = std::max<std::int64_t>(wanted / 3, 1);
  const std::int64_t duplicates = experimentCount * 3 / 1000;
  const std::int64_t undated = experimentCount * 2 / 1000;
  const std::int64_t dated = experimentCount - duplicates - undated;

  // Samples an hour apart; 2 % have no experiment, the others three each.
  std::vector<std::int64_t> sampleMinutes;
  std::vector<Experiment> experiments;
  experiments.reserve(static_cast<size_t>(experimentCount));
  for (std::int64_t slot = 0; static_cast<std::int64_t>(experiments.size()) < dated; ++slot) {
    const std::int64_t minute = slot * 60;
    sampleMinutes.push_back(minute);
    if (random.unit() < 0.02) continue;
    for (int k = 0; k < 3 && static_cast<std::int64_t>(experiments.size()) < dated; ++k) {
      Experiment e;
      e.minute = minute + 5 + 15 * k;
      e.sample = minute;
      e.system = static_cast<int>(random.below(8));
      experiments.push_back(e);
    }
  }
  // 4 % of the dated experiments were never measured; the measurements are
  // spread evenly over the others.
  std::vector<size_t> measured;
  for (size_t i = 0; i < experiments.size(); ++i)
    if (random.unit() >= 0.04) measured.push_back(i);
  if (measured.empty()) measured.push_back(0);
  const std::int64_t each = wanted / static_cast<std::int64_t>(measured.size());
  std::int64_t extra = wanted % static_cast<std::int64_t>(measured.size());
  for (size_t i : measured) experiments[i].measurements = static_cast<int>(each + (extra-- > 0));

  // Samples.
  {
    TableFiller samples(db, "Samples");
    const int date = samples.index("Sample Date"), name = samples.index("Sample Name"),
              code = samples.index("Sample Code"), material = samples.index("Material"),
              weight = samples.index("Sample Weight"), notes = samples.index("Notes");
    std::int64_t n = 0;
    for (std::int64_t minute : sampleMinutes) {
      ++n;
      samples.real(date, jetDate(minute));
      samples.text(name, "Sample " + std::to_string(n));
      if (random.unit() < 0.9) samples.text(code, "S-" + std::to_string(100000 + n));
      samples.text(material, "Material " + std::to_string(1 + random.below(290)));
      if (random.unit() < 0.95) samples.real(weight, random.reading() / 10.0);
      if (random.unit() < 0.3)
        samples.text(notes, "Taken by the lab's routine round, batch " + std::to_string(n / 50));
      samples.row();
    }
    counts.samples = samples.rows();
  }

  // Experiments: IDs in the order they were entered, which is date order
  // with some disorder; duplicates right after their original; a few rows
  // without a date.
  {
    std::vector<size_t> order(experiments.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    for (size_t i = 0; i + 1 < order.size(); ++i)
      if (random.unit() < 0.1)
        std::swap(order[i], order[std::min(order.size() - 1, i + 1 + random.below(4))]);
    TableFiller table(db, "Experiments");
    const int id = table.index("ID"), system = table.index("System ID"),
              date = table.index("Experiment Date"), sample = table.index("Sample Date"),
              op = table.index("Operator");
    std::int64_t nextId = kFirstExperimentId;
    std::int64_t duplicatesLeft = duplicates, undatedLeft = undated;
    const double duplicateShare = static_cast<double>(duplicates) / experiments.size();
    const double undatedShare = static_cast<double>(undated) / experiments.size();
    auto write = [&](const Experiment& e) {
      table.integer(id, nextId++);
      table.text(system, "QX-0" + std::to_string(e.system));
      if (e.minute >= 0) table.real(date, jetDate(e.minute));
      table.real(sample, jetDate(e.sample));
      if (random.unit() < 0.97) table.text(op, "Operator " + std::to_string(e.system % 5));
      table.row();
    };
    for (size_t i : order) {
      write(experiments[i]);
      if (duplicatesLeft > 0 && random.unit() < duplicateShare) {
        write(experiments[i]);
        --duplicatesLeft;
      }
      if (undatedLeft > 0 && random.unit() < undatedShare) {
        Experiment e = experiments[i];
        e.minute = -1;
        write(e);
        --undatedLeft;
      }
    }
    for (; duplicatesLeft > 0; --duplicatesLeft) write(experiments.back());
    for (; undatedLeft > 0; --undatedLeft) {
      Experiment e = experiments.front();
      e.minute = -1;
      write(e);
    }
    counts.experiments = table.rows();
  }

  // Measurements, in the order they were taken: by experiment date.
  {
    TableFiller table(db, "Measurements");
    const int date = table.index("Experiment Date"), number = table.index("Measurement No");
    std::vector<int> groupC, groupK, groupA;
    for (const auto& c : kGroupC) groupC.push_back(table.index(c));
    for (const auto& c : kGroupK) groupK.push_back(table.index(c));
    std::vector<int> other;  // free-text columns of newer layouts
    for (size_t i = 0; i < table.columns().size(); ++i) {
      const int column = static_cast<int>(i);
      if (column == date || column == number) continue;
      if (std::find(groupC.begin(), groupC.end(), column) != groupC.end()) continue;
      if (std::find(groupK.begin(), groupK.end(), column) != groupK.end()) continue;
      if (sqlite3_stricmp(table.columns()[i].c_str(), "Remarks") == 0) {
        other.push_back(column);
        continue;
      }
      groupA.push_back(column);
    }
    auto fill = [&](const std::vector<int>& columns, GroupState state) {
      for (int column : columns) {
        if (state == GroupState::kMeasured)
          table.real(column, random.reading());
        else if (state == GroupState::kZero)
          table.real(column, 0.0);
        else
          table.null(column);
      }
    };
    for (const Experiment& e : experiments) {
      for (int k = 1; k <= e.measurements; ++k) {
        table.real(date, jetDate(e.minute));
        table.integer(number, k);
        fill(groupC, pickState(random, 0.10, 0.03));
        fill(groupK, pickState(random, 0.15, 0.03));
        fill(groupA, pickState(random, 0.20, 0.02));
        for (int column : other)
          if (random.unit() < 0.1) table.text(column, "Repeated after calibration");
        table.row();
      }
    }
    counts.measurements = table.rows();
  }

  // Materials: the lab's own, and some named like standard materials.
  {
    TableFiller table(db, "Materials");
    const int name = table.index("Name"), density = table.index("Density"),
              refraction = table.index("Refractive Index"),
              description = table.index("Description");
    for (const char* standard : {"FELDSPAR", "Kaolin", "glass beads"}) {
      table.text(name, standard);
      table.real(density, 2.5);
      table.text(description, "Old entry of a standard material");
      table.row();
    }
    for (int i = 1; i <= 297; ++i) {
      table.text(name, "Material " + std::to_string(i));
      table.real(density, 1.0 + random.reading() / 500.0);
      if (random.unit() < 0.8) table.real(refraction, 1.3 + random.reading() / 2000.0);
      if (random.unit() < 0.7) table.text(description, "Lab material number " + std::to_string(i));
      table.row();
    }
    counts.materials = table.rows();
  }

  // Users.
  {
    TableFiller table(db, "Users");
    const int login = table.index("User Name"), full = table.index("Full Name"),
              level = table.index("Access Level");
    for (int i = 1; i <= 50; ++i) {
      table.text(login, "user" + std::to_string(100 + i));
      table.text(full, "Lab User " + std::to_string(i));
      table.integer(level, 1 + random.below(3));
      table.row();
    }
    counts.users = table.rows();
  }
}

// Rebuilds every table of `db` (but the field properties) without its keys
// and drops its indexes: the same fields, declared types, defaults, required
// fields and rows, nothing SQLite could search by.
void dropKeysAndIndexes(sqlite3* db) {
  std::vector<std::string> tables;
  sqlite3_stmt* list = nullptr;
  check(db,
        sqlite3_prepare_v2(db,
                           "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                           "'sqlite\\_%' ESCAPE '\\' AND name <> 'MSysFieldProperties'",
                           -1, &list, nullptr),
        "table list");
  while (sqlite3_step(list) == SQLITE_ROW)
    tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
  sqlite3_finalize(list);
  exec(db, "BEGIN");
  for (const auto& table : tables) {
    std::string fields;
    sqlite3_stmt* info = nullptr;
    check(db,
          sqlite3_prepare_v2(
              db, "SELECT name, type, \"notnull\", dflt_value FROM pragma_table_info(?1)", -1,
              &info, nullptr),
          "table_info");
    sqlite3_bind_text(info, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(info) == SQLITE_ROW) {
      auto text = [&](int i) {
        const unsigned char* v = sqlite3_column_text(info, i);
        return v ? std::string(reinterpret_cast<const char*>(v)) : std::string();
      };
      sqlite::appendToList(fields, sqlite::quoteName(text(0)) + " " + text(1));
      if (sqlite3_column_int(info, 2)) fields += " NOT NULL";
      if (sqlite3_column_type(info, 3) != SQLITE_NULL) fields += " DEFAULT (" + text(3) + ")";
    }
    sqlite3_finalize(info);
    exec(db, "CREATE TABLE korvane_plain (" + fields + ")");
    exec(db, "INSERT INTO korvane_plain SELECT * FROM " + sqlite::quoteName(table));
    exec(db, "DROP TABLE " + sqlite::quoteName(table));
    exec(db, "ALTER TABLE korvane_plain RENAME TO " + sqlite::quoteName(table));
  }
  exec(db, "COMMIT");
}

sqlite3* openFile(const stdfs::path& file) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    const std::string error = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    throw std::runtime_error("cannot open " + file.string() + ": " + error);
  }
  return db;
}

}  // namespace

GeneratedCounts generateDatabases(const stdfs::path& folder, const GeneratorOptions& options) {
  stdfs::create_directories(folder);
  const stdfs::path oldSystem = folder / "QX_aco.mdb";
  const stdfs::path templateFile = folder / "QX_Std.mdb";
  stdfs::remove(oldSystem);
  stdfs::remove(templateFile);
  db::buildDatabaseFromScriptFile(templateFile, options.templateScript);
  db::buildDatabaseFromScriptFile(oldSystem, options.oldSystemScript);

  if (!options.indexes) {
    sqlite3* templ = openFile(templateFile);
    try {
      dropKeysAndIndexes(templ);
    } catch (...) {
      sqlite3_close(templ);
      throw;
    }
    sqlite3_close(templ);
  }

  sqlite3* db = openFile(oldSystem);
  GeneratedCounts counts;
  try {
    if (!options.indexes) dropKeysAndIndexes(db);
    exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-65536");
    exec(db, "BEGIN");
    fillOldSystem(db, options, counts);
    exec(db, "COMMIT");
  } catch (...) {
    sqlite3_close(db);
    throw;
  }
  sqlite3_close(db);
  return counts;
}

stdfs::path defaultOldSystemScript() {
  return stdfs::path(KORVANE_SAMPLES_DIR) / "old_system.sql";
}

stdfs::path defaultTemplateScript() {
  return stdfs::path(KORVANE_SAMPLES_DIR) / "template.sql";
}

}  // namespace korvane::bench
