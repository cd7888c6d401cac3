// The Jet import fuzzer's corpus replayed through its own entry with the
// normal compiler: the minimal corpus a fuzzing run kept (fuzz/jet_corpus,
// gzip-compressed Jet files, most of them damaged) must each be refused with
// 3343 or imported, never fault; the six fixtures it was seeded with must
// import.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "jet_import_check.h"
#include "support/files.h"

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
