// The parent: for every variant and scale it generates the masters, runs
// every side in turn for every repetition, and prints the figures.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace korvane::bench {

// The two variants of the generated files.
inline constexpr const char* kIndexed = "indexed";
inline constexpr const char* kNoIndex = "no-index";

// Measures every variant at every scale in `work` (a new folder under the
// temporary folder when empty, removed afterwards unless `keep`). Returns
// the program's exit status: 1 when the sides left different working
// copies, which voids the figures.
int parentMain(const std::vector<std::string>& variants, const std::vector<long long>& scales,
               int reps, std::filesystem::path work, bool keep);

}  // namespace korvane::bench
