// korvane-gen: writes a large old system database and the template.
//
//   korvane-gen [--no-index] FOLDER [MEASUREMENTS] [SEED]
//
// FOLDER/QX_aco.mdb gets about MEASUREMENTS measurement rows (default 10000)
// with their experiments, samples, materials and users; FOLDER/QX_Std.mdb is
// the sample template. With --no-index neither file has a key or an index.
// See generator.h for the shape of the data.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "fs/failure.h"
#include "generator.h"

int main(int argc, char** argv) {
  korvane::bench::GeneratorOptions options;
  if (argc > 1 && std::string(argv[1]) == "--no-index") {
    options.indexes = false;
    --argc;
    ++argv;
  }
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: korvane-gen [--no-index] FOLDER [MEASUREMENTS] [SEED]\n");
    return 2;
  }
  options.oldSystemScript = korvane::bench::defaultOldSystemScript();
  options.templateScript = korvane::bench::defaultTemplateScript();
  try {
    if (argc > 2) options.measurements = std::stoll(argv[2]);
    if (argc > 3) options.seed = std::stoull(argv[3]);
    const auto start = std::chrono::steady_clock::now();
    const auto counts = korvane::bench::generateDatabases(argv[1], options);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf(
        "%s: %lld samples, %lld experiments, %lld measurements, %lld materials, "
        "%lld users generated in %.2f s%s\n",
        argv[1], static_cast<long long>(counts.samples), static_cast<long long>(counts.experiments),
        static_cast<long long>(counts.measurements), static_cast<long long>(counts.materials),
        static_cast<long long>(counts.users), took.count(),
        options.indexes ? "" : ", without keys or indexes");
    return 0;
  } catch (const korvane::Failure& f) {
    std::fprintf(stderr, "korvane-gen: %d %s\n", f.number(), f.text().c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "korvane-gen: %s\n", e.what());
  }
  return 1;
}
