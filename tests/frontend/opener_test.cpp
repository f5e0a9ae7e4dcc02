// SPDX-License-Identifier: GPL-3.0-or-later
// Documents reach the desktop's opener by a path of plain characters, so
// that an opener falling back to a shell runs nothing named in a folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "frontend/app/plain_path.h"
#include "frontend/app/qt_desktop.h"

namespace cantiere {
namespace {

namespace fs = std::filesystem;

TEST(Opener, ADocumentInAFolderWithShellCharactersReachesItByAPlainPath) {
  QTemporaryDir dir;
  const fs::path root = dir.path().toStdString();
  fs::create_directory(root / "run");
  fs::permissions(root / "run", fs::perms::owner_all);
  setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
  const fs::path before = fs::current_path();
  // Shell characters, and bytes that are not UTF-8 (a link to a look-alike
  // folder would lead nowhere).
  for (const char* folder : {"inj a';touch X;'b $(touch Y)", "odd \xff\xfe"}) {
    const fs::path data = root / folder;
    fs::create_directories(data);
    std::ofstream(data / "readme.txt") << "read me";
    ASSERT_EQ(::chdir(data.c_str()), 0);

    // A mail-cap runner's way: the path put between quotes in a shell command.
    QtDesktop desktop;
    std::string handed;
    desktop.opener = [&](const QUrl& url) {
      handed = url.toLocalFile().toStdString();
      const std::string command = "cd '" + root.string() + "' && true '" + handed + "'";
      EXPECT_EQ(std::system(command.c_str()), 0) << command;
    };
    for (const char* target : {"./readme.txt", "./Manual.EXE"}) {
      desktop.open(target);
      EXPECT_TRUE(isPlainPath(handed)) << handed;
      // The document itself, or a link to it (whether it exists or not).
      const fs::path reached = fs::is_symlink(handed) ? fs::read_symlink(handed) : fs::path(handed);
      EXPECT_EQ(reached, data / fs::path(target).filename());
      // The handler chooses by the name, and shows it.
      EXPECT_EQ(fs::path(handed).filename(), fs::path(target).filename());
    }
  }
  EXPECT_FALSE(fs::exists(root / "X"));
  EXPECT_FALSE(fs::exists(root / "Y"));
  fs::current_path(before);

  // Plain paths go as they are; links and mail as they are.
  EXPECT_EQ(plainPathTo("/usr/share/cantiere/readme.txt", "/nowhere"), "/usr/share/cantiere/readme.txt");
  EXPECT_EQ(QtDesktop::urlFor("mailto:a@b.c").toString(), "mailto:a@b.c");
  EXPECT_EQ(plainPathTo("/a b/readme.txt", "/run/with space"), "") << "no plain path, nothing opened";
}

}  // namespace
}  // namespace cantiere
