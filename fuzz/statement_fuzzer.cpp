// The libFuzzer target: every input is one Jet SQL statement text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "statement_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  (void)korvane::fuzz::checkStatement(text, KORVANE_FUZZ_SCHEMA);
  return 0;
}
