// SPDX-License-Identifier: GPL-3.0-or-later
// The handheld window as a person uses it: mouse on the case and buttons,
// dragging, keys, the context menu and its shortcuts, and what is repainted.
#include <QPaintEvent>
#include <QToolTip>

#include "frontend/input/qt_keys.h"
#include "render/builtin_files.h"
#include "tests/frontend/desktop_rig.h"

namespace cantiere::test {
namespace {

// Records the rectangles of every paint event of a widget.
class PaintLog : public QObject {
 public:
  explicit PaintLog(QWidget* w) { w->installEventFilter(this); }
  std::vector<QRegion> regions;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) regions.push_back(static_cast<QPaintEvent*>(e)->region());
    return false;
  }
};

void sendMouse(QWidget* w, QEvent::Type type, QPoint local, QPoint global, Qt::MouseButton button,
               Qt::MouseButtons held) {
  QMouseEvent e(type, QPointF(local), QPointF(global), button, held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

void sendKey(QWidget* w, QEvent::Type type, int key, quint64 timestamp, bool autoRepeat = false,
             quint32 nativeKeysym = 0) {
  QKeyEvent e(type, key, Qt::NoModifier, 0, nativeKeysym, 0, QString(), autoRepeat);
  e.setTimestamp(timestamp);
  QApplication::sendEvent(w, &e);
}

TEST(HandheldWindow, StartsClosedOffScreenAndItsActivationBringsTheLauncher) {
  DesktopRig rig;
  EXPECT_EQ(rig.geometry(), QRect(-500, 271, 464, 300));
  EXPECT_TRUE(rig.form1->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(rig.form1->windowTitle(), "Cantiere (Ludoria) Simulator");
  EXPECT_FALSE(rig.program.form1.FirstActivate) << "the window's activation was not seen";
  EXPECT_TRUE(rig.splash->isVisible());
  EXPECT_EQ(QApplication::activeWindow(), rig.splash.get()) << "the launcher must have the keyboard";
}

class Placement : public ::testing::TestWithParam<std::tuple<int, int, int, int, int>> {};

TEST_P(Placement, PlayCentresTheCaseForItsOpening) {
  const auto [width, height, left, topClosed, topOpen] = GetParam();
  DesktopRig rig({width, height});
  rig.play(2);
  EXPECT_FALSE(rig.splash->isVisible());
  EXPECT_EQ(rig.geometry(), QRect(left, topClosed, 464, 300));
  EXPECT_EQ(QApplication::activeWindow(), rig.form1.get()) << "the handheld must have the keyboard";
  rig.click(DesktopRig::centre(Im_Front));
  EXPECT_EQ(rig.geometry(), QRect(left, topOpen, 464, 571));
}

INSTANTIATE_TEST_SUITE_P(Screens, Placement,
                         ::testing::Values(std::make_tuple(800, 600, 168, 271, 0),
                                           std::make_tuple(1024, 768, 280, 369, 98),
                                           std::make_tuple(1023, 768, 279, 369, 98)));

TEST(HandheldWindow, ClicksReachTheLidAndTheButtons) {
  DesktopRig rig;
  rig.play(2);
  rig.click(DesktopRig::centre(Im_Front));
  ASSERT_FALSE(rig.lit(Im_Front));
  EXPECT_TRUE(rig.lit(Im_Base));

  // Game A: held, its picture goes and the high score shows; let go, a game.
  rig.g.HiScoreA = 42;
  QTest::mousePress(rig.form1.get(), Qt::LeftButton, {}, DesktopRig::centre(Puls_GameA));
  EXPECT_FALSE(rig.lit(Puls_GameA));
  EXPECT_TRUE(rig.lit(Im_GameA));
  EXPECT_FALSE(rig.g.GameRunning);
  QTest::mouseRelease(rig.form1.get(), Qt::LeftButton, {}, DesktopRig::centre(Puls_GameA));
  EXPECT_TRUE(rig.lit(Puls_GameA));
  EXPECT_TRUE(rig.g.GameRunning);
  EXPECT_EQ(rig.g.GameMode, ModeGameA);
  EXPECT_TRUE(rig.program.form1.timerEnabled(TimerGioco));

  // ACL stops the game; Time then starts the clock.
  rig.click(DesktopRig::centre(Puls_ACL));
  EXPECT_FALSE(rig.g.GameRunning);
  EXPECT_EQ(rig.g.GameMode, ModeAllLit);
  EXPECT_FALSE(rig.program.form1.timerEnabled(TimerGioco));
  rig.click(DesktopRig::centre(Puls_Time));
  EXPECT_EQ(rig.g.GameMode, ModeClock);
  EXPECT_TRUE(rig.program.form1.timerEnabled(TimerClock));

  // Game B the same way.
  rig.click(DesktopRig::centre(Puls_GameB));
  EXPECT_EQ(rig.g.GameMode, ModeGameB);
  EXPECT_TRUE(rig.g.GameRunning);
}

TEST(HandheldWindow, OnlyTheLeftButtonActsOnTheCaseAndTheButtons) {
  DesktopRig rig;
  rig.play(2);
  rig.click(DesktopRig::centre(Im_Front), Qt::MiddleButton);
  rig.click(DesktopRig::centre(Im_Front), Qt::RightButton);
  EXPECT_TRUE(rig.lit(Im_Front)) << "only a left click opens the case";
  // The right button's release opens the menu.
  EXPECT_TRUE(rig.form1->menu().isVisible());
  rig.form1->menu().close();

  rig.click(DesktopRig::centre(Im_Front));
  QTest::mousePress(rig.form1.get(), Qt::RightButton, {}, DesktopRig::centre(Puls_GameA));
  EXPECT_TRUE(rig.lit(Puls_GameA)) << "not even the pressed look";
  QTest::mouseRelease(rig.form1.get(), Qt::RightButton, {}, DesktopRig::centre(Puls_GameA));
  rig.form1->menu().close();
  rig.click(DesktopRig::centre(Puls_GameB), Qt::MiddleButton);
  EXPECT_FALSE(rig.g.GameRunning);
  EXPECT_EQ(rig.g.GameMode, ModeAllLit);
}

TEST(HandheldWindow, DraggingFollowsThePointerOnTheScreen) {
  DesktopRig rig;
  rig.play(2);
  QWidget* w = rig.form1.get();
  const QPoint origin(280, 369);  // where PLAY put the client area
  const QPoint start = origin + QPoint(100, 100);
  sendMouse(w, QEvent::MouseButtonPress, {100, 100}, start, Qt::LeftButton, Qt::LeftButton);
  // The toolkit's idea of the window lags behind the moves: the local
  // positions below are stale, the screen positions are right.
  sendMouse(w, QEvent::MouseMove, {130, 90}, start + QPoint(30, -10), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(rig.program.form1.window().left, 310);
  EXPECT_EQ(rig.program.form1.window().top, 359);
  sendMouse(w, QEvent::MouseMove, {140, 90}, start + QPoint(40, -10), Qt::NoButton, Qt::LeftButton);
  sendMouse(w, QEvent::MouseMove, {140, 95}, start + QPoint(40, -5), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(rig.program.form1.window().left, 320);
  EXPECT_EQ(rig.program.form1.window().top, 364);
  sendMouse(w, QEvent::MouseButtonRelease, {140, 95}, start + QPoint(40, -5), Qt::LeftButton,
            Qt::NoButton);
  DesktopRig::settle();
  EXPECT_EQ(rig.geometry().topLeft(), QPoint(320, 364));
  EXPECT_TRUE(rig.lit(Im_Front)) << "a drag of the closed case must not open it";

  // With the right button held nothing moves.
  const QPoint now(320, 364);
  sendMouse(w, QEvent::MouseButtonPress, {50, 50}, now + QPoint(50, 50), Qt::RightButton,
            Qt::RightButton);
  sendMouse(w, QEvent::MouseMove, {90, 90}, now + QPoint(90, 90), Qt::NoButton, Qt::RightButton);
  sendMouse(w, QEvent::MouseButtonRelease, {90, 90}, now + QPoint(90, 90), Qt::RightButton,
            Qt::NoButton);
  rig.form1->menu().close();
  EXPECT_EQ(rig.program.form1.window().left, 320);
  EXPECT_EQ(rig.program.form1.window().top, 364);
}

TEST(HandheldWindow, APressWhoseReleaseWasLostDoesNotBlockTheNextOne) {
  DesktopRig rig;
  rig.play(2);
  rig.click(DesktopRig::centre(Im_Front));
  // Game B pressed, its release taken by another program's grab.
  QTest::mousePress(rig.form1.get(), Qt::LeftButton, {}, DesktopRig::centre(Puls_GameB));
  ASSERT_FALSE(rig.lit(Puls_GameB));
  rig.click(DesktopRig::centre(Puls_ACL));
  EXPECT_TRUE(rig.lit(Puls_GameB)) << "the lost release is given to the button first";
  EXPECT_EQ(rig.g.GameMode, ModeAllLit) << "then ACL acts";
  EXPECT_FALSE(rig.g.GameRunning);
}

TEST(HandheldWindow, CursorsAndHintsFollowThePointerAlsoWhenNotActive) {
  DesktopRig rig;
  rig.play(2);
  rig.click(DesktopRig::centre(Im_Front));
  QWidget other;  // another program's window has the keyboard
  other.show();
  other.activateWindow();
  DesktopRig::settle();
  ASSERT_NE(QApplication::activeWindow(), rig.form1.get());

  QTest::mouseMove(rig.form1.get(), DesktopRig::centre(Puls_GameA));
  EXPECT_EQ(rig.form1->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_FALSE(QToolTip::isVisible()) << "a hint waits for the pointer to rest";
  EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 5000));
  EXPECT_EQ(QToolTip::text(), "Click to start Game A (hold to view hiscore)");

  QTest::mouseMove(rig.form1.get(), DesktopRig::centre(Puls_Alarm));
  EXPECT_EQ(rig.form1->cursor().shape(), Qt::WhatsThisCursor);
  EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::text() == "Button disabled"; }, 5000));

  QTest::mouseMove(rig.form1.get(), {5, 540});  // the bare case
  EXPECT_EQ(rig.form1->cursor().shape(), Qt::ArrowCursor);
  EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000)) << "the tip goes";
}

TEST(HandheldWindow, IsShapedLikeTheCaseClosedAndOpen) {
  DesktopRig rig;
  EXPECT_FALSE(rig.form1->isVisible()) << "shown before PLAY placed it";
  rig.play(2);
  EXPECT_TRUE(rig.form1->isVisible());
  // The desktop shows at the rounded corners and beside the hinge; the lid,
  // the hinge and the screens are the window's.
  struct Case {
    QPoint at;
    bool inside;
  };
  const Case closed[] = {{{1, 1}, false},   {{462, 1}, false},   {{8, 298}, false},
                         {{455, 298}, false}, {{20, 5}, false},   {{440, 5}, false},
                         {{232, 5}, true},   {{10, 150}, true},   {DesktopRig::centre(Im_Front), true}};
  for (const Case& c : closed) EXPECT_EQ(rig.form1->mask().contains(c.at), c.inside) << "closed " << c.at.x() << "," << c.at.y();
  rig.click(DesktopRig::centre(Im_Front));
  const Case open[] = {{{8, 8}, false},    {{455, 563}, false}, {{20, 275}, false}, {{444, 275}, false},
                       {{232, 275}, true}, {{30, 300}, true},   {DesktopRig::centre(Im_Schermo1Top), true},
                       {DesktopRig::centre(Im_Schermo2Top), true}, {DesktopRig::centre(Puls_Jump), true}};
  for (const Case& c : open) EXPECT_EQ(rig.form1->mask().contains(c.at), c.inside) << "open " << c.at.x() << "," << c.at.y();
}

TEST(HandheldWindow, TheWindowsCarryTheIconAndTheLauncherIsAFixedDialog) {
  DesktopRig rig;
  // Set once the first window has painted.
  QTRY_VERIFY_WITH_TIMEOUT(!QGuiApplication::windowIcon().isNull(), 20000);
  QList<int> sizes;
  for (const QSize& s : QGuiApplication::windowIcon().availableSizes()) sizes << s.width();
  EXPECT_EQ(sizes, (QList<int>{16, 24, 32, 48, 64, 128, 256}));
  // Each size is its own file's pixels, as the toolkit's decoder reads them.
  for (int s : sizes) {
    const FileBytes png = builtInFile(QStringLiteral("icons/hicolor/%1x%1/apps/cantiere.png").arg(s).toStdString());
    const QImage file = QImage::fromData(png.data, static_cast<int>(png.size), "PNG");
    const QImage shown = QGuiApplication::windowIcon().pixmap(QSize(s, s)).toImage();
    EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
              file.convertToFormat(QImage::Format_ARGB32_Premultiplied)) << s;
  }
  for (QWidget* w : {static_cast<QWidget*>(rig.form1.get()), static_cast<QWidget*>(rig.splash.get()),
                     static_cast<QWidget*>(rig.about.get())})
    EXPECT_FALSE(w->windowIcon().isNull()) << w->windowTitle().toStdString();
  const Qt::WindowFlags f = rig.splash->windowFlags();
  EXPECT_EQ(f & Qt::WindowType_Mask, Qt::Dialog);
  EXPECT_FALSE(f & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint |
                    Qt::WindowSystemMenuHint));
  EXPECT_EQ(rig.splash->minimumSize(), rig.splash->maximumSize());
}

TEST(HandheldWindow, KeysMapToTheVirtualKeyCodes) {
  EXPECT_EQ(virtualKey(Qt::Key_Control), 17);
  EXPECT_EQ(virtualKey(Qt::Key_Left), 37);
  EXPECT_EQ(virtualKey(Qt::Key_Up), 38);
  EXPECT_EQ(virtualKey(Qt::Key_Right), 39);
  EXPECT_EQ(virtualKey(Qt::Key_Down), 40);
  EXPECT_EQ(virtualKey(Qt::Key_Escape), 27);
  EXPECT_EQ(virtualKey(Qt::Key_F1), 112);
  EXPECT_EQ(virtualKey(Qt::Key_F4), 115);
  EXPECT_EQ(virtualKey(Qt::Key_Q), 'Q');
  EXPECT_EQ(virtualKey(Qt::Key_7), '7');
  EXPECT_EQ(virtualKey(Qt::Key_VolumeUp), 0);
  // The rest of the keys the model has codes for, as a recording names them.
  const std::pair<int, int> others[] = {
      {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},       {Qt::Key_Backtab, 9},   {Qt::Key_Return, 13},
      {Qt::Key_Enter, 13},    {Qt::Key_Shift, 16},    {Qt::Key_Alt, 18},      {Qt::Key_AltGr, 18},
      {Qt::Key_Pause, 19},    {Qt::Key_CapsLock, 20}, {Qt::Key_Space, 32},    {Qt::Key_PageUp, 33},
      {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},      {Qt::Key_Home, 36},     {Qt::Key_Insert, 45},
      {Qt::Key_Delete, 46},   {Qt::Key_F24, 135},     {Qt::Key_A, 'A'},       {Qt::Key_Z, 'Z'},
      {Qt::Key_0, '0'},       {Qt::Key_9, '9'},       {Qt::Key_Meta, 0},      {Qt::Key_F25, 0}};
  for (const auto& [key, code] : others) EXPECT_EQ(virtualKey(key), code) << std::hex << key;

  // Both Ctrl keys, as the X server names them, press the jump button.
  DesktopRig rig;
  rig.play(2);
  rig.click(DesktopRig::centre(Im_Front));
  constexpr quint32 kControlL = 0xffe3, kControlR = 0xffe4;
  for (quint32 keysym : {kControlL, kControlR}) {
    sendKey(rig.form1.get(), QEvent::KeyPress, Qt::Key_Control, 1000 + keysym, false, keysym);
    EXPECT_FALSE(rig.lit(Puls_Jump)) << keysym;
    sendKey(rig.form1.get(), QEvent::KeyRelease, Qt::Key_Control, 2000 + keysym, false, keysym);
    DesktopRig::settle();
    EXPECT_TRUE(rig.lit(Puls_Jump)) << keysym;
  }
}

TEST(HandheldWindow, AHeldKeyReachesTheModelAsPressesOnly) {
  DesktopRig rig;
  rig.play(2);
  rig.click(DesktopRig::centre(Im_Front));
  rig.click(DesktopRig::centre(Puls_GameA));
  QWidget* w = rig.form1.get();
  // Ctrl brings the player in at once, at the bottom left.
  sendKey(w, QEvent::KeyPress, Qt::Key_Control, 100);
  sendKey(w, QEvent::KeyRelease, Qt::Key_Control, 150);
  DesktopRig::settle();
  ASSERT_TRUE(rig.g.ControlEnabled);
  ASSERT_EQ(rig.g.OminoCol, 2);
  ASSERT_EQ(rig.g.OminoRow, 7);

  sendKey(w, QEvent::KeyPress, Qt::Key_Right, 200);
  EXPECT_EQ(rig.g.OminoCol, 3);
  // X11's repeat: a release and a press with one timestamp. The release
  // must not reach the model, or the repeat guard would let the press act.
  sendKey(w, QEvent::KeyRelease, Qt::Key_Right, 233);
  sendKey(w, QEvent::KeyPress, Qt::Key_Right, 233);
  DesktopRig::settle();
  EXPECT_EQ(rig.g.OminoCol, 3);
  EXPECT_TRUE(rig.g.KeyHeld);
  // A release the toolkit marked as a repeat is dropped as well.
  sendKey(w, QEvent::KeyRelease, Qt::Key_Right, 266, true);
  sendKey(w, QEvent::KeyPress, Qt::Key_Right, 266, true);
  DesktopRig::settle();
  EXPECT_EQ(rig.g.OminoCol, 3);
  // Letting go for real, then a new tap: it acts.
  sendKey(w, QEvent::KeyRelease, Qt::Key_Right, 300);
  DesktopRig::settle();
  EXPECT_FALSE(rig.g.KeyHeld);
  sendKey(w, QEvent::KeyPress, Qt::Key_Right, 350);
  EXPECT_EQ(rig.g.OminoCol, 4);
  sendKey(w, QEvent::KeyRelease, Qt::Key_Right, 380);
  DesktopRig::settle();
}

TEST(HandheldWindow, TheMenuHasItsEntriesAndItsShortcutsWorkBeforeTheCaseOpens) {
  DesktopRig rig;
  rig.play(2);
  ASSERT_TRUE(rig.lit(Im_Front));
  QStringList shown;
  for (QAction* a : rig.form1->menu().actions())
    shown << (a->isSeparator() ? QStringLiteral("-")
                               : a->text() + "|" + a->shortcut().toString(QKeySequence::PortableText));
  EXPECT_EQ(shown.join(' '),
            "About...|F1 - View 'Readme.txt'|F2 View 'Whatsnew.txt'|F3 - Open 'Manual.exe'|F4 - "
            "Reset Hiscores| - E&xit|Esc - Size| - LCD effects|");
  EXPECT_EQ(rig.form1->menu().defaultAction(), rig.form1->action(MenuEntry::PM_1About));
  EXPECT_TRUE(rig.form1->action(MenuEntry::PM_1About)->font().bold());

  QWidget* w = rig.form1.get();
  QTest::keyClick(w, Qt::Key_F1);
  DesktopRig::settle();
  EXPECT_TRUE(rig.about->isVisible());
  ASSERT_EQ(QApplication::activeWindow(), w) << "About took the keyboard from a game";
  QTest::keyClick(w, Qt::Key_F2);
  QTest::keyClick(w, Qt::Key_F3);
  QTest::keyClick(w, Qt::Key_F4);
  const QString here = QDir::current().absolutePath();
  ASSERT_EQ(rig.opened.size(), 3u);
  EXPECT_EQ(rig.opened[0], QUrl::fromLocalFile(here + "/readme.txt"));
  EXPECT_EQ(rig.opened[1], QUrl::fromLocalFile(here + "/whatsnew.txt"));
  EXPECT_EQ(rig.opened[2], QUrl::fromLocalFile(here + "/Manual.EXE"));

  rig.g.HiScoreA = 120;
  rig.form1->action(MenuEntry::PM_8Hiscore)->trigger();
  EXPECT_EQ(rig.g.HiScoreA, 0);
  EXPECT_EQ(rig.settings.values["hiscorea"], 0);

  EXPECT_EQ(rig.quits, 0);
  QTest::keyClick(w, Qt::Key_Escape);
  EXPECT_EQ(rig.quits, 1);
  ASSERT_FALSE(rig.output.calls.empty());
  EXPECT_EQ(rig.output.calls.back(), "close") << "the sound is released on the way out";
}

TEST(HandheldWindow, TheSystemsCloseEndsTheProgramThroughTheModel) {
  DesktopRig rig;
  rig.play(2);
  rig.form1->close();
  EXPECT_EQ(rig.quits, 1);
  ASSERT_FALSE(rig.output.calls.empty());
  EXPECT_EQ(rig.output.calls.back(), "close");
}

TEST(HandheldWindow, OnlyTheChangedElementsAreRepainted) {
  DesktopRig rig;
  rig.play(2);
  rig.form1->lcdEffectsAction()->setChecked(false);  // segments switch at once
  rig.click(DesktopRig::centre(Im_Front));
  PaintLog log(rig.form1.get());
  rig.program.form1.surface.hide(Im_Bar46);
  DesktopRig::settle();
  ASSERT_EQ(log.regions.size(), 1u);
  const Rect& bar = info(Im_Bar46).rect;
  EXPECT_EQ(log.regions[0], QRegion(bar.left, bar.top, bar.width, bar.height));

  // A running game: many paints, none of the whole window, each small.
  rig.click(DesktopRig::centre(Puls_GameA));
  log.regions.clear();
  // The first moves come about a second apart.
  ASSERT_TRUE(QTest::qWaitFor([&] { return log.regions.size() >= 2; }, 15000));
  const QRect window = rig.form1->rect();
  for (const QRegion& r : log.regions) {
    EXPECT_NE(r.boundingRect(), window);
    int area = 0;
    for (const QRect& part : r) area += part.width() * part.height();
    EXPECT_LT(area, window.width() * window.height() / 8) << r.boundingRect().width() << "x"
                                                           << r.boundingRect().height();
  }
}

}  // namespace
}  // namespace cantiere::test
