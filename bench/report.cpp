// The parent's tables.
#include "report.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace korvane::bench {

namespace {

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

const std::vector<std::pair<std::string, std::string>> kActions = {
    {"update", "Update"},
    {"orphans", "Delete orphans"},
    {"nulls", "Set un-measured values to Null"},
};

// The median of the ratios of runs that ran next to each other.
double pairedRatio(const std::vector<double>& korvane, const std::vector<double>& hand) {
  std::vector<double> ratios;
  for (size_t i = 0; i < korvane.size() && i < hand.size(); ++i)
    ratios.push_back(korvane[i] / hand[i]);
  return median(ratios);
}

}  // namespace

double mib(double kib) {
  return kib / 1024.0;
}

void printScale(const std::string& variant, const ScaleFigures& f, int reps) {
  std::printf(
      "\n== %s files, %lld measurements (generated: %.0f samples, %.0f experiments, old "
      "database %.1f MiB, in %.1f s) ==\n",
      variant.c_str(), f.scale, f.generated.number("samples"), f.generated.number("experiments"),
      f.generated.number("bytes") / 1048576.0, f.generated.number("seconds"));
  std::printf("wall-clock seconds, median of %d runs each:\n", reps);
  std::printf("  %-31s %9s %9s %7s %8s   %s\n", "action", "Korvane", "by hand", "ratio", "paired",
              "runs (Korvane/by hand)");
  for (const auto& [key, name] : kActions) {
    const auto& k = f.korvane.at(key);
    const auto& h = f.hand.at(key);
    std::string runs;
    for (size_t i = 0; i < k.size(); ++i) {
      char b[64];
      std::snprintf(b, sizeof b, " %.3f/%.3f", k[i], h[i]);
      runs += b;
    }
    std::printf("  %-31s %9.3f %9.3f %7.3f %8.3f  %s\n", name.c_str(), median(k), median(h),
                median(k) / median(h), pairedRatio(k, h), runs.c_str());
  }
  for (const auto& [key, name] : kActions) {
    const auto& k = f.korvane.at(key);
    const auto& o = f.handOff.at(key);
    std::printf("  %-31s %9.3f %9.3f %7.3f %8.3f   by hand with synchronous=OFF\n", name.c_str(),
                median(k), median(o), median(k) / median(o), pairedRatio(k, o));
  }
  {
    const auto& k = f.korvane.at("update");
    const auto& d = f.durable.at("update");
    std::printf(
        "  %-31s %9.3f %9.3f %7.3f %8.3f   by hand with cp + fsync of each copy "
        "(Update only; copies %.3f s)\n",
        "Update, durable copies by hand", median(k), median(d), median(k) / median(d),
        pairedRatio(k, d), median(f.durable.at("copying_update")));
  }
  std::printf(
      "what the time is made of (medians; Korvane | by hand | by hand, synchronous=OFF):\n");
  std::printf("  %-31s %17s %17s %26s %26s %17s\n", "action", "user CPU s", "system CPU s",
              "written MiB", "to disk MiB", "copying files s");
  auto mibOf = [](const std::map<std::string, std::vector<double>>& side, const std::string& key) {
    return median(side.at(key)) / 1048576.0;
  };
  for (const auto& [key, name] : kActions) {
    std::printf(
        "  %-31s %8.3f|%-8.3f %8.3f|%-8.3f %8.1f|%-8.1f|%-8.1f %8.1f|%-8.1f|%-8.1f %8.3f|%-8.3f\n",
        name.c_str(), median(f.korvane.at("user_" + key)), median(f.hand.at("user_" + key)),
        median(f.korvane.at("sys_" + key)), median(f.hand.at("sys_" + key)),
        mibOf(f.korvane, "written_" + key), mibOf(f.hand, "written_" + key),
        mibOf(f.handOff, "written_" + key), mibOf(f.korvane, "todisk_" + key),
        mibOf(f.hand, "todisk_" + key), mibOf(f.handOff, "todisk_" + key),
        median(f.korvane.at("copying_" + key)), median(f.hand.at("copying_" + key)));
  }
  std::printf("peak resident memory, MiB (VmHWM of the action; Korvane | by hand):\n");
  for (const auto& [key, name] : kActions)
    std::printf("  %-31s %8.1f|%-8.1f\n", name.c_str(), mib(median(f.korvane.at("hwm_" + key))),
                mib(median(f.hand.at("hwm_" + key))));
  std::printf("  %-31s %8.1f|%-8.1f\n", "ru_maxrss of the process after Update",
              mib(median(f.korvane.at("maxrss_update"))), mib(median(f.hand.at("maxrss_update"))));
  std::printf("  %-31s %8.1f|%-8.1f\n", "ru_maxrss of the process at the end",
              mib(median(f.korvane.at("maxrss_all"))), mib(median(f.hand.at("maxrss_all"))));
  const double kc = median(f.copies.at("copy_korvane")), cp = median(f.copies.at("copy_cp")),
               cpf = median(f.copies.at("copy_cp_fsync"));
  std::printf(
      "copy of the old database (%.1f MiB), median of %d: copyFile %.3f s; cp %.3f s "
      "(ratio %.2f); cp + fsync %.3f s (ratio %.2f)\n",
      median(f.copies.at("bytes")) / 1048576.0, reps, kc, cp, kc / cp, cpf, kc / cpf);
  std::printf("working copies identical on every side: %s (working copy %.1f MiB)\n",
              f.korvanePrint == f.handPrint && f.korvanePrint == f.handOffPrint ? "yes" : "NO",
              median(f.korvane.at("working_bytes")) / 1048576.0);
}

void printTargets(const std::string& variant, const std::vector<ScaleFigures>& all) {
  const std::map<std::string, double> kAgainstDefaults = {
      {"update", 0.95}, {"orphans", 1.0}, {"nulls", 0.75}};
  constexpr double kAgainstOff = 1.15;
  const ScaleFigures& largest = all.back();
  std::printf("\ntargets, %s files:\n", variant.c_str());
  for (const auto& [key, name] : kActions) {
    const double k = median(largest.korvane.at(key));
    const double ratio = k / median(largest.hand.at(key));
    const double ratioOff = k / median(largest.handOff.at(key));
    const double target = kAgainstDefaults.at(key);
    double worstScaling = 0;
    for (size_t i = 1; i < all.size(); ++i)
      worstScaling = std::max(worstScaling, median(all[i].korvane.at(key)) /
                                                median(all[i - 1].korvane.at(key)) * 10.0 *
                                                all[i - 1].scale / all[i].scale);
    const double memory = mib(median(largest.korvane.at("hwm_" + key)) -
                              median(all.front().korvane.at("hwm_" + key)));
    std::printf(
        "  %-31s at %lld: / by hand %.3f (<= %.2f: %s), / by hand with synchronous=OFF %.3f "
        "(<= %.2f: %s)",
        name.c_str(), largest.scale, ratio, target, ratio <= target ? "met" : "NOT met", ratioOff,
        kAgainstOff, ratioOff <= kAgainstOff ? "met" : "NOT met");
    if (all.size() > 1)
      std::printf("; worst time per 10x the rows: %.2fx (%s); peak memory %+.1f MiB (%s)",
                  worstScaling, worstScaling <= 12 ? "met" : "NOT met", memory,
                  memory <= 64 ? "met" : "NOT met");
    std::printf("\n");
  }
}

void printSummary(const std::string& variant, const std::vector<ScaleFigures>& all) {
  std::printf("\n== summary, %s files ==\n", variant.c_str());
  std::printf("ratio Korvane / by hand:");
  for (const auto& f : all) {
    std::printf("\n  %9lld:", f.scale);
    for (const auto& [key, name] : kActions)
      std::printf("  %s %.3f", name.c_str(), median(f.korvane.at(key)) / median(f.hand.at(key)));
  }
  std::printf("\nratio Korvane / by hand with synchronous=OFF:");
  for (const auto& f : all) {
    std::printf("\n  %9lld:", f.scale);
    for (const auto& [key, name] : kActions)
      std::printf("  %s %.3f", name.c_str(), median(f.korvane.at(key)) / median(f.handOff.at(key)));
  }
  std::printf("\nratio Korvane / by hand with durable copies, Update:");
  for (const auto& f : all)
    std::printf("  %lld: %.3f", f.scale,
                median(f.korvane.at("update")) / median(f.durable.at("update")));
  std::printf("\nratio copyFile / cp (and / cp + fsync):");
  for (const auto& f : all)
    std::printf("  %lld: %.2f (%.2f)", f.scale,
                median(f.copies.at("copy_korvane")) / median(f.copies.at("copy_cp")),
                median(f.copies.at("copy_korvane")) / median(f.copies.at("copy_cp_fsync")));
  std::printf("\nscaling of wall-clock time, 10x the rows (Korvane; by hand):");
  for (size_t i = 1; i < all.size(); ++i) {
    const double rows = static_cast<double>(all[i].scale) / all[i - 1].scale;
    std::printf("\n  %lld -> %lld (%.0fx the rows):", all[i - 1].scale, all[i].scale, rows);
    for (const auto& [key, name] : kActions)
      std::printf("  %s %.2fx; %.2fx", name.c_str(),
                  median(all[i].korvane.at(key)) / median(all[i - 1].korvane.at(key)),
                  median(all[i].hand.at(key)) / median(all[i - 1].hand.at(key)));
  }
  std::printf("\nscaling of user CPU seconds, 10x the rows (Korvane; by hand):");
  for (size_t i = 1; i < all.size(); ++i) {
    std::printf("\n  %lld -> %lld:", all[i - 1].scale, all[i].scale);
    for (const auto& [key, name] : kActions)
      std::printf(
          "  %s %.2fx; %.2fx", name.c_str(),
          median(all[i].korvane.at("user_" + key)) / median(all[i - 1].korvane.at("user_" + key)),
          median(all[i].hand.at("user_" + key)) / median(all[i - 1].hand.at("user_" + key)));
  }
  if (all.size() > 1) {
    std::printf("\npeak resident memory, largest minus smallest scale (VmHWM of the action):");
    for (const auto& [key, name] : kActions)
      std::printf("  %s %.1f MiB", name.c_str(),
                  mib(median(all.back().korvane.at("hwm_" + key)) -
                      median(all.front().korvane.at("hwm_" + key))));
    std::printf("; ru_maxrss after Update %.1f MiB",
                mib(median(all.back().korvane.at("maxrss_update")) -
                    median(all.front().korvane.at("maxrss_update"))));
  }
  std::printf("\n");
}

}  // namespace korvane::bench
