// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file on disk: names without regard to case, decimal text,
// defaults for anything damaged, and writes that never half-write the file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "tests/common/temp_folder.h"
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <optional>
#include <sstream>
#include <thread>

#include "common/files/ini_settings.h"
#include "common/files/settings_file.h"

namespace cantiere {
namespace {

class SettingsFile : public ::testing::Test {
 protected:
  std::string path() const { return dir.filePath("Cantiere.ini"); }
  void writeText(const std::string& text) { std::ofstream(path(), std::ios::binary) << text; }
  std::string readText() const {
    std::ifstream in(path(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  test::TempFolder dir;
};

// Sets an environment variable (or unsets it, for nullptr) for one scope.
class EnvironmentVariable {
 public:
  EnvironmentVariable(const char* name, const char* value) : name_(name) {
    if (const char* was = std::getenv(name)) was_ = was;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~EnvironmentVariable() { was_ ? setenv(name_, was_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> was_;
};

TEST(SettingsLocation, IsTheUsersConfigFolderByItsBytes) {
  test::TempFolder root;
  // Not UTF-8: the folder is the one these bytes name, not another.
  const std::string odd = root.path() + "/conf\xff\xfe";
  struct Case {
    const char* config;
    const char* home;
    std::string file;
  };
  for (const Case& c : {Case{odd.c_str(), "/nonexistent", odd + "/Lanterna/Cantiere.ini"},
                        Case{nullptr, odd.c_str(), odd + "/.config/Lanterna/Cantiere.ini"},
                        Case{"", odd.c_str(), odd + "/.config/Lanterna/Cantiere.ini"},
                        // A relative one would name a folder below the data folder.
                        Case{"config", odd.c_str(), odd + "/.config/Lanterna/Cantiere.ini"}}) {
    const EnvironmentVariable config("XDG_CONFIG_HOME", c.config), home("HOME", c.home);
    IniSettings store;
    EXPECT_EQ(store.path(), c.file) << (c.config ? c.config : "unset");
    std::ifstream file(c.file);
    EXPECT_TRUE(file.good()) << "opening the store creates it";
    EXPECT_EQ(file.peek(), std::char_traits<char>::eof()) << "and it is empty";
  }
  std::vector<std::string> made;
  for (const auto& entry : std::filesystem::directory_iterator(root.path()))
    made.push_back(entry.path().filename());
  EXPECT_EQ(made, std::vector<std::string>{"conf\xff\xfe"});
}

TEST_F(SettingsFile, AFreshStoreGivesTheDefaults) {
  IniSettings store(path());
  EXPECT_EQ(store.readInt("HiscoreA", 0), 0);
  EXPECT_EQ(store.readInt("SoundMode", -1), -1);
}

TEST_F(SettingsFile, WrittenNamesAreReadBackInAnyCase) {
  {
    IniSettings store(path());
    store.writeInt("HiScoreB", 120);
    store.writeInt("SoundMode", -1);
  }
  IniSettings next(path());
  EXPECT_EQ(next.readInt("HiscoreB", 0), 120);
  EXPECT_EQ(next.readInt("soundmode", 5), -1);
  EXPECT_NE(readText().find("HiScoreB=120"), std::string::npos) << readText();
}

TEST_F(SettingsFile, HandEditedNamesAreFoundAndReplacedByOneValue) {
  writeText("hiscorea=5\nSOUNDMODE=2\n");
  IniSettings store(path());
  EXPECT_EQ(store.readInt("HiscoreA", 0), 5);
  EXPECT_EQ(store.readInt("SoundMode", -1), 2);
  store.writeInt("HiScoreA", 7);
  EXPECT_EQ(store.readInt("HiscoreA", 0), 7);
  const std::string text = readText();
  EXPECT_EQ(text.find("hiscorea"), std::string::npos) << text;
  EXPECT_NE(text.find("HiScoreA=7"), std::string::npos) << text;
  EXPECT_NE(text.find("SOUNDMODE=2"), std::string::npos) << "other values are kept";
}

TEST_F(SettingsFile, TextThatIsNoDecimalIntegerReadsAsTheDefault) {
  writeText("HiscoreA=abc\nHiscoreB=12abc\nSoundMode=\nA=99999999999\nB=1,2\nC=+7\nD=-3\n"
            "E= 42 \n");
  IniSettings store(path());
  EXPECT_EQ(store.readInt("HiscoreA", 0), 0);
  EXPECT_EQ(store.readInt("HiscoreB", 0), 0);
  EXPECT_EQ(store.readInt("SoundMode", -1), -1);
  EXPECT_EQ(store.readInt("A", 0), 0);
  EXPECT_EQ(store.readInt("B", 0), 0);
  EXPECT_EQ(store.readInt("C", 0), 7);
  EXPECT_EQ(store.readInt("D", 0), -3);
  EXPECT_EQ(store.readInt("E", 0), 42);
}

TEST_F(SettingsFile, ADamagedFileDoesNotLoseItsReadableValues) {
  writeText(std::string("HiScoreA=310\n\x01\xff\xfe[[[garbage\0\0\n==\nSoundMode=1\n", 44));
  IniSettings store(path());
  EXPECT_EQ(store.readInt("HiscoreA", 0), 310);
  EXPECT_EQ(store.readInt("SoundMode", -1), 1);
}

TEST_F(SettingsFile, AWriteReplacesTheFileAtomically) {
  writeText("HiScoreA=100\n");
  struct stat before {};
  ASSERT_EQ(stat(path().c_str(), &before), 0);
  IniSettings store(path());
  store.writeInt("HiScoreA", 120);
  struct stat after {};
  ASSERT_EQ(stat(path().c_str(), &after), 0);
  // A new file renamed over the old one, never the old one truncated.
  EXPECT_NE(before.st_ino, after.st_ino);
  EXPECT_TRUE(store.lastWriteOk());
  EXPECT_EQ(IniSettings(path()).readInt("HiscoreA", 0), 120);
}

TEST_F(SettingsFile, AStoreThatCannotBeWrittenKeepsTheValuesInMemory) {
  // Its folder is a regular file, so nothing can ever be created there.
  writeText("not a folder");
  IniSettings store(path() + "/Cantiere.ini");
  store.writeInt("HiScoreA", 250);
  EXPECT_FALSE(store.lastWriteOk());
  EXPECT_EQ(store.readInt("HiscoreA", 0), 250);
  EXPECT_EQ(readText(), "not a folder");
}

TEST_F(SettingsFile, ANewHighScoreThatCannotBeStoredIsToldOnceAndWhatIsLostAtTheEnd) {
  struct Case {
    const char* blocker;
    std::string file;  // of the store
    std::string why;
    bool retried;  // a refused file is never written in the run
  };
  for (const Case& c : {Case{"a folder where its lock goes", path(), "Is a directory", true},
                        Case{"a file where its folder goes", path() + "/Lanterna/Cantiere.ini",
                             "the file cannot be read (Not a directory)", false}}) {
    std::filesystem::remove_all(path());
    std::filesystem::remove_all(path() + ".lock");
    if (c.retried) {
      writeText("HiScoreA=1\n");
      std::filesystem::create_directory(path() + ".lock");
    } else {
      writeText("not a folder");
    }
    const std::string before = readText();
    std::vector<IniSettings::Unstored> told;
    ::testing::internal::CaptureStderr();
    {
      IniSettings store(c.file);
      store.onUnstored = [&](const IniSettings::Unstored& u) { told.push_back(u); };
      store.writeInt("SoundMode", 2);
      EXPECT_TRUE(told.empty()) << "only a high score is news";
      EXPECT_EQ(store.raiseInt("HiScoreA", 4).value, 4);
      EXPECT_EQ(store.raiseInt("HiScoreA", 6).value, 6);
      EXPECT_EQ(store.raiseInt("HiScoreA", 5).value, 6);
      EXPECT_EQ(store.lastError(), c.why);
    }
    const std::string said = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(told.size(), 1u) << said;
    EXPECT_EQ(told[0].name, "HiScoreA");
    EXPECT_EQ(told[0].value, 4);
    EXPECT_EQ(told[0].why, c.why);
    EXPECT_EQ(told[0].retried, c.retried);
    const std::string unstored =
        "cannot store the high score HiScoreA=4 in " + c.file + ": " + c.why;
    EXPECT_NE(said.find(unstored), std::string::npos) << said;
    EXPECT_EQ(said.find(unstored), said.rfind("cannot store")) << "said once: " << said;
    // What is lost as the store closes; a refused file said so as it opened.
    const std::string lost =
        "SoundMode=2, HiScoreA=6 could not be written (" + c.why + ") and are lost";
    EXPECT_EQ(said.find(lost) != std::string::npos, c.retried) << said;
    EXPECT_EQ(readText(), before);
  }
}

// Milliseconds `f` takes. A stall a person notices is of seconds; the
// bound below leaves room for a busy disk's fsync, which is no stall.
constexpr long long kNoStallMs = 2000;
template <class F>
long long msTaken(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
      .count();
}

TEST_F(SettingsFile, NoLeftoverLockStallsAWrite) {
  // Left by a process killed at the lock: empty, half-written, another
  // host's, a dead process's.
  for (const char* lock : {"", "4", "12345\ncantiere\nother-host\n", "999999\ncantiere\n\n"}) {
    writeText("HiScoreA=100\n");
    std::ofstream(path() + ".lock") << lock;
    IniSettings store(path());
    EXPECT_LT(msTaken([&] { store.writeInt("HiScoreA", 120); }), kNoStallMs) << lock;
    EXPECT_TRUE(store.lastWriteOk()) << lock;
    EXPECT_EQ(IniSettings(path()).readInt("HiscoreA", 0), 120) << lock;
    EXPECT_FALSE(std::filesystem::exists(path() + ".lock")) << "litter of " << lock;
  }
}

TEST_F(SettingsFile, ALockThatCannotBeTakenFailsTheWriteAtOnceAndItIsTriedAgain) {
  writeText("HiScoreA=100\n");
  IniSettings store(path());
  // Another program in the middle of its write, then a folder in the way.
  const int held = ::open((path() + ".lock").c_str(), O_RDONLY | O_CREAT, 0644);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  EXPECT_LT(msTaken([&] { store.writeInt("SoundMode", 1); }), kNoStallMs);
  EXPECT_FALSE(store.lastWriteOk());
  EXPECT_EQ(store.lastError(), "another running copy holds its lock");
  ::close(held);
  std::filesystem::remove(path() + ".lock");
  std::filesystem::create_directory(path() + ".lock");
  EXPECT_LT(msTaken([&] { EXPECT_EQ(store.raiseInt("HiScoreA", 150).value, 150); }), kNoStallMs);
  EXPECT_FALSE(store.lastWriteOk());
  EXPECT_EQ(store.readInt("SoundMode", -1), 1) << "the game goes on with the values in memory";
  EXPECT_EQ(store.readInt("HiscoreA", 0), 150);
  EXPECT_EQ(readText(), "HiScoreA=100\n");
  std::filesystem::remove(path() + ".lock");
  store.writeInt("HiScoreB", 7);  // the next occasion writes all three
  EXPECT_TRUE(store.lastWriteOk());
  for (auto [name, value] : {std::pair{"HiscoreA", 150}, {"SoundMode", 1}, {"HiscoreB", 7}})
    EXPECT_EQ(IniSettings(path()).readInt(name, 0), value) << name;
}

TEST_F(SettingsFile, AHigherScoreStoredByAnotherProgramIsKept) {
  writeText("HiScoreA=1\n");
  IniSettings first(path()), second(path());
  EXPECT_EQ(first.readInt("HiscoreA", 0), 1);
  EXPECT_EQ(second.raiseInt("HiScoreA", 5).value, 5);
  const Raised late = first.raiseInt("HiScoreA", 2);
  EXPECT_FALSE(late.wrote);
  EXPECT_EQ(late.value, 5) << "the running program takes the higher stored score";
  EXPECT_EQ(readText(), "HiScoreA=5\n");
}

TEST_F(SettingsFile, OfSeveralSpellingsTheOwnOneIsReadAndTheHighestIsKept) {
  struct Case {
    const char* text;
    int read;
    int raisedTo;  // after a game of 5 points
    const char* after;
  };
  for (const Case& c : {
           Case{"[General]\nHiScoreA=30\nHISCOREA=4\n", 30, 30, "[General]\nHiScoreA=30\nHISCOREA=4\n"},
           Case{"[General]\nHISCOREA=4\nHiScoreA=30\n", 30, 30, "[General]\nHISCOREA=4\nHiScoreA=30\n"},
           Case{"[General]\nHISCOREA=4\nhiscorea=30\n", 4, 30, "[General]\nHISCOREA=4\nhiscorea=30\n"},
           Case{"[General]\nhiscorea=3\nHiscoreA=1\nHISCOREA=x\nSoundMode=2\n", 1, 5,
                "[General]\nHiScoreA=5\nSoundMode=2\n"},
       }) {
    writeText(c.text);
    IniSettings store(path());
    EXPECT_EQ(store.readInt("HiscoreA", 0), c.read) << c.text;
    EXPECT_EQ(store.raiseInt("HiScoreA", 5).value, c.raisedTo) << c.text;
    EXPECT_EQ(readText(), c.after);
  }
}

TEST_F(SettingsFile, OtherLinesAndSectionsAreKeptAsTheyWere) {
  writeText("; mine\r\n[Zoom]\r\nHiScoreA=900\r\n");
  IniSettings(path()).writeInt("HiScoreA", 12);
  EXPECT_EQ(readText(), "[General]\r\nHiScoreA=12\r\n\r\n; mine\r\n[Zoom]\r\nHiScoreA=900\r\n");
  writeText("SoundMode = \"1\" ; chosen\n[general]\nHiScoreB=4");
  IniSettings store(path());
  EXPECT_EQ(store.readInt("SoundMode", -1), 1);
  store.writeInt("HiScoreA", 3);
  EXPECT_EQ(readText(), "SoundMode = \"1\" ; chosen\n[general]\nHiScoreB=4\nHiScoreA=3\n");
  // An empty "[General]" takes the new value under itself, not a second one.
  writeText("[General]\n\n[Zoom]\nx=1\n");
  IniSettings(path()).writeInt("Zoom", 200);
  EXPECT_EQ(readText(), "[General]\nZoom=200\n\n[Zoom]\nx=1\n");
}

TEST_F(SettingsFile, OnlyARegularFileIsReadOrWritten) {
  const std::string node = dir.filePath("node");
  const auto check = [&](const char* what) {
    ::testing::internal::CaptureStderr();
    auto opened = std::async(std::launch::async, [&] {
      IniSettings store(path());
      store.writeInt("HiScoreA", 9);
      return std::pair{store.readInt("HiscoreA", 0), store.lastWriteOk()};
    });
    if (opened.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
      // Set free whatever waits on the FIFO, and fail.
      ::close(::open(node.c_str(), O_RDWR | O_NONBLOCK));
      FAIL() << what << ": the store hangs";
    }
    const auto [read, written] = opened.get();
    EXPECT_EQ(read, 9) << what << ": the value stays in memory";
    EXPECT_FALSE(written) << what;
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(path()), std::string::npos) << what;
  };
  ASSERT_EQ(::mkfifo(node.c_str(), 0600), 0);
  std::filesystem::create_symlink(node, path());
  check("a link to a FIFO");
  EXPECT_TRUE(std::filesystem::is_fifo(node));
  std::filesystem::remove(path());
  ASSERT_EQ(::mkfifo(path().c_str(), 0600), 0);
  check("a FIFO");
  EXPECT_TRUE(std::filesystem::is_fifo(path()));
  std::filesystem::remove(path());
  std::filesystem::remove(node);
  // A device node of our own, where we may make one (as root): the zero device.
  if (::mknod(node.c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0) {
    std::filesystem::create_symlink(node, path());
    check("a link to a device");
    EXPECT_TRUE(std::filesystem::is_character_file(node));
    std::filesystem::remove(path());
  }
  std::filesystem::create_directory(path());
  check("a folder");
}

TEST_F(SettingsFile, ALinkToARegularFileIsFollowedAndKept) {
  const std::string real = dir.filePath("real.ini");
  std::ofstream(real) << "HiScoreA=4\n";
  std::filesystem::create_symlink(real, path());
  IniSettings store(path());
  store.writeInt("HiScoreA", 8);
  EXPECT_TRUE(std::filesystem::is_symlink(path()));
  EXPECT_EQ(IniSettings(real).readInt("HiscoreA", 0), 8);
}

TEST_F(SettingsFile, AFileOverOneMegabyteIsDamagedAndNeverWritten) {
  std::string text = "HiScoreA=700\n";
  text.resize(1 << 20, ';');
  for (const std::size_t size : {text.size(), text.size() + 1}) {
    writeText(text.substr(0, size) + std::string(size - text.size(), '\n'));
    ::testing::internal::CaptureStderr();
    IniSettings store(path());
    const std::string warning = ::testing::internal::GetCapturedStderr();
    const bool damaged = size > text.size();
    EXPECT_EQ(store.readInt("HiscoreA", 0), damaged ? 0 : 700) << size;
    EXPECT_EQ(warning.find(path()) != std::string::npos, damaged) << warning;
    store.writeInt("SoundMode", 2);
    EXPECT_EQ(store.lastWriteOk(), !damaged);
    EXPECT_EQ(readText().find("SoundMode") == std::string::npos, damaged) << size;
  }
}

TEST_F(SettingsFile, OpeningRemovesWhatKilledWritesLeft) {
  writeText("HiScoreA=3\n");
  for (const char* name : {"Cantiere.ini.tmp-abcdef", "Cantiere.ini.tmp-Z9z9Z9", "Cantiere.ini.a1B2c3",
                           "Cantiere.ini.ZZZZZZ", "Cantiere.ini.backup", "Cantiere.ini.old",
                           "Cantiere.ini.tmp-old", "Other.ini.a1B2c3"})
    std::ofstream(dir.filePath(name)) << "x";
  std::ofstream(path() + ".lock");
  IniSettings store(path());
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    left.push_back(entry.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"Cantiere.ini", "Cantiere.ini.backup", "Cantiere.ini.old",
                                            "Cantiere.ini.tmp-old", "Other.ini.a1B2c3"}));
  EXPECT_EQ(store.readInt("HiscoreA", 0), 3);
}

TEST_F(SettingsFile, ALockLetGoWithinTheWaitIsTaken) {
  const int held = ::open((path() + ".lock").c_str(), O_RDONLY | O_CREAT, 0644);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  // The other holder lets go while the lock is being waited for.
  std::thread other([held] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ::close(held);
  });
  const SettingsLock lock(path(), std::chrono::seconds(30));
  other.join();
  EXPECT_TRUE(lock.held()) << std::strerror(lock.error());
}

TEST_F(SettingsFile, AFileDeletedWhileOpenIsMadeAgainWithTheUsualMode) {
  IniSettings store(path());
  struct stat fresh {};
  ASSERT_EQ(stat(path().c_str(), &fresh), 0);
  std::filesystem::remove(path());
  store.writeInt("HiScoreA", 140);
  EXPECT_TRUE(store.lastWriteOk()) << store.lastError();
  struct stat again {};
  ASSERT_EQ(stat(path().c_str(), &again), 0);
  EXPECT_EQ(again.st_mode & 07777, fresh.st_mode & 07777);
  EXPECT_EQ(IniSettings(path()).readInt("HiscoreA", 0), 140);
}

TEST(ParseDecimal, AcceptsOnlyASignAndDigitsWithin32Bits) {
  std::int32_t v = 0;
  EXPECT_TRUE(parseDecimal("2147483647", v));
  EXPECT_EQ(v, 2147483647);
  EXPECT_TRUE(parseDecimal("-2147483648", v));
  EXPECT_EQ(v, -2147483648LL);
  EXPECT_FALSE(parseDecimal("2147483648", v));
  EXPECT_FALSE(parseDecimal("-", v));
  EXPECT_FALSE(parseDecimal("", v));
  EXPECT_FALSE(parseDecimal("1e3", v));
  EXPECT_FALSE(parseDecimal("0x10", v));
}

}  // namespace
}  // namespace cantiere
