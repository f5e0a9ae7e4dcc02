// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/input/key_forwarder.h"

#include <QKeyEvent>

#include "frontend/input/qt_keys.h"

namespace cantiere {

void KeyForwarder::pressed(const QKeyEvent& e) {
  const int key = virtualKey(e.key());
  held_.insert(key);
  if (pendingRelease_) {
    if (pendingRelease_->key == key && pendingRelease_->timestamp == e.timestamp()) {
      pendingRelease_.reset();
    } else {
      deliverRelease();
    }
  }
  input_.deliver({ModelInput::key(true, key)});
}

void KeyForwarder::released(const QKeyEvent& e) {
  if (e.isAutoRepeat()) return;  // the toolkit already paired it with a press
  if (!held_.count(virtualKey(e.key()))) return;
  deliverRelease();
  pendingRelease_ = PendingRelease{virtualKey(e.key()), e.timestamp()};
  // A repeat's press comes in the same batch of events, before anything
  // queued now runs.
  QMetaObject::invokeMethod(this, [this] { deliverRelease(); }, Qt::QueuedConnection);
}

void KeyForwarder::deliverRelease() {
  if (!pendingRelease_) return;
  const int key = pendingRelease_->key;
  pendingRelease_.reset();
  held_.erase(key);
  input_.deliver({ModelInput::key(false, key)});
}

}  // namespace cantiere
