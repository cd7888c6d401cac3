// What an action child reports: the three actions' costs, its memory, and a
// fingerprint of the working copy it left, so that the parent can tell that
// every side did the same work.
#pragma once

#include <filesystem>

#include "measure.h"

namespace korvane::bench {

// Writes the fingerprint of `working` to `run`/fingerprint.txt and prints
// the one RESULT line of an action child, the fingerprint's hash in it.
void reportActions(const std::filesystem::path& working, const std::filesystem::path& run,
                   const Measured& update, const Measured& orphans, const Measured& nulls,
                   long maxAfterUpdate, long maxAfterAll);

}  // namespace korvane::bench
