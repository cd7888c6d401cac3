// The power-cut model on its own: what a cut keeps of writes, flushes and
// names made through the watched system calls and SQLite, so that the suite
// built on it (power_cut_test.cpp) can trust what it is shown.
#include "disk_model.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <set>
#include <string>

#include "fs/posix_file.h"
#include "model_system_calls.h"
#include "model_vfs.h"
#include "support/files.h"
#include "support/sqlite_file.h"
#include "support/temp_prefix.h"

namespace korvane::reliability {
namespace {

namespace stdfs = std::filesystem;

using Files = std::map<std::string, std::string>;

// A folder data/ holding old.txt, laid out before the model watches it.
const stdfs::path& laidOut(const support::TempFolder& folder) {
  stdfs::create_directory(folder.path() / "data");
  support::writeFile(folder.path() / "data" / "old.txt", "old");
  return folder.path();
}

class DiskModelTest : public ::testing::Test {
 protected:
  Files cut(CutVariant variant, std::uint64_t seed = 1) {
    std::mt19937_64 random(seed);
    return model_.imageNow(variant, random).files();
  }

  // Writes `bytes` to the new file `name` in data/ through the watched
  // calls; with `flushed`, flushes the file (not its folder).
  void make(const std::string& name, const std::string& bytes, bool flushed) {
    const std::string path = (folder_.path() / "data" / name).string();
    const int fd = calls_.open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(calls_.write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    if (flushed) {
      ASSERT_EQ(calls_.fsync(fd), 0);
    }
    ::close(fd);
  }

  void flushFolder() { ASSERT_EQ(fs::detail::flushFolder(calls_, dataFolder()), 0); }
  std::string dataFolder() const { return (folder_.path() / "data").string(); }
  std::string at(const std::string& name) const { return dataFolder() + "/" + name; }

  support::TempFolder folder_;
  DiskModel model_{laidOut(folder_)};
  ModelSystemCalls calls_{model_};
};

TEST_F(DiskModelTest, ACutKeepsWhatWasFlushedAndNamesWhoseFolderWas) {
  make("unflushed.txt", "lost", false);
  make("flushed.txt", "kept", true);
  const Files before{{"data/old.txt", "old"}};
  // Neither name was flushed: a cut loses both files.
  EXPECT_EQ(cut(CutVariant::kLost), before);
  // The names survive, and only the flushed bytes.
  EXPECT_EQ(
      cut(CutVariant::kNamesKept),
      (Files{{"data/flushed.txt", "kept"}, {"data/old.txt", "old"}, {"data/unflushed.txt", ""}}));
  flushFolder();
  EXPECT_EQ(
      cut(CutVariant::kLost),
      (Files{{"data/flushed.txt", "kept"}, {"data/old.txt", "old"}, {"data/unflushed.txt", ""}}));
  EXPECT_EQ(model_.points(), 4);  // two writes, a file's flush, a folder's
  EXPECT_EQ(model_.confusions(), std::vector<std::string>{});
}

TEST_F(DiskModelTest, RenamesAndRemovalsLastOnlyOnceTheirFolderIsFlushed) {
  make("new.txt", "new", true);
  flushFolder();
  ASSERT_EQ(calls_.rename(at("new.txt").c_str(), at("old.txt").c_str(), false), 0);
  EXPECT_EQ(cut(CutVariant::kLost), (Files{{"data/new.txt", "new"}, {"data/old.txt", "old"}}));
  EXPECT_EQ(cut(CutVariant::kNamesKept), (Files{{"data/old.txt", "new"}}));
  flushFolder();
  ASSERT_EQ(calls_.unlink(at("old.txt").c_str()), 0);
  EXPECT_EQ(cut(CutVariant::kLost), (Files{{"data/old.txt", "new"}}));
  EXPECT_EQ(cut(CutVariant::kNamesKept), Files{});
}

TEST_F(DiskModelTest, ATornCutKeepsAPrefixOfTheWritesThatTheSameSeedRepeats) {
  const std::string path = at("old.txt");
  const int fd = calls_.open(path.c_str(), O_WRONLY, 0);
  ASSERT_GE(fd, 0);
  const std::string block(2048, 'x');
  for (int i = 0; i < 3; ++i) ASSERT_EQ(calls_.write(fd, block.data(), block.size()), 2048);
  ::close(fd);
  std::set<std::size_t> sizes;
  for (std::uint64_t seed = 1; seed <= 40; ++seed) {
    const std::string torn = cut(CutVariant::kTorn, seed).at("data/old.txt");
    EXPECT_EQ(torn, cut(CutVariant::kTorn, seed).at("data/old.txt"));
    // Some whole writes, then part of the next, cut at a sector's end.
    EXPECT_TRUE(torn == "old" || torn.size() % 512 == 0) << torn.size();
    EXPECT_EQ(torn.find_first_not_of('x', torn == "old" ? 3 : 0), std::string::npos);
    sizes.insert(torn.size());
  }
  EXPECT_GT(sizes.size(), 3u) << "the seeds tore no differently";
}

TEST_F(DiskModelTest, AChangeMadeBehindTheModelsBackIsSeenAtTheFlush) {
  const int fd = calls_.open(at("old.txt").c_str(), O_WRONLY, 0);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, "new", 3, 0), 3);  // not through the watched calls
  ASSERT_EQ(calls_.fsync(fd), 0);
  ::close(fd);
  EXPECT_EQ(model_.confusions().size(), 1u);
}

// SQLite in rollback-journal mode with synchronous=FULL flushes the journal,
// its folder (once, for the journal's new name) and the database, but not
// the folder after the journal's removal, which is the commit: a cut after
// it brings the journal back, and the next open rolls the commit back.
// synchronous=EXTRA flushes the folder then too.
TEST_F(DiskModelTest, AFinishedJournalComesBackUnlessItsRemovalIsFlushed) {
  const stdfs::path database = folder_.path() / "data" / "db.sqlite";
  support::runSql(database,
                  "PRAGMA journal_mode=DELETE; CREATE TABLE t(x); INSERT INTO t VALUES(1)");
  for (const char* synchronous : {"FULL", "EXTRA"}) {
    DiskImage image;
    std::string committed;
    {
      DiskModel model(folder_.path());
      ModelVfs vfs(model);
      support::runSql(
          database, std::string("PRAGMA synchronous=") + synchronous + "; UPDATE t SET x = x + 1");
      committed = support::readValue(database, "SELECT x FROM t");
      std::mt19937_64 random(1);
      image = model.imageNow(CutVariant::kLost, random);
      EXPECT_EQ(model.confusions(), std::vector<std::string>{});
    }
    image.writeTo(folder_.path());
    const bool journalBack = stdfs::exists(database.string() + "-journal");
    // Opened to write, as a program that uses the file would.
    support::runSql(database, "SELECT count(*) FROM t");
    const std::string after = support::readValue(database, "SELECT x FROM t");
    if (std::string(synchronous) == "FULL") {
      EXPECT_TRUE(journalBack);
      EXPECT_EQ(std::stoi(after), std::stoi(committed) - 1) << "the commit was not rolled back";
    } else {
      EXPECT_FALSE(journalBack);
      EXPECT_EQ(after, committed);
    }
  }
}

}  // namespace
}  // namespace korvane::reliability
