// The helper's side of the Jet import: what korvane-jet-import does.
#include <cstdio>
#include <new>

#include "db/jet_errors.h"
#include "db/jet_file/jet_file.h"
#include "db/jet_file/jet_import_process.h"
#include "fs/failure.h"

namespace korvane::db {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

int report(int number, const std::string& text) {
  std::printf("%d\n%s", number, text.c_str());
  return std::fflush(stdout) == 0 ? kFailed : kUsage;
}

}  // namespace

int jetImportHelperMain(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s JETFILE TARGET DISPLAYNAME\n", argv[0]);
    return kUsage;
  }
  const std::string displayName = argv[3];
  try {
    importJetFileToNewDatabase(argv[1], argv[2], displayName);
    return kDone;
  } catch (const Failure& failure) {
    return report(failure.number(), failure.text());
  } catch (const std::bad_alloc&) {
    // The memory limit was reached outside libmdb (which aborts instead).
    std::remove(argv[2]);
    const int number = jeterr::kNotADatabase;
    return report(
        number, jetMessage(number, displayName) + " (reading it needs more memory than its limit)");
  }
}

}  // namespace korvane::db
