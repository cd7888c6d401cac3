// korvane-bench: Korvane's Update, Delete orphans and Set un-measured values
// to Null against the same work written by hand in SQLite, on identical
// copies of generated databases, at several scales.
//
//   korvane-bench [--scales 10000,100000,1000000] [--reps 5] [--work DIR] [--keep]
//                 [--settle SECONDS] [--variants indexed,no-index]
//
// Two variants of the files: "indexed", with the keys and indexes the sample
// scripts declare, and "no-index", with none in either file (a template made
// by another tool). For every variant and scale the generator writes a
// master old system database and the template (in a child process). Then,
// for every repetition, fresh child processes run the actions on fresh
// copies of the masters: one through Korvane's real command frame and
// engine; one as hand-written SQLite statements with SQLite's defaults and
// `cp` for the copies (Delete orphans as the anti-join a person would write
// for the files: NOT EXISTS over the indexes, LEFT JOIN ... IS NULL without
// them); the same with synchronous=OFF, the disk's limit; and one that runs
// only the hand-written Update with each `cp` flushed (fsync), as copyFile
// flushes. Which of them goes first turns with each repetition. Another
// child times the file copy itself: the file services' copyFile of the old
// database against `cp`, and `cp` followed by fsync, on the same file. Every
// timed action starts after a sync and a pause (--settle, 2 s), so no
// write-back of an earlier run is charged to it. Each child prints one
// RESULT line with its times, CPU, bytes written, peak resident memory and a
// fingerprint of the working copy it left; every side must leave the same
// database, or the figures are void. The parent prints
// medians, ratios, scaling and memory. See docs/performance.md.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fs/clock.h"
#include "fs/failure.h"
#include "fs/file_services.h"
#include "fs/path_map.h"
#include "generator.h"
#include "sqlite/sql_text.h"
#include "support/temp_prefix.h"
#include "workflow/command_frame.h"
#include "workflow/dialog_state.h"
#include "workflow/naming.h"
#include "workflow/start_up.h"

namespace {

namespace stdfs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The stamp the fixed clock gives: 7 December 2026, 08:43.
constexpr const char* kStamp = "261207_0843";

// The two variants of the generated files.
constexpr const char* kIndexed = "indexed";
constexpr const char* kNoIndex = "no-index";

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// ---- memory -----------------------------------------------------------------

// Peak resident memory of this process (getrusage), in KiB. It only grows.
long maxRssKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Peak resident memory of this address space since the last resetPeakRss()
// (VmHWM), in KiB.
long peakRssKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// Starts a new VmHWM period (Linux: writing 5 to clear_refs).
void resetPeakRss() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

// CPU seconds (user and system) and bytes written, of this process and of
// the children it has waited for (`cp`). `written` counts every page made
// dirty (ru_oublock), also one of a file removed before the kernel wrote it
// out; `toDisk` leaves those out (/proc/self/io: write_bytes less
// cancelled_write_bytes), so it is what the disk has to take, now or later:
// a journal written and removed within a statement may never reach it.
struct Usage {
  double user = 0;
  double system = 0;
  double written = 0;
  double toDisk = 0;
};

Usage usageNow() {
  Usage u;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage r{};
    getrusage(who, &r);
    u.user += r.ru_utime.tv_sec + r.ru_utime.tv_usec / 1e6;
    u.system += r.ru_stime.tv_sec + r.ru_stime.tv_usec / 1e6;
    u.written += static_cast<double>(r.ru_oublock) * 512.0;
  }
  std::ifstream io("/proc/self/io");
  std::string key;
  double value = 0;
  while (io >> key >> value) {
    if (key == "write_bytes:") u.toDisk += value;
    if (key == "cancelled_write_bytes:") u.toDisk -= value;
  }
  return u;
}

// What one timed action cost.
struct Measured {
  double seconds = 0;
  double user = 0;    // CPU seconds in the program and SQLite
  double system = 0;  // CPU seconds in the kernel (copies, writes, fsync's write-back)
  double written = 0;
  double toDisk = 0;
  double copySeconds = 0;  // of `seconds`, spent copying files
  long peakKib = 0;
};

// Seconds to let the disk settle after the sync before each timed action
// (--settle): a virtual disk may go on writing what the sync handed it.
double settleSeconds = 2.0;

// Runs `body` after a sync and a pause (so no earlier write-back is charged
// to it), in a new peak-memory period.
template <typename Body>
Measured measure(Body body) {
  sync();
  if (settleSeconds > 0) usleep(static_cast<useconds_t>(settleSeconds * 1e6));
  resetPeakRss();
  const Usage before = usageNow();
  const auto start = Clock::now();
  body();
  Measured m;
  m.seconds = secondsSince(start);
  const Usage after = usageNow();
  m.user = after.user - before.user;
  m.system = after.system - before.system;
  m.written = after.written - before.written;
  m.toDisk = after.toDisk - before.toDisk;
  m.peakKib = peakRssKib();
  return m;
}

// ---- small helpers ----------------------------------------------------------

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "korvane-bench: %s\n", what.c_str());
  std::exit(1);
}

// Runs `argv` and waits; fails the benchmark when it does not exit with 0.
// With `output`, its standard output is collected there.
void runProgram(const std::vector<std::string>& argv, std::string* output = nullptr) {
  int pipeFds[2] = {-1, -1};
  if (output && pipe(pipeFds) != 0) fail("pipe failed");
  const pid_t pid = fork();
  if (pid < 0) fail("fork failed");
  if (pid == 0) {
    if (output) {
      dup2(pipeFds[1], STDOUT_FILENO);
      close(pipeFds[0]);
      close(pipeFds[1]);
    }
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  if (output) {
    close(pipeFds[1]);
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) output->append(buffer, n);
    close(pipeFds[0]);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::string shown;
    for (const auto& a : argv) shown += a + " ";
    fail("failed: " + shown);
  }
}

void copyPlain(const stdfs::path& from, const stdfs::path& to) {
  stdfs::copy_file(from, to, stdfs::copy_options::overwrite_existing);
}

void fsyncFile(const stdfs::path& file) {
  FILE* f = std::fopen(file.c_str(), "r+");
  if (!f) fail("cannot open " + file.string());
  fsync(fileno(f));
  std::fclose(f);
}

void fsyncFolder(const stdfs::path& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) fail("cannot open " + folder.string());
  fsync(fd);
  close(fd);
}

// A plain SQLite connection with SQLite's defaults: rollback journal
// (DELETE), synchronous FULL, the default page cache; with `synchronousOff`,
// synchronous=OFF, the disk's limit: nothing waits for the disk.
class Sqlite {
 public:
  explicit Sqlite(const stdfs::path& file, bool readOnly = false, bool synchronousOff = false) {
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (sqlite3_open_v2(file.c_str(), &db_, flags, nullptr) != SQLITE_OK)
      fail("cannot open " + file.string());
    if (synchronousOff) exec("PRAGMA synchronous=OFF");
  }
  ~Sqlite() { sqlite3_close(db_); }
  Sqlite(const Sqlite&) = delete;
  Sqlite& operator=(const Sqlite&) = delete;

  void exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      const std::string text = error ? error : "?";
      sqlite3_free(error);
      fail("SQLite: " + text + " in: " + sql);
    }
  }

  // The rows of `sql`, columns joined by ',' and rows by ';'.
  std::string text(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
      fail(std::string("SQLite: ") + sqlite3_errmsg(db_) + " in: " + sql);
    std::string out;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      if (!out.empty()) out += ';';
      for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        const unsigned char* v = sqlite3_column_text(stmt, i);
        out += (i ? "," : "") + std::string(v ? reinterpret_cast<const char*>(v) : "NULL");
      }
    }
    sqlite3_finalize(stmt);
    return out;
  }

  std::vector<std::string> columns(const std::string& table) {
    std::vector<std::string> names;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db_, "SELECT name FROM pragma_table_info(?1)", -1, &stmt, nullptr);
    sqlite3_bind_text(stmt, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(stmt) == SQLITE_ROW)
      names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    if (names.empty()) fail("no table " + table);
    return names;
  }

 private:
  sqlite3* db_ = nullptr;
};

std::string list(const std::vector<std::string>& names) {
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "" : ", ") + korvane::sqlite::quoteName(n);
  return out;
}

// What a working copy holds after the three actions, to tell that both sides
// did the same work. Integer sums only, so scan order cannot change them.
std::string fingerprint(const stdfs::path& working) {
  Sqlite db(working, true);
  const char* queries[] = {
      "SELECT group_concat(name, ' ') FROM (SELECT name FROM sqlite_master WHERE type = 'table' "
      "ORDER BY name)",
      "SELECT count(*), sum(CAST(round((\"Sample Date\" - 36000) * 1440) AS INTEGER)), "
      "sum(\"Lab Code\" = 'LAB') FROM Samples",
      "SELECT count(*), sum(ID), max(ID), sum(\"Experiment Date\" IS NULL), "
      "sum(ID * (CAST(round((\"Experiment Date\" - 36000) * 1440) AS INTEGER) % 1000003)), "
      "sum(CAST(round((\"Sample Date\" - 36000) * 1440) AS INTEGER) % 1000003), "
      "sum(Temperature) FROM Experiments",
      "SELECT count(*), sum(\"Measurement No\"), sum(C1 IS NULL), sum(zp IS NULL), "
      "sum(K21 IS NULL), sum(K1 IS NULL), sum(K10 IS NULL), sum(A1 IS NULL), sum(PSM IS NULL), "
      "sum(D85 IS NULL), sum(CAST(round(coalesce(C1, 0) * 100) AS INTEGER)), "
      "sum(CAST(round(coalesce(A21, 0) * 100) AS INTEGER)), "
      "sum(CAST(round(coalesce(PSWBi, 0) * 100) AS INTEGER)) FROM Measurements",
      "SELECT count(*), sum(Category IS NOT NULL), group_concat(Name, '|') FROM "
      "(SELECT Name, Category FROM Materials ORDER BY Name)",
      "SELECT count(*), group_concat(\"User Name\", '|') FROM (SELECT \"User Name\" FROM Users "
      "ORDER BY 1)",
      "SELECT count(*), group_concat(TableName || '.' || FieldName || '.' || PropertyName, '|') "
      "FROM (SELECT * FROM MSysFieldProperties ORDER BY 1, 2, 3)",
  };
  std::string out;
  for (const char* q : queries) out += db.text(q) + "\n";
  return out;
}

std::string hashOf(const std::string& text) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
  char buffer[17];
  std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(h));
  return buffer;
}

// ---- the children -----------------------------------------------------------

struct ChildResult {
  std::map<std::string, std::string> values;
  double number(const std::string& key) const {
    auto it = values.find(key);
    if (it == values.end()) fail("a child did not report " + key);
    return std::stod(it->second);
  }
};

void report(const std::vector<std::pair<std::string, std::string>>& values) {
  std::string line = "RESULT";
  for (const auto& [k, v] : values) line += " " + k + "=" + v;
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

std::string num(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6f", v);
  return buffer;
}

void addMeasured(std::vector<std::pair<std::string, std::string>>& out, const std::string& key,
                 const Measured& m) {
  out.emplace_back(key, num(m.seconds));
  out.emplace_back("user_" + key, num(m.user));
  out.emplace_back("sys_" + key, num(m.system));
  out.emplace_back("written_" + key, num(m.written));
  out.emplace_back("todisk_" + key, num(m.toDisk));
  out.emplace_back("copying_" + key, num(m.copySeconds));
  out.emplace_back("hwm_" + key, std::to_string(m.peakKib));
}

// The real file services, with the time spent in copyFile added up.
class TimedFileServices : public korvane::fs::FileServices {
 public:
  explicit TimedFileServices(korvane::fs::FileServices& real) : real_(real) {}
  void copyFile(const std::string& from, const std::string& to,
                korvane::fs::Overwrite mode) override {
    const auto start = Clock::now();
    try {
      real_.copyFile(from, to, mode);
    } catch (...) {
      seconds += secondsSince(start);
      throw;
    }
    seconds += secondsSince(start);
  }
  void deleteFile(const std::string& path) override { real_.deleteFile(path); }
  void flush(const std::string& path) override { real_.flush(path); }
  bool fileExists(const std::string& path) override { return real_.fileExists(path); }
  std::optional<korvane::fs::FileIdentity> identify(const std::string& path) override {
    return real_.identify(path);
  }
  double seconds = 0;

 private:
  korvane::fs::FileServices& real_;
};

// The one RESULT line of an action child, and the fingerprint beside it.
void reportActions(const stdfs::path& working, const stdfs::path& run, const Measured& update,
                   const Measured& orphans, const Measured& nulls, long maxAfterUpdate,
                   long maxAfterAll) {
  const std::string print = fingerprint(working);
  std::ofstream(run / "fingerprint.txt") << print;
  std::vector<std::pair<std::string, std::string>> out;
  addMeasured(out, "update", update);
  addMeasured(out, "orphans", orphans);
  addMeasured(out, "nulls", nulls);
  out.emplace_back("maxrss_update", std::to_string(maxAfterUpdate));
  out.emplace_back("maxrss_all", std::to_string(maxAfterAll));
  out.emplace_back("working_bytes", std::to_string(stdfs::file_size(working)));
  out.emplace_back("fingerprint", hashOf(print));
  report(out);
}

// The folders every child works in, the same for both sides so that neither
// gets the better place on the disk: `run`/prefix/drive_c/data_aco with its
// Backup folder, and drive C: of the prefix linked to drive_c. The folders
// stay between runs; the parent deletes only the files.
stdfs::path makeLayout(const stdfs::path& run) {
  korvane::support::layOutPrefix(run / "prefix");
  const stdfs::path data = run / "prefix" / "drive_c" / "data_aco";
  stdfs::create_directories(data / "Backup");
  return data;
}

// Korvane: the real command frame with the real file services on a
// Wine-style prefix in `run`, a fixed clock, and the engine it creates.
void childKorvane(const stdfs::path& master, const stdfs::path& run) {
  using namespace korvane;
  using namespace korvane::workflow;
  const stdfs::path data = makeLayout(run);
  const stdfs::path prefix = run / "prefix";
  copyPlain(master / "QX_aco.mdb", data / "QX_aco.mdb");
  copyPlain(master / "QX_Std.mdb", data / "QX_Std.mdb");
  sync();

  fs::PathMap paths(prefix);
  fs::HostFileServices hostFiles(paths);
  TimedFileServices files(hostFiles);
  fs::FixedClock clock(fs::LocalTime{2026, 12, 7, 8, 43, 15});
  CommandFrame frame(Services{files, clock, paths});
  UpdateContext& context = frame.context();
  startUp(context);  // which chooses the system database

  auto click = [&](int index, const char* name, auto completed) {
    files.seconds = 0;
    Measured m = measure([&] { frame.commandClick(index); });
    m.copySeconds = files.seconds;
    if (!completed())
      fail(std::string("Korvane's ") + name +
           " stopped at a failing step; last statement: " + context.sql);
    return m;
  };
  const auto update = click(kUpdate, "Update", [&] {
    return !context.state.command(kUpdate).visible && context.state.command(kDeleteOrphans).visible;
  });
  const long maxAfterUpdate = maxRssKib();
  const auto orphans = click(kDeleteOrphans, "Delete orphans",
                             [&] { return !context.state.command(kDeleteOrphans).visible; });
  const auto nulls = click(kSetNull, "Set un-measured values to Null",
                           [&] { return !context.state.command(kSetNull).visible; });
  const long maxAfterAll = maxRssKib();

  const stdfs::path working = paths.toHost(systemNames(kStamp).workingPath);
  reportActions(working, run, update, orphans, nulls, maxAfterUpdate, maxAfterAll);
}

// The same work as hand-written SQLite statements on plain paths: `cp` for
// the copies, ATTACH and INSERT ... SELECT with explicit column lists, the
// anti-join deletes (NOT EXISTS where the link columns are indexed; without
// `indexes`, LEFT JOIN ... IS NULL, which SQLite joins through an automatic
// index), the three UPDATEs. Each statement is its own
// transaction, as each Execute is in Jet; rows that break a key are skipped
// with OR IGNORE, as Jet skips them.
//
// kDurableCopies runs Update only, and each `cp` is followed by an fsync of
// the copy and of its folder, as copyFile flushes its copies: the yardstick
// that tells how much of Update's gap is the durable backup.
// kSynchronousOff runs every statement with synchronous=OFF: the disk's
// limit, where nothing waits for it.
enum class HandStyle { kDefaults, kDurableCopies, kSynchronousOff };

void childHand(const stdfs::path& master, const stdfs::path& run, HandStyle style, bool indexes) {
  const bool durableCopies = style == HandStyle::kDurableCopies;
  const bool off = style == HandStyle::kSynchronousOff;
  const stdfs::path data = makeLayout(run);
  copyPlain(master / "QX_aco.mdb", data / "QX_aco.mdb");
  copyPlain(master / "QX_Std.mdb", data / "QX_Std.mdb");
  const stdfs::path backup = data / "Backup" / (std::string("QX_aco_") + kStamp + ".mdb");
  const stdfs::path working = data / "Backup" / (std::string("QX_aco_") + kStamp + "_update.mdb");

  // The statements, written for the old layout and the template's standard
  // materials (column lists read once, before any timing).
  std::map<std::string, std::vector<std::string>> oldColumns;
  std::vector<std::string> standardColumns;
  {
    Sqlite old(data / "QX_aco.mdb", true);
    for (const char* t : {"Samples", "Measurements", "Materials", "Users"})
      oldColumns[t] = old.columns(t);
    Sqlite templ(data / "QX_Std.mdb", true);
    standardColumns = templ.columns("Standard Materials");
  }
  auto transfer = [&](const std::string& table) {
    const std::string cols = list(oldColumns[table]);
    return "INSERT OR IGNORE INTO w." + korvane::sqlite::quoteName(table) + " (" + cols +
           ") SELECT " + cols + " FROM main." + korvane::sqlite::quoteName(table);
  };
  const std::vector<std::string> transfers = {
      transfer("Samples"),
      "INSERT OR IGNORE INTO w.\"Experiments\" (\"System ID\", \"Experiment Date\", "
      "\"Sample Date\", \"ID\") SELECT \"System ID\", \"Experiment Date\", \"Sample Date\", "
      "(SELECT coalesce(max(\"ID\"), 0) FROM w.\"Experiments\") + row_number() OVER "
      "(ORDER BY \"Experiment Date\") FROM main.\"Experiments\" ORDER BY \"Experiment Date\"",
      transfer("Measurements"),
      transfer("Materials"),
      transfer("Users"),
  };
  const std::string standard = list(standardColumns);
  sync();

  double copying = 0;
  auto cp = [&](const stdfs::path& from, const stdfs::path& to) {
    const auto start = Clock::now();
    runProgram({"cp", from.string(), to.string()});
    if (durableCopies) {
      fsyncFile(to);
      fsyncFolder(to.parent_path());
    }
    copying += secondsSince(start);
  };
  Measured update = measure([&] {
    cp(data / "QX_aco.mdb", backup);
    cp(data / "QX_Std.mdb", working);
    {
      Sqlite source(backup, false, off);
      source.exec("ATTACH DATABASE '" + working.string() + "' AS w");
      if (off) source.exec("PRAGMA w.synchronous=OFF");
      for (const auto& sql : transfers) source.exec(sql);
      source.exec("DETACH DATABASE w");
    }
    Sqlite db(working, false, off);
    db.exec(
        "DELETE FROM \"Materials\" WHERE \"Name\" COLLATE NOCASE IN "
        "(SELECT \"Name\" FROM \"Standard Materials\")");
    db.exec("INSERT OR IGNORE INTO \"Materials\" (" + standard + ") SELECT " + standard +
            " FROM \"Standard Materials\"");
    db.exec(
        "BEGIN; DROP TABLE \"Standard Materials\"; DELETE FROM \"MSysFieldProperties\" WHERE "
        "\"TableName\" = 'Standard Materials'; COMMIT");
  });
  update.copySeconds = copying;
  if (durableCopies) {
    std::vector<std::pair<std::string, std::string>> out;
    addMeasured(out, "update", update);
    report(out);
    return;
  }
  const long maxAfterUpdate = maxRssKib();
  const Measured orphans = measure([&] {
    Sqlite db(working, false, off);
    if (indexes) {
      db.exec(
          "DELETE FROM \"Experiments\" WHERE NOT EXISTS (SELECT 1 FROM \"Measurements\" WHERE "
          "\"Measurements\".\"Experiment Date\" = \"Experiments\".\"Experiment Date\")");
      db.exec(
          "DELETE FROM \"Samples\" WHERE NOT EXISTS (SELECT 1 FROM \"Experiments\" WHERE "
          "\"Experiments\".\"Sample Date\" = \"Samples\".\"Sample Date\")");
    } else {
      db.exec(
          "DELETE FROM \"Experiments\" WHERE rowid IN (SELECT e.rowid FROM \"Experiments\" e "
          "LEFT JOIN \"Measurements\" m ON m.\"Experiment Date\" = e.\"Experiment Date\" "
          "WHERE m.\"Experiment Date\" IS NULL)");
      db.exec(
          "DELETE FROM \"Samples\" WHERE rowid IN (SELECT s.rowid FROM \"Samples\" s "
          "LEFT JOIN \"Experiments\" e ON e.\"Sample Date\" = s.\"Sample Date\" "
          "WHERE e.\"Sample Date\" IS NULL)");
    }
  });
  const Measured nulls = measure([&] {
    Sqlite db(working, false, off);
    db.exec(
        "UPDATE \"Measurements\" SET C1 = NULL, zp = NULL, E1 = NULL, K18 = NULL, K7 = NULL, "
        "K2 = NULL, K14 = NULL, K15 = NULL, K4 = NULL, K16 = NULL, K21 = NULL WHERE C1 = 0");
    db.exec(
        "UPDATE \"Measurements\" SET K1 = NULL, K5 = NULL, K6 = NULL, K11 = NULL, K12 = NULL, "
        "K8 = NULL, K9 = NULL, K10 = NULL WHERE K1 = 0");
    db.exec(
        "UPDATE \"Measurements\" SET PSM = NULL, PSW = NULL, A1 = NULL, A2 = NULL, A3 = NULL, "
        "A4 = NULL, A5 = NULL, A6 = NULL, A7 = NULL, A8 = NULL, A9 = NULL, A10 = NULL, "
        "A11 = NULL, A12 = NULL, A13 = NULL, A14 = NULL, A15 = NULL, A16 = NULL, A17 = NULL, "
        "A18 = NULL, A19 = NULL, A20 = NULL, A21 = NULL, F_low = NULL, F_high = NULL, "
        "N_exp = NULL, Lin_exp = NULL, ERR_LOG = NULL, PSM_1 = NULL, PSM_2 = NULL, "
        "CONT_1 = NULL, CONT_2 = NULL, ERR_BI = NULL, PSMBi = NULL, PSMN = NULL, PSMM = NULL, "
        "PSMW = NULL, PSWBi = NULL, PSW_1 = NULL, PSW_2 = NULL, D15 = NULL, D50 = NULL, "
        "D85 = NULL WHERE A1 = 0");
  });
  const long maxAfterAll = maxRssKib();

  reportActions(working, run, update, orphans, nulls, maxAfterUpdate, maxAfterAll);
}

// The copy of the old system database (the largest file; Update's backup
// copy): the file services' copyFile, `cp`, and `cp` followed by fsync of the
// copy (copyFile flushes its copy before publishing it). `first` rotates the
// order between repetitions.
void childCopies(const stdfs::path& master, const stdfs::path& run, int first) {
  using namespace korvane;
  const stdfs::path data = makeLayout(run);
  const stdfs::path prefix = run / "prefix";
  const stdfs::path source = data / "QX_aco.mdb";
  copyPlain(master / "QX_aco.mdb", source);
  fs::PathMap paths(prefix);
  fs::HostFileServices files(paths);

  std::map<std::string, double> took;
  const std::vector<std::pair<std::string, std::function<void()>>> ways = {
      {"copy_korvane",
       [&] {
         files.copyFile("C:\\data_aco\\QX_aco.mdb", "C:\\data_aco\\Backup\\copy.mdb",
                        fs::Overwrite::kNever);
       }},
      {"copy_cp",
       [&] {
         runProgram({"cp", source.string(), (data / "Backup" / "copy.mdb").string()});
       }},
      {"copy_cp_fsync",
       [&] {
         const stdfs::path to = data / "Backup" / "copy.mdb";
         runProgram({"cp", source.string(), to.string()});
         fsyncFile(to);
       }},
  };
  for (size_t i = 0; i < ways.size(); ++i) {
    const auto& [name, copy] = ways[(first + i) % ways.size()];
    stdfs::remove(data / "Backup" / "copy.mdb");
    took[name] = measure(copy).seconds;
  }
  stdfs::remove(data / "Backup" / "copy.mdb");
  report({{"copy_korvane", num(took["copy_korvane"])},
          {"copy_cp", num(took["copy_cp"])},
          {"copy_cp_fsync", num(took["copy_cp_fsync"])},
          {"bytes", std::to_string(stdfs::file_size(source))}});
}

void childGenerate(const stdfs::path& master, long long measurements, bool indexes) {
  korvane::bench::GeneratorOptions options;
  options.measurements = measurements;
  options.indexes = indexes;
  options.oldSystemScript = korvane::bench::defaultOldSystemScript();
  options.templateScript = korvane::bench::defaultTemplateScript();
  const auto start = Clock::now();
  const auto counts = korvane::bench::generateDatabases(master, options);
  report({{"seconds", num(secondsSince(start))},
          {"samples", std::to_string(counts.samples)},
          {"experiments", std::to_string(counts.experiments)},
          {"measurements", std::to_string(counts.measurements)},
          {"bytes", std::to_string(stdfs::file_size(master / "QX_aco.mdb"))}});
}

// ---- the parent -------------------------------------------------------------

// Deletes the files under `folder` (not the links), keeping the folders.
void removeFiles(const stdfs::path& folder) {
  if (!stdfs::exists(folder)) return;
  std::vector<stdfs::path> files;
  for (const auto& entry : stdfs::recursive_directory_iterator(folder))
    if (entry.is_regular_file() && !entry.is_symlink()) files.push_back(entry.path());
  for (const auto& file : files) stdfs::remove(file);
}

std::string self() {
  return stdfs::read_symlink("/proc/self/exe").string();
}

ChildResult runChild(const std::vector<std::string>& args) {
  sync();
  std::vector<std::string> argv = {self(), "--settle", num(settleSeconds)};
  argv.insert(argv.end(), args.begin(), args.end());
  std::string out;
  runProgram(argv, &out);
  std::istringstream lines(out);
  std::string line;
  ChildResult result;
  while (std::getline(lines, line)) {
    if (line.rfind("RESULT ", 0) != 0) continue;
    std::istringstream fields(line.substr(7));
    std::string field;
    while (fields >> field) {
      const auto eq = field.find('=');
      result.values[field.substr(0, eq)] = field.substr(eq + 1);
    }
  }
  if (result.values.empty()) fail("a child reported nothing: " + out);
  return result;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double mib(double kib) {
  return kib / 1024.0;
}

struct ScaleFigures {
  long long scale = 0;
  std::map<std::string, std::vector<double>> korvane, hand, handOff, durable, copies;
  std::string korvanePrint, handPrint, handOffPrint;
  ChildResult generated;
};

const std::vector<std::pair<std::string, std::string>> kActions = {
    {"update", "Update"},
    {"orphans", "Delete orphans"},
    {"nulls", "Set un-measured values to Null"},
};

// The median of the ratios of runs that ran next to each other.
double pairedRatio(const std::vector<double>& korvane, const std::vector<double>& hand) {
  std::vector<double> ratios;
  for (size_t i = 0; i < korvane.size() && i < hand.size(); ++i)
    ratios.push_back(korvane[i] / hand[i]);
  return median(ratios);
}

void printScale(const std::string& variant, const ScaleFigures& f, int reps) {
  std::printf(
      "\n== %s files, %lld measurements (generated: %.0f samples, %.0f experiments, old "
      "database %.1f MiB, in %.1f s) ==\n",
      variant.c_str(), f.scale, f.generated.number("samples"), f.generated.number("experiments"),
      f.generated.number("bytes") / 1048576.0, f.generated.number("seconds"));
  std::printf("wall-clock seconds, median of %d runs each:\n", reps);
  std::printf("  %-31s %9s %9s %7s %8s   %s\n", "action", "Korvane", "by hand", "ratio", "paired",
              "runs (Korvane/by hand)");
  for (const auto& [key, name] : kActions) {
    const auto& k = f.korvane.at(key);
    const auto& h = f.hand.at(key);
    std::string runs;
    for (size_t i = 0; i < k.size(); ++i) {
      char b[64];
      std::snprintf(b, sizeof b, " %.3f/%.3f", k[i], h[i]);
      runs += b;
    }
    std::printf("  %-31s %9.3f %9.3f %7.3f %8.3f  %s\n", name.c_str(), median(k), median(h),
                median(k) / median(h), pairedRatio(k, h), runs.c_str());
  }
  for (const auto& [key, name] : kActions) {
    const auto& k = f.korvane.at(key);
    const auto& o = f.handOff.at(key);
    std::printf("  %-31s %9.3f %9.3f %7.3f %8.3f   by hand with synchronous=OFF\n", name.c_str(),
                median(k), median(o), median(k) / median(o), pairedRatio(k, o));
  }
  {
    const auto& k = f.korvane.at("update");
    const auto& d = f.durable.at("update");
    std::printf(
        "  %-31s %9.3f %9.3f %7.3f %8.3f   by hand with cp + fsync of each copy "
        "(Update only; copies %.3f s)\n",
        "Update, durable copies by hand", median(k), median(d), median(k) / median(d),
        pairedRatio(k, d), median(f.durable.at("copying_update")));
  }
  std::printf(
      "what the time is made of (medians; Korvane | by hand | by hand, synchronous=OFF):\n");
  std::printf("  %-31s %17s %17s %26s %26s %17s\n", "action", "user CPU s", "system CPU s",
              "written MiB", "to disk MiB", "copying files s");
  auto mibOf = [](const std::map<std::string, std::vector<double>>& side, const std::string& key) {
    return median(side.at(key)) / 1048576.0;
  };
  for (const auto& [key, name] : kActions) {
    std::printf(
        "  %-31s %8.3f|%-8.3f %8.3f|%-8.3f %8.1f|%-8.1f|%-8.1f %8.1f|%-8.1f|%-8.1f %8.3f|%-8.3f\n",
        name.c_str(), median(f.korvane.at("user_" + key)), median(f.hand.at("user_" + key)),
        median(f.korvane.at("sys_" + key)), median(f.hand.at("sys_" + key)),
        mibOf(f.korvane, "written_" + key), mibOf(f.hand, "written_" + key),
        mibOf(f.handOff, "written_" + key), mibOf(f.korvane, "todisk_" + key),
        mibOf(f.hand, "todisk_" + key), mibOf(f.handOff, "todisk_" + key),
        median(f.korvane.at("copying_" + key)), median(f.hand.at("copying_" + key)));
  }
  std::printf("peak resident memory, MiB (VmHWM of the action; Korvane | by hand):\n");
  for (const auto& [key, name] : kActions)
    std::printf("  %-31s %8.1f|%-8.1f\n", name.c_str(), mib(median(f.korvane.at("hwm_" + key))),
                mib(median(f.hand.at("hwm_" + key))));
  std::printf("  %-31s %8.1f|%-8.1f\n", "ru_maxrss of the process after Update",
              mib(median(f.korvane.at("maxrss_update"))), mib(median(f.hand.at("maxrss_update"))));
  std::printf("  %-31s %8.1f|%-8.1f\n", "ru_maxrss of the process at the end",
              mib(median(f.korvane.at("maxrss_all"))), mib(median(f.hand.at("maxrss_all"))));
  const double kc = median(f.copies.at("copy_korvane")), cp = median(f.copies.at("copy_cp")),
               cpf = median(f.copies.at("copy_cp_fsync"));
  std::printf(
      "copy of the old database (%.1f MiB), median of %d: copyFile %.3f s; cp %.3f s "
      "(ratio %.2f); cp + fsync %.3f s (ratio %.2f)\n",
      median(f.copies.at("bytes")) / 1048576.0, reps, kc, cp, kc / cp, cpf, kc / cpf);
  std::printf("working copies identical on every side: %s (working copy %.1f MiB)\n",
              f.korvanePrint == f.handPrint && f.korvanePrint == f.handOffPrint ? "yes" : "NO",
              median(f.korvane.at("working_bytes")) / 1048576.0);
}

// The targets, per variant: Korvane / by hand with SQLite's defaults at the
// largest scale (each action its own), Korvane / by hand with
// synchronous=OFF, time at 10x the rows, and peak memory during an action at
// the largest scale over the smallest. Printed as measured, met or not.
void printTargets(const std::string& variant, const std::vector<ScaleFigures>& all) {
  const std::map<std::string, double> kAgainstDefaults = {
      {"update", 0.95}, {"orphans", 1.0}, {"nulls", 0.75}};
  constexpr double kAgainstOff = 1.15;
  const ScaleFigures& largest = all.back();
  std::printf("\ntargets, %s files:\n", variant.c_str());
  for (const auto& [key, name] : kActions) {
    const double k = median(largest.korvane.at(key));
    const double ratio = k / median(largest.hand.at(key));
    const double ratioOff = k / median(largest.handOff.at(key));
    const double target = kAgainstDefaults.at(key);
    double worstScaling = 0;
    for (size_t i = 1; i < all.size(); ++i)
      worstScaling = std::max(worstScaling, median(all[i].korvane.at(key)) /
                                                median(all[i - 1].korvane.at(key)) * 10.0 *
                                                all[i - 1].scale / all[i].scale);
    const double memory = mib(median(largest.korvane.at("hwm_" + key)) -
                              median(all.front().korvane.at("hwm_" + key)));
    std::printf(
        "  %-31s at %lld: / by hand %.3f (<= %.2f: %s), / by hand with synchronous=OFF %.3f "
        "(<= %.2f: %s)",
        name.c_str(), largest.scale, ratio, target, ratio <= target ? "met" : "NOT met", ratioOff,
        kAgainstOff, ratioOff <= kAgainstOff ? "met" : "NOT met");
    if (all.size() > 1)
      std::printf("; worst time per 10x the rows: %.2fx (%s); peak memory %+.1f MiB (%s)",
                  worstScaling, worstScaling <= 12 ? "met" : "NOT met", memory,
                  memory <= 64 ? "met" : "NOT met");
    std::printf("\n");
  }
}

void printSummary(const std::string& variant, const std::vector<ScaleFigures>& all) {
  std::printf("\n== summary, %s files ==\n", variant.c_str());
  std::printf("ratio Korvane / by hand:");
  for (const auto& f : all) {
    std::printf("\n  %9lld:", f.scale);
    for (const auto& [key, name] : kActions)
      std::printf("  %s %.3f", name.c_str(), median(f.korvane.at(key)) / median(f.hand.at(key)));
  }
  std::printf("\nratio Korvane / by hand with synchronous=OFF:");
  for (const auto& f : all) {
    std::printf("\n  %9lld:", f.scale);
    for (const auto& [key, name] : kActions)
      std::printf("  %s %.3f", name.c_str(), median(f.korvane.at(key)) / median(f.handOff.at(key)));
  }
  std::printf("\nratio Korvane / by hand with durable copies, Update:");
  for (const auto& f : all)
    std::printf("  %lld: %.3f", f.scale,
                median(f.korvane.at("update")) / median(f.durable.at("update")));
  std::printf("\nratio copyFile / cp (and / cp + fsync):");
  for (const auto& f : all)
    std::printf("  %lld: %.2f (%.2f)", f.scale,
                median(f.copies.at("copy_korvane")) / median(f.copies.at("copy_cp")),
                median(f.copies.at("copy_korvane")) / median(f.copies.at("copy_cp_fsync")));
  std::printf("\nscaling of wall-clock time, 10x the rows (Korvane; by hand):");
  for (size_t i = 1; i < all.size(); ++i) {
    const double rows = static_cast<double>(all[i].scale) / all[i - 1].scale;
    std::printf("\n  %lld -> %lld (%.0fx the rows):", all[i - 1].scale, all[i].scale, rows);
    for (const auto& [key, name] : kActions)
      std::printf("  %s %.2fx; %.2fx", name.c_str(),
                  median(all[i].korvane.at(key)) / median(all[i - 1].korvane.at(key)),
                  median(all[i].hand.at(key)) / median(all[i - 1].hand.at(key)));
  }
  std::printf("\nscaling of user CPU seconds, 10x the rows (Korvane; by hand):");
  for (size_t i = 1; i < all.size(); ++i) {
    std::printf("\n  %lld -> %lld:", all[i - 1].scale, all[i].scale);
    for (const auto& [key, name] : kActions)
      std::printf(
          "  %s %.2fx; %.2fx", name.c_str(),
          median(all[i].korvane.at("user_" + key)) / median(all[i - 1].korvane.at("user_" + key)),
          median(all[i].hand.at("user_" + key)) / median(all[i - 1].hand.at("user_" + key)));
  }
  if (all.size() > 1) {
    std::printf("\npeak resident memory, largest minus smallest scale (VmHWM of the action):");
    for (const auto& [key, name] : kActions)
      std::printf("  %s %.1f MiB", name.c_str(),
                  mib(median(all.back().korvane.at("hwm_" + key)) -
                      median(all.front().korvane.at("hwm_" + key))));
    std::printf("; ru_maxrss after Update %.1f MiB",
                mib(median(all.back().korvane.at("maxrss_update")) -
                    median(all.front().korvane.at("maxrss_update"))));
  }
  std::printf("\n");
}

// Runs every repetition at one scale of one variant on the masters in
// `master`; false when the sides left different working copies.
bool measureScale(ScaleFigures& f, const stdfs::path& master, const stdfs::path& work, int reps,
                  const std::string& variant) {
  bool identical = true;
  for (int rep = 0; rep < reps; ++rep) {
    // The four sides take turns at going first.
    std::vector<std::string> order = {"korvane", "hand", "hand-off", "hand-durable"};
    std::rotate(order.begin(), order.begin() + rep % 4, order.end());
    for (const std::string& side : order) {
      const stdfs::path run = work / "run";
      removeFiles(run);
      const ChildResult r = runChild({"--child", side, master.string(), run.string(), variant});
      auto& into = side == "korvane"    ? f.korvane
                   : side == "hand"     ? f.hand
                   : side == "hand-off" ? f.handOff
                                        : f.durable;
      for (const auto& [k, v] : r.values)
        if (k != "fingerprint") into[k].push_back(std::stod(v));
      if (side != "hand-durable") {
        std::string print;
        std::getline(std::ifstream(run / "fingerprint.txt"), print, '\0');
        (side == "korvane" ? f.korvanePrint
         : side == "hand"  ? f.handPrint
                           : f.handOffPrint) = print;
        std::fprintf(stderr,
                     "[%s %lld] rep %d %-12s: update %.3f s, orphans %.3f s, nulls %.3f s\n",
                     variant.c_str(), f.scale, rep + 1, side.c_str(), r.number("update"),
                     r.number("orphans"), r.number("nulls"));
      } else {
        std::fprintf(stderr, "[%s %lld] rep %d %-12s: update %.3f s\n", variant.c_str(), f.scale,
                     rep + 1, side.c_str(), r.number("update"));
      }
      removeFiles(run);
    }
    if (f.korvanePrint != f.handPrint || f.korvanePrint != f.handOffPrint) {
      identical = false;
      std::fprintf(stderr, "Korvane:\n%s\nby hand:\n%s\nby hand, synchronous=OFF:\n%s\n",
                   f.korvanePrint.c_str(), f.handPrint.c_str(), f.handOffPrint.c_str());
    }
    const stdfs::path run = work / "run";
    const ChildResult c =
        runChild({"--child", "copies", master.string(), run.string(), std::to_string(rep)});
    for (const auto& [k, v] : c.values) f.copies[k].push_back(std::stod(v));
    removeFiles(run);
  }
  return identical;
}

int parentMain(const std::vector<std::string>& variants, const std::vector<long long>& scales,
               int reps, stdfs::path work, bool keep) {
  const bool madeWork = work.empty();
  if (madeWork) {
    std::string pattern = (stdfs::temp_directory_path() / "korvane-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) fail("mkdtemp failed");
    work = pattern;
  }
  stdfs::create_directories(work);
  std::printf(
      "korvane-bench: %zu variant(s), %zu scale(s), %d repetitions, Korvane and hand-written "
      "runs taking turns, each in a fresh process; sync and %.1f s pause before each timed "
      "action; work folder %s\n",
      variants.size(), scales.size(), reps, settleSeconds, work.c_str());
  std::fflush(stdout);

  std::map<std::string, std::vector<ScaleFigures>> byVariant;
  bool identical = true;
  for (const std::string& variant : variants) {
    for (long long scale : scales) {
      ScaleFigures f;
      f.scale = scale;
      const stdfs::path master = work / ("master-" + variant + "-" + std::to_string(scale));
      f.generated =
          runChild({"--child", "generate", master.string(), std::to_string(scale), variant});
      std::fprintf(stderr, "[%s %lld] generated in %.1f s\n", variant.c_str(), scale,
                   f.generated.number("seconds"));
      identical = measureScale(f, master, work, reps, variant) && identical;
      printScale(variant, f, reps);
      std::fflush(stdout);
      byVariant[variant].push_back(std::move(f));
      if (!keep) stdfs::remove_all(master);
    }
  }
  for (const std::string& variant : variants) printSummary(variant, byVariant.at(variant));
  for (const std::string& variant : variants) printTargets(variant, byVariant.at(variant));
  std::printf("\nworking copies identical on every side in every run: %s\n",
              identical ? "yes" : "NO (figures void)");
  std::printf("benchmark process itself: peak %.1f MiB\n", mib(maxRssKib()));
  if (madeWork && !keep) stdfs::remove_all(work);
  return identical ? 0 : 1;
}

// "a,b,c" as its items.
std::vector<std::string> splitList(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ','))
    if (!item.empty()) items.push_back(item);
  return items;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() >= 2 && args[0] == "--settle") {
      settleSeconds = std::stod(args[1]);
      args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() >= 3 && args[0] == "--child") {
      const std::string& side = args[1];
      const bool indexes = args.back() != kNoIndex;
      if (side == "generate" && args.size() == 5)
        childGenerate(args[2], std::stoll(args[3]), indexes);
      else if (side == "korvane" && args.size() == 5)
        childKorvane(args[2], args[3]);
      else if (side == "hand" && args.size() == 5)
        childHand(args[2], args[3], HandStyle::kDefaults, indexes);
      else if (side == "hand-off" && args.size() == 5)
        childHand(args[2], args[3], HandStyle::kSynchronousOff, indexes);
      else if (side == "hand-durable" && args.size() == 5)
        childHand(args[2], args[3], HandStyle::kDurableCopies, indexes);
      else if (side == "copies" && args.size() == 5)
        childCopies(args[2], args[3], std::stoi(args[4]));
      else
        fail("bad child arguments");
      return 0;
    }
    std::vector<long long> scales = {10000, 100000, 1000000};
    std::vector<std::string> variants = {kIndexed, kNoIndex};
    int reps = 5;
    stdfs::path work;
    bool keep = false;
    for (size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "--scales" && i + 1 < args.size()) {
        scales.clear();
        for (const auto& item : splitList(args[++i])) scales.push_back(std::stoll(item));
      } else if (args[i] == "--variants" && i + 1 < args.size()) {
        variants = splitList(args[++i]);
      } else if (args[i] == "--reps" && i + 1 < args.size()) {
        reps = std::stoi(args[++i]);
      } else if (args[i] == "--work" && i + 1 < args.size()) {
        work = args[++i];
      } else if (args[i] == "--keep") {
        keep = true;
      } else if (args[i] == "--settle" && i + 1 < args.size()) {
        settleSeconds = std::stod(args[++i]);
      } else {
        std::fprintf(stderr,
                     "usage: korvane-bench [--scales 10000,100000,1000000] [--reps 5] "
                     "[--work DIR] [--keep] [--settle SECONDS] [--variants indexed,no-index]\n");
        return 2;
      }
    }
    if (scales.empty() || variants.empty() || reps < 1) fail("nothing to measure");
    for (const auto& variant : variants)
      if (variant != kIndexed && variant != kNoIndex) fail("no variant " + variant);
    return parentMain(variants, scales, reps, work, keep);
  } catch (const korvane::Failure& f) {
    fail(std::to_string(f.number()) + " " + f.text());
  } catch (const std::exception& e) {
    fail(e.what());
  }
}
