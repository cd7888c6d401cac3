// The test prefix and the SQLite reads behind the engine tests.
#include "lab.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "db/engine/script_builder.h"

namespace korvane::db::test {

namespace stdfs = std::filesystem;

Lab::Lab() : paths_(prefix_.root()), engine_(paths_) {
  stdfs::create_directories(prefix_.driveC() / "data_aco" / "Backup");
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
  return support::readRows(host(windowsPath), sql);
}

std::string Lab::value(const std::string& windowsPath, const std::string& sql) const {
  return support::readValue(host(windowsPath), sql);
}

std::string sampleScript(const std::string& name) {
  std::ifstream in(stdfs::path(KORVANE_SAMPLES_DIR) / name, std::ios::binary);
  if (!in) throw std::runtime_error("missing sample script " + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string jetQuoted(const std::string& path) {
  return workflow::statements::jetLiteralBody(path);
}

std::string transfer(const workflow::statements::Transfer& t, const std::string& literalBody) {
  return t.withPath(literalBody);
}

std::vector<std::string> transfers(const std::string& literalBody) {
  std::vector<std::string> all;
  for (const auto& t : kTransfers) all.push_back(transfer(t, literalBody));
  return all;
}

}  // namespace korvane::db::test
