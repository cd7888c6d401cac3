// The masters of one variant and scale, generated in a child of their own.
#include "children.h"
#include "generator.h"
#include "measure.h"
#include "sides.h"

namespace korvane::bench {

void childGenerate(const std::filesystem::path& master, long long measurements, bool indexes) {
  GeneratorOptions options;
  options.measurements = measurements;
  options.indexes = indexes;
  options.oldSystemScript = defaultOldSystemScript();
  options.templateScript = defaultTemplateScript();
  const auto start = Clock::now();
  const auto counts = generateDatabases(master, options);
  report({{"seconds", num(secondsSince(start))},
          {"samples", std::to_string(counts.samples)},
          {"experiments", std::to_string(counts.experiments)},
          {"measurements", std::to_string(counts.measurements)},
          {"bytes", std::to_string(std::filesystem::file_size(master / "QX_aco.mdb"))}});
}

}  // namespace korvane::bench
