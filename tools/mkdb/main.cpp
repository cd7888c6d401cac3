// korvane-mkdb <new database file> <script.sql>
//
// Creates the database file (it must not exist) and runs the Jet SQL script
// in it through the engine; the sample databases are built this way.
#include <iostream>

#include "db/engine/script_builder.h"
#include "fs/failure.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: korvane-mkdb <new database file> <script.sql>\n";
    return 2;
  }
  try {
    korvane::db::buildDatabaseFromScriptFile(argv[1], argv[2]);
  } catch (const korvane::Failure& f) {
    std::cerr << "korvane-mkdb: " << argv[2] << ": error " << f.number() << ": " << f.text()
              << "\n";
    return 1;
  }
  return 0;
}
