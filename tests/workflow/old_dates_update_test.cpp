// Update and Delete orphans on the sample old system database as a script
// or an ORM would have left it: every date written as text in its DATETIME
// column, numbers as exported text. Values arrive as Jet converts them and
// dates keep their links; a day-first date is read month first where its
// first number can be a month, as Jet reads it, and never ties a measurement
// to another experiment; a sample whose key Jet cannot read is left out,
// whatever the template's key declares.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "db/engine/script_builder.h"
#include "db/values/jet_date.h"
#include "lab.h"
#include "support/sqlite_file.h"
#include "workflow/naming.h"

namespace korvane::workflow {
namespace {

using testing::Column;
using testing::kWorking;
using testing::Lab;

namespace stdfs = std::filesystem;

// The sample template and old system database at their fixed places.
void installSamples(const Lab& lab) {
  const stdfs::path samples = KORVANE_SAMPLES_DIR;
  db::buildDatabaseFromScriptFile(lab.host(kTemplateDatabase), samples / "template.sql");
  db::buildDatabaseFromScriptFile(lab.host(kSystemDatabase), samples / "old_system.sql");
}

// SQLite spellings of the Jet date in `field` (Jet's day 0 is Julian day
// 2415018.5); Null stays Null.
std::string spelled(const std::string& field, const std::string& text) {
  return "CASE WHEN " + field + " IS NULL THEN NULL ELSE " + text + " END";
}
std::string julian(const std::string& field) {
  return "(" + field + " + 2415018.5)";
}
std::string part(const char* format, const std::string& field) {
  return "CAST(strftime('" + std::string(format) + "', " + julian(field) + ") AS INTEGER)";
}
std::string isoDate(const std::string& field) {
  return spelled(field, "strftime('%Y-%m-%d %H:%M:%S', " + julian(field) + ")");
}
// 3/2/2015 9:00:00 AM
std::string usDate(const std::string& field) {
  const std::string hour = part("%H", field);
  return spelled(field, "printf('%d/%d/%d %d:%s %s', " + part("%m", field) + ", " +
                            part("%d", field) + ", " + part("%Y", field) + ", (" + hour +
                            " + 11) % 12 + 1, strftime('%M:%S', " + julian(field) +
                            "), CASE WHEN " + hour + " < 12 THEN 'AM' ELSE 'PM' END)");
}
// Mar 2, 2015 09:00:00
std::string namedDate(const std::string& field) {
  return spelled(field, "substr('JanFebMarAprMayJunJulAugSepOctNovDec', 3 * " + part("%m", field) +
                            " - 2, 3) || ' ' || " + part("%d", field) +
                            " || ', ' || strftime('%Y %H:%M:%S', " + julian(field) + ")");
}
// 02/03/2015 09:00:00, day first
std::string dayFirstDate(const std::string& field) {
  return spelled(field, "strftime('%d/%m/%Y %H:%M:%S', " + julian(field) + ")");
}

// What the working copy holds, dates to the second, IDs included.
std::string picture(const Lab& lab) {
  auto date = [](const std::string& field) {
    return "CASE WHEN " + field + " IS NULL THEN 'N' ELSE typeof(" + field +
           ") || printf(' %.5f', " + field + ") END";
  };
  std::string out;
  const std::string queries[] = {
      "SELECT printf('%s %s', " + date("[Sample Date]") +
          ", [Sample Name]) FROM Samples ORDER BY 1",
      "SELECT printf('%s %s %s %s %s', ID, [System ID], " + date("[Experiment Date]") + ", " +
          date("[Sample Date]") + ", Operator) FROM Experiments ORDER BY ID",
      "SELECT printf('%s %s %s %s', " + date("[Experiment Date]") +
          ", [Measurement No], C1, PSWBi) FROM Measurements ORDER BY PSWBi, 1",
  };
  for (const auto& query : queries)
    for (const auto& row : lab.column(kWorking, query)) out += row + "\n";
  return out;
}

void updateAndDeleteOrphans(Lab& lab) {
  lab.chooseSystemDatabase();
  lab.frame().commandClick(kUpdate);
  ASSERT_NE(lab.state().instructions.find("has been succesfully updated"), std::string::npos)
      << "Update did not complete: " << lab.state().instructions;
  lab.frame().commandClick(kDeleteOrphans);
  ASSERT_NE(lab.state().instructions.find("has been cleaned"), std::string::npos)
      << "Delete orphans did not complete";
}

TEST(OldDatabaseWithTextDates, ArrivesAsTheSameDatesAndKeepsEverythingThatWasMeasured) {
  Lab withNumbers;
  installSamples(withNumbers);
  updateAndDeleteOrphans(withNumbers);
  const std::string expected = picture(withNumbers);
  // Samples and experiments with measurements are there to be lost.
  ASSERT_EQ(withNumbers.column(kWorking,
                               "SELECT count(*) > 1 FROM Experiments e WHERE EXISTS (SELECT 1 "
                               "FROM Measurements m WHERE m.[Experiment Date] = e.[Experiment "
                               "Date]) AND e.[Sample Date] IN (SELECT [Sample Date] FROM Samples)"),
            (Column{"1"}));

  Lab withTexts;
  installSamples(withTexts);
  support::runSql(withTexts.host(kSystemDatabase),
                  "UPDATE Samples SET [Sample Date] = " + isoDate("[Sample Date]") + ";" +
                      "UPDATE Experiments SET [Experiment Date] = " + usDate("[Experiment Date]") +
                      ", [Sample Date] = " + namedDate("[Sample Date]") + ";" +
                      "UPDATE Measurements SET [Experiment Date] = CASE rowid % 3 WHEN 0 THEN " +
                      usDate("[Experiment Date]") + " WHEN 1 THEN " +
                      namedDate("[Experiment Date]") + " ELSE " + isoDate("[Experiment Date]") +
                      " END;");
  ASSERT_EQ(withTexts.column(kSystemDatabase,
                             "SELECT count(*) FROM Measurements WHERE typeof([Experiment Date]) "
                             "<> 'text'"),
            (Column{"0"}));
  updateAndDeleteOrphans(withTexts);
  EXPECT_EQ(picture(withTexts), expected);
}

TEST(OldDatabaseWithDayFirstDates, ArrivesAsJetReadsItAndNeverRelinksAMeasurement) {
  Lab lab;
  installSamples(lab);
  support::runSql(
      lab.host(kSystemDatabase),
      "UPDATE Samples SET [Sample Date] = " + dayFirstDate("[Sample Date]") + ";" +
          "UPDATE Experiments SET [Experiment Date] = " + dayFirstDate("[Experiment Date]") +
          ", [Sample Date] = " + dayFirstDate("[Sample Date]") + ";" +
          "UPDATE Measurements SET [Experiment Date] = " + dayFirstDate("[Experiment Date]") + ";");
  // Each measurement's own date text, and what Jet reads in it (month first
  // where it can: 02/03/2015 is 3 February; else day first: 20/03/2015).
  std::map<std::string, std::optional<double>> dateOf;
  const std::string identity = "printf('%s/%s/%s/%s', [Measurement No], C1, PSMBi, PSWBi)";
  for (const auto& row : lab.column(kSystemDatabase, "SELECT " + identity +
                                                         " || '|' || [Experiment Date] FROM "
                                                         "Measurements")) {
    const std::string text = row.substr(row.find('|') + 1);
    dateOf[row.substr(0, row.find('|'))] = db::parseJetDate(text);
  }
  const Column samples = lab.column(kSystemDatabase, "SELECT [Sample Date] FROM Samples");
  ASSERT_EQ(lab.column(kSystemDatabase,
                       "SELECT count(*) FROM Samples WHERE [Sample Date] LIKE '15/01/2001 %'"),
            (Column{"1"}));

  lab.chooseSystemDatabase();
  lab.frame().commandClick(kUpdate);
  ASSERT_NE(lab.state().instructions.find("has been succesfully updated"), std::string::npos);
  // Every sample is there, the inherited tutorial sample (read day first)
  // losing to the template's of the same date; every key a date.
  EXPECT_EQ(lab.column(kWorking, "SELECT count(*) FROM Samples"),
            (Column{std::to_string(samples.size())}));
  EXPECT_EQ(lab.column(kWorking,
                       "SELECT count(*) FROM Samples WHERE typeof([Sample Date]) = "
                       "'text'"),
            (Column{"0"}));
  // Every measurement keeps its own date, or has none: never another's.
  const Column fromTemplate =
      lab.column(kTemplateDatabase, "SELECT " + identity + " FROM Measurements");
  for (const auto& row : lab.column(kWorking, "SELECT " + identity +
                                                  " || '|' || coalesce([Experiment Date], 'N') "
                                                  "FROM Measurements")) {
    const std::string id = row.substr(0, row.find('|'));
    const std::string got = row.substr(row.find('|') + 1);
    if (std::find(fromTemplate.begin(), fromTemplate.end(), id) != fromTemplate.end()) continue;
    ASSERT_TRUE(dateOf.count(id)) << "a measurement from nowhere: " << id;
    const std::optional<double> want = dateOf[id];
    if (!want) {
      EXPECT_EQ(got, "N") << "measurement " << id;
    } else {
      EXPECT_NEAR(std::stod(got), *want, 1e-6) << "measurement " << id;
    }
  }
  // No two experiments share a date, so a date ties a measurement to one.
  EXPECT_EQ(lab.column(kWorking,
                       "SELECT count(*) FROM (SELECT [Experiment Date] FROM Experiments "
                       "WHERE [Experiment Date] IS NOT NULL GROUP BY 1 HAVING count(*) > "
                       "1)"),
            (Column{"0"}));

  lab.frame().commandClick(kDeleteOrphans);
  ASSERT_NE(lab.state().instructions.find("has been cleaned"), std::string::npos);
  // Experiments without a date go with the orphans; every measurement with a
  // date still finds exactly its own experiment.
  EXPECT_EQ(
      lab.column(kWorking, "SELECT count(*) FROM Experiments WHERE [Experiment Date] IS NULL"),
      (Column{"0"}));
  EXPECT_EQ(lab.column(kWorking,
                       "SELECT count(*) FROM Measurements m WHERE m.[Experiment Date] IS NOT NULL "
                       "AND (SELECT count(*) FROM Experiments e WHERE e.[Experiment Date] = "
                       "m.[Experiment Date]) <> 1"),
            (Column{"0"}));
  EXPECT_EQ(lab.column(kWorking, "SELECT count(*) FROM Measurements"),
            (Column{std::to_string(dateOf.size() + fromTemplate.size())}));
}

TEST(OldDatabaseOfAnotherTool, ValuesArriveAsJetConvertsThemAndNoKeyIsEverNull) {
  // The sample template declares its keys NOT NULL; another tool's declares
  // a bare PRIMARY KEY, which SQLite lets hold Null.
  for (const bool keyDeclaredNotNull : {true, false}) {
    Lab lab;
    installSamples(lab);
    if (!keyDeclaredNotNull)
      support::runSql(lab.host(kTemplateDatabase),
                      "ALTER TABLE Samples RENAME TO Kept;"
                      "CREATE TABLE Samples (\"Sample Date\" DATETIME PRIMARY KEY, "
                      "\"Sample Name\" VARCHAR(50) NOT NULL, \"Sample Code\" VARCHAR(20), "
                      "Material VARCHAR(50), \"Sample Weight\" DOUBLE, Notes LONGTEXT, "
                      "\"Lab Code\" VARCHAR(10) DEFAULT 'LAB');"
                      "INSERT INTO Samples SELECT * FROM Kept; DROP TABLE Kept;");
    support::runSql(
        lab.host(kSystemDatabase),
        "UPDATE Samples SET [Sample Weight] = '1,234.5' || char(13, 10) "
        "WHERE [Sample Name] = 'River sand';"
        "UPDATE Samples SET [Sample Weight] = '(3.5)' WHERE [Sample Name] = 'Never measured';"
        "UPDATE Samples SET [Sample Date] = '21/11/2023 10:00:00' "
        "WHERE [Sample Name] = 'Clay pit B';"
        "UPDATE Samples SET [Sample Date] = 'n/a' WHERE [Sample Name] = 'Aborted run';"
        "UPDATE Users SET [Access Level] = '&H1A' WHERE [User Name] = 'jsmith';");

    lab.chooseSystemDatabase();
    lab.frame().commandClick(kUpdate);
    ASSERT_NE(lab.state().instructions.find("has been succesfully updated"), std::string::npos)
        << "Update did not complete: " << lab.state().instructions;
    EXPECT_EQ(lab.column(kWorking,
                         "SELECT printf('%s %.5f %s', [Sample Name], [Sample Date], "
                         "coalesce([Sample Weight], 'N')) FROM Samples ORDER BY 1"),
              (Column{"Clay pit B 45251.41667 N", "Never measured 42374.37500 -3.5",
                      "River sand 42065.34410 1234.5", "Tutorial sample 36906.41667 12.5"}))
        << (keyDeclaredNotNull ? "key NOT NULL" : "bare key");
    EXPECT_EQ(lab.column(kWorking, "SELECT [Access Level] FROM Users WHERE [User Name] = 'jsmith'"),
              (Column{"26"}));
  }
}

}  // namespace
}  // namespace korvane::workflow
