// What the parent prints: per scale, the medians of every side, their
// ratios and what the time is made of; then, per variant, the summary across
// scales and the targets, met or not.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "children.h"

namespace korvane::bench {

// Everything measured at one scale of one variant, each figure by its
// RESULT key, one value per repetition.
struct ScaleFigures {
  long long scale = 0;
  std::map<std::string, std::vector<double>> korvane, hand, handOff, durable, copies;
  std::string korvanePrint, handPrint, handOffPrint;
  ChildResult generated;
};

void printScale(const std::string& variant, const ScaleFigures& f, int reps);
void printSummary(const std::string& variant, const std::vector<ScaleFigures>& all);

// The targets, per variant: Korvane / by hand with SQLite's defaults at the
// largest scale (each action its own), Korvane / by hand with
// synchronous=OFF, time at 10x the rows, and peak memory during an action at
// the largest scale over the smallest. Printed as measured, met or not.
void printTargets(const std::string& variant, const std::vector<ScaleFigures>& all);

// Resident memory in MiB, of KiB.
double mib(double kib);

}  // namespace korvane::bench
