// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/handheld_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "common/lcd/lcd_effects_setting.h"
#include "frontend/windows/window_system.h"
#include "frontend/x11/x11_window.h"

namespace cantiere {
namespace {

std::optional<MouseButton> buttonOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return MouseButton::Left;
    case Qt::RightButton: return MouseButton::Right;
    case Qt::MiddleButton: return MouseButton::Middle;
    default: return std::nullopt;
  }
}

}  // namespace

HandheldWindow::HandheldWindow(Program& program, ModelInput& input, const PictureSet& pictures)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      program_(program),
      input_(input),
      clock_(input.clock()),
      shown_(&program.form1.surface),
      canvas_(pictures),
      placer_(*this, [this] { reshape(); }),
      drag_(*this, program, input, placer_, canvas_.view()),
      menu_(*this, input, program.form1.settings(),
            [this](bool on) {
              lcd_.setEnabled(on);
              update();
            },
            [this](int percent) { setZoom(percent); }),
      hints_(*this, [this] { return program_.pointer.captured() != NoElement; }),
      keys_(input),
      changeTime_([this] { return clock_.scheduler().now(); }),
      lcd_(program.form1.surface, [this] { return clock_.now(); },
           [this](Element e, bool effects) {
             update(canvas_.windowRect(e, effects).translated(0, placer_.caseTop()));
           }) {
  setWindowTitle(QString::fromUtf8(kApplicationTitle));
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  // Outside the case's outline the desktop shows through: with a
  // compositor through transparent pixels, without one through the
  // window's mask. Inside it every pixel is painted from the catalogue.
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);  // hints and cursors follow the pointer
  // Right presses and releases reach the mouse handlers; the menu opens on
  // the release, after the element has seen both.
  setContextMenuPolicy(Qt::PreventContextMenu);
  lcd_.setEnabled(lcdEffectsOn(program_.form1.settings()));
  placer_.mover().remake = [this](const QRect& g) { remakeAt(g); };
  x11::keepShapeThroughResizes(this);
  program_.form1.surface.setListener(this);
  menu_.sizes().fits = [this](int percent) { return zoomFitsHere(percent); };
  showView(ViewScale(storedZoomShown(), devicePixelRatioF()));
  place(program_.form1.window());
}

HandheldWindow::~HandheldWindow() { shown_->setListener(nullptr); }

int HandheldWindow::storedZoomShown() const {
  // The stored size applies from the start; a missing or bad value is 100.
  // One too large for the primary monitor, where PLAY puts the case, is
  // shown at the largest size that fits, and stays stored for a larger one.
  const Monitors screens = placer_.monitorList();
  const int stored = ViewScale::validZoom(program_.form1.settings().readInt("Zoom", 100));
  return screens.empty() ? stored : fittingZoom(stored, screens.front().usable);
}

void HandheldWindow::useMonitors(std::function<Monitors()> list) {
  placer_.monitors = std::move(list);
  if (!placer_.placement().parked() || storedZoomShown() == view().zoomPercent()) return;
  showView(ViewScale(storedZoomShown(), devicePixelRatioF()));
  place(program_.form1.window());
}

bool HandheldWindow::zoomFitsHere(int percent) const {
  const auto m = placer_.monitorHere();
  // The smallest size is always there, if only to come back to.
  return percent == ViewScale::kZoomSteps.front() || !m || m->usable.width <= 0 ||
         zoomFits(percent, m->usable);
}

void HandheldWindow::showView(const ViewScale& view) {
  canvas_.setView(view);
  menu_.sizes().show(view.zoomPercent());
}

void HandheldWindow::setZoom(int percent) {
  percent = ViewScale::validZoom(percent);
  // A press in progress keeps the geometry it began with.
  if (percent == view().zoomPercent() || program_.pointer.captured() != NoElement ||
      !zoomFitsHere(percent)) {
    menu_.sizes().show(view().zoomPercent());
    return;
  }
  program_.form1.settings().writeInt("Zoom", percent);
  showView(ViewScale(percent, devicePixelRatioF()));
  hints_.cancel();
  placer_.rezoom(program_.form1.window(), view());
  update();
}

void HandheldWindow::showSurface(Surface& surface, VirtualClock changeTime,
                                 VirtualClock frameTime) {
  if (shown_ == &surface) return;
  const bool own = &surface == &program_.form1.surface;
  if (!own && shown_ == &program_.form1.surface) placer_.lend();
  if (own) placer_.takeBack();
  shown_->setListener(nullptr);
  shown_ = &surface;
  shown_->setListener(this);
  if (!changeTime || !frameTime) {  // the program's own time
    changeTime = [this] { return clock_.scheduler().now(); };
    frameTime = [this] { return clock_.now(); };
  }
  changeTime_ = std::move(changeTime);
  lcd_.follow(surface, std::move(frameTime));
  update();
}

void HandheldWindow::place(const WindowGeometry& g) { placer_.place(g, view()); }

int HandheldWindow::shownHeight() const {
  // The case placed, which is a replay's while one shows.
  return placer_.placedHeight() ? placer_.placedHeight() : program_.form1.window().height;
}

void HandheldWindow::reshape() {
  // Read from the case's picture, which is decoded no earlier than the
  // window first shows.
  if (!isVisible() && !showing_) return;
  const QRegion shape = canvas_.outline(shownHeight()).translated(0, placer_.caseTop());
  if (!shape.isEmpty() && mask() != shape) setMask(shape);
}

void HandheldWindow::remakeAt(const QRect& g) {
  const bool hadKeyboard = isActiveWindow();
  hide();
  destroy(true, true);
  setFixedSize(g.size());
  setGeometry(g);  // the client area's place (see WindowMover::place)
  // A new window comes up in front; a raise now could reach the window
  // manager before the window is mapped, and Weston's moves a window it
  // configures before mapping it into its corner.
  show();
  if (hadKeyboard) giveKeyboard(this);
}

void HandheldWindow::litChanged(Element e, bool lit) { lcd_.litChanged(e, lit, changeTime_()); }

void HandheldWindow::pictureChanged(Element e) { lcd_.pictureChanged(e, changeTime_()); }

void HandheldWindow::showEvent(QShowEvent* e) {
  showing_ = true;  // shaped before it is mapped
  reshape();
  showing_ = false;
  QWidget::showEvent(e);
}

void HandheldWindow::paintEvent(QPaintEvent* e) {
  // Moved to a screen of another density: its pictures, and the shape for
  // them once this paint is over (a change of ratio repaints everything).
  if (devicePixelRatioF() != view().ratio()) {
    showView(ViewScale(view().zoomPercent(), devicePixelRatioF()));
    QMetaObject::invokeMethod(this, [this] { reshape(); }, Qt::QueuedConnection);
  }
  const std::optional<LcdLook> look = lcd_.look();
  QPainter painter(this);
  canvas_.paint(painter, e->region(), *shown_, look ? &*look : nullptr,
                program_.form1.window().width, shownHeight(), placer_.caseTop(), mask());
}

bool HandheldWindow::event(QEvent* e) {
  if (e->type() == QEvent::Show) placer_.mover().shown();
  if (e->type() == QEvent::ShortcutOverride && menu_.takeSizeKey(*static_cast<QKeyEvent*>(e)))
    return true;
  if (e->type() == QEvent::WindowActivate) {
    const bool first = program_.form1.FirstActivate;
    clock_.run([&] { program_.form1.FormActivate(); });
    // While the launcher is open it keeps the keyboard, even if a window
    // manager activates the off-screen handheld late.
    if (!first && program_.splash.visible) program_.form1.desktop().showLauncher();
  }
  return QWidget::event(e);
}

void HandheldWindow::mousePressEvent(QMouseEvent* e) {
  const auto button = buttonOf(e->button());
  if (!button) return;
  hints_.hide();
  drag_.pressed(*e, *button);
}

void HandheldWindow::mouseMoveEvent(QMouseEvent* e) {
  const CataloguePoint at = drag_.clientPoint(*e);
  drag_.moved(*e, at);
  if (program_.pointer.captured() == NoElement) hover(at);
}

void HandheldWindow::mouseReleaseEvent(QMouseEvent* e) {
  const auto button = buttonOf(e->button());
  if (!button) return;
  const CataloguePoint at = drag_.clientPoint(*e);
  if (!drag_.released(*e, *button, at)) return;
  hover(at);
  if (*button == MouseButton::Right && !closed_) menu().popup(e->globalPosition().toPoint());
}

void HandheldWindow::hover(CataloguePoint at) {
  const Element e = hitTest(program_.form1.surface, at.x, at.y);
  const ElementHint* hint = e == NoElement ? nullptr : hintOf(e);
  hints_.over(hint, hint ? canvas_.windowRect(e).translated(0, placer_.caseTop()) : QRect());
}

void HandheldWindow::enterEvent(QEnterEvent* e) {
  drag_.entered();
  QWidget::enterEvent(e);
}

void HandheldWindow::leaveEvent(QEvent* e) {
  hints_.left();
  QWidget::leaveEvent(e);
}

void HandheldWindow::keyPressEvent(QKeyEvent* e) { keys_.pressed(*e); }

void HandheldWindow::keyReleaseEvent(QKeyEvent* e) { keys_.released(*e); }

void HandheldWindow::closeEvent(QCloseEvent* e) {
  if (!closed_) {
    closed_ = true;
    menu().close();
    // Exit does exactly this, and says so in a recording.
    input_.deliver({ModelInput::menu(MenuEntry::PM_10Exit)});
  }
  e->accept();
}

}  // namespace cantiere
