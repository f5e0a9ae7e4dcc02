// SPDX-License-Identifier: GPL-3.0-or-later
// cantiere-sim: its script language, dump and trace formats, and timings
// proved through it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <map>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "sim/driver.h"
#ifdef CANTIERE_SIM_HAS_SNAPSHOT
#include "render/art_files.h"
#endif

namespace cantiere {
namespace {

struct SimRun {
  int status;
  std::string out, err;
  bool has(const std::string& line) const {
    return ("\n" + out).find("\n" + line + "\n") != std::string::npos;
  }
};

SimRun run(const std::string& script, DriverOptions options = {}) {
  std::ostringstream out, err;
  std::istringstream in(script);
  Driver driver(options, out, err);
  const int status = driver.run(in);
  return {status, out.str(), err.str()};
}

DriverOptions traced() {
  DriverOptions o;
  o.trace = true;
  return o;
}

TEST(SimScript, DumpAtStartShowsTheClosedCaseOffScreen) {
  const SimRun r = run("dump\n");
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "time 0");
  std::getline(lines, line);
  EXPECT_EQ(line, "window left=-500 top=271 width=464 height=300");
  std::getline(lines, line);
  EXPECT_EQ(line, "lit Im_NumPos1 Im_NumPos2 Im_NumPos3 Im_NumPos4 Im_Front Puls_Cross1 Puls_Cross2");
  std::getline(lines, line);
  EXPECT_EQ(line, "digits - - - -");
  std::getline(lines, line);
  EXPECT_EQ(line.rfind("state GameRunning=0 ControlEnabled=0 KeyHeld=0 AwaitingEntry=0 GameMode=3 "
                       "Lives=0 Score=0 HiScoreA=0 HiScoreB=0 KeysLeft=0",
                       0),
            0u)
      << line;
  EXPECT_NE(line.find(" HalfTick=0 QuarterTick=0 OminoCol=0 OminoRow=0 OrcoCol=0"), std::string::npos);
  std::getline(lines, line);
  EXPECT_EQ(line.rfind("timers TimerClock=off:1000 TimerGioco=off:500 TimerMove=off:330 "
                       "TimerJump=off:1 TimerLeva=off:250 TimerGancio=off:450 ",
                       0),
            0u)
      << line;
  EXPECT_NE(line.find("TimerOver=off:1000 TimerOver2=off:300000"), std::string::npos);
}

TEST(SimScript, PlayAndOpenAreTraced) {
  const SimRun r = run("play 2\nclick Im_Front\n", traced());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.has("0 store SoundMode=2"));
  EXPECT_TRUE(r.has("0 window left=280 top=369 width=464 height=300"));
  EXPECT_TRUE(r.has("0 -Im_Front"));
  EXPECT_TRUE(r.has("0 window left=280 top=369 width=464 height=571"));
  EXPECT_TRUE(r.has("0 window left=280 top=98 width=464 height=571"));
  EXPECT_TRUE(r.has("0 +Im_Base"));
  EXPECT_TRUE(r.has("0 digit 1 1"));
  EXPECT_TRUE(r.has("0 digit 4 0"));
  EXPECT_FALSE(r.has("0 +Im_Bar15")) << "the all-segments picture leaves it dark";
}

TEST(SimScript, OnlyRealChangesAreTraced) {
  const SimRun r = run("play 0\nclick Im_Front\npress Puls_ACL\nrelease\n", traced());
  ASSERT_EQ(r.status, 0) << r.err;
  // ACL's release lights all segments again: nothing changes, nothing prints,
  // but the press silences.
  const std::string afterOpen = r.out.substr(r.out.find("0 silence"));
  EXPECT_EQ(afterOpen, "0 silence\n");
}

TEST(SimScript, DraggingTheClosedCaseMovesItWithoutOpening) {
  const SimRun r = run("play 2\npress 100 100\nmove 110 90\nrelease\ndump\n", traced());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.has("0 window left=280 top=359 width=464 height=300"));
  EXPECT_TRUE(r.has("0 window left=290 top=359 width=464 height=300"));
  EXPECT_FALSE(r.has("0 -Im_Front"));
}

TEST(SimScript, APressOffTheClientAreaIsNotOnTheWindow) {
  // The closed case is 464 x 300; a press just outside any edge drags nothing.
  for (const char* at : {"-1 150", "100 -1", "464 150", "100 300"}) {
    const SimRun r = run(std::string("play 2\npress ") + at + "\nmove 200 200\nrelease\n", traced());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind(" window "), r.out.find(" window left=280 top=369")) << at << r.out;
  }
}

TEST(SimScript, AWindowDraggedOutOfReachStopsTheScript) {
  // Each drag moves the case some 100000 pixels to the right.
  std::string script = "play 2\n";
  for (int i = 0; i < 12; ++i) script += "press 4 4\nmove 100000 4\nrelease\n";
  const SimRun r = run(script);
  EXPECT_EQ(r.status, 2) << r.out;
  EXPECT_NE(r.err.find("out of reach"), std::string::npos) << r.err;
}

TEST(SimScript, ScriptErrorsNameTheLineAndExitTwo) {
  for (const char* bad : {"dump\nfrobnicate\n", "# comment\n\npress Im_Nowhere\n",
                          "wait -5\n", "keydown banana\n", "menu PM_99\n", "press 1\n",
                          "play 7\n", "play 2\nplay 1\n", "dump extra\n"}) {
    const SimRun r = run(bad);
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_NE(r.err.find("line "), std::string::npos) << bad;
  }
  const SimRun r = run("dump\n\n# a comment\nfrobnicate\n");
  EXPECT_NE(r.err.find("line 4"), std::string::npos) << r.err;
}

TEST(SimScript, ExitStopsTheScript) {
  const SimRun r = run("play 2\nkeydown esc\nfrobnicate\n", traced());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.has("0 exit"));
}

TEST(SimScript, SoundFailureShowsTheMessageStoresMinusOneAndExits) {
  DriverOptions o = traced();
  o.soundFail = true;
  const SimRun r = run("play 0\ndump\n", o);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "0 store SoundMode=0\n"
            "0 message Sound folder unproperly installed. Read instructions then reinstall.\n"
            "0 store SoundMode=-1\n"
            "0 exit\n");
}

TEST(SimScript, MenuShortcutsWorkBeforeTheCaseIsOpened) {
  const SimRun r = run("keydown f1\nkeydown f2\nkeydown f3\nkeydown f4\nmenu PM_8Hiscore\n", traced());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "0 about\n0 open ./readme.txt\n0 open ./whatsnew.txt\n0 open ./Manual.EXE\n"
            "0 store HiScoreA=0\n0 store HiScoreB=0\n0 beep\n");
}

TEST(SimScript, TimeOptionDrivesTheClock) {
  DriverOptions o = traced();
  ASSERT_TRUE(parseTimeOption("23:59:59.500", o));
  const SimRun r = run("play 2\nclick Im_Front\nclick Puls_Time\nwait 1\ndump\nwait 1000\ndump\n", o);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.has("digits 1 1 5 9"));
  EXPECT_TRUE(r.has("digits 1 2 0 0"));  // midnight, AM
  EXPECT_TRUE(r.has("1001 +Im_TimeAM"));  // a second after the first drawing
  EXPECT_FALSE(parseTimeOption("24:00", o));
  EXPECT_FALSE(parseTimeOption("12", o));
  EXPECT_FALSE(parseTimeOption("-1:30", o));
  EXPECT_TRUE(parseScreenOption("800x600", o));
  EXPECT_FALSE(parseScreenOption("800", o));
}

TEST(SimTimings, AStandingPlayerIsHitAndBlinksOnTime) {
  // Brought in early at 100 ms, the player waits at the start. The prepared
  // barrel of the bottom girder rolls 67, 57, 47, 37, 27 on the barrel ticks
  // at 1000, 1992, 2976, 3952, and the tick at 4920 finds it next to the
  // player: the miss, then the blink at 150, 380, 590, 820 and 1030 ms.
  const SimRun r = run(
      "play 0\nclick Im_Front\nclick Puls_GameA\nwait 100\nkeydown ctrl\nkeyup ctrl\n"
      "wait 6000\ndump\n",
      traced());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.has("100 +Im_Omino27"));
  EXPECT_TRUE(r.has("3952 +Im_Bar27"));
  EXPECT_TRUE(r.has("4920 silence"));
  EXPECT_TRUE(r.has("4920 sound SndMiss"));
  for (const char* blink : {"5070 -Im_Omino27", "5300 +Im_Omino27", "5510 -Im_Omino27",
                            "5740 +Im_Omino27", "5950 -Im_Omino27"})
    EXPECT_TRUE(r.has(blink)) << blink;
  EXPECT_NE(r.out.find(" Lives=2 "), std::string::npos);
  EXPECT_NE(r.out.find(" AwaitingEntry=1 "), std::string::npos);
}

TEST(SimTimings, TheEighthBarrelTickBringsThePlayerIn) {
  const SimRun r = run("play 0\nclick Im_Front\nclick Puls_GameB\nwait 7776\n", traced());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.has("1000 sound SndBarrel"));
  EXPECT_TRUE(r.has("1992 sound SndBarrel"));
  EXPECT_TRUE(r.has("7776 +Im_Omino27"));
  // Lit before only by the all-segments picture at 0, cleared by Game B.
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) {
    if (line.size() > 12 && line.compare(line.size() - 12, 12, " +Im_Omino27") == 0) {
      EXPECT_TRUE(line == "0 +Im_Omino27" || line == "7776 +Im_Omino27") << line;
    }
  }
}

TEST(SimBinary, RunsAScriptFileAndReportsErrorsOnStandardError) {
  const std::string cmd = std::string(CANTIERE_SIM_EXE) + " --trace " + CANTIERE_SCRIPTS_DIR +
                          "/open_and_start.sim";
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string out;
  char buf[4096];
  while (std::size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  const int status = pclose(p);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(out.find("0 +Im_GameA"), std::string::npos);
  EXPECT_NE(out.find("state GameRunning=1"), std::string::npos);
  const std::string bad = std::string(CANTIERE_SIM_EXE) + " --screen 0x0 /dev/null 2>/dev/null";
  EXPECT_EQ(WEXITSTATUS(system(bad.c_str())), 2);
}

// A command's status and all it prints.
std::pair<int, std::string> command(const std::string& cmd) {
  FILE* p = popen((cmd + " 2>&1").c_str(), "r");
  std::string out;
  char buf[4096];
  while (std::size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  return {WEXITSTATUS(pclose(p)), out};
}

// A folder of this run's own: the same test may run at once in another
// build of the tree.
std::string freshDir(const char* name) {
  const std::string dir =
      ::testing::TempDir() + "/sim_test-" + name + "-" + std::to_string(::getpid());
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

// --verify's answer: its status and the first line it prints.
std::pair<int, std::string> verify(const std::string& file) {
  const auto [status, out] = command(std::string(CANTIERE_SIM_EXE) + " --verify " + file);
  return {status, out.substr(0, out.find('\n'))};
}

TEST(SimBinary, VerifyReplaysASavedGameAndNamesWhatDiffers) {
  const std::string dir = freshDir("verify");
  const std::string body =
      "# cantiere-recording 1\ntimeofday 16:20:00.000 +01:00\nplay 2\nclick Im_Front\n"
      "click Puls_GameB\nwait 3000\n";
  // The driver's own dump of the end, as the final state.
  std::ostringstream dump;
  {
    std::istringstream in(body + "dump\n");
    Driver driver({}, dump, dump);
    ASSERT_EQ(driver.run(in), 0);
  }
  std::string finalState = "# final state\n";
  std::istringstream lines(dump.str());
  for (std::string l; std::getline(lines, l);) finalState += "# " + l + "\n";
  std::string other = finalState;
  other.replace(other.find("GameMode=2"), 10, "GameMode=1");
  const std::pair<std::string, std::string> kFiles[] = {
      {"good.sim", body + finalState},
      {"other.sim", body + other},
      {"hostile.sim", body + "press 1e9 0\n" + finalState},
  };
  for (const auto& [name, text] : kFiles) std::ofstream(dir + "/" + name) << text;

  const auto [good, goodSays] = verify(dir + "/good.sim");
  EXPECT_EQ(good, 0) << goodSays;
  const auto [other_, otherSays] = verify(dir + "/other.sim");
  EXPECT_EQ(other_, 1);
  EXPECT_NE(otherSays.find("line 12 differs"), std::string::npos) << otherSays;
  const auto [bad, badSays] = verify(dir + "/hostile.sim");
  EXPECT_EQ(bad, 2);
  EXPECT_NE(badSays.find("line 7:"), std::string::npos) << badSays;
  EXPECT_EQ(verify(dir + "/missing.sim").first, 2);

  // The recording runs as a script too; output may follow its final state.
  const SimRun plain = run(body + finalState + "dump\n");
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out, dump.str());
}

TEST(SimScript, ARecordingsHeaderGivesItsScreenAndHighScoresUnlessTheOptionsDo) {
  const std::string header = "# cantiere-recording 1\n# screen 800x600\n# hiscores 120 7\n";
  const SimRun r = run(header + "play 2\nclick Im_Front\ndump\n");
  EXPECT_TRUE(r.has("window left=168 top=0 width=464 height=571")) << r.out;
  EXPECT_NE(r.out.find(" HiScoreA=120 HiScoreB=7 "), std::string::npos) << r.out;
  DriverOptions screen;
  ASSERT_TRUE(parseScreenOption("1024x768", screen));
  EXPECT_TRUE(run(header + "play 2\nclick Im_Front\ndump\n", screen)
                  .has("window left=280 top=98 width=464 height=571"));
}

// What a shared file may make the driver do: run a week at most when it is
// verified (a script runs as long as it says), never write a file, never
// write to the terminal, and never be held whole in memory.
TEST(SimBinary, AHostileFileIsRefusedAndShownSafely) {
  const std::string dir = freshDir("hostile");
  const std::string body =
      "timeofday 16:20:00.000 +01:00\nplay 2\nclick Im_Front\nclick Puls_GameB\nwait 3000\n";
  std::ostringstream dump;
  {
    std::istringstream in(body + "dump\n");
    Driver driver({}, dump, dump);
    ASSERT_EQ(driver.run(in), 0);
  }
  std::string finalState = "# final state\n";
  std::istringstream lines(dump.str());
  for (std::string l; std::getline(lines, l);) finalState += "# " + l + "\n";
  const std::string recording = std::string("# cantiere-recording 1\n") + body + finalState;
  const std::string longWaits = body + "wait 2000000000\nwait 2000000000\n";
  const std::string picture = dir + "/overwritten.png";
  std::filesystem::remove(picture);
  const std::string verdict = "\x1b[2J\x1b[H\x1b[32mthe replay ends in the recorded state\x1b[0m";
  std::string crafted = recording;
  crafted.replace(crafted.find("# time 3000"), 11, "# " + verdict);
  std::string huge = recording;
  huge.replace(huge.find("# time 3000"), 11, "# time " + std::string(5 << 20, '9'));

  struct Case {
    const char* name;
    std::string text;
    int verifyStatus;
    const char* says;
  };
  const Case kCases[] = {
      {"no version line, weeks of waits", longWaits, 2, "line 6: a recording runs seven days"},
      {"a snapshot after its end", recording + "snapshot " + picture + "\n", 2,
       "line 14: a recording writes no files"},
      {"a crafted final state", crafted, 1, "line 8 differs"},
      {"a 5 MB line", huge, 2, "line 8: a line is longer than 4096 characters"},
  };
  for (const Case& c : kCases) {
    const std::string file = dir + "/file.sim";
    std::ofstream(file, std::ios::binary) << c.text;
    const auto [status, out] = command(std::string(CANTIERE_SIM_EXE) + " --verify " + file);
    EXPECT_EQ(status, c.verifyStatus) << c.name << ": " << out.substr(0, 200);
    EXPECT_NE(out.find(c.says), std::string::npos) << c.name << ": " << out.substr(0, 200);
    EXPECT_EQ(out.find('\x1b'), std::string::npos) << c.name;
    EXPECT_LT(out.size(), 1000u) << c.name;
  }

  // Run as scripts: the recording refuses to draw, the plain script runs
  // its weeks.
  std::ofstream(dir + "/file.sim") << recording << "snapshot " << picture << "\n";
  const auto [drawn, drawnSays] = command("QT_QPA_PLATFORM=offscreen " +
                                          std::string(CANTIERE_SIM_EXE) + " " + dir + "/file.sim");
  EXPECT_EQ(drawn, 2) << drawnSays;
  EXPECT_FALSE(std::filesystem::exists(picture)) << "a recording wrote a file";
  const SimRun plain = run(longWaits + "dump\n");
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_TRUE(plain.has("time 4000003000")) << plain.out;
}

TEST(SimScript, TimeOfDaySetsTheClockFromItsInstant) {
  const SimRun r = run(
      "play 2\nclick Im_Front\nclick Puls_Time\nwait 5000\ndump\ntimeofday 21:58:59.000 -03:00\n"
      "wait 1001\ndump\n",
      traced());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.has("digits 1 2 0 0"));  // noon by default until then
  EXPECT_TRUE(r.has("5001 digit 1 -"));  // 18:58:59 local: 6:58 PM at the next tick
  EXPECT_TRUE(r.has("digits - 6 5 9"));
}

// A Game A in which the player comes in early and jumps `jumps` times, 300 ms
// apart, then stands until the game is over: 40 jumps score 2, 80 score 5.
std::string jumpingGame(int jumps) {
  std::string script = "play 2\nclick Im_Front\nclick Puls_GameA\nwait 100\nkeydown ctrl\nkeyup ctrl\n";
  for (int i = 0; i < jumps; ++i) script += "wait 300\nkeydown ctrl\nkeyup ctrl\n";
  return script + "wait 120000\ndump\n";
}

std::string fileText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(SimBinary, TwoProgramsSharingTheSettingsFileKeepTheHigherScore) {
  const std::string dir = freshDir("two_programs");
  const std::string settings = dir + "/Cantiere.ini";
  std::ofstream(settings) << "[General]\nHiScoreA=1\n";
  std::ofstream(dir + "/a.sim") << jumpingGame(80);
  const std::string sim = std::string(CANTIERE_SIM_EXE) + " --trace --settings " + settings;

  // B starts first and reads 1; A stores 5 while B waits; then B's game of 2.
  FILE* b = popen((sim + " > " + dir + "/b.out").c_str(), "w");
  ASSERT_NE(b, nullptr);
  fputs("dump\n", b);
  fflush(b);
  for (int i = 0; i < 1000 && fileText(dir + "/b.out").find("timers") == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_NE(fileText(dir + "/b.out").find(" HiScoreA=1 "), std::string::npos);
  ASSERT_EQ(WEXITSTATUS(system((sim + " " + dir + "/a.sim > " + dir + "/a.out").c_str())), 0);
  EXPECT_NE(fileText(dir + "/a.out").find(" store HiScoreA=5\n"), std::string::npos);
  fputs(jumpingGame(40).c_str(), b);
  ASSERT_EQ(WEXITSTATUS(pclose(b)), 0);

  const std::string out = fileText(dir + "/b.out");
  EXPECT_EQ(out.find("store HiScoreA"), std::string::npos) << "B's 2 beats nothing stored";
  EXPECT_NE(out.rfind(" Score=2 HiScoreA=5 "), std::string::npos) << "B takes the stored 5 as its own";
  EXPECT_NE(fileText(settings).find("HiScoreA=5\n"), std::string::npos) << fileText(settings);
}

#ifdef CANTIERE_SIM_HAS_SNAPSHOT
// The width and height in a PNG's header.
std::pair<int, int> pngSize(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  unsigned char h[24] = {};
  in.read(reinterpret_cast<char*>(h), sizeof h);
  if (!in || h[1] != 'P' || h[2] != 'N' || h[3] != 'G') return {0, 0};
  auto be = [&](int at) { return (h[at] << 24) | (h[at + 1] << 16) | (h[at + 2] << 8) | h[at + 3]; };
  return {be(16), be(20)};
}

TEST(SimBinary, SnapshotsTheClientAreaAtItsSize) {
  const std::string dir = freshDir("snapshot");
  const std::string script = dir + "/snap.sim";
  std::ofstream(script) << "play 2\nsnapshot " << dir << "/closed.png\nclick Im_Front\nsnapshot "
                        << dir << "/open.png\nsnapshot " << dir << "/open250.png 250\nsnapshot "
                        << dir << "/open400.png 400\nsnapshot /nonexistent/folder/x.png\n";
  const std::string cmd = std::string("QT_QPA_PLATFORM=offscreen ") + CANTIERE_SIM_EXE + " " +
                          script + " 2>" + dir + "/err.txt";
  EXPECT_EQ(WEXITSTATUS(system(cmd.c_str())), 2) << "an unwritable file stops the script";
  EXPECT_EQ(pngSize(dir + "/closed.png"), std::make_pair(464, 300));
  EXPECT_EQ(pngSize(dir + "/open.png"), std::make_pair(464, 571));
  EXPECT_EQ(pngSize(dir + "/open250.png"), std::make_pair(1160, 1428));
  EXPECT_EQ(pngSize(dir + "/open400.png"), std::make_pair(1856, 2284));
  std::ifstream err(dir + "/err.txt");
  std::string message;
  std::getline(err, message);
  EXPECT_NE(message.find("line 7"), std::string::npos) << message;

  // Only the window's own sizes.
  for (const char* zoom : {"125", "x", "200 5"}) {
    std::ofstream(script) << "snapshot " << dir << "/odd.png " << zoom << "\n";
    EXPECT_EQ(WEXITSTATUS(system(cmd.c_str())), 2) << zoom;
  }
}

std::string fileBytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The segments of the open case as the window draws them: at the click
// just beginning to darken, complete 300 ms later; with "LcdEffects" 0 in
// the store, the plain picture at once.
TEST(SimBinary, SnapshotsHonourTheStoredLcdEffects) {
  const std::string dir = freshDir("lcd");
  std::map<std::string, std::array<std::string, 3>> shots;
  for (const char* stored : {"", "LcdEffects=0", "LcdEffects=on"}) {
    const std::string tag = *stored ? stored : "missing";
    const std::string ini = dir + "/" + tag + ".ini";
    std::ofstream(ini) << "[General]\n" << stored << "\n";
    const std::string script = dir + "/" + tag + ".sim";
    std::ofstream(script) << "play 2\nclick Im_Front\nsnapshot " << dir << "/" << tag
                          << "0.png\nwait 300\nsnapshot " << dir << "/" << tag
                          << "1.png\nwait 300\nsnapshot " << dir << "/" << tag << "2.png\n";
    const std::string cmd = std::string("QT_QPA_PLATFORM=offscreen ") + CANTIERE_SIM_EXE +
                            " --settings " + ini + " " + script;
    ASSERT_EQ(WEXITSTATUS(system(cmd.c_str())), 0) << tag;
    for (int i = 0; i < 3; ++i) shots[tag][i] = fileBytes(dir + "/" + tag + std::to_string(i) + ".png");
    ASSERT_FALSE(shots[tag][0].empty());
  }
  const auto& on = shots["missing"];
  const auto& off = shots["LcdEffects=0"];
  EXPECT_NE(on[0], on[1]) << "a change is only beginning at its instant";
  EXPECT_EQ(on[1], on[2]) << "and complete 300 ms later";
  EXPECT_EQ(off[0], off[1]) << "without effects the change is whole at once";
  EXPECT_NE(off[1], on[1]);
  EXPECT_EQ(shots["LcdEffects=on"], on) << "an unreadable value means on";
}

// The README's pictures (docs/make_pictures.sh) are what the driver draws
// now, pixel for pixel: a change of the look shows here until they are
// made again.
TEST(SimBinary, TheReadmesPicturesAreWhatItDraws) {
  const std::string dir = ::testing::TempDir() + "/docs";
  std::filesystem::create_directories(dir + "/fade");
  std::ifstream in(std::string(CANTIERE_DOCS_DIR) + "/pictures.sim");
  std::string script((std::istreambuf_iterator<char>(in)), {});
  for (std::size_t at = 0; (at = script.find("docs/", at)) != std::string::npos; at += dir.size() + 1)
    script.replace(at, 5, dir + "/");
  for (const char* look : {"on", "off"}) {
    const std::string sim = dir + "/" + look + ".sim", ini = dir + "/" + look + ".ini";
    std::ofstream(ini) << "[General]\nLcdEffects=" << (look[1] == 'n' ? 1 : 0) << "\n";
    std::string mine = script;
    if (look[1] != 'n')
      for (const char* name : {"open", "game", "game-300", "closed", "open-200"})
        for (std::size_t at = 0; (at = mine.find(dir + "/" + name + ".png", at)) != std::string::npos; ++at)
          mine.replace(at, dir.size() + std::strlen(name) + 5, dir + "/" + name + "_plain.png");
    std::ofstream(sim) << mine;
    const std::string cmd = std::string(CANTIERE_SIM_EXE) + " --settings " + ini + " " + sim + " >/dev/null";
    ASSERT_EQ(WEXITSTATUS(system(cmd.c_str())), 0) << look;
  }
  const FolderArt drawn(dir), committed(CANTIERE_DOCS_DIR);
  // The 300 % ones are cut to the lower screen and its frame.
  const Rect lower{354, 1035, 690, 462};
  const struct {
    const char *file, *source;
    bool cut;
  } pictures[] = {{"closed.png", "closed.png", false},       {"open.png", "open.png", false},
                  {"open-200.png", "open-200.png", false},   {"game.png", "game.png", false},
                  {"open_plain.png", "open_plain.png", false}, {"game_plain.png", "game_plain.png", false},
                  {"game-300.png", "game-300.png", true},    {"game-300_plain.png", "game-300_plain.png", true}};
  for (const auto& p : pictures) {
    std::string error;
    const Art want = committed.read(p.file, error);
    ASSERT_FALSE(want.empty()) << error;
    Art got = drawn.read(p.source, error);
    ASSERT_FALSE(got.empty()) << error;
    if (p.cut) got.colour = copied(got.colour, lower);
    EXPECT_TRUE(got.colour == want.colour) << p.file << " is no longer what the driver draws";
  }
}
#endif

}  // namespace
}  // namespace cantiere
