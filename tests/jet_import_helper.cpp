// Linked into every test program that opens real Jet files through the
// engine: the engine runs the build tree's import helper, wherever the test
// is started from and whatever its environment.
#include "jet_file/jet_import_process.h"

namespace {

const bool kHelperChosen =
    (korvane::jetfile::useJetImportHelperForTesting(KORVANE_JET_IMPORT_HELPER), true);

}  // namespace
