// The hand-written SQLite of Update, Delete orphans and Set un-measured
// values to Null.
#include "hand_actions.h"

#include <map>

#include "plain_sqlite.h"
#include "sides.h"
#include "sqlite/sql_text.h"

namespace korvane::bench {

namespace stdfs = std::filesystem;

HandFiles::HandFiles(const stdfs::path& data)
    : oldSystem(data / "QX_aco.mdb"),
      templateFile(data / "QX_Std.mdb"),
      backup(data / "Backup" / (std::string("QX_aco_") + kStamp + ".mdb")),
      working(data / "Backup" / (std::string("QX_aco_") + kStamp + "_update.mdb")) {}

HandUpdate::HandUpdate(const HandFiles& files) : files_(files) {
  std::map<std::string, std::vector<std::string>> oldColumns;
  std::vector<std::string> standardColumns;
  {
    Sqlite old(files_.oldSystem, true);
    for (const char* t : {"Samples", "Measurements", "Materials", "Users"})
      oldColumns[t] = old.columns(t);
    Sqlite templ(files_.templateFile, true);
    standardColumns = templ.columns("Standard Materials");
  }
  auto transfer = [&](const std::string& table) {
    const std::string cols = list(oldColumns[table]);
    return "INSERT OR IGNORE INTO w." + sqlite::quoteName(table) + " (" + cols + ") SELECT " +
           cols + " FROM main." + sqlite::quoteName(table);
  };
  transfers_ = {
      transfer("Samples"),
      "INSERT OR IGNORE INTO w.\"Experiments\" (\"System ID\", \"Experiment Date\", "
      "\"Sample Date\", \"ID\") SELECT \"System ID\", \"Experiment Date\", \"Sample Date\", "
      "(SELECT coalesce(max(\"ID\"), 0) FROM w.\"Experiments\") + row_number() OVER "
      "(ORDER BY \"Experiment Date\") FROM main.\"Experiments\" ORDER BY \"Experiment Date\"",
      transfer("Measurements"),
      transfer("Materials"),
      transfer("Users"),
  };
  standardColumns_ = list(standardColumns);
}

void HandUpdate::run(const CopyFile& copy, bool off) const {
  copy(files_.oldSystem, files_.backup);
  copy(files_.templateFile, files_.working);
  {
    Sqlite source(files_.backup, false, off);
    source.exec("ATTACH DATABASE '" + files_.working.string() + "' AS w");
    if (off) source.exec("PRAGMA w.synchronous=OFF");
    for (const auto& sql : transfers_) source.exec(sql);
    source.exec("DETACH DATABASE w");
  }
  Sqlite db(files_.working, false, off);
  db.exec(
      "DELETE FROM \"Materials\" WHERE \"Name\" COLLATE NOCASE IN "
      "(SELECT \"Name\" FROM \"Standard Materials\")");
  db.exec("INSERT OR IGNORE INTO \"Materials\" (" + standardColumns_ + ") SELECT " +
          standardColumns_ + " FROM \"Standard Materials\"");
  db.exec(
      "BEGIN; DROP TABLE \"Standard Materials\"; DELETE FROM \"MSysFieldProperties\" WHERE "
      "\"TableName\" = 'Standard Materials'; COMMIT");
}

void deleteOrphansByHand(const stdfs::path& working, bool synchronousOff, bool indexes) {
  Sqlite db(working, false, synchronousOff);
  if (indexes) {
    db.exec(
        "DELETE FROM \"Experiments\" WHERE NOT EXISTS (SELECT 1 FROM \"Measurements\" WHERE "
        "\"Measurements\".\"Experiment Date\" = \"Experiments\".\"Experiment Date\")");
    db.exec(
        "DELETE FROM \"Samples\" WHERE NOT EXISTS (SELECT 1 FROM \"Experiments\" WHERE "
        "\"Experiments\".\"Sample Date\" = \"Samples\".\"Sample Date\")");
  } else {
    db.exec(
        "DELETE FROM \"Experiments\" WHERE rowid IN (SELECT e.rowid FROM \"Experiments\" e "
        "LEFT JOIN \"Measurements\" m ON m.\"Experiment Date\" = e.\"Experiment Date\" "
        "WHERE m.\"Experiment Date\" IS NULL)");
    db.exec(
        "DELETE FROM \"Samples\" WHERE rowid IN (SELECT s.rowid FROM \"Samples\" s "
        "LEFT JOIN \"Experiments\" e ON e.\"Sample Date\" = s.\"Sample Date\" "
        "WHERE e.\"Sample Date\" IS NULL)");
  }
}

void setNullByHand(const stdfs::path& working, bool synchronousOff) {
  Sqlite db(working, false, synchronousOff);
  db.exec(
      "UPDATE \"Measurements\" SET C1 = NULL, zp = NULL, E1 = NULL, K18 = NULL, K7 = NULL, "
      "K2 = NULL, K14 = NULL, K15 = NULL, K4 = NULL, K16 = NULL, K21 = NULL WHERE C1 = 0");
  db.exec(
      "UPDATE \"Measurements\" SET K1 = NULL, K5 = NULL, K6 = NULL, K11 = NULL, K12 = NULL, "
      "K8 = NULL, K9 = NULL, K10 = NULL WHERE K1 = 0");
  db.exec(
      "UPDATE \"Measurements\" SET PSM = NULL, PSW = NULL, A1 = NULL, A2 = NULL, A3 = NULL, "
      "A4 = NULL, A5 = NULL, A6 = NULL, A7 = NULL, A8 = NULL, A9 = NULL, A10 = NULL, "
      "A11 = NULL, A12 = NULL, A13 = NULL, A14 = NULL, A15 = NULL, A16 = NULL, A17 = NULL, "
      "A18 = NULL, A19 = NULL, A20 = NULL, A21 = NULL, F_low = NULL, F_high = NULL, "
      "N_exp = NULL, Lin_exp = NULL, ERR_LOG = NULL, PSM_1 = NULL, PSM_2 = NULL, "
      "CONT_1 = NULL, CONT_2 = NULL, ERR_BI = NULL, PSMBi = NULL, PSMN = NULL, PSMM = NULL, "
      "PSMW = NULL, PSWBi = NULL, PSW_1 = NULL, PSW_2 = NULL, D15 = NULL, D50 = NULL, "
      "D85 = NULL WHERE A1 = 0");
}

}  // namespace korvane::bench
