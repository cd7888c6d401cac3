// korvane-fuzz-seeds <folder>: writes the seed corpus (program_seeds.h) into
// <folder>, one file per statement, replacing files of the same name. Run it
// on fuzz/corpus after changing a statement of the program.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "program_seeds.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: korvane-fuzz-seeds <folder>\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  for (const korvane::fuzz::Seed& seed : korvane::fuzz::programSeeds()) {
    std::ofstream out(folder / seed.fileName, std::ios::binary | std::ios::trunc);
    out << seed.text;
    if (!out.flush()) {
      std::cerr << "korvane-fuzz-seeds: cannot write " << (folder / seed.fileName) << "\n";
      return 1;
    }
  }
  return 0;
}
