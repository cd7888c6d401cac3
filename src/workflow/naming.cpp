// The names of an Update run's backup and working copy, derived from the stamp
// and, for an external database, from the chosen path.
#include "workflow/naming.h"

#include <cstddef>

#include "fs/failure.h"

namespace korvane::workflow {

namespace {

// The length of "\QX_aco.mdb": what the external rule cuts off the chosen path.
constexpr std::size_t kCutCharacters = 11;

bool isContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Byte offset where the last `count` characters of UTF-8 `text` begin, or
// npos when `text` has fewer characters. Counting characters rather than
// bytes keeps a name with accented letters whole.
std::size_t startOfLastCharacters(const std::string& text, std::size_t count) {
  std::size_t offset = text.size();
  for (std::size_t seen = 0; seen < count; ++seen) {
    if (offset == 0) return std::string::npos;
    --offset;
    while (offset > 0 && isContinuationByte(text[offset])) --offset;
  }
  return offset;
}

}  // namespace

RunNames systemNames(const std::string& stamp) {
  const std::string base = std::string(kBackupBase) + "_" + stamp;
  return RunNames{base + ".mdb", base + "_update.mdb"};
}

RunNames externalNames(const std::string& selectedPath, const std::string& stamp) {
  const std::size_t cut = startOfLastCharacters(selectedPath, kCutCharacters);
  if (cut == std::string::npos) {
    throw Failure(fserr::kInvalidArgument, "Invalid procedure call or argument: the path '" +
                                               selectedPath +
                                               "' is too short to name a working copy");
  }
  return RunNames{selectedPath, selectedPath.substr(0, cut) + "_" + stamp + ".mdb"};
}

}  // namespace korvane::workflow
