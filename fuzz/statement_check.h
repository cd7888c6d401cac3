// The one entry of the statement fuzzer and of its corpus replay: a
// statement text goes through the engine's tokenizer, parser, binder (which
// resolves every name against a catalog) and writers as far as it gets.
// Rejections are Jet failures; anything else (a crash, a sanitizer report,
// an exception of another type) is a fault in the engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace korvane::fuzz {

enum class Reached {
  kTokenizer,  // the tokenizer rejected it
  kParser,     // the parser rejected it
  kResolver,   // it parsed; the binder rejected it
  kWritten,    // it was turned into SQLite statements
};

// Runs `text` through the engine's front end against the catalog of a
// database with the program's tables (built once, on first use, from
// `schemaScript`, a Jet SQL script file).
Reached checkStatement(std::string_view text, const char* schemaScript);

}  // namespace korvane::fuzz
