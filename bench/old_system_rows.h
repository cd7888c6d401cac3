// The generated rows of the old system database: samples, experiments,
// measurements, materials and users, in the columns the built file has (the
// shape is described in generator.h).
#pragma once

#include <sqlite3.h>

#include "generator.h"

namespace korvane::bench {

// Fills the old database's tables in `db`, within the caller's transaction,
// and counts the rows written.
void fillOldSystem(sqlite3* db, const GeneratorOptions& options, GeneratedCounts& counts);

}  // namespace korvane::bench
