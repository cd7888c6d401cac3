// The helper's side of the Jet import: what korvane-jet-import does.
#include <unistd.h>

#include <cstdio>
#include <new>

#include "fs/failure.h"
#include "jet_file/jet_file.h"
#include "jet_file/jet_import_process.h"
#include "jet_file/jet_import_sandbox.h"
#include "sqlite/jet_errors.h"

namespace korvane::jetfile {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// Where the report goes: what stdout was when the helper started.
std::FILE* reportStream = stdout;

int report(int number, const std::string& text) {
  std::fprintf(reportStream, "%d\n%s", number, text.c_str());
  return std::fflush(reportStream) == 0 ? kFailed : kUsage;
}

// libmdb prints to stdout now and then; only the report may go there, so
// stdout itself is pointed at stderr from here on.
void keepStdoutForTheReport() {
  std::fflush(stdout);
  const int saved = ::dup(STDOUT_FILENO);
  if (saved < 0) return;
  std::FILE* stream = ::fdopen(saved, "w");
  if (!stream || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
    if (stream) std::fclose(stream);
    return;
  }
  reportStream = stream;
}

}  // namespace

int jetImportHelperMain(int argc, char** argv, const std::function<void()>& whileConfined) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s JETFILE TARGET DISPLAYNAME\n", argv[0]);
    return kUsage;
  }
  const std::string displayName = argv[3];
  keepStdoutForTheReport();
  try {
    try {
      confineTheImport(argv[1], argv[2], displayName);
      if (whileConfined) whileConfined();
      importJetFileToNewDatabase(argv[1], argv[2], displayName);
    } catch (const std::bad_alloc&) {
      // The memory limit was reached outside libmdb (which aborts instead).
      removeDatabaseFiles(argv[2]);
      raiseJet(jeterr::kNotADatabase, displayName, "reading it needs more memory than its limit");
    }
    return kDone;
  } catch (const Failure& failure) {
    return report(failure.number(), failure.text());
  }
}

}  // namespace korvane::jetfile
