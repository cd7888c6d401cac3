// The RESULT line of an action child and the fingerprint of its working copy.
#include "action_result.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "children.h"
#include "plain_sqlite.h"

namespace korvane::bench {

namespace stdfs = std::filesystem;

namespace {

std::string hashOf(const std::string& text) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
  char buffer[17];
  std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(h));
  return buffer;
}

// What a working copy holds after the three actions, as text. Integer sums
// only, so scan order cannot change them.
std::string fingerprint(const stdfs::path& working) {
  Sqlite db(working, true);
  const char* queries[] = {
      "SELECT group_concat(name, ' ') FROM (SELECT name FROM sqlite_master WHERE type = 'table' "
      "ORDER BY name)",
      "SELECT count(*), sum(CAST(round((\"Sample Date\" - 36000) * 1440) AS INTEGER)), "
      "sum(\"Lab Code\" = 'LAB') FROM Samples",
      "SELECT count(*), sum(ID), max(ID), sum(\"Experiment Date\" IS NULL), "
      "sum(ID * (CAST(round((\"Experiment Date\" - 36000) * 1440) AS INTEGER) % 1000003)), "
      "sum(CAST(round((\"Sample Date\" - 36000) * 1440) AS INTEGER) % 1000003), "
      "sum(Temperature) FROM Experiments",
      "SELECT count(*), sum(\"Measurement No\"), sum(C1 IS NULL), sum(zp IS NULL), "
      "sum(K21 IS NULL), sum(K1 IS NULL), sum(K10 IS NULL), sum(A1 IS NULL), sum(PSM IS NULL), "
      "sum(D85 IS NULL), sum(CAST(round(coalesce(C1, 0) * 100) AS INTEGER)), "
      "sum(CAST(round(coalesce(A21, 0) * 100) AS INTEGER)), "
      "sum(CAST(round(coalesce(PSWBi, 0) * 100) AS INTEGER)) FROM Measurements",
      "SELECT count(*), sum(Category IS NOT NULL), group_concat(Name, '|') FROM "
      "(SELECT Name, Category FROM Materials ORDER BY Name)",
      "SELECT count(*), group_concat(\"User Name\", '|') FROM (SELECT \"User Name\" FROM Users "
      "ORDER BY 1)",
      "SELECT count(*), group_concat(TableName || '.' || FieldName || '.' || PropertyName, '|') "
      "FROM (SELECT * FROM MSysFieldProperties ORDER BY 1, 2, 3)",
  };
  std::string out;
  for (const char* q : queries) out += db.text(q) + "\n";
  return out;
}

}  // namespace

void reportActions(const stdfs::path& working, const stdfs::path& run, const Measured& update,
                   const Measured& orphans, const Measured& nulls, long maxAfterUpdate,
                   long maxAfterAll) {
  const std::string print = fingerprint(working);
  std::ofstream(run / "fingerprint.txt") << print;
  Values out;
  addMeasured(out, "update", update);
  addMeasured(out, "orphans", orphans);
  addMeasured(out, "nulls", nulls);
  out.emplace_back("maxrss_update", std::to_string(maxAfterUpdate));
  out.emplace_back("maxrss_all", std::to_string(maxAfterAll));
  out.emplace_back("working_bytes", std::to_string(stdfs::file_size(working)));
  out.emplace_back("fingerprint", hashOf(print));
  report(out);
}

}  // namespace korvane::bench
