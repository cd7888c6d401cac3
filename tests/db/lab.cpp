// The test prefix and the SQLite reads behind the engine tests.
#include "lab.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "db/script_builder.h"
#include "fs/failure.h"

namespace korvane::db::test {

namespace stdfs = std::filesystem;

namespace {

stdfs::path makeTempFolder() {
  std::string pattern = (stdfs::temp_directory_path() / "korvane-db-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

stdfs::path makePrefix() {
  stdfs::path prefix = makeTempFolder();
  stdfs::create_directories(prefix / "dosdevices");
  stdfs::create_directories(prefix / "drive_c" / "data_aco" / "Backup");
  stdfs::create_directory_symlink(prefix / "drive_c", prefix / "dosdevices" / "c:");
  return prefix;
}

}  // namespace

Lab::Lab() : prefix_(makePrefix()), paths_(prefix_), engine_(paths_) {}

Lab::~Lab() {
  std::error_code ec;
  stdfs::remove_all(prefix_, ec);
}

stdfs::path Lab::host(const std::string& windowsPath) const {
  return paths_.toHost(windowsPath);
}

void Lab::buildSample(const std::string& windowsPath, const std::string& script,
                      std::string_view extra) {
  build(windowsPath, sampleScript(script) + "\n" + std::string(extra));
}

void Lab::build(const std::string& windowsPath, std::string_view script) {
  buildDatabaseFromScript(host(windowsPath), script);
}

void Lab::copy(const std::string& from, const std::string& to) {
  stdfs::copy_file(host(from), host(to), stdfs::copy_options::overwrite_existing);
}

Rows Lab::rows(const std::string& windowsPath, const std::string& sql) const {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(host(windowsPath).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
    throw std::runtime_error("cannot open " + windowsPath);
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    std::string message = sqlite3_errmsg(db);
    sqlite3_close(db);
    throw std::runtime_error(message + " in " + sql);
  }
  Rows result;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      auto text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
      row.push_back(text ? std::string(text) : "<null>");
    }
    result.push_back(std::move(row));
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return result;
}

std::string Lab::value(const std::string& windowsPath, const std::string& sql) const {
  Rows r = rows(windowsPath, sql);
  if (r.size() != 1 || r[0].size() != 1) throw std::runtime_error("not one value: " + sql);
  return r[0][0];
}

std::string sampleScript(const std::string& name) {
  std::ifstream in(stdfs::path(KORVANE_SAMPLES_DIR) / name, std::ios::binary);
  if (!in) throw std::runtime_error("missing sample script " + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

Caught failureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Failure& f) {
    return {f.number(), f.text()};
  }
  return {};
}

std::string jetQuoted(const std::string& path) {
  std::string out;
  for (char c : path) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

}  // namespace korvane::db::test
