// The one entry of the Jet import fuzzer and of its corpus replay: the bytes
// of a file go through the whole Jet import, checks and libmdb included,
// into an in-memory SQLite database. A refusal is failure 3343; anything
// else (another number, a crash, a sanitizer report, an exception of another
// type, an import that takes too long) is a fault in the reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace korvane::fuzz {

enum class JetOutcome {
  kRefused,   // 3343, with a reason
  kImported,  // every table came across
};

// Imports `bytes` as a Jet file (written to a file of this process's own in
// the temporary folder, since libmdb reads files). Aborts on a fault, so
// that the fuzzer reports it; `why`, when given, receives the refusal's text.
JetOutcome checkJetImport(std::span<const std::uint8_t> bytes, std::string* why = nullptr);

}  // namespace korvane::fuzz
