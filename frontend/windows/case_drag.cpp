// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/case_drag.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <cmath>

#include "frontend/windows/window_system.h"
#include "frontend/x11/x11_input.h"
#include "frontend/x11/x11_window.h"

namespace cantiere {

CaseDrag::CaseDrag(QWidget& window, Program& program, ModelInput& input, HandheldPlacer& placer,
                   const ViewScale& view)
    : window_(window), program_(program), input_(input), placer_(placer), view_(view) {
  placer_.mover().refused = [this] { movesRefused(); };
  placer_.carried = [this] { return dragging_ || following_; };
}

CataloguePoint CaseDrag::clientPoint(const QMouseEvent& e) const {
  const int top = placer_.caseTop();
  if (program_.pointer.captured() == NoElement) {
    const double ratio = view_.ratio();
    // The toolkit gives the position in whole window pixels, which on a
    // denser screen names several device pixels; the X server says which.
    if (ratio != 1.0) {
      if (const auto device = pointerInDevicePixels()) {
        const QPointF local = QPointF(*device) - window_.mapToGlobal(QPointF(0, top)) * ratio;
        // Unless the pointer has moved on since the event.
        if (std::abs(local.x() - e.position().x() * ratio) <= ratio &&
            std::abs(local.y() - (e.position().y() - top) * ratio) <= ratio)
          return {view_.deviceToCatalogue(static_cast<int>(std::floor(local.x()))),
                  view_.deviceToCatalogue(static_cast<int>(std::floor(local.y())))};
      }
    }
    return view_.windowToCatalogue(e.position().x(), e.position().y() - top);
  }
  // The window may have moved since the press, and the toolkit may not yet
  // know where to: the model's own geometry is the truth.
  const QPointF sincePress = e.globalPosition() - originAtPress_;
  const CataloguePoint at = view_.windowToCatalogue(sincePress.x(), sincePress.y());
  const WindowGeometry& now = program_.form1.window();
  return {at.x - (now.left - geometryAtPress_.left), at.y - (now.top - geometryAtPress_.top)};
}

void CaseDrag::pressed(const QMouseEvent& e, MouseButton button) {
  Pointer& pointer = program_.pointer;
  WindowPlacement& placement = placer_.placement();
  // With no other button held, a press still captured lost its release
  // (a grab taken away by another program): let it go, or no press would
  // ever reach the handheld again.
  if (pointer.captured() != NoElement && e.buttons() == e.button()) {
    placement.released();
    input_.deliver({ModelInput::release(pointer.heldButton())});
  }
  if (pointer.captured() == NoElement) {
    originAtPress_ = e.globalPosition() - e.position() + QPointF(0, placer_.caseTop());
    geometryAtPress_ = program_.form1.window();
    const QPoint global = e.globalPosition().toPoint();
    placement.pressed(global.x(), global.y());
  }
  const CataloguePoint at = clientPoint(e);
  if (button == MouseButton::Left && compositorMoveFromPress(at)) return;
  input_.deliver({ModelInput::press(at.x, at.y, button)});
}

bool CaseDrag::compositorMoveFromPress(CataloguePoint at) {
  // Begun at the first step of a drag instead, the move would leave that
  // step behind. The closed lid is left to the first step: a click on it
  // opens the case, which a move begun at once would swallow.
  if (!placer_.mover().compositorPlaces() || program_.pointer.captured() != NoElement) return false;
  const Element e = hitTest(program_.form1.surface, at.x, at.y);
  if (!isDragSurface(e) || e == Im_Front || !window_.windowHandle()) return false;
  if (!window_.windowHandle()->startSystemMove()) return false;
  // A press on the open case alone does nothing; the model sees it all the
  // same, ended at once as the drag it became.
  placer_.placement().released();
  input_.deliver({ModelInput::press(at.x, at.y, MouseButton::Left),
                  ModelInput::release(MouseButton::Left)});
  systemMove_ = true;
  return true;
}

void CaseDrag::moved(const QMouseEvent& e, CataloguePoint at) {
  Pointer& pointer = program_.pointer;
  const QPoint global = e.globalPosition().toPoint();
  placer_.placement().pointerAt(global.x(), global.y());
  const WindowGeometry before = program_.form1.window();
  dragging_ = pointer.captured() != NoElement && (e.buttons() & Qt::LeftButton);
  input_.deliver({ModelInput::move(at.x, at.y)});
  if (pointer.captured() == NoElement) return;
  // A drag follows the pointer exactly, also between the model's steps of
  // one catalogue pixel.
  placer_.moveTo(placer_.placement().rect(), view_);
  if (dragging_ && placer_.mover().movesRefused() && !(program_.form1.window() == before))
    movesRefused();
}

bool CaseDrag::released(const QMouseEvent& e, MouseButton button, CataloguePoint at) {
  Pointer& pointer = program_.pointer;
  dragging_ = false;
  if (systemMove_) {
    systemMove_ = false;
    followScreen();
  }
  if (pointer.captured() == NoElement) return true;
  // Another button let go while one is held belongs to no press.
  if (pointer.heldButton() != button) return false;
  WindowPlacement& placement = placer_.placement();
  const QPoint global = e.globalPosition().toPoint();
  placement.pointerAt(global.x(), global.y());
  // The release counts where it happens, as a move there would have told.
  if (at != CataloguePoint{pointer.x(), pointer.y()}) {
    input_.deliver({ModelInput::move(at.x, at.y), ModelInput::release(button)});
  } else {
    input_.deliver({ModelInput::release(button)});
  }
  placement.released();
  placer_.moveTo(placement.rect(), view_);
  return true;
}

void CaseDrag::entered() {
  // The release that ends a move by the window manager may never come.
  if (systemMove_ && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
    systemMove_ = false;
    followScreen();
  }
}

void CaseDrag::movesRefused() {
  if (dragging_ && program_.pointer.captured() != NoElement) {
    // The drag goes on in the window manager's hands; the model's press
    // ends here, as a drag, so it opens nothing.
    placer_.placement().released();
    input_.deliver({ModelInput::release(program_.pointer.heldButton())});
    dragging_ = false;
    systemMove_ = window_.windowHandle() && window_.windowHandle()->startSystemMove();
    if (!systemMove_) followScreen();
    return;
  }
  const Rect& r = placer_.placement().rect();
  if (placer_.mover().remake) placer_.mover().remake(QRect(r.left, r.top, r.width, r.height));
}

void CaseDrag::followScreen() {
  // Where the window manager has put the window is where it stays: later
  // moves start from there.
  const auto origin = x11::clientOrigin(&window_);
  if (!origin) return;
  following_ = true;
  placer_.moveTo(placer_.placement().movedTo(origin->x(), origin->y() + placer_.caseTop()), view_);
  following_ = false;
}

}  // namespace cantiere
