// Importing the real Jet files of tests/fixtures/jet (each test reads a copy
// of its own) and changed or damaged copies of them.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <charconv>
#include <cstdio>

#include "damaged_copy.h"
#include "fs/failure.h"
#include "jet_file/jet_file.h"
#include "support/files.h"
#include "support/sqlite_file.h"
#include "support/temp_prefix.h"

namespace korvane::jetfile {
namespace {

namespace stdfs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;
using support::readFile;
using support::writeFile;

const stdfs::path kFixtures = KORVANE_JET_FIXTURES;

// A value as text: NULL, an integer, a REAL in its shortest exact form, the
// text itself, or blob:<length>.
std::string render(sqlite3_stmt* stmt, int i) {
  switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_NULL:
      return "NULL";
    case SQLITE_INTEGER:
      return std::to_string(sqlite3_column_int64(stmt, i));
    case SQLITE_FLOAT: {
      char buffer[32];
      auto end = std::to_chars(buffer, buffer + sizeof buffer, sqlite3_column_double(stmt, i)).ptr;
      return "real:" + std::string(buffer, end);
    }
    case SQLITE_BLOB:
      return "blob:" + std::to_string(sqlite3_column_bytes(stmt, i));
    default:
      return reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
  }
}

class JetImport : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(stdfs::is_directory(kFixtures)) << "the Jet fixtures are missing: " << kFixtures;
    ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
  }
  void TearDown() override {
    if (db_) sqlite3_close(db_);
  }

  Rows query(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
    Rows rows;
    while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
      rows.emplace_back();
      for (int i = 0; i < sqlite3_column_count(stmt); ++i) rows.back().push_back(render(stmt, i));
    }
    sqlite3_finalize(stmt);
    return rows;
  }
  std::vector<std::string> column(const std::string& sql) {
    std::vector<std::string> values;
    for (auto& row : query(sql)) values.push_back(row.at(0));
    return values;
  }
  std::vector<std::string> tableNames() {
    return column("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid");
  }
  // A copy of fixture `name` of the test's own: the shared files are never
  // opened in place, where another test may be reading them.
  stdfs::path copyOf(const std::string& name) {
    stdfs::copy_file(kFixtures / name, temp_ / name, stdfs::copy_options::overwrite_existing);
    return temp_ / name;
  }
  void import(const std::string& fixture) { importJetFile(copyOf(fixture), db_); }

  // `file` imported into a fresh target: every table and every value.
  std::string everythingOf(const stdfs::path& file) {
    sqlite3_close(db_);
    EXPECT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    importJetFile(file, db_);
    std::string everything;
    for (const auto& table : tableNames()) {
      everything += "\n" + table + ":";
      for (const auto& row : query("SELECT * FROM \"" + table + "\""))
        for (const auto& value : row) everything += " " + value;
    }
    return everything;
  }

  // Imports `file`, expecting failure `number`; returns what reached stderr.
  std::string importFailing(const stdfs::path& file, int number) {
    testing::internal::CaptureStderr();
    try {
      importJetFile(file, db_);
      ADD_FAILURE() << file << " was imported";
    } catch (const Failure& f) {
      EXPECT_EQ(f.number(), number) << f.text();
    }
    return testing::internal::GetCapturedStderr();
  }

  sqlite3* db_ = nullptr;
  const support::TempFolder folder_;
  const stdfs::path temp_ = folder_.path();
};

struct SchemaCase {
  const char* file;
  const char* table;
  const char* columns;  // name TYPE, ... as imported
  int rows;
};

TEST_F(JetImport, EveryUserTableWithItsFieldsTypesAndRowCount) {
  const SchemaCase cases[] = {
      {"testV1997.mdb", "Table1",
       "A VARCHAR(50), B VARCHAR(100), C TINYINT, D SMALLINT, E INTEGER, F DOUBLE, G DATETIME, "
       "H CURRENCY, I BIT",
       2},
      {"testV1997.mdb", "Table3", "a COUNTER, b VARCHAR(50)", 0},
      {"testV1997.mdb", "Table4", "name VARCHAR(50), data GUID", 0},
      {"functionsV2000.mdb", "t_funcs",
       "id SMALLINT, descr LONGTEXT, num DECIMAL(12,3), date0 DATETIME", 1},
      {"indexTestV2000.mdb", "Table1",
       "id INTEGER, otherfk1 INTEGER, otherfk2 INTEGER, data VARCHAR(50), otherfk3 INTEGER", 4},
      {"indexTestV2000.mdb", "Table2", "id INTEGER, data VARCHAR(50)", 3},
      {"indexTestV2000.mdb", "Table3", "id INTEGER, data VARCHAR(50)", 4},
      {"testUnicodeCompV2003.mdb", "Table", "ID COUNTER, Unicode VARCHAR(255)", 8},
      {"testIndexPropertiesV2000.mdb", "TableIgnoreNulls1", "row VARCHAR(50), data VARCHAR(50)",
       10},
      {"testIndexPropertiesV2000.mdb", "TableIgnoreNulls1_temp",
       "row VARCHAR(50), data VARCHAR(50)", 0},
      {"testIndexPropertiesV2000.mdb", "TableIgnoreNulls2",
       "row VARCHAR(50), data1 VARCHAR(50), data2 INTEGER", 11},
      {"testIndexPropertiesV2000.mdb", "TableUnique2_temp",
       "row VARCHAR(50), data1 VARCHAR(50), data2 INTEGER", 11},
  };
  std::string imported;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.table);
    if (imported != c.file) {
      sqlite3_close(db_);
      ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
      import(c.file);
      imported = c.file;
    }
    std::string columns;
    for (auto& row :
         query("SELECT name, type FROM pragma_table_info('" + std::string(c.table) + "')"))
      columns += (columns.empty() ? "" : ", ") + row[0] + " " + row[1];
    EXPECT_EQ(columns, c.columns);
    EXPECT_EQ(column("SELECT count(*) FROM \"" + std::string(c.table) + "\""),
              std::vector<std::string>{std::to_string(c.rows)});
  }
}

// The row count a table's definition keeps is a figure Jet lets drift, both
// ways: real files count more rows than they hold and fewer. A copy with that
// count changed imports exactly what the fixture does, in a user table and in
// the catalog (which the import reads) and in a system table it skips.
TEST_F(JetImport, TheRowCountADefinitionKeepsIsNotConsulted) {
  using test::byteString;
  const std::pair<const char*, test::ByteChange> cases[] = {
      // Table1 (2 rows; counted at bytes 12-15 of page 29), MSysObjects (22).
      {"testV1997.mdb", {59404, byteString({0x02}), byteString({0x01})}},
      {"testV1997.mdb", {59404, byteString({0x02, 0x00}), byteString({0x02, 0x01})}},
      {"testV1997.mdb", {4108, byteString({0x16}), byteString({0x05})}},
      {"testV1997.mdb", {4108, byteString({0x16, 0x00}), byteString({0x16, 0x01})}},
      // Table1 (4 rows; counted at bytes 16-19 of page 24), MSysACEs (91).
      {"indexTestV2000.mdb", {98320, byteString({0x04}), byteString({0x00})}},
      {"indexTestV2000.mdb", {12304, byteString({0x5b}), byteString({0x02})}},
  };
  for (const auto& [fixture, change] : cases) {
    SCOPED_TRACE(std::string(fixture) + " at " + std::to_string(change.offset));
    const stdfs::path changed = temp_ / ("changed-" + std::string(fixture));
    test::writeDamagedCopy(kFixtures / fixture, {change}, changed);
    EXPECT_EQ(everythingOf(changed), everythingOf(copyOf(fixture)));
  }
}

TEST_F(JetImport, SystemTablesAreLeftOutAndOrderIsKept) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"testV1997.mdb", {"Table1", "Table2", "Table3", "Table4"}},
      {"test2V2000.mdb", {"MSP_PROJECTS"}},
      {"testIndexPropertiesV2000.mdb",
       {"TableIgnoreNulls1", "TableIgnoreNulls1_temp", "TableIgnoreNulls2",
        "TableIgnoreNulls2_temp", "TableUnique1_temp", "TableUnique2_temp"}},
  };
  for (const auto& [file, names] : cases) {
    sqlite3_close(db_);
    ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    import(file);
    EXPECT_EQ(tableNames(), names) << file;
    if (file == std::string("testV1997.mdb")) {
      EXPECT_EQ(query("SELECT count(*) FROM pragma_table_info('Table2')"), Rows{{"89"}});
    }
  }
}

// Whole numbers in DATETIME and CURRENCY columns come back as SQLite
// integers (their affinity is NUMERIC), as they do when the engine writes them.
TEST_F(JetImport, Jet3ValuesOfEveryType) {
  import("testV1997.mdb");
  EXPECT_EQ(query("SELECT * FROM Table1"),
            (Rows{{"a", "b", "0", "0", "0", "real:0", "29932", "0", "0"},
                  {"abcdefg", "hijklmnop", "2", "222", "333333333", "real:444.555", "27293",
                   "real:3.5", "-1"}}));
}

TEST_F(JetImport, DecimalMemoAndDateWithTime) {
  import("functionsV2000.mdb");
  // 2003-11-22 22:42:58 is the Jet double 37947.946504629632.
  EXPECT_EQ(query("SELECT * FROM t_funcs"),
            (Rows{{"1234", "Show must go off", "real:-1110.554", "real:37947.94650462963"}}));
}

TEST_F(JetImport, UnicodeTextWithControlCharactersQuotesAndBackslash) {
  import("testUnicodeCompV2003.mdb");
  std::string all;  // row 8: every character U+0001 to U+00FF
  for (int c = 1; c < 256; ++c) {
    if (c < 0x80) {
      all += static_cast<char>(c);
    } else {
      all += static_cast<char>(0xC0 | (c >> 6));
      all += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  const std::vector<std::string> expected{
      "only ascii chars", "ääkkösiä", "Мир",
      // Greek with the oxia accents (U+1F79, U+1F7B) as stored, not their tonos twins
      "\xCF\xB0\xCE\xB1\xE1\xBD\xB6 \xCF\x84\xE1\xBD\xB9\xCF\x84' "
      "\xE1\xBC\x90\xCE\xB3\xE1\xBD\xBC \xCE\x9A\xE1\xBD\xBB\xCF\xB0"
      "\xCE\xBB\xCF\x89\xCF\x80\xCE\xB1",
      "漢字仮名交じり文",
      "3L9\x1D"
      "52\x02_AB(¥\x05!!V",
      "ümlaut", all};
  const auto actual = column("SELECT Unicode FROM \"Table\" ORDER BY ID");
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i) EXPECT_EQ(actual[i], expected[i]) << "ID " << i + 1;
  EXPECT_NE(all.find("\t\n"), std::string::npos);
  EXPECT_NE(all.find("\"#$%&'"), std::string::npos);
  EXPECT_NE(all.find("[\\]"), std::string::npos);
}

TEST_F(JetImport, ManyFieldsDatesWithTimesOleAndNulls) {
  import("test2V2000.mdb");
  const std::pair<const char*, const char*> cases[] = {
      {"PROJ_ID", "1"},
      {"PROJ_NAME", "Project1"},
      {"length(PROJ_PROP_AUTHOR)", "348"},
      {"substr(PROJ_PROP_AUTHOR, 1, 18)", "Jon Iles this is a"},
      {"PROJ_OPT_CALC_ACT_COSTS", "-1"},
      {"PROJ_OPT_MULT_CRITICAL_PATHS", "0"},
      {"PROJ_PROP_CATEGORY", "NULL"},
      {"PROJ_PROP_COMPANY", "T"},
      {"PROJ_OPT_CURRENCY_SYMBOL", "£"},
      {"PROJ_OPT_MINUTES_PER_WEEK", "2400"},
      {"PROJ_OPT_DEF_OVT_RATE", "real:0"},
      {"PROJ_INFO_CURRENT_DATE", "real:38751.333333333336"},    // 2006-02-03 08:00
      {"PROJ_OPT_DEF_FINISH_TIME", "real:38751.708333333336"},  // 17:00
      {"PROJ_LAST_SAVED", "real:38751.924305555556"},           // 22:11
      {"PROJ_CREATION_DATE_EX", "real:38751.924363425926"},     // 22:11:05
      {"PROJ_INFO_STATUS_DATE", "NULL"},
      {"PROJ_DATA_SOURCE", "Z:\\temp\\Project1.mpd"},
      {"PROJ_TYPE", "NULL"},
      {"PROJ_CHECKEDOUTDATE", "NULL"},
      {"RESERVED_BINARY_DATA", "blob:22970"},
      {"hex(substr(RESERVED_BINARY_DATA, 1, 4))", "151C2D00"},
      {"hex(substr(RESERVED_BINARY_DATA, 22967))", "E2AD05FE"},
  };
  for (const auto& [expr, value] : cases)
    EXPECT_EQ(column(std::string("SELECT ") + expr + " FROM MSP_PROJECTS"),
              std::vector<std::string>{value})
        << expr;
}

TEST_F(JetImport, NullsStayDistinctFromValues) {
  import("testIndexPropertiesV2000.mdb");
  EXPECT_EQ(query("SELECT row, quote(data1), quote(data2) FROM TableIgnoreNulls2"),
            (Rows{{"row0", "'stuff'", "13"},
                  {"row1", "NULL", "49"},
                  {"row2", "'more'", "NULL"},
                  {"row4", "'some'", "0"},
                  {"row5", "NULL", "NULL"},
                  {"row6", "'lots of stuff'", "9087"},
                  {"row7", "'another row'", "-3462"},
                  {"row8", "NULL", "0"},
                  {"row9", "'still more rows'", "-12"},
                  {"row10", "NULL", "-5453"},
                  {"row3", "NULL", "-45"}}));
}

// A copy of functionsV2000.mdb whose Memo t_funcs.descr is `text` (Basic
// Latin and Cyrillic), chained over long-value pages appended to the file.
// With `dropLastPage` the chain's last link is missing.
stdfs::path withLongMemo(const stdfs::path& folder, const std::u16string& text, bool dropLastPage) {
  constexpr size_t kPage = 4096, kChunk = 4000;
  std::string file = readFile(kFixtures / "functionsV2000.mdb");
  const std::string original("S\0h\0o\0w\0 \0m\0u\0s\0t\0", 18);
  const size_t reference = file.find(original) - 12;
  std::string stored;
  for (char16_t c : text) stored += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  const size_t firstPage = file.size() / kPage;
  const size_t pages = (stored.size() + kChunk - 1) / kChunk;
  for (size_t p = 0; p < pages; ++p) {
    const std::string chunk = stored.substr(p * kChunk, kChunk);
    const std::uint32_t next =
        p + 1 < pages ? static_cast<std::uint32_t>(firstPage + p + 1) << 8 : 0;
    std::string page(kPage, '\0');
    page[0] = page[1] = 0x01;
    page.replace(4, 4, "LVAL");
    page[12] = 1;  // one row, from `start` to the end of the page
    const size_t start = kPage - 4 - chunk.size();
    page[14] = static_cast<char>(start & 0xFF);
    page[15] = static_cast<char>(start >> 8);
    for (int i = 0; i < 4; ++i) page[start + i] = static_cast<char>(next >> (8 * i));
    page.replace(start + 4, chunk.size(), chunk);
    if (!(dropLastPage && p + 1 == pages)) file += page;
  }
  const std::uint32_t length = static_cast<std::uint32_t>(stored.size());
  const std::uint32_t first = static_cast<std::uint32_t>(firstPage) << 8;
  for (int i = 0; i < 3; ++i) file[reference + i] = static_cast<char>(length >> (8 * i));
  file[reference + 3] = 0x00;  // chained over several pages
  for (int i = 0; i < 4; ++i) file[reference + 4 + i] = static_cast<char>(first >> (8 * i));
  const stdfs::path copy = folder / "long_memo.mdb";
  writeFile(copy, file);
  return copy;
}

std::string utf8Of(const std::u16string& text) {  // Basic Latin and Cyrillic only
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u16string longText() {
  std::u16string text;
  for (int i = 0; text.size() < 20000; ++i)
    text += u"line " + std::u16string(1, u'0' + i % 10) + u" Мир\n";
  return text.substr(0, 20000);
}

TEST_F(JetImport, MemoLongerThanLibmdbsBindSizeComesWhole) {
  const stdfs::path file = withLongMemo(temp_, longText(), false);
  importJetFile(file, db_);
  const auto rows = column("SELECT descr FROM t_funcs");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_GT(rows[0].size(), 16384u);
  EXPECT_TRUE(rows[0] == utf8Of(longText())) << "the memo differs from what was stored";
  EXPECT_EQ(column("SELECT length(descr) FROM t_funcs"), std::vector<std::string>{"20000"});
}

TEST_F(JetImport, BrokenMemoChainFailsAndLeavesNothing) {
  const stdfs::path file = withLongMemo(temp_, longText(), true);
  EXPECT_EQ(importFailing(file, 3343), "");
  EXPECT_TRUE(tableNames().empty());
}

TEST_F(JetImport, TruncatedCopiesFailCleanly) {
  const char* files[] = {"testV1997.mdb",
                         "test2V2000.mdb",
                         "indexTestV2000.mdb",
                         "testIndexPropertiesV2000.mdb",
                         "testUnicodeCompV2003.mdb",
                         "functionsV2000.mdb"};
  query("CREATE TABLE Kept (x INTEGER)");
  query("INSERT INTO Kept VALUES (7)");
  for (const char* name : files) {
    const std::string whole = readFile(kFixtures / name);
    const size_t page = name == std::string("testV1997.mdb") ? 2048 : 4096;
    const size_t half = whole.size() / 2 / page * page;
    for (size_t size : {size_t{0}, size_t{100}, size_t{4096}, half, half + 1000}) {
      SCOPED_TRACE(std::string(name) + " cut to " + std::to_string(size) + " bytes");
      const stdfs::path cut = temp_ / name;
      writeFile(cut, whole.substr(0, size));
      EXPECT_EQ(importFailing(cut, 3343), "") << "libmdb's messages reached stderr";
      EXPECT_EQ(tableNames(), std::vector<std::string>{"Kept"});
    }
  }
  EXPECT_EQ(column("SELECT x FROM Kept"), std::vector<std::string>{"7"});
}

TEST_F(JetImport, HeaderTellsJetFromOtherFiles) {
  EXPECT_EQ(jetFileFormatOf(copyOf("testV1997.mdb")), JetFileFormat::kJet3);
  EXPECT_EQ(jetFileFormatOf(copyOf("testUnicodeCompV2003.mdb")), JetFileFormat::kJet4);
  EXPECT_EQ(jetFileFormatOf(copyOf("functionsV2000.mdb")), JetFileFormat::kJet4);
  EXPECT_EQ(jetFileFormatOf(temp_ / "missing.mdb"), JetFileFormat::kNotJet);

  const stdfs::path sqliteFile = temp_ / "ours.mdb";
  sqlite3* ours = nullptr;
  ASSERT_EQ(sqlite3_open(sqliteFile.c_str(), &ours), SQLITE_OK);
  sqlite3_exec(ours, "CREATE TABLE t (x)", nullptr, nullptr, nullptr);
  sqlite3_close(ours);
  EXPECT_FALSE(looksLikeJetFile(sqliteFile));
  importFailing(sqliteFile, 3343);

  std::string ace = readFile(kFixtures / "functionsV2000.mdb");
  ace.replace(4, 15, "Standard ACE DB");
  ace[0x14] = 0x02;
  writeFile(temp_ / "new.accdb", ace);
  EXPECT_EQ(jetFileFormatOf(temp_ / "new.accdb"), JetFileFormat::kAce);
  EXPECT_TRUE(looksLikeJetFile(temp_ / "new.accdb"));
  importFailing(temp_ / "new.accdb", 3343);
  EXPECT_TRUE(tableNames().empty());
}

TEST_F(JetImport, MissingFileAndTakenTableNames) {
  importFailing(temp_ / "missing.mdb", 3024);
  query("CREATE TABLE table3 (x)");
  importFailing(copyOf("indexTestV2000.mdb"), 3010);
  EXPECT_EQ(tableNames(), std::vector<std::string>{"table3"});
}

// A target the import cannot write fails as every other SQLite write fails
// (the SQLite layer's one mapping), and keeps what it had.
TEST_F(JetImport, ATargetThatCannotBeWrittenFailsAsAnyWriteDoes) {
  const stdfs::path file = temp_ / "target.db";
  support::runSql(file, "CREATE TABLE keep (x)");
  sqlite3* readOnly = nullptr;
  ASSERT_EQ(sqlite3_open_v2(file.c_str(), &readOnly, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  try {
    importJetFile(copyOf("testV1997.mdb"), readOnly);
    ADD_FAILURE() << "a read-only target was written";
  } catch (const Failure& f) {
    EXPECT_EQ(f.number(), 3027) << f.text();
  }
  sqlite3_close(readOnly);
  EXPECT_EQ(support::readColumn(file, "SELECT name FROM sqlite_master"),
            std::vector<std::string>{"keep"});
}

TEST_F(JetImport, NewDatabaseFileExistsOnlyAfterSuccess) {
  const stdfs::path target = temp_ / "copy.db";
  importJetFileToNewDatabase(copyOf("testV1997.mdb"), target);
  sqlite3_close(db_);
  ASSERT_EQ(sqlite3_open(target.c_str(), &db_), SQLITE_OK);
  EXPECT_EQ(tableNames(), (std::vector<std::string>{"Table1", "Table2", "Table3", "Table4"}));

  try {
    importJetFileToNewDatabase(copyOf("testV1997.mdb"), target);
    ADD_FAILURE() << "an existing target was overwritten";
  } catch (const Failure& f) {
    EXPECT_EQ(f.number(), 3204);
  }

  writeFile(temp_ / "cut.mdb", readFile(kFixtures / "testV1997.mdb").substr(0, 8192));
  const stdfs::path failed = temp_ / "failed.db";
  EXPECT_THROW(importJetFileToNewDatabase(temp_ / "cut.mdb", failed, "C:\\lab\\cut.mdb"), Failure);
  EXPECT_FALSE(stdfs::exists(failed));
  try {
    importJetFileToNewDatabase(temp_ / "cut.mdb", failed, "C:\\lab\\cut.mdb");
  } catch (const Failure& f) {
    EXPECT_EQ(f.text().rfind("Unrecognized database format 'C:\\lab\\cut.mdb'.", 0), 0u)
        << f.text();
  }
}

}  // namespace
}  // namespace korvane::jetfile
