// SPDX-License-Identifier: GPL-3.0-or-later
// The launcher and the about window: what they show, the sound list, PLAY
// and its failure, the links and the slideshow.
#include <QMessageBox>
#include <QTimer>

#include "common/about_text.h"
#include "tests/frontend/desktop_rig.h"

namespace cantiere::test {
namespace {

TEST(Launcher, FirstRunShowsNoChoiceAndPlayIsDisabledUntilOneIsMade) {
  DesktopRig rig;
  QComboBox* list = rig.splash->soundList();
  EXPECT_FALSE(list->isEditable());
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->itemText(0), "Windows MM");
  EXPECT_EQ(list->itemText(1), "DirectSound");
  EXPECT_EQ(list->itemText(2), "(no sound)");
  EXPECT_EQ(list->currentIndex(), -1);
  EXPECT_EQ(list->currentText(), "");
  EXPECT_FALSE(rig.splash->playButton()->isEnabled());

  list->setFocus();
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(list->currentIndex(), 0);
  EXPECT_TRUE(rig.splash->playButton()->isEnabled());
}

TEST(Launcher, AStoredModeIsPreselectedAndAnUnusableOneIsNot) {
  {
    DesktopRig rig({1024, 768}, 1);
    EXPECT_EQ(rig.splash->soundList()->currentText(), "DirectSound");
    EXPECT_TRUE(rig.splash->playButton()->isEnabled());
  }
  {
    DesktopRig rig({1024, 768}, 3);
    EXPECT_EQ(rig.splash->soundList()->currentIndex(), -1);
    EXPECT_FALSE(rig.splash->playButton()->isEnabled());
  }
}

TEST(Launcher, PlayWithoutSoundStoresTheChoiceAndStartsNoOutput) {
  DesktopRig rig;
  rig.play(2);
  EXPECT_EQ(rig.settings.values["soundmode"], 2);
  EXPECT_TRUE(rig.output.calls.empty()) << rig.output.calls.front();
  EXPECT_FALSE(rig.splash->isVisible());
  EXPECT_EQ(rig.quits, 0);
}

TEST(Launcher, AFailedSoundStartSaysSoOnceAndEndsTheProgram) {
  DesktopRig rig;
  rig.output.failFirstLoad = true;
  QString text;
  int buttons = -1;
  // The box is modal: look at it from inside its own event loop, then OK.
  QTimer::singleShot(50, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    text = box->text();
    buttons = static_cast<int>(box->buttons().size());
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(rig.quits, 0) << "the program ends only after the box is dismissed";
    box->button(QMessageBox::Ok)->click();
  });
  rig.play(0);
  EXPECT_EQ(text, "Sound folder unproperly installed. Read instructions then reinstall.");
  EXPECT_EQ(buttons, 1);
  EXPECT_EQ(rig.settings.values["soundmode"], -1);
  EXPECT_EQ(rig.quits, 1);
}

TEST(Launcher, ShowsTheLinksAndClosingItFromOutsideEndsTheProgram) {
  DesktopRig rig;
  EXPECT_EQ(rig.splash->mailLink()->text(), kMailText);
  EXPECT_EQ(rig.splash->webLink()->text(), kWebText);
  const QString family = rig.splash->title()->font().family();
  EXPECT_TRUE(family == "Arial" || family == "Liberation Sans") << family.toStdString();
  // It has no close button; a window manager may close it all the same.
  rig.splash->close();
  EXPECT_EQ(rig.quits, 1) << "no program may go on running with no window on screen";
  ASSERT_FALSE(rig.output.calls.empty());
  EXPECT_EQ(rig.output.calls.back(), "close");
}

TEST(Launcher, LinksOpenThroughTheDesktop) {
  DesktopRig rig;
  QTest::mouseClick(rig.splash->mailLink(), Qt::LeftButton);
  QTest::mouseClick(rig.splash->webLink(), Qt::LeftButton);
  QTest::mouseClick(rig.splash->webLink(), Qt::RightButton);
  ASSERT_EQ(rig.opened.size(), 2u);
  EXPECT_EQ(rig.opened[0], QUrl(kMailLink));
  EXPECT_EQ(rig.opened[0].scheme(), "mailto");
  EXPECT_EQ(rig.opened[1], QUrl::fromLocalFile(QDir::current().absolutePath()));
}

TEST(Launcher, TheSlideshowShowsOnePictureForFourSecondsThenAlternates) {
  DesktopRig rig({1024, 768}, -2, 0, true);  // the slideshow's ticks when the test says
  const int first = rig.splash->slideOnShow();
  ASSERT_TRUE(first == 1 || first == 2);
  auto shows = [&](int slide) {
    const QImage expected = builtInPhoto(QStringLiteral("Im_Piccina%1").arg(slide));
    return rig.splash->slide()->pixmap().toImage().convertToFormat(expected.format()) == expected;
  };
  EXPECT_TRUE(shows(first));
  rig.standingLoop.runUntil(3999);  // the first tick, at 2 s, shows it again
  DesktopRig::settle();
  EXPECT_TRUE(shows(first));
  rig.standingLoop.runUntil(4000);  // the second, at 4 s, shows the other
  DesktopRig::settle();
  EXPECT_TRUE(shows(3 - first));
  EXPECT_EQ(rig.splash->slideOnShow(), 3 - first);
  rig.play(2);
  rig.standingLoop.runUntil(8000);  // past the third, at 6 s
  DesktopRig::settle();
  EXPECT_EQ(rig.splash->slideOnShow(), 3 - first) << "PLAY stops the slideshow";
}

TEST(AboutWindow, F1ShowsItAtTheTopLeftAgainAfterItWasClosed) {
  DesktopRig rig;
  rig.play(2);
  QTest::keyClick(rig.form1.get(), Qt::Key_F1);
  AboutForm& a = *rig.about;
  EXPECT_TRUE(a.isVisible());
  EXPECT_EQ(a.windowTitle(), "About the author...");
  EXPECT_EQ(a.pos(), QPoint(0, 0));
  EXPECT_EQ(a.rows()[4].caption->text(), "My hobby:");
  EXPECT_EQ(a.rows()[4].value->text(), about::kHobby);
  EXPECT_EQ(a.picture()->pixmap().toImage(), builtInPhoto(QStringLiteral("Im_Foto")));
  a.close();
  rig.form1->activateWindow();
  DesktopRig::settle();
  QTest::keyClick(rig.form1.get(), Qt::Key_F1);
  EXPECT_TRUE(a.isVisible());
}

}  // namespace
}  // namespace cantiere::test
