// korvane-jet-import: the helper program that reads a Jet file, so that
// libmdb parses untrusted bytes in a process of its own.
//
//   korvane-jet-import JETFILE TARGET DISPLAYNAME
//
// See jetImportHelperMain (jet_import_process.h).
#include "jet_file/jet_import_process.h"

int main(int argc, char** argv) {
  return korvane::jetfile::jetImportHelperMain(argc, argv);
}
