// The reliability test bench.
#include "bench.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "support/files.h"
#include "workflow/naming.h"

namespace korvane::reliability {

::testing::AssertionResult sameBytes(const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  std::size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  return ::testing::AssertionFailure() << actual.size() << " bytes where " << expected.size()
                                       << " were expected, first difference at byte " << at;
}

Bench::Bench()
    : paths_(lab_.prefix()),
      host_(paths_, systemCalls_),
      files_(host_, paths_, systemCalls_),
      frame_(std::make_unique<workflow::CommandFrame>(
          workflow::Services{files_, lab_.clock(), paths_})) {
  lab_.installSystemFiles();
}

void Bench::chooseSystemDatabase() {
  workflow::testing::chooseSystemDatabase(frame_->context());
}

void Bench::chooseExternal(const std::string& windowsPath) {
  workflow::testing::chooseExternal(frame_->context(), windowsPath);
}

void Bench::nextMinute() {
  fs::LocalTime time = lab_.clock().now();
  time.minute = (time.minute + 1) % 60;
  lab_.clock().set(time);
}

std::string Bench::bytesOf(const std::string& windowsPath) const {
  return bytesOrMissing(lab_.host(windowsPath));
}

std::vector<std::string> Bench::backups() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(lab_.host("C:\\data_aco\\Backup"))) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("QX_aco_") && !name.ends_with("_update.mdb")) {
      names.push_back("C:\\data_aco\\Backup\\" + name);
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> Bench::leftovers() const {
  std::vector<std::string> names;
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(lab_.host("C:\\data_aco"))) {
    const std::string name = entry.path().filename().string();
    if (name.find(".korvane-") != std::string::npos) names.push_back(name);
  }
  return names;
}

std::string integrityOf(const Lab& lab, const std::string& windowsPath) {
  std::string verdict;
  for (const std::string& line : lab.column(windowsPath, "PRAGMA integrity_check")) {
    verdict += line;
  }
  return verdict;
}

std::vector<std::string> contentOf(const Lab& lab, const std::string& windowsPath) {
  std::vector<std::string> content = workflow::testing::samples(lab, windowsPath);
  for (const std::string& name :
       lab.column(windowsPath, "SELECT Name FROM Materials ORDER BY Name")) {
    content.push_back("material " + name);
  }
  for (const std::string& count :
       lab.column(windowsPath, "SELECT count(*) FROM Measurements WHERE C1 = 0")) {
    content.push_back("zero readings " + count);
  }
  return content;
}

std::string Bench::integrityOf(const std::string& windowsPath) const {
  return reliability::integrityOf(lab_, windowsPath);
}

std::vector<std::string> Bench::contentOf(const std::string& windowsPath) const {
  return reliability::contentOf(lab_, windowsPath);
}

std::string bytesOrMissing(const std::filesystem::path& file) {
  return std::filesystem::is_regular_file(file) ? support::readFile(file) : kMissing;
}

int settingOf(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

}  // namespace korvane::reliability
