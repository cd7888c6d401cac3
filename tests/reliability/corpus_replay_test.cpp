// The fuzzer's seed corpus (every statement the program sends) replayed
// through the fuzzer's own entry with the normal compiler: the seed files
// are the program's statements as they are today, each gets through
// tokenizer, parser and resolver to SQLite statements, and any further
// input kept from fuzzing is at least handled without a fault.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "program_seeds.h"
#include "statement_check.h"
#include "support/files.h"

namespace korvane::reliability {
namespace {

namespace stdfs = std::filesystem;

TEST(CorpusReplay, TheSeedFilesAreTheProgramStatements) {
  support::FolderBytes expected;
  for (const fuzz::Seed& seed : fuzz::programSeeds()) expected[seed.fileName] = seed.text;
  EXPECT_EQ(expected.size(), 17u);  // five transfers twice, and seven more
  EXPECT_EQ(support::bytesIn(KORVANE_FUZZ_CORPUS), expected)
      << "run korvane-fuzz-seeds " << KORVANE_FUZZ_CORPUS << " after changing a statement";
}

TEST(CorpusReplay, EveryProgramStatementGetsThroughTheFrontEnd) {
  for (const fuzz::Seed& seed : fuzz::programSeeds()) {
    SCOPED_TRACE(seed.fileName);
    EXPECT_EQ(fuzz::checkStatement(seed.text, KORVANE_FUZZ_SCHEMA), fuzz::Reached::kWritten);
  }
}

// What the fuzzer found and kept: no fault, whatever stage rejects it.
TEST(CorpusReplay, FoundInputsAreRejectedOrWrittenWithoutFault) {
  const stdfs::path found = KORVANE_FUZZ_FOUND;
  if (!stdfs::exists(found)) GTEST_SKIP() << "no inputs kept from fuzzing yet";
  for (const auto& entry : stdfs::directory_iterator(found)) {
    SCOPED_TRACE(entry.path().filename().string());
    (void)fuzz::checkStatement(support::readFile(entry.path()), KORVANE_FUZZ_SCHEMA);
  }
}

}  // namespace
}  // namespace korvane::reliability
