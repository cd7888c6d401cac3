// Values stored into fields convert as Jet converts them: by what each value
// is (its storage class and content), whatever the declared type of the
// column it comes from. One table of values per target type, each row run
// through a transfer (INSERT ... SELECT t.*) and, where the value can be
// written in Jet SQL, through INSERT ... VALUES too; plus the date reader
// and the number texts on their own.
#include <gtest/gtest.h>

#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "db/jet_convert.h"
#include "db/jet_date.h"
#include "lab.h"

namespace korvane::db::test {
namespace {

struct Case {
  std::string value;     // an SQLite literal, stored as it is: 'n/a', 12.5, X'00', NULL
  std::string storage;   // the storage class it has in the source: text, real, ...
  std::string declared;  // the source column's declared type
  std::string result;    // what the field holds: "null", or typeof:value ("real:12.5")
};

// Runs `cases` into a field declared in Jet DDL as `field`; returns nothing
// when every case gave its result, otherwise one line per case that did not.
std::string runCases(const std::string& field, const std::vector<Case>& cases) {
  Lab lab;
  const std::string path = "C:\\data_aco\\values.mdb";
  std::string script;
  for (size_t i = 0; i < cases.size(); ++i) {
    const std::string table = "s" + std::to_string(i);
    script += "CREATE TABLE " + table + " (ID INTEGER, V " + cases[i].declared + "); INSERT INTO " +
              table + " VALUES (" + std::to_string(i) + ", " + cases[i].value + ");";
  }
  support::runSql(lab.host(path), script);

  std::string misfits;
  for (size_t i = 0; i < cases.size(); ++i) {
    const Rows stored = lab.rows(path, "SELECT typeof(V) FROM s" + std::to_string(i));
    if (stored != Rows{{cases[i].storage}})
      misfits += cases[i].value + ": the source holds " + stored[0][0] + "\n";
  }
  auto db = lab.engine().openDatabase(path);
  db->execute("CREATE TABLE Dst (ID LONG, V " + field + ")");
  // One transaction, so the file is flushed once, not after every statement.
  db->inTransaction([&] {
    for (size_t i = 0; i < cases.size(); ++i) {
      const std::string table = "s" + std::to_string(i);
      db->execute("INSERT INTO Dst SELECT " + table + ".* FROM " + table);
      // Jet SQL has no blob literal; every other value is written once more.
      if (cases[i].storage != "blob")
        db->execute("INSERT INTO Dst (ID, V) VALUES (" + std::to_string(1000 + i) + ", " +
                    (cases[i].value == "NULL" ? "Null" : cases[i].value) + ")");
    }
  });
  db->close();
  for (const auto& row : lab.rows(path,
                                  "SELECT ID, CASE WHEN V IS NULL THEN 'null' WHEN typeof(V) = "
                                  "'blob' THEN 'blob:' || hex(V) ELSE typeof(V) || ':' || V END "
                                  "FROM Dst ORDER BY ID")) {
    const size_t i = std::stoul(row[0]) % 1000;
    if (row[1] != cases[i].result)
      misfits += cases[i].value + " (" + cases[i].declared + ", " +
                 (std::stoul(row[0]) >= 1000 ? "literal" : "transferred") + "): " + row[1] +
                 ", expected " + cases[i].result + "\n";
  }
  return misfits;
}

TEST(ConversionByValue, IntoDouble) {
  EXPECT_EQ(runCases("DOUBLE",
                     {
                         {"12.5", "real", "REAL", "real:12.5"},
                         {"7", "integer", "INTEGER", "real:7.0"},
                         {"1e308", "real", "DOUBLE", "real:1.0e+308"},
                         {"9e999", "real", "REAL", "null"},  // infinity
                         {"'n/a'", "text", "REAL", "null"},
                         {"''", "text", "REAL", "null"},
                         {"'12,5'", "text", "REAL", "null"},
                         {"'12.5'", "text", "TEXT", "real:12.5"},
                         {"' -1e3 '", "text", "TEXT", "real:-1000.0"},
                         {"'.5'", "text", "VARCHAR(10)", "real:0.5"},
                         {"'0x1A'", "text", "TEXT", "null"},
                         {"'Inf'", "text", "TEXT", "null"},
                         {"'1e999'", "text", "TEXT", "null"},
                         {"'2024-01-06'", "text", "DATETIME", "null"},
                         {"X'3132'", "blob", "BLOB", "null"},
                         {"NULL", "null", "REAL", "null"},
                         {"12.5", "real", "", "real:12.5"},
                     }),
            "");
}

TEST(ConversionByValue, IntoIntegerByteAndLongRoundingHalfToEven) {
  EXPECT_EQ(runCases("SHORT",
                     {
                         {"12.5", "real", "REAL", "integer:12"},
                         {"13.5", "real", "REAL", "integer:14"},
                         {"-2.5", "real", "DOUBLE", "integer:-2"},
                         {"12.0", "real", "", "integer:12"},
                         {"32767", "integer", "INTEGER", "integer:32767"},
                         {"-32768", "integer", "SMALLINT", "integer:-32768"},
                         {"40000", "integer", "INTEGER", "null"},
                         {"32767.5", "real", "REAL", "null"},
                         {"3e9", "real", "REAL", "null"},
                         {"1e308", "real", "REAL", "null"},
                         {"'2.5'", "text", "TEXT", "integer:2"},
                         {"' 17 '", "text", "TEXT", "integer:17"},
                         {"'n/a'", "text", "INTEGER", "null"},
                         {"'True'", "text", "TEXT", "null"},
                         {"X'01'", "blob", "BLOB", "null"},
                     }),
            "");
  EXPECT_EQ(runCases("BYTE",
                     {
                         {"255", "integer", "INTEGER", "integer:255"},
                         {"255.5", "real", "REAL", "null"},
                         {"254.5", "real", "REAL", "integer:254"},
                         {"256", "integer", "INTEGER", "null"},
                         {"-0.4", "real", "REAL", "integer:0"},
                         {"-1", "integer", "INTEGER", "null"},
                     }),
            "");
  EXPECT_EQ(runCases("LONG",
                     {
                         {"1704450600", "integer", "INTEGER", "integer:1704450600"},
                         {"2147483647", "integer", "INTEGER", "integer:2147483647"},
                         {"2147483648", "integer", "INTEGER", "null"},
                         {"-2147483648.4", "real", "REAL", "integer:-2147483648"},
                         {"2147483646.5", "real", "REAL", "integer:2147483646"},
                         {"'12'", "text", "TEXT", "integer:12"},
                         {"9223372036854775807", "integer", "INTEGER", "null"},
                     }),
            "");
}

TEST(ConversionByValue, IntoSingleAndCurrencyWithinTheirRange) {
  EXPECT_EQ(runCases("SINGLE",
                     {
                         {"12.5", "real", "REAL", "real:12.5"},
                         {"3.4e38", "real", "REAL", "real:3.4e+38"},
                         {"1e39", "real", "REAL", "null"},
                         {"'-3.5e39'", "text", "TEXT", "null"},
                     }),
            "");
  EXPECT_EQ(runCases("CURRENCY",
                     {
                         {"922337203685477", "integer", "INTEGER", "integer:922337203685477"},
                         {"1e15", "real", "REAL", "null"},
                         {"'12.25'", "text", "TEXT", "real:12.25"},
                         {"'$12'", "text", "TEXT", "null"},
                     }),
            "");
}

TEST(ConversionByValue, IntoDateTime) {
  EXPECT_EQ(runCases("DATETIME",
                     {
                         {"'2024-01-06 10:30'", "text", "DATETIME", "real:45297.4375"},
                         {"'1/6/2024 10:30:00 AM'", "text", "TIMESTAMP", "real:45297.4375"},
                         {"'Jan 6, 2024 10:30'", "text", "DATE", "real:45297.4375"},
                         {"'7 January 2024'", "text", "TEXT", "integer:45298"},
                         {"'14:30'", "text", "TEXT", "real:0.604166666666667"},
                         {"'13/01/2024 10:30:00'", "text", "DATETIME", "null"},
                         {"'2024-04-31 12:00'", "text", "DATETIME", "null"},
                         {"'31/12/2023 23:59'", "text", "DATETIME", "null"},
                         {"'1/1/10000 10:00'", "text", "DATETIME", "null"},
                         {"'45000'", "text", "TEXT", "null"},
                         {"'someday'", "text", "DATETIME", "null"},
                         {"45297.4375", "real", "DATETIME", "real:45297.4375"},
                         {"45297", "integer", "INTEGER", "integer:45297"},
                         {"1704450600", "integer", "INTEGER", "null"},  // Unix seconds
                         {"2958465", "integer", "INTEGER", "integer:2958465"},
                         {"2958465.99", "real", "REAL", "real:2958465.99"},
                         {"2958466", "integer", "INTEGER", "null"},
                         {"-657434", "integer", "INTEGER", "integer:-657434"},
                         {"-657435", "integer", "INTEGER", "null"},
                         {"X'00'", "blob", "BLOB", "null"},
                     }),
            "");
}

TEST(ConversionByValue, IntoYesNoAsMinusOneOrZero) {
  EXPECT_EQ(runCases("BIT",
                     {
                         {"1", "integer", "INTEGER", "integer:-1"},
                         {"-1", "integer", "BIT", "integer:-1"},
                         {"0", "integer", "BOOLEAN", "integer:0"},
                         {"2.5", "real", "REAL", "integer:-1"},
                         {"0.0", "real", "REAL", "integer:0"},
                         {"'true'", "text", "TEXT", "integer:-1"},
                         {"'True'", "text", "BOOLEAN", "integer:-1"},
                         {"' FALSE '", "text", "TEXT", "integer:0"},
                         {"'1'", "text", "TEXT", "integer:-1"},
                         {"'0'", "text", "TEXT", "integer:0"},
                         {"'yes'", "text", "TEXT", "null"},
                         {"'n/a'", "text", "TEXT", "null"},
                         {"NULL", "null", "BIT", "null"},
                     }),
            "");
}

TEST(ConversionByValue, IntoTextAndMemoNumbersInJetsShortestForm) {
  const std::vector<Case> cases = {
      {"12.0", "real", "REAL", "text:12"},
      {"12.5", "real", "DOUBLE", "text:12.5"},
      {"1e20", "real", "", "text:1E+20"},
      {"0.1 + 0.2", "real", "", "text:0.3"},
      {"0.00001", "real", "REAL", "text:1E-05"},
      {"123456789012345", "integer", "INTEGER", "text:123456789012345"},
      {"1234567890123456789", "integer", "INTEGER", "text:1234567890123456789"},
      {"-7", "integer", "", "text:-7"},
      {"'0012'", "text", "TEXT", "text:0012"},
      {"'Glass Beads '", "text", "", "text:Glass Beads "},
      {"X'4142'", "blob", "BLOB", "null"},
      {"NULL", "null", "TEXT", "null"},
  };
  EXPECT_EQ(runCases("TEXT(50)", cases), "");
  EXPECT_EQ(runCases("MEMO", cases), "");
}

TEST(ConversionByValue, FieldsWithoutAJetConversionTakeValuesAsTheyAre) {
  EXPECT_EQ(runCases("LONGBINARY",
                     {
                         {"X'00FF'", "blob", "BLOB", "blob:00FF"},
                         {"NULL", "null", "BLOB", "null"},
                     }),
            "");
  EXPECT_EQ(runCases("GUID", {{"'{6F9619FF-8B86-D011-B42D-00C04FC964FF}'", "text", "TEXT",
                               "text:{6F9619FF-8B86-D011-B42D-00C04FC964FF}"}}),
            "");
}

TEST(JetDate, ReadsWhatJetReadsWholeOrNothing) {
  struct Spelling {
    std::string text;
    std::optional<double> value;
  };
  const double jan6 = 45297.0;
  const double morning = 10.5 / 24;  // 10:30
  const std::vector<Spelling> spellings = {
      {"2024-01-06", jan6},
      {"2024-1-6", jan6},
      {"2024/01/06", jan6},
      {"2024-01-06 10:30", jan6 + morning},
      {" 2024-01-06  10:30:00 ", jan6 + morning},
      {"1/6/2024", jan6},
      {"01/06/2024 10:30:00 AM", jan6 + morning},
      {"1-6-2024", jan6},
      {"1/6/24", jan6},
      {"1/6/30", 10964.0},  // two digits from 30 on are the 1900s
      {"Jan 6, 2024 10:30", jan6 + morning},
      {"January 6 2024", jan6},
      {"JAN-6-2024", jan6},
      {"6 Jan 2024", jan6},
      {"6-Jan-24", jan6},
      {"7 January, 2024", jan6 + 1},
      {"6 jan 2024 10:30:00pm", jan6 + 22.5 / 24},
      {"10:30", morning},
      {"10:30:15", morning + 15 / 86400.0},
      {"12:00 AM", 0.0},
      {"12:30 PM", 12.5 / 24},
      {"10 PM", 22.0 / 24},
      {"0:00", 0.0},
      {"1899-12-29 06:00", -1.25},
      {"100-01-01", kFirstJetDate},
      {"9999-12-31 23:59:59", kEndOfJetDates - 1 / 86400.0},
      {"2024-02-29", 45351.0},
      // Nothing read in part, nothing filled in.
      {"13/01/2024 10:30:00", std::nullopt},
      {"31/12/2023 23:59", std::nullopt},
      {"2024-04-31 12:00", std::nullopt},
      {"2023-02-29", std::nullopt},
      {"1/1/10000 10:00", std::nullopt},
      {"99-01-01", std::nullopt},
      {"Jan 6", std::nullopt},
      {"January 2024", std::nullopt},
      {"Saturday, January 6, 2024", std::nullopt},
      {"2024-01-06T10:30:00", std::nullopt},
      {"2024-01-06 10:30:00.250", std::nullopt},
      {"2024-01-06 10:30 extra", std::nullopt},
      {"2024-01-06/10:30", std::nullopt},
      {"2024-01/06", std::nullopt},
      {"2024-01-0610:30", std::nullopt},
      {"06.01.2024", std::nullopt},
      {"24:00", std::nullopt},
      {"10:60", std::nullopt},
      {"13:00 PM", std::nullopt},
      {"10", std::nullopt},
      {"45297", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"Jan 32, 2024", std::nullopt},
  };
  for (const auto& s : spellings) {
    const auto got = parseJetDate(s.text);
    ASSERT_EQ(got.has_value(), s.value.has_value()) << "'" << s.text << "'";
    if (got) {
      EXPECT_NEAR(*got, *s.value, 1e-9) << "'" << s.text << "'";
    }
  }
}

TEST(JetNumbers, ReadAndWrittenAsJetDoesInAnyLocale) {
  struct Reading {
    std::string text;
    std::optional<double> value;
  };
  for (const auto& r : std::vector<Reading>{
           {"12.5", 12.5},
           {" +12.5 ", 12.5},
           {"-1e3", -1000.0},
           {"1E-2", 0.01},
           {"5.", 5.0},
           {".5", 0.5},
           {"007", 7.0},
           {"", std::nullopt},
           {"-", std::nullopt},
           {".", std::nullopt},
           {"1e", std::nullopt},
           {"12,5", std::nullopt},
           {"1,234.5", std::nullopt},
           {"0x1A", std::nullopt},
           {"&H1A", std::nullopt},
           {"inf", std::nullopt},
           {"NaN", std::nullopt},
           {"1e999", std::nullopt},
           {"12 5", std::nullopt},
           {"$5", std::nullopt},
       }) {
    EXPECT_EQ(parseJetNumber(r.text), r.value) << "'" << r.text << "'";
  }
  struct Writing {
    double value;
    std::string text;
  };
  for (const auto& w : std::vector<Writing>{
           {12.0, "12"},
           {-0.0, "0"},
           {12.5, "12.5"},
           {0.1 + 0.2, "0.3"},
           {1.0 / 3, "0.333333333333333"},
           {123456789012345.0, "123456789012345"},
           {1234567890123456.0, "1.23456789012346E+15"},
           {1e20, "1E+20"},
           {0.0001, "0.0001"},
           {0.00001, "1E-05"},
           {-2.5e-7, "-2.5E-07"},
       }) {
    EXPECT_EQ(jetNumberText(w.value), w.text) << w.value;
  }
  // SQL literals read back as exactly the double they were written from.
  for (double d : {0.1, 43529.25, 1.0 / 3, -1.25, 1e20, 5e-324}) {
    const std::string text = sqlNumber(d);
    double back = 0;
    std::from_chars(text.data(), text.data() + text.size(), back);
    EXPECT_EQ(back, d) << text;
  }
}

TEST(ConversionByValue, TheSameRulesRunInCAsInSql) {
  // Literals are converted by the writer, in C++; spot-check that path
  // against values the SQL functions turned out above.
  EXPECT_EQ(convertForField(std::string("Jan 6, 2024 10:30"), JetType::kDateTime),
            SqlValue(45297.4375));
  EXPECT_EQ(convertForField(12.5, JetType::kInteger), SqlValue(std::int64_t{12}));
  EXPECT_EQ(convertForField(std::int64_t{1}, JetType::kYesNo), SqlValue(std::int64_t{-1}));
  EXPECT_EQ(convertForField(Blob{"ab"}, JetType::kText), SqlValue());
  EXPECT_EQ(convertForField(Blob{"ab"}, JetType::kOle), SqlValue(Blob{"ab"}));
  EXPECT_EQ(convertForField(std::string("x"), JetType::kUnknown), SqlValue(std::string("x")));
}

}  // namespace
}  // namespace korvane::db::test
