// SPDX-License-Identifier: GPL-3.0-or-later
// The handheld window at the sizes of its "Size" menu: the stored size, the
// placement of the scaled case, clicks at element edges, exact drags, the
// menu and keys, and what is repainted.
#include <QMenu>
#include <QPaintEvent>

#include "common/replay/input_recorder.h"
#include "frontend/windows/case_canvas.h"
#include "frontend/windows/size_menu.h"
#include "common/clock/time_anchor.h"
#include "tests/frontend/desktop_rig.h"

namespace cantiere::test {
namespace {

// Where an element's centre lies in the window at a zoom.
QPoint centreAt(Element e, int zoom) {
  const ViewScale view(zoom, 1.0);
  const Rect& r = info(e).rect;
  return {view.toWindow(r.left + r.width / 2), view.toWindow(r.top + r.height / 2)};
}

void mouse(QWidget* w, QEvent::Type type, QPoint local, QPoint global, Qt::MouseButton button,
           Qt::MouseButtons held) {
  QMouseEvent e(type, QPointF(local), QPointF(global), button, held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

TEST(ZoomedWindow, TheStoredSizeAppliesFromTheStartAndPlayPlacesTheScaledCase) {
  DesktopRig rig({2048, 1536}, -2, 200);
  EXPECT_EQ(rig.geometry(), QRect(-1000, 542, 928, 600)) << "closed, off screen";
  rig.play(2);
  // The model sees 1024 x 768 catalogue pixels and places at (280, 369).
  EXPECT_EQ(rig.geometry(), QRect(560, 738, 928, 600));
  rig.click(centreAt(Im_Front, 200));
  EXPECT_TRUE(rig.lit(Im_Base));
  EXPECT_EQ(rig.geometry(), QRect(560, 196, 928, 1142)) << "grown 542 upwards";

  for (int bad : {125, -3, 0x7fffffff}) {
    DesktopRig other({1024, 768}, -2, bad);
    EXPECT_EQ(other.form1->view().zoomPercent(), 100) << bad;
    EXPECT_EQ(other.geometry().size(), QSize(464, 300)) << bad;
  }
}

// The canvas draws pictures made for the view's scale, from the shared 1x
// ones, through any sequence of sizes and back.
TEST(ZoomedWindow, TheCanvasDrawsPicturesOfEachSizesOwnScale) {
  const PictureSet oneTimes;
  CaseCanvas canvas(oneTimes);
  for (const auto& [zoom, ratio] : {std::pair{150, 1.0}, {200, 1.0}, {300, 1.0}, {100, 1.0},
                                    {100, 2.0}, {150, 2.0}, {100, 1.0}}) {
    canvas.setView(ViewScale(zoom, ratio));
    EXPECT_EQ(canvas.pictures().scale(), ViewScale(zoom, ratio).deviceScale()) << zoom << " " << ratio;
    EXPECT_EQ(&canvas.pictures() == &oneTimes, zoom == 100 && ratio == 1.0) << zoom << " " << ratio;
  }
}

TEST(ZoomedWindow, ClicksHitTheElementDrawnUnderThePointerUpToItsLastPixel) {
  DesktopRig rig({1920, 1200}, -2, 150);
  rig.play(2);
  rig.click(centreAt(Im_Front, 150));
  ASSERT_TRUE(rig.lit(Im_Base));
  // Game A, 387..406 x 328..339, covers window pixels 581..610 x 492..509.
  const struct {
    QPoint at;
    bool onGameA;
  } cases[] = {{{581, 492}, true}, {{610, 509}, true}, {{580, 500}, false},
               {{611, 500}, false}, {{600, 510}, false}, {{600, 491}, false}};
  for (const auto& c : cases) {
    QTest::mousePress(rig.form1.get(), Qt::LeftButton, {}, c.at);
    EXPECT_EQ(rig.lit(Puls_GameA), !c.onGameA) << c.at.x() << "," << c.at.y();
    QTest::mouseRelease(rig.form1.get(), Qt::LeftButton, {}, c.at);
    rig.click(centreAt(Puls_ACL, 150));  // back to all segments
  }
  // Cursors follow the same map.
  QTest::mouseMove(rig.form1.get(), centreAt(Puls_Alarm, 150));
  EXPECT_EQ(rig.form1->cursor().shape(), Qt::WhatsThisCursor);
  QTest::mouseMove(rig.form1.get(), centreAt(Puls_Time, 150));
  EXPECT_EQ(rig.form1->cursor().shape(), Qt::PointingHandCursor);
}

TEST(ZoomedWindow, ADragMovesTheWindowAsFarAsThePointer) {
  DesktopRig rig({1200, 900}, -2, 150);
  rig.play(2);
  // (168, 271) in catalogue pixels.
  const QPoint origin(252, 407);
  ASSERT_EQ(rig.geometry(), QRect(origin, QSize(696, 450)));
  QWidget* w = rig.form1.get();
  const QPoint local(100, 100);
  mouse(w, QEvent::MouseButtonPress, local, origin + local, Qt::LeftButton, Qt::LeftButton);
  for (QPoint step : {QPoint(3, 0), QPoint(7, -5), QPoint(-20, 31), QPoint(-19, 31)})
    mouse(w, QEvent::MouseMove, local, origin + local + step, Qt::NoButton, Qt::LeftButton);
  mouse(w, QEvent::MouseButtonRelease, local, origin + local + QPoint(-19, 31), Qt::LeftButton,
        Qt::NoButton);
  DesktopRig::settle();
  EXPECT_EQ(rig.geometry().topLeft(), origin + QPoint(-19, 31));
  EXPECT_TRUE(rig.lit(Im_Front)) << "a drag is no click";
}

TEST(ZoomedWindow, TheSizeMenuAndItsKeysChangeTheSizeAndStoreIt) {
  DesktopRig rig({3840, 2400});
  rig.play(2);
  rig.click(DesktopRig::centre(Im_Front));
  QStringList shown;
  for (QAction* a : rig.form1->sizeMenu().menu()->actions())
    shown << (a->isSeparator() ? QStringLiteral("-")
                               : a->text() + "|" + a->shortcut().toString(QKeySequence::PortableText));
  EXPECT_EQ(shown.join(' '), "100 %|0 150 %| 200 %| 250 %| 300 %| 400 %| - Larger|+ Smaller|-");
  const QList<QAction*> entries = rig.form1->menu().actions();
  const auto exit = entries.indexOf(rig.form1->action(MenuEntry::PM_10Exit));
  ASSERT_LT(exit + 2, entries.size());
  EXPECT_EQ(entries[exit + 2]->menu(), rig.form1->sizeMenu().menu()) << "after the described entries";

  QWidget* w = rig.form1.get();
  const struct {
    int key, zoom;
  } keys[] = {{Qt::Key_Plus, 150}, {Qt::Key_Equal, 200}, {Qt::Key_Minus, 150}, {Qt::Key_0, 100},
              {Qt::Key_Minus, 100}};
  for (const auto& k : keys) {
    QTest::keyClick(w, static_cast<Qt::Key>(k.key));
    EXPECT_EQ(rig.form1->view().zoomPercent(), k.zoom) << k.key;
    EXPECT_EQ(rig.geometry().size(), QSize(ViewScale(k.zoom, 1).toWindow(464), ViewScale(k.zoom, 1).toWindow(571)));
  }
  EXPECT_EQ(rig.settings.values["zoom"], 100);
  rig.form1->sizeMenu().step(400)->trigger();
  EXPECT_EQ(rig.geometry().size(), QSize(1856, 2284));
  EXPECT_EQ(rig.settings.values["zoom"], 400);
  EXPECT_TRUE(rig.form1->sizeMenu().step(400)->isChecked());
  QTest::keyClick(w, Qt::Key_Plus);
  EXPECT_EQ(rig.form1->view().zoomPercent(), 400);
  EXPECT_FALSE(rig.g.GameRunning) << "the size keys start nothing";
}

TEST(ZoomedWindow, AChangeOfSizeKeepsTheFoldWhereItWas) {
  DesktopRig rig({3840, 2160});
  rig.play(2);
  const QRect closed = rig.geometry();
  rig.click(DesktopRig::centre(Im_Front));
  const int fold = rig.geometry().top() + 271;
  ASSERT_EQ(fold, closed.top());
  rig.form1->setZoom(300);
  EXPECT_EQ(rig.geometry().top() + 813, fold);
  EXPECT_EQ(rig.geometry().center().x(), closed.center().x());
}

TEST(ZoomedWindow, OnlyTheChangedElementsAreRepaintedScaled) {
  DesktopRig rig({3840, 2160}, -2, 200);
  rig.play(2);
  rig.form1->lcdEffectsAction()->setChecked(false);  // segments switch at once
  rig.click(centreAt(Im_Front, 200));
  struct Log : QObject {
    std::vector<QRegion> regions;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) regions.push_back(static_cast<QPaintEvent*>(e)->region());
      return false;
    }
  } log;
  rig.form1->installEventFilter(&log);
  rig.program.form1.surface.hide(Im_Bar46);
  DesktopRig::settle();
  ASSERT_EQ(log.regions.size(), 1u);
  const Rect& bar = info(Im_Bar46).rect;
  EXPECT_EQ(log.regions[0], QRegion(2 * bar.left, 2 * bar.top, 2 * bar.width, 2 * bar.height));
}

TEST(ZoomedWindow, SizeKeysActOnAnyLayoutAndShortcutKeysNeverReachTheRecording) {
  DesktopRig rig({3840, 2400});
  AnchoredTimeOfDay anchored(rig.scheduler);
  InputRecorder recorder(rig.program, anchored, rig.desktop);
  recorder.anchored(0, {0, 0});
  recorder.started();
  rig.windows.input.setRecorder(&recorder);
  rig.play(2);
  rig.click(DesktopRig::centre(Im_Front));
  QWidget* w = rig.form1.get();
  // As the toolkit asks before a key press: the French layout's unshifted
  // 0 (a grave, key code 19), the keypad's +, -, 0, and a 0 with Ctrl.
  const struct {
    int key;
    quint32 code;
    Qt::KeyboardModifiers modifiers;
    int zoom;
  } keys[] = {{Qt::Key_Plus, 86, Qt::KeypadModifier, 150},  {Qt::Key_Plus, 86, Qt::KeypadModifier, 200},
              {Qt::Key_Minus, 82, Qt::KeypadModifier, 150}, {Qt::Key_Agrave, 19, Qt::NoModifier, 100},
              {Qt::Key_Plus, 86, Qt::KeypadModifier, 150},  {Qt::Key_0, 90, Qt::KeypadModifier, 100},
              {Qt::Key_Plus, 86, Qt::KeypadModifier, 150},  {Qt::Key_Agrave, 19, Qt::ControlModifier, 150},
              {Qt::Key_Eacute, 11, Qt::NoModifier, 150}};
  for (const auto& k : keys) {
    QKeyEvent e(QEvent::ShortcutOverride, k.key, k.modifiers, k.code, 0, 0);
    QApplication::sendEvent(w, &e);
    EXPECT_EQ(rig.form1->view().zoomPercent(), k.zoom) << k.key << " " << k.code;
  }
  // F1 opens About through its shortcut and Esc would end the program: the
  // model hears neither the press nor the release. Ctrl reaches it both ways.
  QTest::keyClick(w, Qt::Key_F1);
  QTest::keyPress(w, Qt::Key_Control);
  QTest::keyRelease(w, Qt::Key_Control);
  DesktopRig::settle();
  const std::string session = recorder.session(rig.scheduler.now());
  EXPECT_NE(session.find("keydown ctrl"), std::string::npos) << session;
  EXPECT_NE(session.find("keyup ctrl"), std::string::npos) << session;
  EXPECT_NE(session.find("menu PM_1About"), std::string::npos) << session;
  EXPECT_EQ(session.find("keyup f1"), std::string::npos) << session;
  EXPECT_EQ(session.find("keyup 112"), std::string::npos) << session;
  rig.windows.input.setRecorder(nullptr);
}

}  // namespace
}  // namespace cantiere::test
