// The import helper with the checks before libmdb turned off, so that a test
// can watch libmdb fail on its own, safely in this process of its own. With
// KORVANE_TEST_HELPER=hang in its environment it hangs instead.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "jet_file/jet_import_process.h"

int main(int argc, char** argv) {
  const char* mode = std::getenv("KORVANE_TEST_HELPER");
  if (mode && std::string(mode) == "hang") {
    for (;;) ::pause();
  }
  korvane::jetfile::disableJetStructureChecksForTesting();
  return korvane::jetfile::jetImportHelperMain(argc, argv);
}
