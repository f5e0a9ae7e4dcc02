// SPDX-License-Identifier: GPL-3.0-or-later
// The window's LCD effects: the switch in the menu and its stored value, the
// frames of a transition and the idle window after it, and frame for frame
// the same picture as the driver's snapshot at the same virtual instant.
#include <QDir>
#include <QPaintEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/script/script_runner.h"
#include "frontend/replay/replay_player.h"
#include "render/compositor.h"
#include "tests/frontend/desktop_rig.h"

namespace cantiere::test {
namespace {

struct PaintLog : QObject {
  explicit PaintLog(QWidget* w) { w->installEventFilter(this); }
  std::vector<QRect> rects;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint)
      for (const QRect& r : static_cast<QPaintEvent*>(e)->region()) rects.push_back(r);
    return false;
  }
};

// What the window has painted so far, repaint by repaint (not drawn afresh).
QImage painted(QWidget* w) {
  return w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// Pixels that differ within `within` (all of them when it is empty): the
// window is shaped like the case, and outside it shows the desktop.
int pixelsDiffering(const QImage& a, const QImage& b, const QRegion& within = {}) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (within.isEmpty() || within.contains(QPoint(x, y))) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

QImage plain(DesktopRig& rig) {
  const WindowGeometry& g = rig.program.form1.window();
  return toQImage(renderWindow({rig.program.form1.surface, sharedPictures()}, g.width, g.height), true);
}

void openCase(DesktopRig& rig) {
  rig.play(2);
  rig.click(DesktopRig::centre(Im_Front));
}

TEST(LcdWindow, TheSwitchIsOnByDefaultStoredAndOffGivesThePlainPicture) {
  DesktopRig rig;
  QAction* fx = rig.form1->lcdEffectsAction();
  ASSERT_NE(fx, nullptr);
  EXPECT_TRUE(fx->isCheckable());
  EXPECT_TRUE(fx->isChecked()) << "no stored value means on";
  // After the handheld's own entries, in a block of its own.
  const QList<QAction*> entries = rig.form1->menu().actions();
  const auto at = entries.indexOf(fx);
  EXPECT_GT(at, entries.indexOf(rig.form1->action(MenuEntry::PM_10Exit)) + 1);
  EXPECT_TRUE(entries[at - 1]->isSeparator());
  openCase(rig);
  QTRY_VERIFY(!rig.form1->lcd().running());

  const QImage on = rig.form1->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_GT(pixelsDiffering(on, plain(rig)), 5000);
  // A lit segment's ink is blue-grey and lets the backdrop through: not the
  // black of the plain picture. The middle of the lower screen's first
  // life icon is ink.
  const QRgb ink = on.pixel(DesktopRig::centre(Im_Vite1));
  EXPECT_GT(qBlue(ink), qRed(ink));
  EXPECT_GT(qGray(ink), 20);
  EXPECT_LT(qGray(ink), 90);

  fx->setChecked(false);
  EXPECT_EQ(rig.settings.values["lcdeffects"], 0);
  DesktopRig::settle();
  const QRegion shape = rig.form1->mask();
  EXPECT_EQ(pixelsDiffering(painted(rig.form1.get()), plain(rig), shape), 0);
  EXPECT_EQ(pixelsDiffering(rig.form1->grab().toImage().convertToFormat(QImage::Format_RGB32),
                            plain(rig), shape),
            0);

  fx->setChecked(true);
  EXPECT_EQ(rig.settings.values["lcdeffects"], 1);
  DesktopRig::settle();
  EXPECT_EQ(pixelsDiffering(painted(rig.form1.get()), on, shape), 0);
}

class LcdWindowAtZoom : public ::testing::TestWithParam<int> {};

TEST_P(LcdWindowAtZoom, ASegmentIsRepaintedWhileItMovesThenNothingRuns) {
  const ViewScale view(GetParam(), 1.0);  // the offscreen screen's ratio is 1
  DesktopRig rig({3840, 2160}, -2, view.zoomPercent());
  rig.play(2);
  const Rect lid = view.toWindow(info(Im_Front).rect);
  rig.click({lid.left + lid.width / 2, lid.top + lid.height / 2});
  QTRY_VERIFY(!rig.form1->lcd().running());
  const QRect bar = toQRect(elementRect(Im_Bar46, view));
  const QRect reach = toQRect(segmentPaintRect(fromQRect(bar), view.deviceScale()));
  EXPECT_TRUE(reach.contains(bar.adjusted(0, 0, 2 * view.zoom(), 2 * view.zoom())))
      << "the shadow, scaled, lies down and to the right";

  PaintLog log(rig.form1.get());
  rig.clock.run([&] { rig.program.form1.surface.hide(Im_Bar46); });
  EXPECT_TRUE(rig.form1->lcd().running());
  QTRY_VERIFY_WITH_TIMEOUT(!rig.form1->lcd().running(), 2000);
  // The change, some frames of the fade (fewer on a loaded machine), the
  // settled last one: all of them of the fading segment alone.
  EXPECT_GE(log.rects.size(), 3u);
  for (const QRect& r : log.rects) EXPECT_TRUE(reach.contains(r)) << r.x() << "," << r.y();

  log.rects.clear();
  QTest::qWait(150);
  EXPECT_TRUE(log.rects.empty()) << "a settled window paints nothing";
  EXPECT_EQ(pixelsDiffering(painted(rig.form1.get()),
                            rig.form1->grab().toImage().convertToFormat(QImage::Format_RGB32),
                            rig.form1->mask()),
            0)
      << "no trace of the fade is left behind";
}

INSTANTIATE_TEST_SUITE_P(Sizes, LcdWindowAtZoom, ::testing::Values(100, 200));

// Runs cantiere-sim on `script` in `dir`; its standard output.
std::string runSim(const QTemporaryDir& dir, const std::string& script, const char* options = "") {
  std::ofstream(dir.filePath("run.sim").toStdString()) << script;
  const std::string out = dir.filePath("out.txt").toStdString();
  const std::string run = std::string("QT_QPA_PLATFORM=offscreen ") + CANTIERE_SIM_EXE + " " +
                          options + " " + dir.filePath("run.sim").toStdString() + " >" + out;
  if (std::system(run.c_str()) != 0) return "failed";
  std::ifstream in(out);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(LcdWindow, AReplayHeldAtItsEndIsTheDriversSnapshotOfIt) {
  // A Game B start; the recording ends 30 ms after some segment changed,
  // while it is still fading or darkening.
  const std::string start = std::string(kRecordingVersionLine) +
                            "\ntimeofday 12:34:56.789 +00:00\nplay 2\nclick Im_Front\n"
                            "press Puls_GameB\nwait 100\nrelease\n";
  QTemporaryDir dir;
  std::istringstream trace(runSim(dir, start + "wait 2000\n", "--trace"));
  Millis changed = 0;
  for (std::string line; std::getline(trace, line) && changed < 700;)
    if (line.find(" +Im_") != std::string::npos || line.find(" -Im_") != std::string::npos)
      changed = std::stoll(line);
  ASSERT_GE(changed, 700);
  const std::string recording = start + "wait " + std::to_string(changed + 30 - 100) + "\n";
  // Drawn as a plain script: a recording writes no files.
  runSim(dir, recording.substr(recording.find('\n') + 1) + "snapshot " +
                  dir.filePath("end.png").toStdString() + "\n");
  const QImage snapshot = QImage(dir.filePath("end.png")).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(snapshot.isNull());

  DesktopRig rig;
  openCase(rig);
  ReplayPlayer player{rig.windows.replayStage(), rig.clock, rig.program, rig.sound, rig.output};
  player.start("game.sim", recording);
  ASSERT_TRUE(QTest::qWaitFor([&] { return player.active(); }, 5000));
  QTest::keyClick(rig.form1.get(), Qt::Key_4);
  ASSERT_TRUE(QTest::qWaitFor([&] { return player.ended(); }, 5000));
  QTRY_VERIFY(!rig.form1->lcd().running());
  DesktopRig::settle();
  EXPECT_EQ(pixelsDiffering(painted(rig.form1.get()), snapshot, rig.form1->mask()), 0);
}

// The rig on exact virtual time, with the driver's time of day (noon plus
// virtual time), so its game draws the same random numbers as the driver's.
void advanceTo(DesktopRig& rig, Millis t) {
  constexpr Millis kNoon = 12LL * 3600 * 1000;
  while (rig.scheduler.now() < t) {
    rig.time.universalMs = static_cast<std::uint32_t>(kNoon + rig.scheduler.now() + 1);
    rig.scheduler.advance(1);
  }
}

TEST(LcdWindow, EveryFrameOfABarrelStepIsTheDriversSnapshotAtThatInstant) {
  // The rig's loop stands still: every change happens at an instant the
  // test chooses, however slowly a busy machine runs it.
  constexpr Millis kStart = 20000;
  DesktopRig rig({1024, 768}, -2, 0, true);
  rig.form1->lcd().setFrameClock([&] { return rig.scheduler.now(); });
  advanceTo(rig, kStart);
  openCase(rig);
  rig.click(DesktopRig::centre(Puls_GameA));

  auto barrels = [&] {
    std::string lit;
    for (int i = 0; i < ElementCount; ++i)
      if (std::string(nameOf(static_cast<Element>(i))).rfind("Im_Bar", 0) == 0)
        lit += rig.lit(static_cast<Element>(i)) ? '1' : '0';
    return lit;
  };
  const std::string before = barrels();
  while (barrels() == before && rig.scheduler.now() < kStart + 5000)
    advanceTo(rig, rig.scheduler.now() + 1);
  const Millis step = rig.scheduler.now();
  ASSERT_LT(step, kStart + 5000) << "no barrel moved";

  QTemporaryDir dir;
  std::ofstream script(dir.filePath("frames.sim").toStdString());
  script << "wait " << kStart << "\nplay 2\nclick Im_Front\nclick Puls_GameA\nwait "
         << step - kStart << '\n';
  for (int k = 0; k <= 15; ++k)
    script << "snapshot " << dir.filePath(QString("f%1.png").arg(k)).toStdString() << "\nwait 10\n";
  script.close();
  const std::string run = std::string("QT_QPA_PLATFORM=offscreen ") + CANTIERE_SIM_EXE + " " +
                          dir.filePath("frames.sim").toStdString() + " >/dev/null";
  ASSERT_EQ(std::system(run.c_str()), 0);

  std::vector<QImage> frames;
  for (int k = 0; k <= 15; ++k) {
    advanceTo(rig, step + 10 * k);
    rig.form1->lcd().step();
    DesktopRig::settle();
    frames.push_back(painted(rig.form1.get()));
    const QImage snapshot(dir.filePath(QString("f%1.png").arg(k)));
    ASSERT_FALSE(snapshot.isNull());
    EXPECT_EQ(pixelsDiffering(frames.back(), snapshot.convertToFormat(QImage::Format_RGB32),
                              rig.form1->mask()),
              0)
        << "at " << 10 * k << " ms";
  }
  // It moves for a while, then stands: a fade, not a blink.
  int moving = 0;
  for (int k = 1; k <= 15; ++k) moving += pixelsDiffering(frames[k - 1], frames[k]) > 0;
  EXPECT_GE(moving, 8);
  EXPECT_EQ(pixelsDiffering(frames[14], frames[15]), 0);
}


// The window's own buffer, composed for the screen, against the driver's
// snapshot of the same state: at every zoom step, with the LCD effects on
// and off, 30 ms into a barrel step while cells darken and fade. Every
// pixel of the case is the same; round it the buffer is transparent.
class WindowBufferAtZoom : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(WindowBufferAtZoom, IsTheDriversSnapshotOfTheSameInstant) {
  const auto [zoom, effects] = GetParam();
  constexpr Millis kStart = 20000;
  const ViewScale view(zoom, 1.0);
  auto centre = [&](Element e) {
    const Rect r = view.toWindow(info(e).rect);
    return QPoint(r.left + r.width / 2, r.top + r.height / 2);
  };
  DesktopRig rig({3840, 2400}, -2, zoom, true);  // room for the open case at 400 %
  rig.form1->lcdEffectsAction()->setChecked(effects);
  rig.form1->lcd().setFrameClock([&] { return rig.scheduler.now(); });
  advanceTo(rig, kStart);
  rig.play(2);
  rig.click(centre(Im_Front));
  rig.click(centre(Puls_GameA));
  auto lit = [&] {
    std::string s;
    for (int i = 0; i < ElementCount; ++i) s += rig.lit(static_cast<Element>(i)) ? '1' : '0';
    return s;
  };
  const std::string before = lit();
  while (lit() == before && rig.scheduler.now() < kStart + 5000) advanceTo(rig, rig.scheduler.now() + 1);
  ASSERT_LT(rig.scheduler.now(), kStart + 5000) << "nothing moved";
  const Millis at = rig.scheduler.now() + 30;
  advanceTo(rig, at);
  if (effects) {
    EXPECT_TRUE(rig.form1->lcd().running()) << "cells still darkening and fading";
  }
  rig.form1->repaint();
  const Image& buffer = rig.form1->buffer();

  QTemporaryDir dir;
  const std::string shot = dir.filePath("shot.png").toStdString();
  std::ofstream(dir.filePath("plain.ini").toStdString()) << "[General]\nLcdEffects=0\n";
  std::ofstream(dir.filePath("run.sim").toStdString())
      << "wait " << kStart << "\nplay 2\nclick Im_Front\nclick Puls_GameA\nwait " << at - kStart
      << "\nsnapshot " << shot << " " << zoom << "\n";
  const std::string run = std::string(CANTIERE_SIM_EXE) + (effects ? "" : " --settings " + dir.filePath("plain.ini").toStdString()) +
                          " " + dir.filePath("run.sim").toStdString() + " >/dev/null";
  ASSERT_EQ(std::system(run.c_str()), 0);
  const QImage snapshot = QImage(QString::fromStdString(shot)).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(snapshot.size(), QSize(buffer.width, buffer.height));
  int differing = 0, transparent = 0, litOutside = 0;
  for (int y = 0; y < buffer.height; ++y)
    for (int x = 0; x < buffer.width; ++x) {
      const Pixel mine = buffer.at(x, y), theirs = snapshot.pixel(x, y);
      if (mine == kTransparent) {
        ++transparent;  // the ground round the case, dark in the snapshot
        litOutside += std::max({qRed(theirs), qGreen(theirs), qBlue(theirs)}) >= 40;
      } else {
        differing += mine != theirs;
      }
    }
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(litOutside, 0);
  EXPECT_GT(transparent, 0);
  EXPECT_LT(transparent, buffer.width * buffer.height / 20);
}

INSTANTIATE_TEST_SUITE_P(Sizes, WindowBufferAtZoom,
                         ::testing::Combine(::testing::Values(100, 150, 200, 250, 300, 400),
                                            ::testing::Bool()));

}  // namespace
}  // namespace cantiere::test
