// The statement fuzzer's seed corpus: the program's own statements, written
// from workflow/program_statements.h, so the seeds are what the program
// sends. fuzz/corpus/ holds them as files (korvane-fuzz-seeds writes them);
// the corpus replay test checks that the files still match.
#pragma once

#include <string>
#include <vector>

namespace korvane::fuzz {

struct Seed {
  std::string fileName;  // e.g. "transfer_samples.sql"
  std::string text;      // the statement, without a line end
};

// Every transfer into two working copies (a backup's, and an external one
// with quotes in its path), then Update's two statements on the working
// copy, the two orphan deletions and the three Null replacements.
std::vector<Seed> programSeeds();

}  // namespace korvane::fuzz
