// The fuzzer's seed corpus (every statement the program sends) replayed
// through the fuzzer's own entry with the normal compiler: each must get
// through tokenizer, parser and resolver to SQLite statements, and any
// further input kept in the corpus must at least be handled without a fault.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "statement_check.h"

namespace korvane::reliability {
namespace {

namespace stdfs = std::filesystem;

std::string textOf(const stdfs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(CorpusReplay, EveryProgramStatementGetsThroughTheFrontEnd) {
  int replayed = 0;
  for (const auto& entry : stdfs::directory_iterator(KORVANE_FUZZ_CORPUS)) {
    SCOPED_TRACE(entry.path().filename().string());
    EXPECT_EQ(fuzz::checkStatement(textOf(entry.path()), KORVANE_FUZZ_SCHEMA),
              fuzz::Reached::kWritten);
    ++replayed;
  }
  EXPECT_GE(replayed, 12);  // the twelve statements the program sends, at least
}

// What the fuzzer found and kept: no fault, whatever stage rejects it.
TEST(CorpusReplay, FoundInputsAreRejectedOrWrittenWithoutFault) {
  const stdfs::path found = KORVANE_FUZZ_FOUND;
  if (!stdfs::exists(found)) GTEST_SKIP() << "no inputs kept from fuzzing yet";
  for (const auto& entry : stdfs::directory_iterator(found)) {
    SCOPED_TRACE(entry.path().filename().string());
    (void)fuzz::checkStatement(textOf(entry.path()), KORVANE_FUZZ_SCHEMA);
  }
}

}  // namespace
}  // namespace korvane::reliability
