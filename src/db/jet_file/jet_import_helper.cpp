// korvane-jet-import: the helper program that reads a Jet file, so that
// libmdb parses untrusted bytes in a process of its own.
//
//   korvane-jet-import JETFILE TARGET DISPLAYNAME
//
// Creates the SQLite file TARGET and imports JETFILE into it. Exit status 0:
// done. Exit status 1: failed, and stdout holds the failure's number on the
// first line and its text after it; TARGET does not exist. Anything else
// (another status, a signal) is a fault the caller reports for it. The
// caller sets its limits (jet_import_process.h).
#include <cstdio>
#include <new>

#include "db/jet_errors.h"
#include "db/jet_file/jet_file.h"
#include "fs/failure.h"

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

int report(int number, const std::string& text) {
  std::printf("%d\n%s", number, text.c_str());
  return std::fflush(stdout) == 0 ? kFailed : kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s JETFILE TARGET DISPLAYNAME\n", argv[0]);
    return kUsage;
  }
  const std::string displayName = argv[3];
  try {
    korvane::db::importJetFileToNewDatabase(argv[1], argv[2], displayName);
    return kDone;
  } catch (const korvane::Failure& failure) {
    return report(failure.number(), failure.text());
  } catch (const std::bad_alloc&) {
    // The memory limit was reached outside libmdb (which aborts instead).
    std::remove(argv[2]);
    const int number = korvane::db::jeterr::kNotADatabase;
    return report(number, korvane::db::jetMessage(number, displayName) +
                              " (reading it needs more memory than its limit)");
  }
}
