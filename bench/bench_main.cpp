// korvane-bench: Korvane's Update, Delete orphans and Set un-measured values
// to Null against the same work written by hand in SQLite, on identical
// copies of generated databases, at several scales.
//
//   korvane-bench [--scales 10000,100000,1000000] [--reps 5] [--work DIR] [--keep]
//                 [--settle SECONDS] [--variants indexed,no-index]
//
// Two variants of the files: "indexed", with the keys and indexes the sample
// scripts declare, and "no-index", with none in either file (a template made
// by another tool). For every variant and scale the generator writes a
// master old system database and the template (in a child process). Then,
// for every repetition, fresh child processes run the actions on fresh
// copies of the masters: one through Korvane's real command frame and
// engine; one as hand-written SQLite statements with SQLite's defaults and
// `cp` for the copies (Delete orphans as the anti-join a person would write
// for the files: NOT EXISTS over the indexes, LEFT JOIN ... IS NULL without
// them); the same with synchronous=OFF, the disk's limit; and one that runs
// only the hand-written Update with each `cp` flushed (fsync), as copyFile
// flushes. Which of them goes first turns with each repetition. Another
// child times the file copy itself: the file services' copyFile of the old
// database against `cp`, and `cp` followed by fsync, on the same file. Every
// timed action starts after a sync and a pause (--settle, 2 s), so no
// write-back of an earlier run is charged to it. Each child prints one
// RESULT line with its times, CPU, bytes written, peak resident memory and a
// fingerprint of the working copy it left; every side must leave the same
// database, or the figures are void. The parent prints
// medians, ratios, scaling and memory. See docs/performance.md.
//
// This file reads the command line; parent.h runs the children and
// report.h prints the figures; sides.h names the children, children.h is
// how they run and report, measure.h what they measure.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "children.h"
#include "fs/failure.h"
#include "measure.h"
#include "parent.h"
#include "sides.h"

using namespace korvane::bench;
namespace stdfs = std::filesystem;

namespace {

// "a,b,c" as its items.
std::vector<std::string> splitList(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ','))
    if (!item.empty()) items.push_back(item);
  return items;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() >= 2 && args[0] == "--settle") {
      settleSeconds = std::stod(args[1]);
      args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() >= 3 && args[0] == "--child") {
      const std::string& side = args[1];
      const bool indexes = args.back() != kNoIndex;
      if (side == "generate" && args.size() == 5)
        childGenerate(args[2], std::stoll(args[3]), indexes);
      else if (side == "korvane" && args.size() == 5)
        childKorvane(args[2], args[3]);
      else if (side == "hand" && args.size() == 5)
        childHand(args[2], args[3], HandStyle::kDefaults, indexes);
      else if (side == "hand-off" && args.size() == 5)
        childHand(args[2], args[3], HandStyle::kSynchronousOff, indexes);
      else if (side == "hand-durable" && args.size() == 5)
        childHand(args[2], args[3], HandStyle::kDurableCopies, indexes);
      else if (side == "copies" && args.size() == 5)
        childCopies(args[2], args[3], std::stoi(args[4]));
      else
        fail("bad child arguments");
      return 0;
    }
    std::vector<long long> scales = {10000, 100000, 1000000};
    std::vector<std::string> variants = {kIndexed, kNoIndex};
    int reps = 5;
    stdfs::path work;
    bool keep = false;
    for (size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "--scales" && i + 1 < args.size()) {
        scales.clear();
        for (const auto& item : splitList(args[++i])) scales.push_back(std::stoll(item));
      } else if (args[i] == "--variants" && i + 1 < args.size()) {
        variants = splitList(args[++i]);
      } else if (args[i] == "--reps" && i + 1 < args.size()) {
        reps = std::stoi(args[++i]);
      } else if (args[i] == "--work" && i + 1 < args.size()) {
        work = args[++i];
      } else if (args[i] == "--keep") {
        keep = true;
      } else if (args[i] == "--settle" && i + 1 < args.size()) {
        settleSeconds = std::stod(args[++i]);
      } else {
        std::fprintf(stderr,
                     "usage: korvane-bench [--scales 10000,100000,1000000] [--reps 5] "
                     "[--work DIR] [--keep] [--settle SECONDS] [--variants indexed,no-index]\n");
        return 2;
      }
    }
    if (scales.empty() || variants.empty() || reps < 1) fail("nothing to measure");
    for (const auto& variant : variants)
      if (variant != kIndexed && variant != kNoIndex) fail("no variant " + variant);
    return parentMain(variants, scales, reps, work, keep);
  } catch (const korvane::Failure& f) {
    fail(std::to_string(f.number()) + " " + f.text());
  } catch (const std::exception& e) {
    fail(e.what());
  }
}
