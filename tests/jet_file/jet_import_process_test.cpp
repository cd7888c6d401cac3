// The Jet import in its helper process: sound files come across as they do
// in-process; damage the checks find comes back as the helper's own 3343;
// a crash of libmdb (the checks off), a hang, each limit and each trespass
// the sandbox refuses come back as 3343 saying what happened; the target
// never stays behind a failure.
#include "jet_file/jet_import_process.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <optional>

#include "damaged_copy.h"
#include "fs/sandbox.h"
#include "jet_file/jet_file.h"
#include "sqlite/sql_text.h"
#include "support/failure_of.h"
#include "support/files.h"
#include "support/scoped_process.h"
#include "support/sqlite_file.h"
#include "support/temp_prefix.h"

namespace korvane::jetfile {
namespace {

namespace stdfs = std::filesystem;
using namespace std::chrono_literals;

const stdfs::path kFixtures = KORVANE_JET_FIXTURES;
const stdfs::path kHelper = KORVANE_JET_IMPORT_HELPER;
const stdfs::path kUnchecked = KORVANE_JET_IMPORT_UNCHECKED;
const stdfs::path kTrespassing = KORVANE_JET_IMPORT_TRESPASSING;
constexpr char kName[] = "C:\\lab\\chosen.mdb";

using Refusal = support::Caught;

// Each table's definition and row count.
std::string contentOf(const stdfs::path& file) {
  std::string content;
  for (const auto& table :
       support::readRows(file, "SELECT name, sql FROM sqlite_master ORDER BY rowid"))
    content += table[1] + ": " +
               support::readValue(file, "SELECT count(*) FROM " + sqlite::quoteName(table[0])) +
               "\n";
  return content;
}

class JetImportProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(stdfs::is_directory(kFixtures)) << "the Jet fixtures are missing: " << kFixtures;
    useJetImportHelperForTesting(kHelper);
  }
  void TearDown() override { useJetImportHelperForTesting(kHelper); }

  stdfs::path copyOf(const std::string& fixture,
                     const std::vector<test::ByteChange>& changes = {}) {
    const stdfs::path copy = folder_.path() / fixture;
    test::writeDamagedCopy(kFixtures / fixture, changes, copy);
    return copy;
  }
  Refusal refusalOf(const stdfs::path& jetFile) {
    const Refusal refusal =
        support::failureOf([&] { importJetFileInHelper(jetFile, target(), kName); });
    EXPECT_NE(refusal.number, 0) << jetFile << " was imported";
    EXPECT_FALSE(stdfs::exists(target())) << "the target outlived the failure";
    EXPECT_FALSE(stdfs::exists(target().string() + "-journal"));
    return refusal;
  }
  stdfs::path target() const { return folder_.path() / "copy.sqlite"; }

  const support::TempFolder folder_;
  std::optional<support::ScopedEnv> helperMode_;
};

TEST_F(JetImportProcess, SoundFilesComeAcrossAsTheyDoInProcess) {
  for (const char* fixture :
       {"testV1997.mdb", "test2V2000.mdb", "indexTestV2000.mdb", "testIndexPropertiesV2000.mdb",
        "testUnicodeCompV2003.mdb", "functionsV2000.mdb"}) {
    SCOPED_TRACE(fixture);
    const stdfs::path file = copyOf(fixture);
    const stdfs::path inProcess = folder_.path() / "in-process.sqlite";
    importJetFileToNewDatabase(file, inProcess);
    importJetFileInHelper(file, target(), kName);
    EXPECT_EQ(contentOf(target()), contentOf(inProcess));
    EXPECT_FALSE(contentOf(target()).empty());
    stdfs::remove(target());
    stdfs::remove(inProcess);
  }
}

TEST_F(JetImportProcess, TheHelpersOwnFailuresComeBackWithTheirNumberAndText) {
  const Refusal damaged = refusalOf(copyOf(test::kUsageMapFixture, test::kUsageMapOfLengthZero));
  EXPECT_EQ(damaged.number, 3343);
  EXPECT_EQ(damaged.text.rfind(std::string("Unrecognized database format '") + kName + "'.", 0), 0u)
      << damaged.text;
  EXPECT_NE(damaged.text.find("(the usage map of table 'Table1' is empty)"), std::string::npos)
      << damaged.text;

  EXPECT_EQ(refusalOf(folder_.path() / "missing.mdb").number, 3024);
  support::writeFile(target(), "in the way");
  EXPECT_EQ(support::failureOf([&] {
              importJetFileInHelper(copyOf("testV1997.mdb"), target(), kName);
            }).number,
            3204)
      << "an existing target was overwritten";
}

// Without the checks the same file crashes libmdb: the helper dies, the
// caller does not.
TEST_F(JetImportProcess, ACrashOfLibmdbIsRefusedWith3343SayingSo) {
  useJetImportHelperForTesting(kUnchecked);
  const Refusal crash = refusalOf(copyOf(test::kUsageMapFixture, test::kUsageMapOfLengthZero));
  EXPECT_EQ(crash.number, 3343);
  EXPECT_EQ(crash.text.rfind(
                std::string("Unrecognized database format '") + kName + "'. (reading it ", 0),
            0u)
      << crash.text;
#if !defined(__SANITIZE_ADDRESS__)
  EXPECT_NE(crash.text.find("crashed (signal 11, Segmentation fault)"), std::string::npos)
      << crash.text;
#endif
}

struct LimitCase {
  const char* name;
  fs::ChildLimits limits;
  bool hang;
  const char* saying;
};

void PrintTo(const LimitCase& c, std::ostream* out) {
  *out << c.name;
}

const LimitCase kLimits[] = {
    {"WallClock", {0, 0, 0s, 300ms}, true, "reading it was stopped after 0.3 s"},
    {"FileSize",
     {0, 16 << 10, 0s, 20s},
     false,
     "reading it was stopped by its limit of 16 KB on the file it writes"},
};

class JetImportLimit : public JetImportProcess, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(JetImportLimit, StopsTheHelperAndIsRefusedWith3343SayingWhich) {
  const LimitCase& c = GetParam();
  if (c.hang) {
    helperMode_.emplace("KORVANE_TEST_HELPER", "hang");
    useJetImportHelperForTesting(kUnchecked, &c.limits);
  } else {
    useJetImportHelperForTesting(kHelper, &c.limits);
  }
  const Refusal refusal = refusalOf(copyOf("test2V2000.mdb"));
  EXPECT_EQ(refusal.number, 3343);
  EXPECT_NE(refusal.text.find(c.saying), std::string::npos) << refusal.text;
}

INSTANTIATE_TEST_SUITE_P(Limits, JetImportLimit, ::testing::ValuesIn(kLimits),
                         [](const auto& info) { return std::string(info.param.name); });

// Each trespass the helper tries once its sandbox holds: refused (Landlock's
// "Permission denied", or killed by the seccomp filter), the import failing
// with 3343, the lab's folder as it was, nothing left in the private folder.
// The last row tries what is allowed, so the trespasser is seen to succeed.
enum class Guard { kNone, kLandlock, kSeccomp };

struct Trespass {
  const char* name;
  Guard guard;
  const char* what;    // the helper's first argument, {lab}, {private} and {port} filled in
  const char* saying;  // part of the refusal's text; nullptr: the import goes through
};

void PrintTo(const Trespass& t, std::ostream* out) {
  *out << t.name;
}

constexpr char kDenied[] = "failed: Permission denied";
constexpr char kKilled[] = "was ended by its sandbox for a forbidden system call (signal 31";

const Trespass kTrespasses[] = {
    {"ReadAFileBesideTheJetFile", Guard::kLandlock, "read:{lab}/notes.txt", kDenied},
    {"WriteAFileBesideTheJetFile", Guard::kLandlock, "write:{lab}/planted.txt", kDenied},
    {"WriteTheJetFile", Guard::kLandlock, "write:{lab}/chosen.mdb", kDenied},
    {"ConnectToThisMachine", Guard::kSeccomp, "connect:{port}", kKilled},
    {"RunAProgram", Guard::kSeccomp, "exec:/bin/true", kKilled},
    {"TraceItsParent", Guard::kSeccomp, "trace-parent", kKilled},
    {"WriteInItsPrivateFolder", Guard::kNone, "write:{private}/scratch", nullptr},
};

// A TCP port on 127.0.0.1 that accepts connections while it lives.
class Listener {
 public:
  Listener() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) == 0 && ::listen(fd_, 4) == 0 &&
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) == 0)
      port_ = ntohs(address.sin_port);
  }
  ~Listener() { ::close(fd_); }
  int port() const { return port_; }

 private:
  int fd_;
  int port_ = 0;
};

std::string filledIn(std::string text, const std::map<std::string, std::string>& values) {
  for (const auto& [name, value] : values)
    for (size_t at; (at = text.find(name)) != std::string::npos;)
      text.replace(at, name.size(), value);
  return text;
}

class JetImportSandbox : public JetImportProcess, public ::testing::WithParamInterface<Trespass> {};

TEST_P(JetImportSandbox, RefusesTheTrespassWith3343LeavingTheJetFileAsItWas) {
  const Trespass& t = GetParam();
  if (t.guard == Guard::kLandlock && fs::landlockAbiOfKernel() == 0)
    GTEST_SKIP() << "this kernel has no Landlock: the helper reaches what the user can";
  if (t.guard == Guard::kSeccomp && !fs::kernelFiltersSystemCalls())
    GTEST_SKIP() << "this kernel has no seccomp filters: the helper may make any system call";
  const stdfs::path lab = folder_.path() / "lab", privateFolder = folder_.path() / "private";
  stdfs::create_directory(lab);
  stdfs::create_directory(privateFolder);
  const stdfs::path jetFile = lab / "chosen.mdb";
  test::writeDamagedCopy(kFixtures / "testV1997.mdb", {}, jetFile);
  support::writeFile(lab / "notes.txt", "the lab's own notes");
  const support::FolderBytes before = support::bytesIn(lab);
  const Listener listener;
  ASSERT_NE(listener.port(), 0) << "no port to connect to";
  const std::string what = filledIn(t.what, {{"{lab}", lab.string()},
                                             {"{private}", privateFolder.string()},
                                             {"{port}", std::to_string(listener.port())}});
  useJetImportHelperForTesting(kTrespassing, nullptr, {what});

  const stdfs::path copy = privateFolder / "copy.sqlite";
  const Refusal refusal = support::failureOf([&] { importJetFileInHelper(jetFile, copy, kName); });
  EXPECT_EQ(support::changesIn(lab, before), "");
  if (!t.saying) {
    EXPECT_EQ(refusal.number, 0) << refusal.text;
    EXPECT_TRUE(stdfs::exists(privateFolder / "scratch"));
    return;
  }
  EXPECT_EQ(refusal.number, 3343) << refusal.text;
  EXPECT_NE(refusal.text.find(t.saying), std::string::npos) << refusal.text;
  EXPECT_EQ(support::entriesOf(privateFolder), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Trespasses, JetImportSandbox, ::testing::ValuesIn(kTrespasses),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(JetImportProcess, AMissingHelperIsRefusedWith3343NamingIt) {
  useJetImportHelperForTesting("");
  const Refusal missing = refusalOf(copyOf("testV1997.mdb"));
  EXPECT_EQ(missing.number, 3343);
  EXPECT_NE(missing.text.find("korvane-jet-import, is not installed"), std::string::npos)
      << missing.text;

  useJetImportHelperForTesting(folder_.path() / "korvane-jet-import");
  const Refusal unrunnable = refusalOf(copyOf("testV1997.mdb"));
  EXPECT_EQ(unrunnable.number, 3343);
  EXPECT_NE(unrunnable.text.find("could not start"), std::string::npos) << unrunnable.text;
}

// The build tree puts the helper beside the program; an installed tree
// (GNUInstallDirs) in libexec/korvane/ beside bin/.
TEST(JetImportHelperLocation, BesideTheProgramElseInLibexec) {
  const support::TempFolder folder;
  const stdfs::path root = folder.path();
  stdfs::create_directories(root / "bin");
  const stdfs::path program = root / "bin" / "korvane";
  EXPECT_EQ(jetImportHelperBeside(program), stdfs::path()) << "no helper anywhere";

  const stdfs::path installed = root / "libexec" / "korvane" / "korvane-jet-import";
  stdfs::create_directories(installed.parent_path());
  support::writeFile(installed, "#!/bin/sh\n");
  EXPECT_EQ(jetImportHelperBeside(program), installed);

  const stdfs::path beside = root / "bin" / "korvane-jet-import";
  support::writeFile(beside, "#!/bin/sh\n");
  EXPECT_EQ(jetImportHelperBeside(program), beside);

  stdfs::remove(beside);
  stdfs::create_directory(beside);  // a folder of that name is no helper
  EXPECT_EQ(jetImportHelperBeside(program), installed);
}

}  // namespace
}  // namespace korvane::jetfile
