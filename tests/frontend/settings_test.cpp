// The settings file on disk: names without regard to case, decimal text,
// defaults for anything damaged, and writes that never half-write the file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "frontend/ini_settings.h"

namespace cantiere {
namespace {

class SettingsFile : public ::testing::Test {
 protected:
  std::string path() const { return dir.filePath("Cantiere.ini").toStdString(); }
  void writeText(const std::string& text) { std::ofstream(path(), std::ios::binary) << text; }
  std::string readText() const {
    std::ifstream in(path(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  QTemporaryDir dir;
};

TEST(SettingsLocation, IsTheUsersConfigFolder) {
  QTemporaryDir home;
  setenv("XDG_CONFIG_HOME", home.path().toUtf8().constData(), 1);
  IniSettings store;
  EXPECT_EQ(store.path(), home.filePath("Lanterna/Cantiere.ini").toStdString());
  std::ifstream file(home.filePath("Lanterna/Cantiere.ini").toStdString());
  EXPECT_TRUE(file.good()) << "opening the store creates it";
  EXPECT_EQ(file.peek(), std::char_traits<char>::eof()) << "and it is empty";
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
