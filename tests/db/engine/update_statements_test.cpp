// The statements of an Update and of the clean-ups, run as the workflow sends
// them on the sample databases, checked row by row with SQLite itself.
#include <gtest/gtest.h>

#include "lab.h"

namespace korvane::db::test {
namespace {

class UpdateStatements : public ::testing::Test {
 protected:
  void SetUp() override {
    lab_.buildSample(kTemplate, "template.sql");
    lab_.buildSample(kSystem, "old_system.sql");
    lab_.copy(kTemplate, kWorking);
  }

  void transferAll() {
    const std::string w = jetQuoted(kWorking);
    auto db = lab_.engine().openDatabase(kSystem);
    for (const auto& sql : transfers(w)) db->execute(sql);
    db->close();
  }

  void swapStandardMaterials() {
    auto db = lab_.engine().openDatabase(kWorking);
    db->execute(kDropUsersStandardCopies);
    db->execute(kAppendStandardMaterials);
    db->close();
    auto db2 = lab_.engine().openDatabaseInWorkspace(kWorking, false);
    db2->deleteTableDef("Standard Materials");
    db2->refreshTableDefs();
    db2->close();
  }

  void fullUpdate() {
    transferAll();
    swapStandardMaterials();
  }

  void runOnWorking(std::initializer_list<std::string> statements) {
    auto db = lab_.engine().openDatabase(kWorking);
    for (const auto& sql : statements) db->execute(sql);
    db->close();
  }

  Rows working(const std::string& sql) { return lab_.rows(kWorking, sql); }

  Lab lab_;
};

TEST_F(UpdateStatements, SamplesTransferByNameWithTemplateDefaultsAndTemplateTutorialWins) {
  transferAll();
  EXPECT_EQ(working("SELECT [Sample Name], [Sample Code], typeof([Sample Code]), Notes, "
                    "[Lab Code] FROM Samples ORDER BY [Sample Date]"),
            (Rows{{"Tutorial sample", "T001", "text", "Sample of the tutorials", "TUT"},
                  {"River sand", "0012", "text", "Operator's note: \"dry\" sample", "LAB"},
                  {"Clay pit B", "<null>", "null", "<null>", "LAB"},
                  {"Never measured", "X-1", "text", "No experiment was ever run", "LAB"},
                  {"Aborted run", "X-2", "text", "Its only experiment has no data", "LAB"}}));
  // Dates keep their time of day: 2015-03-02 08:15:30.
  EXPECT_EQ(lab_.value(kWorking,
                       "SELECT [Sample Date] * 86400 FROM Samples "
                       "WHERE [Sample Name] = 'River sand'"),
            std::to_string(42065LL * 86400 + 8 * 3600 + 15 * 60 + 30) + ".0");
}

TEST_F(UpdateStatements, ExperimentsAppendInDateOrderWithFreshAutoNumbersAndDuplicatesKept) {
  transferAll();
  // The template's own two experiments, untouched; the old tutorial copy
  // collides on [Experiment Date] and is left out.
  EXPECT_EQ(working("SELECT ID, Operator, Temperature FROM Experiments WHERE ID <= 2 ORDER BY ID"),
            (Rows{{"1", "Tutor", "21.5"}, {"2", "Tutor", "21.5"}}));
  // The transferred ones in order of their AutoNumbers: date order (Null
  // first), the two identical undated rows both kept; the template's defaults
  // for the fields the statement does not carry.
  EXPECT_EQ(working("SELECT [System ID], [Experiment Date], [Sample Date], Operator, "
                    "Temperature, Reviewed, [Method Version] FROM Experiments WHERE ID > 2 "
                    "ORDER BY ID"),
            (Rows{{"QX-07", "<null>", "42104.5729166667", "<null>", "20.0", "0", "2"},
                  {"QX-07", "<null>", "42104.5729166667", "<null>", "20.0", "0", "2"},
                  {"QX-07", "42065.375", "42065.3440972222", "<null>", "20.0", "0", "2"},
                  {"QX-07", "42083.4375", "42065.3440972222", "<null>", "20.0", "0", "2"},
                  {"QX-07", "42104.5833333333", "42104.5729166667", "<null>", "20.0", "0", "2"},
                  {"QX-07", "42401.4583333333", "42401.4166666667", "<null>", "20.0", "0", "2"}}));
  EXPECT_EQ(working("SELECT count(DISTINCT ID) FROM Experiments"), (Rows{{"8"}}));
}

TEST_F(UpdateStatements, MeasurementsCopyWholeAndTemplateOnlyReadingsStayNull) {
  transferAll();
  EXPECT_EQ(working("SELECT count(*) FROM Measurements"), (Rows{{"9"}}));
  EXPECT_EQ(working("SELECT [Measurement No], C1, K1, A1, PSWBi, D50, Remarks FROM Measurements "
                    "WHERE [Experiment Date] = 42065.375 ORDER BY [Measurement No]"),
            (Rows{{"1", "0.0", "5.0", "7.5", "51.0", "<null>", "<null>"},
                  {"2", "6.1", "4.9", "7.2", "51.85", "<null>", "<null>"}}));
}

TEST_F(UpdateStatements, MaterialSwapMatchesNamesWithoutRegardToCase) {
  fullUpdate();
  EXPECT_EQ(working("SELECT Name, Density, Category FROM Materials ORDER BY Name"),
            (Rows{{"Basalt", "<null>", "<null>"},
                  {"Calcite", "2.71", "Mineral"},
                  {"Feldspar", "2.56", "Mineral"},
                  {"Glass Beads", "2.5", "Reference"},
                  {"Kaolin", "2.6", "Clay"},
                  {"My Clay", "1.8", "<null>"},
                  {"Quartz", "2.65", "Mineral"},
                  {"Sand 'coarse'", "1.6", "<null>"}}));
}

TEST_F(UpdateStatements, UsersTransferKeepsTemplateTutorialUser) {
  fullUpdate();
  EXPECT_EQ(working("SELECT [User Name], [Full Name], [Access Level], Email FROM Users "
                    "ORDER BY [User Name]"),
            (Rows{{"amueller", "Anna Müller", "<null>", "<null>"},
                  {"jsmith", "John Smith", "2", "<null>"},
                  {"Tutorial", "Tutorial user", "1", "tutorial@example.org"}}));
}

TEST_F(UpdateStatements, DeletingStandardMaterialsDropsTableAndItsCaptions) {
  fullUpdate();
  EXPECT_EQ(working("SELECT count(*) FROM sqlite_master WHERE name = 'Standard Materials'"),
            (Rows{{"0"}}));
  EXPECT_EQ(working("SELECT count(*) FROM MSysFieldProperties "
                    "WHERE TableName = 'Standard Materials'"),
            (Rows{{"0"}}));
  // The other tables keep theirs.
  auto db = lab_.engine().openDatabase(kWorking);
  EXPECT_EQ(db->fieldProperty("materials", "name", "Caption"), "Material");
  EXPECT_EQ(db->fieldProperty("Samples", "Sample Date", "Description"),
            "Date and time the sample was taken; links the sample to its experiments");
  EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"Samples", "Experiments", "Measurements",
                                                        "Materials", "Users"}));
}

TEST_F(UpdateStatements, OrphanDeletesRemoveExperimentsFirstThenSamplesThatLostTheirLast) {
  fullUpdate();
  runOnWorking({kDeleteOrphanExperiments, kDeleteOrphanSamples});
  // (The old tutorial experiment, left out, used up number 5.)
  EXPECT_EQ(working("SELECT ID, [Experiment Date] FROM Experiments ORDER BY ID"),
            (Rows{{"1", "36906.4791666667"},
                  {"2", "36907.375"},
                  {"6", "42065.375"},
                  {"7", "42083.4375"},
                  {"8", "42104.5833333333"}}));
  EXPECT_EQ(working("SELECT [Sample Name] FROM Samples ORDER BY [Sample Date]"),
            (Rows{{"Tutorial sample"}, {"River sand"}, {"Clay pit B"}}));
  // Measurements are only criteria: none is removed.
  EXPECT_EQ(working("SELECT count(*) FROM Measurements"), (Rows{{"9"}}));
}

TEST_F(UpdateStatements, OrphanDeletesOnACleanDatabaseDeleteNothing) {
  auto before = lab_.rows(kTemplate, "SELECT * FROM Experiments");
  lab_.copy(kTemplate, kWorking);
  runOnWorking({kDeleteOrphanExperiments, kDeleteOrphanSamples});
  EXPECT_EQ(working("SELECT * FROM Experiments"), before);
  EXPECT_EQ(working("SELECT count(*) FROM Samples"), (Rows{{"1"}}));
}

TEST_F(UpdateStatements, NullUpdatesClearOnlyTheGroupWhoseTriggerIsZero) {
  fullUpdate();
  runOnWorking({kNullGroupC, kNullGroupK, kNullGroupA});
  // C1 = 0, K1 = 5: group C gone, groups K and A kept.
  EXPECT_EQ(working("SELECT C1, zp, K21, K1, K5, K10, A1, PSM FROM Measurements "
                    "WHERE [Experiment Date] = 42065.375 AND [Measurement No] = 1"),
            (Rows{{"<null>", "<null>", "<null>", "5.0", "4.75", "12.25", "7.5", "4.75"}}));
  // K1 = 0: group K gone.
  EXPECT_EQ(working("SELECT C1, K1, K5, K6, K11, K12, K8, K9, K10, A1 FROM Measurements "
                    "WHERE [Experiment Date] = 42083.4375"),
            (Rows{{"3.3", "<null>", "<null>", "<null>", "<null>", "<null>", "<null>", "<null>",
                   "<null>", "8.1"}}));
  // A1 = 0: all 41 group-A readings gone, the rest kept.
  EXPECT_EQ(
      working("SELECT C1, K1, coalesce(PSM, PSW, A1, A2, A21, F_low, F_high, N_exp, "
              "Lin_exp, ERR_LOG, PSM_1, PSM_2, CONT_1, CONT_2, ERR_BI, PSMBi, PSMN, PSMM, "
              "PSMW, PSWBi, PSW_1, PSW_2, D15, D50, D85) FROM Measurements "
              "WHERE [Experiment Date] BETWEEN 42104.58 AND 42104.59 AND [Measurement No] = 1"),
      (Rows{{"2.2", "1.1", "<null>"}}));
  // Rows without a zero trigger are untouched.
  EXPECT_EQ(working("SELECT count(*) FROM Measurements WHERE C1 IS NOT NULL AND K1 IS NOT NULL "
                    "AND A1 IS NOT NULL"),
            (Rows{{"5"}}));
}

TEST_F(UpdateStatements, TransferWithQuoteInWorkingPathWorksWhenWrittenAsJetLiteral) {
  const std::string quoted = "C:\\data_aco\\Backup\\O'Neil_update.mdb";
  lab_.copy(kTemplate, quoted);
  auto db = lab_.engine().openDatabase(kSystem);
  db->execute(transfer(kTransferSamples, jetQuoted(quoted)));
  EXPECT_EQ(lab_.value(quoted, "SELECT count(*) FROM Samples"), "5");
  // Unescaped, the quote ends the literal: a syntax error, nothing written.
  lab_.copy(kTemplate, quoted);
  const int number = failureOf([&] { db->execute(transfer(kTransferSamples, quoted)); }).number;
  EXPECT_TRUE(number == 3075 || number == 3134) << number;
  EXPECT_EQ(lab_.value(quoted, "SELECT count(*) FROM Samples"), "1");
}

}  // namespace
}  // namespace korvane::db::test
