// Values stored into fields convert as Jet converts them, through OLE
// Automation's rules: by what each value is (its storage class and content),
// whatever the declared type of the column it comes from. One table of
// values per target type, each row run through a transfer (INSERT ...
// SELECT t.*) and, where the value can be written in Jet SQL, through
// INSERT ... VALUES too; plus the readers and writers of text on their own.
// Rows marked OLE come from the en-US expectations of Wine's conformance
// tests, which run against Windows (vartype.c, vartest.c).
#include <gtest/gtest.h>

#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "db/values/jet_convert.h"
#include "db/values/jet_date.h"
#include "lab.h"

namespace korvane::db::test {
namespace {

struct Case {
  Case(std::string v, std::string s, std::string d, std::string r, std::string l = "")
      : value(std::move(v)),
        storage(std::move(s)),
        declared(std::move(d)),
        result(std::move(r)),
        literal(std::move(l)) {}
  std::string value;     // an SQLite literal, stored as it is: 'n/a', 12.5, X'00', NULL
  std::string storage;   // the storage class it has in the source: text, real, ...
  std::string declared;  // the source column's declared type
  std::string result;    // what the field holds: "null", or typeof:value ("real:12.5")
  std::string literal;   // the value in Jet SQL, when not `value`; "-" for none
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
      const std::string literal = !cases[i].literal.empty()  ? cases[i].literal
                                  : cases[i].value == "NULL" ? "Null"
                                                             : cases[i].value;
      if (cases[i].storage != "blob" && literal != "-")
        db->execute("INSERT INTO Dst (ID, V) VALUES (" + std::to_string(1000 + i) + ", " + literal +
                    ")");
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
                         {"'12,5'", "text", "REAL", "real:125.0"},  // OLE: ',' groups digits
                         {"'1,234.5'", "text", "REAL", "real:1234.5"},
                         {"'12.5' || char(13, 10)", "text", "TEXT", "real:12.5", "'12.5\r\n'"},
                         {"char(9) || '7'", "text", "TEXT", "real:7.0", "'\t7'"},
                         {"'$12'", "text", "TEXT", "real:12.0"},
                         {"'(12)'", "text", "TEXT", "real:-12.0"},
                         {"'12-'", "text", "TEXT", "real:-12.0"},
                         {"'&H1A'", "text", "TEXT", "null"},  // hexadecimal: whole numbers only
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
                         {"2.5", "real", "REAL", "integer:2"},  // OLE: half to even
                         {"3.5", "real", "REAL", "integer:4"},
                         {"-0.5", "real", "REAL", "integer:0"},
                         {"-32768.5", "real", "REAL", "integer:-32768"},
                         {"'&H1A'", "text", "TEXT", "integer:26"},  // OLE: VB hex and octal
                         {"'&o17'", "text", "TEXT", "integer:15"},
                         {"'&HFFFF'", "text", "TEXT", "integer:-1"},
                         {"'&H10000'", "text", "TEXT", "null"},
                         {"'1,234'", "text", "TEXT", "integer:1234"},
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
                         {"'&HFF'", "text", "TEXT", "integer:255"},
                         {"'-0.5'", "text", "TEXT", "integer:0"},  // OLE: rounded, then checked
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
                         {"'&HFFFFFFFF'", "text", "TEXT", "integer:-1"},
                         {"9223372036854775807", "integer", "INTEGER", "null"},
                     }),
            "");
}

TEST(ConversionByValue, IntoSingleCurrencyAndDecimalRoundedAsJetStoresThem) {
  EXPECT_EQ(runCases("SINGLE",
                     {
                         {"12.5", "real", "REAL", "real:12.5"},
                         {"0.1", "real", "REAL", "real:0.100000001490116"},  // four bytes
                         {"16777217", "integer", "INTEGER", "real:16777216.0"},
                         {"3.4e38", "real", "REAL", "real:3.39999995214436e+38"},
                         {"1e39", "real", "REAL", "null"},
                         {"'-3.5e39'", "text", "TEXT", "null"},
                     }),
            "");
  EXPECT_EQ(runCases("CURRENCY",
                     {
                         {"922337203685477", "integer", "INTEGER", "integer:922337203685477"},
                         {"1e15", "real", "REAL", "null"},
                         {"'12.25'", "text", "TEXT", "real:12.25"},
                         {"'$12'", "text", "TEXT", "integer:12"},
                         {"'$1,234.50'", "text", "TEXT", "real:1234.5"},
                         {"'(12)'", "text", "TEXT", "integer:-12"},
                         {"1.23456", "real", "REAL", "real:1.2346"},  // ten-thousandths
                         {"1.03125", "real", "REAL", "real:1.0312"},  // OLE: half to even
                         {"1.09375", "real", "REAL", "real:1.0938"},
                         {"-0.00009", "real", "REAL", "real:-0.0001"},
                     }),
            "");
  EXPECT_EQ(runCases("DECIMAL(6,2)",
                     {
                         {"12.125", "real", "REAL", "real:12.12"},  // half to even
                         {"12.375", "real", "REAL", "real:12.38"},
                         {"9999.994", "real", "REAL", "real:9999.99"},
                         {"9999.996", "real", "REAL", "null"},  // seven digits
                         {"10000", "integer", "INTEGER", "null"},
                         {"42", "integer", "INTEGER", "integer:42"},
                         {"'1,234.5'", "text", "TEXT", "real:1234.5"},
                     }),
            "");
  EXPECT_EQ(runCases("DECIMAL(10)", {{"2.5", "real", "REAL", "integer:2"}}), "");
}

TEST(ConversionByValue, IntoDateTime) {
  EXPECT_EQ(runCases("DATETIME",
                     {
                         {"'2024-01-06 10:30'", "text", "DATETIME", "real:45297.4375"},
                         {"'1/6/2024 10:30:00 AM'", "text", "TIMESTAMP", "real:45297.4375"},
                         {"'Jan 6, 2024 10:30'", "text", "DATE", "real:45297.4375"},
                         {"'7 January 2024'", "text", "TEXT", "integer:45298"},
                         {"'14:30'", "text", "TEXT", "real:0.604166666666667"},
                         {"'13/01/2024 10:30:00'", "text", "DATETIME", "real:45304.4375"},
                         {"'21/11/2023 10:00:00'", "text", "DATETIME", "real:45251.4166666667"},
                         {"'2024-04-31 12:00'", "text", "DATETIME", "null"},
                         {"'31/12/2023 23:59'", "text", "DATETIME", "real:45291.9993055556"},
                         {"'13-1-1970'", "text", "TEXT", "integer:25581"},
                         {"'00:00 AM'", "text", "TEXT", "integer:0"},
                         {"'1900-02-29'", "text", "DATETIME", "null"},
                         {"'2100-02-29'", "text", "DATETIME", "null"},
                         {"'2000-02-29'", "text", "DATETIME", "integer:36585"},
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
                         {"'#TRUE#'", "text", "TEXT", "integer:-1"},  // OLE: always, in this case
                         {"'#True#'", "text", "TEXT", "null"},
                         {"'0.1'", "text", "TEXT", "integer:-1"},
                         {"'n/a'", "text", "TEXT", "null"},
                         {"NULL", "null", "BIT", "null"},
                     }),
            "");
}

TEST(ConversionByValue, IntoTextAndMemoAsOleWritesEachType) {
  const std::vector<Case> cases = {
      {"12.0", "real", "REAL", "text:12"},
      {"12.5", "real", "DOUBLE", "text:12.5"},
      {"1e20", "real", "", "text:1E+20"},
      {"0.1 + 0.2", "real", "", "text:0.3"},
      {"0.00001", "real", "REAL", "text:0.00001"},
      {"45352.4166666667", "real", "DATETIME", "text:3/1/2024 10:00:00 AM",
       "#3/1/2024 10:00:00 AM#"},
      {"45352", "integer", "DATETIME", "text:3/1/2024", "#2024-03-01#"},
      {"0.75", "real", "DATE", "text:6:00:00 PM", "#18:00#"},
      {"'2024-03-01'", "text", "DATETIME", "text:2024-03-01"},
      {"1e10 + 0.5", "real", "DATETIME", "text:10000000000.5"},  // no date: the number
      {"1", "integer", "BIT", "text:-1", "True"},
      {"0", "integer", "BOOLEAN", "text:0", "False"},
      {"0.100000001490116", "real", "FLOAT4", "text:0.1", "0.1"},
      {"1234567890123.4567", "real", "CURRENCY", "text:1234567890123.4568", "-"},
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
      {"1/6/30", 47489.0},  // OLE on Windows 1903+: two digits up to 49 are the 2000s
      {"1 1 50", 18264.0},
      {"31 12 49", 54788.0},
      {"1 1 100", kFirstJetDate},
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
      {"2000-02-29", 36585.0},
      {"13/01/2024 10:30:00", 45304.4375},  // day first where month first cannot be
      {"31/12/2023 23:59", 45291.0 + 1439 / 1440.0},
      {"99-01-01", 36161.0},
      {"January 2024", 45292.0},
      {"2024-01/06", jan6},
      {"2024-01-06/10:30", jan6 + morning},
      // OLE's own cases.
      {"1 am", 1 / 24.0},
      {"0.1", 1 / 1440.0},  // a decimal point parts hours and minutes
      {"2.5", 0.08680555555555555},
      {"00:00 AM", 0.0},
      {"12:59 A", 0.04097222222222222},
      {"00:00 p", 0.5},
      {"12:59 pm", 0.5409722222222222},
      {"13:00 AM", 0.5416666666666666},  // AM/PM ignored past 12
      {"30 2", 47515.0},                 // no day and month: a month and its year
      {"Jan 35", 49310.0},
      {"1 2 3", 37623.0},  // month, year, then day first
      {"14 2 3", 41673.0},
      {"2 14 3", 37666.0},
      {"32 2 3", 48247.0},
      {"13-1-1970", 25581.0},
      {"2 January, 1970", 25570.0},
      {"1.2 3 4 5", 38415.04305555556},
      {"1 2 3 4.5", 37623.17013888889},
      {"6/30/2011 01:20:34 PM", 40724.55594907407},
      {"6/30/2011\xE3\x80\x80"
       "01:20:34",
       40724.05594907407},  // ideographic space
      // Nothing read in part, nothing filled in.
      {"2024-04-31 12:00", std::nullopt},
      {"2023-02-29", std::nullopt},
      {"1900-02-29", std::nullopt},  // centuries leap only every 400 years
      {"2100-02-29", std::nullopt},
      {"1/1/10000 10:00", std::nullopt},
      {"Jan 6", std::nullopt},  // OLE: the current year's; not read here
      {"1 2", std::nullopt},
      {"32 49", std::nullopt},
      {"2 32 3", std::nullopt},
      {"1 2 am", std::nullopt},
      {"1 2.3 4", std::nullopt},
      {"0:60", std::nullopt},
      {"24.00", std::nullopt},
      {"-1.1", std::nullopt},
      {"1;2;3", std::nullopt},
      {"2013-05-14 02:04:12.017000000", std::nullopt},
      {"Saturday, January 6, 2024", std::nullopt},
      {"2024-01-06T10:30:00", std::nullopt},
      {"2024-01-06 10:30:00.250", std::nullopt},
      {"2024-01-06 10:30 extra", std::nullopt},
      {"2024-01-0610:30", std::nullopt},
      {"06.01.2024", std::nullopt},
      {"24:00", std::nullopt},
      {"10:60", std::nullopt},
      {"10", std::nullopt},
      {"45297", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"Jan 32, 2024", std::nullopt},
  };
  for (const auto& s : spellings) {
    const auto got = parseJetDate(s.text);
    EXPECT_EQ(got.has_value(), s.value.has_value()) << "'" << s.text << "'";
    if (got && s.value) {
      EXPECT_NEAR(*got, *s.value, 1e-9) << "'" << s.text << "'";
    }
  }
}

TEST(JetDate, WrittenAsOleWritesTheGeneralDate) {
  struct Writing {
    double value;
    std::optional<std::string> text;
  };
  for (const auto& w : std::vector<Writing>{
           {0.0, "12:00:00 AM"},  // OLE
           {3.34, "1/2/1900 8:09:36 AM"},
           {1461.5, "12/31/1903 12:00:00 PM"},
           {-49192.24, "4/24/1765 5:45:36 AM"},
           {-657434.0, "1/1/100"},
           {2958465.0, "12/31/9999"},
           {45352.4166666667, "3/1/2024 10:00:00 AM"},
           {0.75, "6:00:00 PM"},
           {-1.25, "12/29/1899 6:00:00 AM"},
           {45351.99999999, "3/1/2024"},  // rounded to the second
           {2958466.0, std::nullopt},
       }) {
    EXPECT_EQ(jetDateText(w.value), w.text) << w.value;
  }
}

TEST(JetNumbers, ReadAndWrittenAsJetDoesInAnyLocale) {
  struct Reading {
    std::string text;
    std::optional<double> value;
    JetType to = JetType::kDouble;
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
           {"12,5", 125.0},
           {"1,234.5", 1234.5},
           {"\t12\r\n", 12.0},
           {" + 0", 0.0},  // OLE: white space around the sign
           {"+ +0", std::nullopt},
           {"12-", -12.0},
           {"(12)", -12.0},
           {"()", std::nullopt},
           {"$1,234", 1234.0},
           {"-0.51", -0.51},
           {"1.5e-20", 1.5e-20},
           {"1e1.", std::nullopt},
           {",5", std::nullopt},
           {"0x1A", std::nullopt},
           {"&H1A", std::nullopt},
           {"&H1A", 26.0, JetType::kLong},
           {"&HF800", -2048.0, JetType::kInteger},
           {"&h0abcd", 43981.0, JetType::kLong},
           {"&O300", 192.0, JetType::kByte},
           {"&o128", std::nullopt, JetType::kLong},
           {"&H", std::nullopt, JetType::kLong},
           {"&H100", std::nullopt, JetType::kByte},

           {"inf", std::nullopt},
           {"NaN", std::nullopt},
           {"1e999", std::nullopt},
           {"12 5", std::nullopt},
           {"$5", 5.0},
       }) {
    EXPECT_EQ(parseJetNumber(r.text, r.to), r.value) << "'" << r.text << "'";
  }
  struct Writing {
    double value;
    std::string text;
    std::string (*write)(double) = jetNumberText;
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
           {0.00001, "0.00001"},
           {-2.5e-7, "-0.00000025"},
           {5.6789e-5, "0.000056789"},  // OLE: fixed while 15 places hold it
           {5.6789e-11, "0.000000000056789"},
           {5.6789e-12, "5.6789E-12"},
           {999999999999999.0, "999999999999999"},
           {1e15, "1E+15"},
           {1.234e16, "1.234E+16"},
           {3.141592653589793, "3.14159265358979"},
           {1e-100, "1E-100"},
           {static_cast<float>(0.1), "0.1", jetSingleText},  // OLE: 7 digits
           {static_cast<float>(3.14159265), "3.141593", jetSingleText},
           {static_cast<float>(1234.56789012), "1234.568", jetSingleText},
           {1e8, "1E+08", jetSingleText},
           {1.5, "1.5", jetCurrencyText},  // OLE: up to four places
           {0.0009, "0.0009", jetCurrencyText},
           {429496.7295, "429496.7295", jetCurrencyText},
       }) {
    EXPECT_EQ(w.write(w.value), w.text) << w.value;
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
