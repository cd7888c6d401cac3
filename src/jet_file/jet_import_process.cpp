// Runs the Jet import in the helper and turns how it ended into a failure.
#include "jet_file/jet_import_process.h"

#include <charconv>
#include <optional>

#include "fs/failure.h"
#include "jet_file/jet_file.h"
#include "jet_file/sanitized_build.h"
#include "sqlite/jet_errors.h"

namespace korvane::jetfile {

namespace {

namespace stdfs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::uint64_t kMegabyte = 1 << 20;
constexpr size_t kStderrNote = 300;

// Set by tests only.
std::optional<stdfs::path> testHelper;
std::optional<fs::ChildLimits> testLimits;
std::vector<std::string> testArguments;

// The last line of what the helper printed to stderr (libmdb's or glib's
// last word before a crash), to end a failure's text with.
std::string lastLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  const size_t start = text.find_last_of('\n');
  std::string line = start == std::string::npos ? text : text.substr(start + 1);
  if (line.size() > kStderrNote) line = line.substr(0, kStderrNote) + "...";
  return line.empty() ? "" : ": " + line;
}

// The helper's own report, "<number>\n<text>", of a failure.
std::optional<Failure> reportedFailure(const fs::ChildOutcome& outcome) {
  const std::string& out = outcome.out;
  const size_t newline = out.find('\n');
  int number = 0;
  if (newline == std::string::npos || newline == 0) return std::nullopt;
  const auto [end, error] = std::from_chars(out.data(), out.data() + newline, number);
  if (error != std::errc() || end != out.data() + newline || number <= 0) return std::nullopt;
  return Failure(number, out.substr(newline + 1));
}

}  // namespace

fs::ChildLimits jetImportLimits(std::uint64_t fileSize) {
  fs::ChildLimits limits;
  // libmdb, glib and SQLite take tens of MB; a long value is at most 16 MB,
  // and every value is held once in memory and once in SQLite's cache.
  limits.memoryBytes = kBuiltWithAddressSanitizer ? 0 : 512 * kMegabyte + 16 * fileSize;
  // The copy: text grows at most threefold in UTF-8, plus SQLite's pages.
  limits.fileBytes = 64 * kMegabyte + 8 * fileSize;
  // A sound file imports at about 30 ms per MB; the wall-clock limit leaves
  // room for a slow temporary folder.
  limits.cpu = std::chrono::seconds(10 + fileSize / (2 * kMegabyte));
  limits.wall = std::chrono::milliseconds(20000 + fileSize / kMegabyte * 1000);
  return limits;
}

stdfs::path jetImportHelperBeside(const stdfs::path& program) {
  std::error_code error;
  for (const stdfs::path& candidate :
       {program.parent_path() / kJetImportHelperName,
        program.parent_path().parent_path() / "libexec" / "korvane" / kJetImportHelperName}) {
    if (stdfs::is_regular_file(candidate, error)) return candidate;
  }
  return {};
}

stdfs::path jetImportHelper() {
  if (testHelper) return *testHelper;
  std::error_code error;
  const stdfs::path self = stdfs::read_symlink("/proc/self/exe", error);
  return error ? stdfs::path() : jetImportHelperBeside(self);
}

void useJetImportHelperForTesting(const stdfs::path& program, const fs::ChildLimits* limits,
                                  const std::vector<std::string>& leadingArguments) {
  testHelper = program;
  testArguments = leadingArguments;
  testLimits.reset();
  if (limits) testLimits = *limits;
}

void importJetFileInHelper(const stdfs::path& jetFile, const stdfs::path& targetFile,
                           const std::string& displayName) {
  const auto damaged = [&](const std::string& why) {
    removeDatabaseFiles(targetFile);
    raiseJet(jeterr::kNotADatabase, displayName, why);
  };
  const stdfs::path helper = jetImportHelper();
  if (helper.empty())
    damaged(std::string("the reader of Jet files, ") + kJetImportHelperName +
            ", is not installed beside Korvane");
  std::error_code error;
  const std::uint64_t size = stdfs::file_size(jetFile, error);
  const fs::ChildLimits limits = testLimits ? *testLimits : jetImportLimits(error ? 0 : size);
  std::vector<std::string> arguments = testArguments;
  arguments.insert(arguments.end(), {jetFile.string(), targetFile.string(), displayName});
  const fs::ChildOutcome outcome = fs::runChild(helper, arguments, limits);
  if (outcome.end == fs::ChildOutcome::End::kExited && outcome.code == 0) return;
  if (outcome.end == fs::ChildOutcome::End::kExited && outcome.code == 1) {
    if (auto failure = reportedFailure(outcome)) {
      removeDatabaseFiles(targetFile);
      throw *failure;
    }
  }
  damaged("reading it " + fs::describeEnd(outcome, limits) + lastLine(outcome.err));
}

}  // namespace korvane::jetfile
