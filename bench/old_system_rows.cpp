// The old system database's generated rows. The tables are filled in one
// order from one random sequence, so the same seed gives the same rows.
#include "old_system_rows.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "random.h"
#include "table_filler.h"

namespace korvane::bench {

namespace {

// 2017-01-01 as a Jet date (days since 1899-12-30); the sample scripts' own
// rows are all older, so generated keys never meet theirs.
constexpr double kFirstDay = 42736.0;
// Old IDs of the generated experiments start here, above the script's.
constexpr std::int64_t kFirstExperimentId = 100;

double jetDate(std::int64_t minutes) {
  return kFirstDay + static_cast<double>(minutes) / 1440.0;
}

struct Experiment {
  std::int64_t minute = 0;  // its date, in minutes after kFirstDay; -1: no date
  std::int64_t sample = 0;  // its sample's minute
  int measurements = 0;
  int system = 0;
};

// The samples and the dated experiments, with their measurements counted,
// before any row is written; and how many duplicate and undated experiment
// rows to add.
struct Plan {
  std::vector<std::int64_t> sampleMinutes;
  std::vector<Experiment> experiments;
  std::int64_t duplicates = 0;
  std::int64_t undated = 0;
};

Plan planRows(Random& random, std::int64_t wanted) {
  Plan plan;
  const std::int64_t experimentCount = std::max<std::int64_t>(wanted / 3, 1);
  plan.duplicates = experimentCount * 3 / 1000;
  plan.undated = experimentCount * 2 / 1000;
  const std::int64_t dated = experimentCount - plan.duplicates - plan.undated;

  // Samples an hour apart; 2 % have no experiment, the others three each.
  std::vector<Experiment>& experiments = plan.experiments;
  experiments.reserve(static_cast<size_t>(experimentCount));
  for (std::int64_t slot = 0; static_cast<std::int64_t>(experiments.size()) < dated; ++slot) {
    const std::int64_t minute = slot * 60;
    plan.sampleMinutes.push_back(minute);
    if (random.unit() < 0.02) continue;
    for (int k = 0; k < 3 && static_cast<std::int64_t>(experiments.size()) < dated; ++k) {
      Experiment e;
      e.minute = minute + 5 + 15 * k;
      e.sample = minute;
      e.system = static_cast<int>(random.below(8));
      experiments.push_back(e);
    }
  }
  // 4 % of the dated experiments were never measured; the measurements are
  // spread evenly over the others.
  std::vector<size_t> measured;
  for (size_t i = 0; i < experiments.size(); ++i)
    if (random.unit() >= 0.04) measured.push_back(i);
  if (measured.empty()) measured.push_back(0);
  const std::int64_t each = wanted / static_cast<std::int64_t>(measured.size());
  std::int64_t extra = wanted % static_cast<std::int64_t>(measured.size());
  for (size_t i : measured) experiments[i].measurements = static_cast<int>(each + (extra-- > 0));
  return plan;
}

std::int64_t fillSamples(sqlite3* db, Random& random, const std::vector<std::int64_t>& minutes) {
  TableFiller samples(db, "Samples");
  const int date = samples.index("Sample Date"), name = samples.index("Sample Name"),
            code = samples.index("Sample Code"), material = samples.index("Material"),
            weight = samples.index("Sample Weight"), notes = samples.index("Notes");
  std::int64_t n = 0;
  for (std::int64_t minute : minutes) {
    ++n;
    samples.real(date, jetDate(minute));
    samples.text(name, "Sample " + std::to_string(n));
    if (random.unit() < 0.9) samples.text(code, "S-" + std::to_string(100000 + n));
    samples.text(material, "Material " + std::to_string(1 + random.below(290)));
    if (random.unit() < 0.95) samples.real(weight, random.reading() / 10.0);
    if (random.unit() < 0.3)
      samples.text(notes, "Taken by the lab's routine round, batch " + std::to_string(n / 50));
    samples.row();
  }
  return samples.rows();
}

// IDs in the order the experiments were entered, which is date order with
// some disorder; duplicates right after their original; a few rows without
// a date.
std::int64_t fillExperiments(sqlite3* db, Random& random, const Plan& plan) {
  const std::vector<Experiment>& experiments = plan.experiments;
  std::vector<size_t> order(experiments.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  for (size_t i = 0; i + 1 < order.size(); ++i)
    if (random.unit() < 0.1)
      std::swap(order[i], order[std::min(order.size() - 1, i + 1 + random.below(4))]);
  TableFiller table(db, "Experiments");
  const int id = table.index("ID"), system = table.index("System ID"),
            date = table.index("Experiment Date"), sample = table.index("Sample Date"),
            op = table.index("Operator");
  std::int64_t nextId = kFirstExperimentId;
  std::int64_t duplicatesLeft = plan.duplicates, undatedLeft = plan.undated;
  const double duplicateShare = static_cast<double>(plan.duplicates) / experiments.size();
  const double undatedShare = static_cast<double>(plan.undated) / experiments.size();
  auto write = [&](const Experiment& e) {
    table.integer(id, nextId++);
    table.text(system, "QX-0" + std::to_string(e.system));
    if (e.minute >= 0) table.real(date, jetDate(e.minute));
    table.real(sample, jetDate(e.sample));
    if (random.unit() < 0.97) table.text(op, "Operator " + std::to_string(e.system % 5));
    table.row();
  };
  for (size_t i : order) {
    write(experiments[i]);
    if (duplicatesLeft > 0 && random.unit() < duplicateShare) {
      write(experiments[i]);
      --duplicatesLeft;
    }
    if (undatedLeft > 0 && random.unit() < undatedShare) {
      Experiment e = experiments[i];
      e.minute = -1;
      write(e);
      --undatedLeft;
    }
  }
  for (; duplicatesLeft > 0; --duplicatesLeft) write(experiments.back());
  for (; undatedLeft > 0; --undatedLeft) {
    Experiment e = experiments.front();
    e.minute = -1;
    write(e);
  }
  return table.rows();
}

// The reading groups of Measurements: a group's trigger is its first column.
const std::vector<std::string> kGroupC = {"C1",  "zp",  "E1", "K18", "K7", "K2",
                                          "K14", "K15", "K4", "K16", "K21"};
const std::vector<std::string> kGroupK = {"K1", "K5", "K6", "K11", "K12", "K8", "K9", "K10"};

enum class GroupState { kMeasured, kZero, kNull };

GroupState pickState(Random& random, double zeroShare, double nullShare) {
  const double u = random.unit();
  if (u < zeroShare) return GroupState::kZero;
  if (u < zeroShare + nullShare) return GroupState::kNull;
  return GroupState::kMeasured;
}

// In the order they were taken: by experiment date.
std::int64_t fillMeasurements(sqlite3* db, Random& random,
                              const std::vector<Experiment>& experiments) {
  TableFiller table(db, "Measurements");
  const int date = table.index("Experiment Date"), number = table.index("Measurement No");
  std::vector<int> groupC, groupK, groupA;
  for (const auto& c : kGroupC) groupC.push_back(table.index(c));
  for (const auto& c : kGroupK) groupK.push_back(table.index(c));
  std::vector<int> other;  // free-text columns of newer layouts
  for (size_t i = 0; i < table.columns().size(); ++i) {
    const int column = static_cast<int>(i);
    if (column == date || column == number) continue;
    if (std::find(groupC.begin(), groupC.end(), column) != groupC.end()) continue;
    if (std::find(groupK.begin(), groupK.end(), column) != groupK.end()) continue;
    if (sqlite3_stricmp(table.columns()[i].c_str(), "Remarks") == 0) {
      other.push_back(column);
      continue;
    }
    groupA.push_back(column);
  }
  auto fill = [&](const std::vector<int>& columns, GroupState state) {
    for (int column : columns) {
      if (state == GroupState::kMeasured)
        table.real(column, random.reading());
      else if (state == GroupState::kZero)
        table.real(column, 0.0);
      else
        table.null(column);
    }
  };
  for (const Experiment& e : experiments) {
    for (int k = 1; k <= e.measurements; ++k) {
      table.real(date, jetDate(e.minute));
      table.integer(number, k);
      fill(groupC, pickState(random, 0.10, 0.03));
      fill(groupK, pickState(random, 0.15, 0.03));
      fill(groupA, pickState(random, 0.20, 0.02));
      for (int column : other)
        if (random.unit() < 0.1) table.text(column, "Repeated after calibration");
      table.row();
    }
  }
  return table.rows();
}

// The lab's own materials, and some named like standard materials.
std::int64_t fillMaterials(sqlite3* db, Random& random) {
  TableFiller table(db, "Materials");
  const int name = table.index("Name"), density = table.index("Density"),
            refraction = table.index("Refractive Index"), description = table.index("Description");
  for (const char* standard : {"FELDSPAR", "Kaolin", "glass beads"}) {
    table.text(name, standard);
    table.real(density, 2.5);
    table.text(description, "Old entry of a standard material");
    table.row();
  }
  for (int i = 1; i <= 297; ++i) {
    table.text(name, "Material " + std::to_string(i));
    table.real(density, 1.0 + random.reading() / 500.0);
    if (random.unit() < 0.8) table.real(refraction, 1.3 + random.reading() / 2000.0);
    if (random.unit() < 0.7) table.text(description, "Lab material number " + std::to_string(i));
    table.row();
  }
  return table.rows();
}

std::int64_t fillUsers(sqlite3* db, Random& random) {
  TableFiller table(db, "Users");
  const int login = table.index("User Name"), full = table.index("Full Name"),
            level = table.index("Access Level");
  for (int i = 1; i <= 50; ++i) {
    table.text(login, "user" + std::to_string(100 + i));
    table.text(full, "Lab User " + std::to_string(i));
    table.integer(level, 1 + random.below(3));
    table.row();
  }
  return table.rows();
}

}  // namespace

void fillOldSystem(sqlite3* db, const GeneratorOptions& options, GeneratedCounts& counts) {
  Random random(options.seed);
  const Plan plan = planRows(random, std::max<std::int64_t>(options.measurements, 1));
  counts.samples = fillSamples(db, random, plan.sampleMinutes);
  counts.experiments = fillExperiments(db, random, plan);
  counts.measurements = fillMeasurements(db, random, plan.experiments);
  counts.materials = fillMaterials(db, random);
  counts.users = fillUsers(db, random);
}

}  // namespace korvane::bench
