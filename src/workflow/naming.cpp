// The names of an Update run's backup and working copy, derived from the stamp
// and, for an external database, from the chosen path.
#include "workflow/naming.h"

#include <cstddef>

#include "fs/failure.h"
#include "text/utf8.h"

namespace korvane::workflow {

namespace {

// The length of "\QX_aco.mdb": what the external rule cuts off the chosen path.
constexpr std::size_t kCutCharacters = 11;

}  // namespace

RunNames systemNames(const std::string& stamp) {
  const std::string base = std::string(kBackupBase) + "_" + stamp;
  return RunNames{base + ".mdb", base + "_update.mdb"};
}

RunNames externalNames(const std::string& selectedPath, const std::string& stamp) {
  // Counting characters rather than bytes keeps a name with accented letters whole.
  const std::size_t cut = text::startOfLastCharacters(selectedPath, kCutCharacters);
  if (cut == std::string::npos) {
    throw Failure(fserr::kInvalidArgument, "Invalid procedure call or argument: the path '" +
                                               selectedPath +
                                               "' is too short to name a working copy");
  }
  return RunNames{selectedPath, selectedPath.substr(0, cut) + "_" + stamp + ".mdb"};
}

}  // namespace korvane::workflow
