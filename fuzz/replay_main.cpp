// korvane-fuzz-replay FILE...: runs each file through the statement check,
// as the fuzzer does, and prints how far it got. A fault (a crash, a
// sanitizer report, an exception that is not a Jet failure) ends the program
// abnormally; CTest runs it on every crash reproducer in fuzz/crashes/.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "statement_check.h"

namespace {

const char* stageOf(korvane::fuzz::Reached reached) {
  switch (reached) {
    case korvane::fuzz::Reached::kTokenizer:
      return "rejected by the tokenizer";
    case korvane::fuzz::Reached::kParser:
      return "rejected by the parser";
    case korvane::fuzz::Reached::kResolver:
      return "rejected by the resolver";
    case korvane::fuzz::Reached::kWritten:
      return "written";
  }
  return "?";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: korvane-fuzz-replay FILE...\n";
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    if (!in) {
      std::cerr << "korvane-fuzz-replay: cannot read " << argv[i] << "\n";
      return 2;
    }
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    std::cout << argv[i] << ": "
              << stageOf(korvane::fuzz::checkStatement(text, KORVANE_FUZZ_SCHEMA)) << "\n";
  }
  return 0;
}
