// The parent's runs: generating, measuring every side in turn, printing.
#include "parent.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <utility>

#include "children.h"
#include "measure.h"
#include "report.h"
#include "run_folder.h"

namespace korvane::bench {

namespace stdfs = std::filesystem;

namespace {

// Runs every repetition at one scale of one variant on the masters in
// `master`; false when the sides left different working copies.
bool measureScale(ScaleFigures& f, const stdfs::path& master, const stdfs::path& work, int reps,
                  const std::string& variant) {
  bool identical = true;
  for (int rep = 0; rep < reps; ++rep) {
    // The four sides take turns at going first.
    std::vector<std::string> order = {"korvane", "hand", "hand-off", "hand-durable"};
    std::rotate(order.begin(), order.begin() + rep % 4, order.end());
    for (const std::string& side : order) {
      const stdfs::path run = work / "run";
      removeFiles(run);
      const ChildResult r = runChild({"--child", side, master.string(), run.string(), variant});
      auto& into = side == "korvane"    ? f.korvane
                   : side == "hand"     ? f.hand
                   : side == "hand-off" ? f.handOff
                                        : f.durable;
      for (const auto& [k, v] : r.values)
        if (k != "fingerprint") into[k].push_back(std::stod(v));
      if (side != "hand-durable") {
        std::string print;
        std::getline(std::ifstream(run / "fingerprint.txt"), print, '\0');
        (side == "korvane" ? f.korvanePrint
         : side == "hand"  ? f.handPrint
                           : f.handOffPrint) = print;
        std::fprintf(stderr,
                     "[%s %lld] rep %d %-12s: update %.3f s, orphans %.3f s, nulls %.3f s\n",
                     variant.c_str(), f.scale, rep + 1, side.c_str(), r.number("update"),
                     r.number("orphans"), r.number("nulls"));
      } else {
        std::fprintf(stderr, "[%s %lld] rep %d %-12s: update %.3f s\n", variant.c_str(), f.scale,
                     rep + 1, side.c_str(), r.number("update"));
      }
      removeFiles(run);
    }
    if (f.korvanePrint != f.handPrint || f.korvanePrint != f.handOffPrint) {
      identical = false;
      std::fprintf(stderr, "Korvane:\n%s\nby hand:\n%s\nby hand, synchronous=OFF:\n%s\n",
                   f.korvanePrint.c_str(), f.handPrint.c_str(), f.handOffPrint.c_str());
    }
    const stdfs::path run = work / "run";
    const ChildResult c =
        runChild({"--child", "copies", master.string(), run.string(), std::to_string(rep)});
    for (const auto& [k, v] : c.values) f.copies[k].push_back(std::stod(v));
    removeFiles(run);
  }
  return identical;
}

}  // namespace

int parentMain(const std::vector<std::string>& variants, const std::vector<long long>& scales,
               int reps, stdfs::path work, bool keep) {
  const bool madeWork = work.empty();
  if (madeWork) {
    std::string pattern = (stdfs::temp_directory_path() / "korvane-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) fail("mkdtemp failed");
    work = pattern;
  }
  stdfs::create_directories(work);
  std::printf(
      "korvane-bench: %zu variant(s), %zu scale(s), %d repetitions, Korvane and hand-written "
      "runs taking turns, each in a fresh process; sync and %.1f s pause before each timed "
      "action; work folder %s\n",
      variants.size(), scales.size(), reps, settleSeconds, work.c_str());
  std::fflush(stdout);

  std::map<std::string, std::vector<ScaleFigures>> byVariant;
  bool identical = true;
  for (const std::string& variant : variants) {
    for (long long scale : scales) {
      ScaleFigures f;
      f.scale = scale;
      const stdfs::path master = work / ("master-" + variant + "-" + std::to_string(scale));
      f.generated =
          runChild({"--child", "generate", master.string(), std::to_string(scale), variant});
      std::fprintf(stderr, "[%s %lld] generated in %.1f s\n", variant.c_str(), scale,
                   f.generated.number("seconds"));
      identical = measureScale(f, master, work, reps, variant) && identical;
      printScale(variant, f, reps);
      std::fflush(stdout);
      byVariant[variant].push_back(std::move(f));
      if (!keep) stdfs::remove_all(master);
    }
  }
  for (const std::string& variant : variants) printSummary(variant, byVariant.at(variant));
  for (const std::string& variant : variants) printTargets(variant, byVariant.at(variant));
  std::printf("\nworking copies identical on every side in every run: %s\n",
              identical ? "yes" : "NO (figures void)");
  std::printf("benchmark process itself: peak %.1f MiB\n", mib(maxRssKib()));
  if (madeWork && !keep) stdfs::remove_all(work);
  return identical ? 0 : 1;
}

}  // namespace korvane::bench
