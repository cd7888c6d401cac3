// Large databases in Korvane's file format, for the benchmark.
//
// The old system database (QX_aco.mdb) and the template (QX_Std.mdb) are
// first built through the engine from the sample scripts, so their schema,
// declared types, application id and field properties are exactly what the
// engine makes. The old database's tables are then filled with generated rows
// by raw SQLite prepared inserts (one transaction, journal off), in the
// columns the built file has, so the rows follow the sample script's layout.
//
// The shape at `measurements` = N: about N/3 experiments and N/9 samples;
// 4 % of the experiments have no measurements, 0.2 % have no date and 0.3 %
// are duplicate rows; 2 % of the samples have no experiments; 10 % of the
// measurements have group C not measured (C1 = 0), 15 % group K, 20 % group
// A, with a few groups left Null; 300 materials (a few named like standard
// materials) and 50 users. The same seed gives the same files.
//
// Without indexes (the no-index variant), both files are rebuilt after the
// scripts ran: the same tables, fields, declared types, defaults, required
// fields and rows, but no key and no index on any table, as a template made
// by another tool may be.
#pragma once

#include <cstdint>
#include <filesystem>

namespace korvane::bench {

struct GeneratorOptions {
  std::int64_t measurements = 10000;
  std::uint64_t seed = 20260;
  // False: no key and no index in either file.
  bool indexes = true;
  // The sample scripts the schemas come from.
  std::filesystem::path oldSystemScript;
  std::filesystem::path templateScript;
};

struct GeneratedCounts {
  std::int64_t samples = 0;
  std::int64_t experiments = 0;
  std::int64_t measurements = 0;
  std::int64_t materials = 0;
  std::int64_t users = 0;
};

// Writes `folder`/QX_aco.mdb and `folder`/QX_Std.mdb, replacing files there.
// Throws std::runtime_error (or korvane::Failure from the engine) on failure.
GeneratedCounts generateDatabases(const std::filesystem::path& folder,
                                  const GeneratorOptions& options);

// The sample scripts of the source tree (samples/ at build time).
std::filesystem::path defaultOldSystemScript();
std::filesystem::path defaultTemplateScript();

}  // namespace korvane::bench
