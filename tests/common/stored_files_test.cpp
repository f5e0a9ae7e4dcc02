// SPDX-License-Identifier: GPL-3.0-or-later
// Whole files (saved games, sessions) and the settings on disks that refuse
// a write: a full one and a read-only one, real filesystems mounted for the
// test in a mount namespace of its own (private_mounts.sh). A write that
// fails must leave the earlier file as it was and say why; a high score
// that could not be stored is told, and written once space returns.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/common/temp_folder.h"
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/files/file_replace.h"
#include "common/files/ini_settings.h"

namespace cantiere {
namespace {

namespace fs = std::filesystem;

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// A recording as long as a short session.
const std::string kEarlier = "# cantiere-recording 1\n" + std::string(2930, '#') + "\n";
const std::string kLater = "# cantiere-recording 1\n" + std::string(20000, 'w') + "\n";

TEST(WholeFile, ReplacesKeepingTheModeOrGivingTheUmasksAndFollowsALink) {
  test::TempFolder dir;
  const std::string kept = dir.filePath("kept.sim");
  std::ofstream(kept) << kEarlier;
  ::chmod(kept.c_str(), 0640);
  const std::string link = dir.filePath("link.sim");
  fs::create_symlink(kept, link);
  EXPECT_EQ(writeWholeFile(link, kLater), "");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(readText(kept), kLater);
  EXPECT_EQ(fs::status(kept).permissions(), fs::perms(0640));

  const mode_t was = ::umask(027);
  const std::string fresh = dir.filePath("fresh.sim");
  EXPECT_EQ(writeWholeFile(fresh, kLater), "");
  ::umask(was);
  EXPECT_EQ(fs::status(fresh).permissions(), fs::perms(0640));
  EXPECT_EQ(writeWholeFile(dir.path(), kLater), "Is a directory");
  EXPECT_EQ(writeWholeFile("/dev/null", kLater), "Not a regular file");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(namesIn(dir.path()),
            (std::vector<std::string>{"fresh.sim", "kept.sim", "link.sim"}));
}

// A small filesystem of the test's own, which it can fill or make read-only.
class RefusingDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    // Never mounted where everyone would see it.
    if (!std::getenv("CANTIERE_PRIVATE_MOUNTS"))
      GTEST_SKIP() << "needs root in a mount namespace of its own: run through "
                      "tests/frontend/private_mounts.sh";
    ASSERT_EQ(::mount("tmpfs", root.c_str(), "tmpfs", 0, "size=128k"), 0) << std::strerror(errno);
    mounted = true;
  }
  void TearDown() override {
    if (mounted) ::umount2(root.c_str(), MNT_DETACH);
  }
  // Filled to the last byte, as by another program.
  void fill() {
    const int fd = ::open(filler().c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    const std::string block(4096, 'x');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    ASSERT_EQ(errno, ENOSPC);
    ::close(fd);
  }
  void makeSpace() {
    std::error_code none;
    fs::remove(filler(), none);
  }
  void makeReadOnly() {
    ASSERT_EQ(::mount(nullptr, root.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
        << std::strerror(errno);
  }
  std::string filler() const { return root + "/filler"; }

  test::TempFolder dir;
  const std::string root = dir.path();
  bool mounted = false;
};

TEST_F(RefusingDisk, AWriteThatFailsLeavesTheEarlierFileAndSaysWhy) {
  for (const bool full : {true, false}) {
    const std::string path = root + "/session.sim";
    std::ofstream(path) << kEarlier;
    full ? fill() : makeReadOnly();
    EXPECT_EQ(writeWholeFile(path, kLater),
              full ? "No space left on device" : "Read-only file system");
    EXPECT_EQ(readText(path), kEarlier);
    const auto left = namesIn(root);
    EXPECT_EQ(left, full ? (std::vector<std::string>{"filler", "session.sim"})
                         : (std::vector<std::string>{"session.sim"}));
    makeSpace();
    EXPECT_EQ(writeWholeFile(path, kLater).empty(), full) << "space returned";
  }
}

TEST_F(RefusingDisk, AHighScoreThatCannotBeStoredIsToldAndWrittenOnceThereIsRoom) {
  const std::string path = root + "/Cantiere.ini";
  std::ofstream(path) << "HiScoreA=0\nSoundMode=2\n";
  std::vector<int> told;
  ::testing::internal::CaptureStderr();
  {
    IniSettings store(path);
    store.onUnstored = [&](const IniSettings::Unstored& u) { told.push_back(u.value); };
    fill();
    EXPECT_EQ(store.raiseInt("HiScoreA", 4).value, 4);
    EXPECT_EQ(readText(path), "HiScoreA=0\nSoundMode=2\n");
    // The next write, with room again, takes it along; a later failure is
    // news again; the close writes what is pending.
    makeSpace();
    store.writeInt("SoundMode", 1);
    EXPECT_EQ(readText(path), "HiScoreA=4\nSoundMode=1\n");
    fill();
    EXPECT_EQ(store.raiseInt("HiScoreA", 9).value, 9);
    makeSpace();
  }
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(told, (std::vector<int>{4, 9}));
  EXPECT_NE(said.find("HiScoreA=4 in " + path + ": No space left on device;"), std::string::npos)
      << said;
  EXPECT_EQ(readText(path), "HiScoreA=9\nSoundMode=1\n");
}

}  // namespace
}  // namespace cantiere
