// The Jet import fuzzer's corpus replayed through its own entry with the
// normal compiler: the minimal corpus a fuzzing run kept (fuzz/jet_corpus,
// gzip-compressed Jet files, most of them damaged) must each be refused with
// 3343 or imported, never fault; the six fixtures it was seeded with must
// import; the sandboxed helper gives each the outcome it has in process.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "jet_file/jet_file.h"
#include "jet_file/jet_import_process.h"
#include "jet_import_check.h"
#include "support/failure_of.h"
#include "support/files.h"
#include "support/temp_prefix.h"

namespace korvane::reliability {
namespace {

namespace stdfs = std::filesystem;

std::vector<std::uint8_t> gunzip(const stdfs::path& file) {
  std::vector<std::uint8_t> bytes;
  gzFile in = gzopen(file.c_str(), "rb");
  if (in == nullptr) return bytes;
  std::uint8_t buffer[65536];
  int n;
  while ((n = gzread(in, buffer, sizeof buffer)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  EXPECT_EQ(n, 0) << file << " is not a whole gzip file";
  gzclose(in);
  return bytes;
}

TEST(JetCorpusReplay, EveryKeptInputIsRefusedOrImportedWithoutFault) {
  int refused = 0, imported = 0;
  for (const auto& entry : stdfs::directory_iterator(KORVANE_JET_CORPUS)) {
    if (entry.path().extension() != ".gz") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const std::vector<std::uint8_t> bytes = gunzip(entry.path());
    ASSERT_FALSE(bytes.empty());
    // A fault aborts the test program, as it stops the fuzzer.
    if (fuzz::checkJetImport(bytes) == fuzz::JetOutcome::kRefused) {
      ++refused;
    } else {
      ++imported;
    }
  }
  EXPECT_GE(refused + imported, 20) << "the kept corpus is missing";
  EXPECT_GT(refused, 0);
}

// The helper, sandboxed, gives every kept input what the import gives in
// this process: the same refusal, number and text, or the same copy, byte
// for byte.
TEST(JetCorpusReplay, TheSandboxedHelperGivesEachInputTheOutcomeOfTheImportInProcess) {
  const support::TempFolder folder;
  const stdfs::path input = folder.path() / "input.mdb", inProcess = folder.path() / "in.sqlite";
  stdfs::create_directory(folder.path() / "private");
  const stdfs::path inHelper = folder.path() / "private" / "copy.sqlite";
  const auto outcomeOf = [](const std::function<void()>& import) {
    const support::Caught caught = support::failureOf(import);
    return std::to_string(caught.number) + " " + caught.text;
  };
  int compared = 0;
  for (const auto& entry : stdfs::directory_iterator(KORVANE_JET_CORPUS)) {
    if (entry.path().extension() != ".gz") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const std::vector<std::uint8_t> bytes = gunzip(entry.path());
    support::writeFile(input, std::string(bytes.begin(), bytes.end()));
    const std::string expected =
        outcomeOf([&] { jetfile::importJetFileToNewDatabase(input, inProcess, "kept.mdb"); });
    EXPECT_EQ(outcomeOf([&] { jetfile::importJetFileInHelper(input, inHelper, "kept.mdb"); }),
              expected);
    if (expected.rfind("0 ", 0) == 0) {
      EXPECT_TRUE(support::readFile(inHelper) == support::readFile(inProcess))
          << "the copies differ";
    }
    for (const stdfs::path& copy : {inProcess, inHelper}) jetfile::removeDatabaseFiles(copy);
    ++compared;
  }
  EXPECT_GE(compared, 20) << "the kept corpus is missing";
}

TEST(JetCorpusReplay, TheSeedsImport) {
  const stdfs::path fixtures = KORVANE_JET_FIXTURES_DIR;
  ASSERT_TRUE(stdfs::is_directory(fixtures)) << "the Jet fixtures are missing: " << fixtures;
  for (const char* seed :
       {"testV1997.mdb", "test2V2000.mdb", "indexTestV2000.mdb", "testIndexPropertiesV2000.mdb",
        "testUnicodeCompV2003.mdb", "functionsV2000.mdb"}) {
    const std::string file = support::readFile(fixtures / seed);
    const std::vector<std::uint8_t> bytes(file.begin(), file.end());
    std::string why;
    EXPECT_EQ(fuzz::checkJetImport(bytes, &why), fuzz::JetOutcome::kImported)
        << seed << ": " << why;
  }
}

}  // namespace
}  // namespace korvane::reliability
