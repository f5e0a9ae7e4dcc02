// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/handheld_window.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <QWindow>

#include <cmath>
#include <utility>

#include "common/lcd/lcd_effects_setting.h"
#include "frontend/windows/window_system.h"
#include "frontend/windows/size_menu.h"
#include "frontend/x11/x11_input.h"
#include "frontend/x11/x11_window.h"
#include "render/compositor.h"

namespace cantiere {
namespace {

// A hint shows after the pointer has rested half a second and goes two and a
// half seconds later.
constexpr int kHintPause = 500;
constexpr int kHintShown = 2500;

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
      pictures_(pictures),
      drawn_(&pictures),
      changeTime_([this] { return clock_.scheduler().now(); }),
      lcd_(program.form1.surface, [this] { return clock_.now(); },
           [this](Element e, bool effects) { update(windowRect(e, effects)); }),
      mover_(*this) {
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
  hintDelay_.setSingleShot(true);
  connect(&hintDelay_, &QTimer::timeout, this, [this] { showHint(); });
  buildMenu();
  sizeMenu_ = std::make_unique<SizeMenu>(menu_, *this, [this](int percent) { setZoom(percent); });
  addLcdEffectsEntry();
  mover_.refused = [this] { movesRefused(); };
  mover_.remake = [this](const QRect& g) { remakeAt(g); };
  mover_.held = [this](const QPoint& at) { placement_.heldAt(at.x(), at.y() + caseTop_); };
  if (compositorPlacesWindows()) {
    mover_.placedByCompositor();
    tall_ = true;
  }
  mover_.reachable = [this](const QRect& g) {
    for (const Monitor& m : monitorList())
      if (toQRect(m.usable).contains(g)) return true;
    return false;
  };
  x11::keepShapeThroughResizes(this);
  program_.form1.surface.setListener(this);
  sizeMenu_->fits = [this](int percent) { return zoomFitsHere(percent); };
  showView(ViewScale(storedZoomShown(), devicePixelRatioF()));
  place(program_.form1.window());
}

int HandheldWindow::storedZoomShown() const {
  // The stored size applies from the start; a missing or bad value is 100.
  // One too large for the primary monitor, where PLAY puts the case, is
  // shown at the largest size that fits, and stays stored for a larger one.
  const Monitors screens = monitorList();
  const int stored = ViewScale::validZoom(program_.form1.settings().readInt("Zoom", 100));
  return screens.empty() ? stored : fittingZoom(stored, screens.front().usable);
}

void HandheldWindow::useMonitors(std::function<Monitors()> list) {
  monitors = std::move(list);
  if (!placement_.parked() || storedZoomShown() == view_.zoomPercent()) return;
  showView(ViewScale(storedZoomShown(), devicePixelRatioF()));
  place(program_.form1.window());
}

HandheldWindow::~HandheldWindow() { shown_->setListener(nullptr); }

void HandheldWindow::showSurface(Surface& surface, VirtualClock changeTime,
                                 VirtualClock frameTime) {
  if (shown_ == &surface) return;
  // Another program's surface (a replay's) is placed on its own: the
  // handheld's placement, drags and offsets included, waits for its return.
  const bool own = &surface == &program_.form1.surface;
  if (!own && shown_ == &program_.form1.surface) ownPlacement_ = placement_;
  if (own) placement_ = ownPlacement_;
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

void HandheldWindow::addLcdEffectsEntry() {
  SettingsStore& settings = program_.form1.settings();
  lcd_.setEnabled(lcdEffectsOn(settings));
  menu_.addSeparator();
  lcdEffects_ = new QAction(QStringLiteral("LCD effects"), this);
  lcdEffects_->setCheckable(true);
  lcdEffects_->setChecked(lcd_.enabled());
  connect(lcdEffects_, &QAction::toggled, this, [this, &settings](bool on) {
    lcd_.setEnabled(on);
    storeLcdEffects(settings, on);
    update();
  });
  menu_.addAction(lcdEffects_);
}

void HandheldWindow::buildMenu() {
  struct Entry {
    MenuEntry id;
    const char* caption;
    int key;  // 0: no shortcut
    bool separatorAfter;
  };
  static constexpr Entry kEntries[] = {
      {MenuEntry::PM_1About, "About...", Qt::Key_F1, true},
      {MenuEntry::PM_3Readme, "View 'Readme.txt'", Qt::Key_F2, false},
      {MenuEntry::PM_4Whatsnew, "View 'Whatsnew.txt'", Qt::Key_F3, true},
      {MenuEntry::PM_6Instruct, "Open 'Manual.exe'", Qt::Key_F4, true},
      {MenuEntry::PM_8Hiscore, "Reset Hiscores", 0, true},
      {MenuEntry::PM_10Exit, "E&xit", Qt::Key_Escape, false},
  };
  for (const Entry& entry : kEntries) {
    auto* action = new QAction(QString::fromUtf8(entry.caption), this);
    if (entry.key) action->setShortcut(QKeySequence(entry.key));
    // Shortcuts act whenever this window has the keyboard, open or closed,
    // and the menu need not be open.
    action->setShortcutContext(Qt::WindowShortcut);
    const MenuEntry id = entry.id;
    connect(action, &QAction::triggered, this,
            [this, id] { input_.deliver({ModelInput::menu(id)}); });
    addAction(action);
    menu_.addAction(action);
    if (entry.separatorAfter) menu_.addSeparator();
    actions_[static_cast<int>(id)] = action;
  }
  QAction* about = action(MenuEntry::PM_1About);
  QFont bold = about->font();
  bold.setBold(true);
  about->setFont(bold);
  menu_.setDefaultAction(about);
}

void HandheldWindow::place(const WindowGeometry& g) {
  // The shape is the case placed, which is a replay's while one shows.
  placedHeight_ = g.height;
  const WindowGeometry before = std::exchange(lastModel_, g);
  const Rect& r = placement_.follow(g, view_, monitorList());
  // The first half of the lid's opening changes nothing in a tall window:
  // the move up that follows shows the open case where it was.
  if (tall_ && caseTop_ && r.height > before.height && g.top == before.top) return;
  moveTo(r);
}

void HandheldWindow::moveTo(const Rect& r) {
  const int top = caseTop_;
  caseTop_ = tall_ ? std::max(0, view_.toWindow(info(Im_Base).rect.height) - r.height) : 0;
  reshape();
  if (caseTop_ != top) update();
  // No frame: the window's position is its client area's.
  mover_.place(QRect(r.left, r.top - caseTop_, r.width, r.height + caseTop_),
               dragging_ || following_);
}

int HandheldWindow::shownHeight() const {
  // The case placed, which is a replay's while one shows.
  return placedHeight_ ? placedHeight_ : program_.form1.window().height;
}

void HandheldWindow::reshape() {
  // Read from the case's picture, which is decoded no earlier than the
  // window first shows.
  if (!isVisible() && !showing_) return;
  const QRegion shape = outline(shownHeight()).translated(0, caseTop_);
  if (!shape.isEmpty() && mask() != shape) setMask(shape);
}

const QRegion& HandheldWindow::outline(int height) {
  const bool open = height == info(Im_Base).rect.height;
  Outline& shape = open ? openOutline_ : closedOutline_;
  if (shape.scale != view_.deviceScale()) {
    // The case's own pixels at the device scale; on a denser screen each
    // window pixel the case touches.
    shape.scale = view_.deviceScale();
    shape.region = QRegion();
    const Element e = open ? Im_Base : Im_Front;
    const Rect at = elementRect(e, view_);
    for (const Rect& r : drawn_->outline(e).rectangles())
      shape.region += toQRect(view_.deviceToWindow(translated(r, at.left, at.top)));
  }
  return shape.region;
}

void HandheldWindow::movesRefused() {
  if (dragging_ && program_.pointer.captured() != NoElement) {
    // The drag goes on in the window manager's hands; the model's press
    // ends here, as a drag, so it opens nothing.
    placement_.released();
    input_.deliver({ModelInput::release(program_.pointer.heldButton())});
    dragging_ = false;
    systemMove_ = windowHandle() && windowHandle()->startSystemMove();
    if (!systemMove_) followScreen();
    return;
  }
  const Rect& r = placement_.rect();
  remakeAt(QRect(r.left, r.top, r.width, r.height));
}

void HandheldWindow::remakeAt(const QRect& g) {
  // A new native window appears where it asks to, which is the one
  // placement such a window manager honours.
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

void HandheldWindow::followScreen() {
  // Where the window manager has put the window is where it stays: later
  // moves start from there.
  const auto origin = x11::clientOrigin(this);
  if (!origin) return;
  following_ = true;
  moveTo(placement_.movedTo(origin->x(), origin->y() + caseTop_));
  following_ = false;
}

Monitors HandheldWindow::monitorList() const {
  if (monitors) return monitors();
  return qtMonitors();
}

std::optional<Monitor> HandheldWindow::monitorHere() const {
  const Monitors list = monitorList();
  if (list.empty()) return std::nullopt;
  // Until PLAY the case waits off screen; PLAY puts it on the primary.
  if (placement_.parked()) return list.front();
  return *monitorOf(placement_.rect(), list);
}

bool HandheldWindow::zoomFitsHere(int percent) const {
  const auto m = monitorHere();
  // The smallest size is always there, if only to come back to.
  return percent == ViewScale::kZoomSteps.front() || !m || m->usable.width <= 0 ||
         zoomFits(percent, m->usable);
}

void HandheldWindow::showView(const ViewScale& view) {
  const double scale = view.deviceScale();
  if (scale == pictures_.scale()) {
    drawn_ = &pictures_;
    scaledPictures_ = PictureSet();
  } else if (drawn_ != &scaledPictures_ || scaledPictures_.scale() != scale) {
    scaledPictures_ = pictures_.atScale(scale);
    drawn_ = &scaledPictures_;
  }
  view_ = view;
  sizeMenu_->show(view.zoomPercent());
}

void HandheldWindow::setZoom(int percent) {
  percent = ViewScale::validZoom(percent);
  // A press in progress keeps the geometry it began with.
  if (percent == view_.zoomPercent() || program_.pointer.captured() != NoElement ||
      !zoomFitsHere(percent)) {
    sizeMenu_->show(view_.zoomPercent());
    return;
  }
  program_.form1.settings().writeInt("Zoom", percent);
  showView(ViewScale(percent, devicePixelRatioF()));
  hint_ = nullptr;
  hintDelay_.stop();
  QToolTip::hideText();
  moveTo(placement_.rezoom(program_.form1.window(), view_, monitorList()));
  update();
}

QRect HandheldWindow::windowRect(Element e, bool lcdEffects) const {
  return toQRect(view_.deviceToWindow(paintedRect(e, view_, lcdEffects))).translated(0, caseTop_);
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
  if (devicePixelRatioF() != view_.ratio()) {
    showView(ViewScale(view_.zoomPercent(), devicePixelRatioF()));
    QMetaObject::invokeMethod(this, [this] { reshape(); }, Qt::QueuedConnection);
  }
  const int width = view_.toDevice(program_.form1.window().width);
  const int height = view_.toDevice(shownHeight());
  if (buffer_.width != width || buffer_.height != height) {
    buffer_ = Image(width, height);
    bufferImage_ = wrapped(buffer_);
  }
  const std::optional<LcdLook> look = lcd_.look();
  const Composition composition{*shown_, *drawn_, view_, look ? &*look : nullptr, true};
  QPainter painter(this);
  // The buffer replaces what was there: transparent outside the case,
  // opaque inside, so that the shape and the alpha agree and no
  // half-transparent pixel shows without a compositor.
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  // A tall window's closed case lies at its bottom.
  const QRect covered(0, caseTop_, static_cast<int>(width / view_.ratio()),
                      static_cast<int>(height / view_.ratio()));
  if (!covered.contains(e->region().boundingRect()))
    for (const QRect& r : e->region() - covered) painter.fillRect(r, Qt::transparent);
  if (!mask().isEmpty()) painter.setClipRegion(mask());
  // Drawn in device pixels.
  if (caseTop_) painter.translate(0, caseTop_);
  if (view_.ratio() != 1.0) painter.scale(1 / view_.ratio(), 1 / view_.ratio());
  for (const QRect& r : e->region()) {
    const Rect dirty =
        intersected(view_.windowToDevice(fromQRect(r.translated(0, -caseTop_))), buffer_.rect());
    if (isEmpty(dirty)) continue;
    compose(buffer_, composition, dirty);
    painter.drawImage(QPoint(dirty.left, dirty.top), bufferImage_, toQRect(dirty));
  }
}

bool HandheldWindow::event(QEvent* e) {
  if (e->type() == QEvent::Show) mover_.shown();
  if (e->type() == QEvent::ShortcutOverride) {
    // 0 for 100 % from the row of digits on any layout, and the keypad's
    // 0, + and -.
    const auto* key = static_cast<QKeyEvent*>(e);
    const int k = layoutFreeKey(*key);
    const bool keypad = key->modifiers() & Qt::KeypadModifier;
    QAction* act = nullptr;
    if (k == Qt::Key_0 && (key->key() != Qt::Key_0 || keypad)) act = sizeMenu_->step(100);
    if (keypad && k == Qt::Key_Plus) act = sizeMenu_->larger();
    if (keypad && k == Qt::Key_Minus) act = sizeMenu_->smaller();
    if (act && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      e->accept();
      if (!key->isAutoRepeat()) act->trigger();
      return true;
    }
  }
  if (e->type() == QEvent::WindowActivate) {
    const bool first = program_.form1.FirstActivate;
    clock_.run([&] { program_.form1.FormActivate(); });
    // While the launcher is open it keeps the keyboard, even if a window
    // manager activates the off-screen handheld late.
    if (!first && program_.splash.visible) program_.form1.desktop().showLauncher();
  }
  return QWidget::event(e);
}

CataloguePoint HandheldWindow::clientPoint(const QMouseEvent* e) const {
  if (program_.pointer.captured() == NoElement) {
    const double ratio = view_.ratio();
    // The toolkit gives the position in whole window pixels, which on a
    // denser screen names several device pixels; the X server says which.
    if (ratio != 1.0) {
      if (const auto device = pointerInDevicePixels()) {
        const QPointF local = QPointF(*device) - mapToGlobal(QPointF(0, caseTop_)) * ratio;
        // Unless the pointer has moved on since the event.
        if (std::abs(local.x() - e->position().x() * ratio) <= ratio &&
            std::abs(local.y() - (e->position().y() - caseTop_) * ratio) <= ratio)
          return {view_.deviceToCatalogue(static_cast<int>(std::floor(local.x()))),
                  view_.deviceToCatalogue(static_cast<int>(std::floor(local.y())))};
      }
    }
    return view_.windowToCatalogue(e->position().x(), e->position().y() - caseTop_);
  }
  // The window may have moved since the press, and the toolkit may not yet
  // know where to: the model's own geometry is the truth.
  const QPointF sincePress = e->globalPosition() - originAtPress_;
  const CataloguePoint at = view_.windowToCatalogue(sincePress.x(), sincePress.y());
  const WindowGeometry& now = program_.form1.window();
  return {at.x - (now.left - geometryAtPress_.left), at.y - (now.top - geometryAtPress_.top)};
}

void HandheldWindow::mousePressEvent(QMouseEvent* e) {
  const auto button = buttonOf(e->button());
  if (!button) return;
  Pointer& pointer = program_.pointer;
  // With no other button held, a press still captured lost its release
  // (a grab taken away by another program): let it go, or no press would
  // ever reach the handheld again.
  if (pointer.captured() != NoElement && e->buttons() == e->button()) {
    placement_.released();
    input_.deliver({ModelInput::release(pointer.heldButton())});
  }
  if (pointer.captured() == NoElement) {
    originAtPress_ = e->globalPosition() - e->position() + QPointF(0, caseTop_);
    geometryAtPress_ = program_.form1.window();
    const QPoint global = e->globalPosition().toPoint();
    placement_.pressed(global.x(), global.y());
  }
  const CataloguePoint at = clientPoint(e);
  QToolTip::hideText();
  hintDelay_.stop();
  input_.deliver({ModelInput::press(at.x, at.y, *button)});
}

void HandheldWindow::mouseMoveEvent(QMouseEvent* e) {
  const CataloguePoint at = clientPoint(e);
  Pointer& pointer = program_.pointer;
  const QPoint global = e->globalPosition().toPoint();
  placement_.pointerAt(global.x(), global.y());
  const WindowGeometry before = program_.form1.window();
  dragging_ = pointer.captured() != NoElement && (e->buttons() & Qt::LeftButton);
  input_.deliver({ModelInput::move(at.x, at.y)});
  if (pointer.captured() == NoElement) {
    hover(at);
  } else {
    // A drag follows the pointer exactly, also between the model's steps of
    // one catalogue pixel.
    moveTo(placement_.rect());
    if (dragging_ && mover_.movesRefused() && !(program_.form1.window() == before)) movesRefused();
  }
}

void HandheldWindow::mouseReleaseEvent(QMouseEvent* e) {
  const auto button = buttonOf(e->button());
  if (!button) return;
  Pointer& pointer = program_.pointer;
  const CataloguePoint at = clientPoint(e);
  dragging_ = false;
  if (systemMove_) {
    systemMove_ = false;
    followScreen();
  }
  if (pointer.captured() != NoElement) {
    // Another button let go while one is held belongs to no press.
    if (pointer.heldButton() != *button) return;
    const QPoint global = e->globalPosition().toPoint();
    placement_.pointerAt(global.x(), global.y());
    // The release counts where it happens, as a move there would have told.
    if (at != CataloguePoint{pointer.x(), pointer.y()}) {
      input_.deliver({ModelInput::move(at.x, at.y), ModelInput::release(*button)});
    } else {
      input_.deliver({ModelInput::release(*button)});
    }
    placement_.released();
    moveTo(placement_.rect());
  }
  hover(at);
  if (*button == MouseButton::Right && !closed_) menu_.popup(e->globalPosition().toPoint());
}

void HandheldWindow::hover(CataloguePoint at) {
  const Element e = hitTest(program_.form1.surface, at.x, at.y);
  const ElementHint* hint = e == NoElement ? nullptr : hintOf(e);
  if (hint) hintRect_ = windowRect(e);
  if (hint == hint_) return;
  hint_ = hint;
  if (!hint) {
    unsetCursor();
  } else {
    setCursor(hint->helpCursor ? Qt::WhatsThisCursor : Qt::PointingHandCursor);
  }
  QToolTip::hideText();
  // Shown by hand rather than through tool-tip events, which Qt gives only
  // to the active window: the handheld is often not the active one.
  if (hint) {
    hintDelay_.start(kHintPause);
  } else {
    hintDelay_.stop();
  }
}

void HandheldWindow::showHint() {
  if (!hint_ || program_.pointer.captured() != NoElement) return;
  QToolTip::showText(QCursor::pos(), QString::fromUtf8(hint_->text), this, hintRect_, kHintShown);
}

void HandheldWindow::enterEvent(QEnterEvent* e) {
  // The release that ends a move by the window manager may never come.
  if (systemMove_ && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
    systemMove_ = false;
    followScreen();
  }
  QWidget::enterEvent(e);
}

void HandheldWindow::leaveEvent(QEvent* e) {
  hint_ = nullptr;
  hintDelay_.stop();
  QToolTip::hideText();
  unsetCursor();
  QWidget::leaveEvent(e);
}

int HandheldWindow::virtualKey(int k) {
  // Letters and digits share their codes with the virtual keys.
  if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9)) return k;
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 112 + (k - Qt::Key_F1);
  switch (k) {
    case Qt::Key_Control: return VkCtrl;  // left and right alike
    case Qt::Key_Left: return VkLeft;
    case Qt::Key_Up: return VkUp;
    case Qt::Key_Right: return VkRight;
    case Qt::Key_Down: return VkDown;
    case Qt::Key_Escape: return VkEsc;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
  }
}

int HandheldWindow::layoutFreeKey(const QKeyEvent& e) {
  // XKB's key codes of the row of digits, 1 to 9 then 0, on X11 and
  // Wayland alike.
  constexpr quint32 kFirstDigitCode = 10, kLastDigitCode = 19;
  const quint32 code = e.nativeScanCode();
  if (code >= kFirstDigitCode && code <= kLastDigitCode && !(e.modifiers() & Qt::KeypadModifier))
    return code == kLastDigitCode ? Qt::Key_0 : Qt::Key_1 + static_cast<int>(code - kFirstDigitCode);
  return e.key();
}

void HandheldWindow::keyPressEvent(QKeyEvent* e) {
  const int key = virtualKey(e->key());
  held_.insert(key);
  if (pendingRelease_) {
    // A release with the very timestamp of this press of the same key is
    // the server's auto-repeat, not the person letting go.
    if (pendingRelease_->key == key && pendingRelease_->timestamp == e->timestamp()) {
      pendingRelease_.reset();
    } else {
      deliverRelease();
    }
  }
  input_.deliver({ModelInput::key(true, key)});
}

void HandheldWindow::keyReleaseEvent(QKeyEvent* e) {
  if (e->isAutoRepeat()) return;  // the toolkit already paired it with a press
  if (!held_.count(virtualKey(e->key()))) return;
  deliverRelease();
  pendingRelease_ = PendingRelease{virtualKey(e->key()), e->timestamp()};
  // A repeat's press comes in the same batch of events, before anything
  // queued now runs.
  QMetaObject::invokeMethod(this, [this] { deliverRelease(); }, Qt::QueuedConnection);
}

void HandheldWindow::deliverRelease() {
  if (!pendingRelease_) return;
  const int key = pendingRelease_->key;
  pendingRelease_.reset();
  held_.erase(key);
  input_.deliver({ModelInput::key(false, key)});
}

void HandheldWindow::closeEvent(QCloseEvent* e) {
  if (!closed_) {
    closed_ = true;
    menu_.close();
    // Exit does exactly this, and says so in a recording.
    input_.deliver({ModelInput::menu(MenuEntry::PM_10Exit)});
  }
  e->accept();
}

}  // namespace cantiere
