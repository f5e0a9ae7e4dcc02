// SPDX-License-Identifier: GPL-3.0-or-later
// The handheld window's keys to the model, as presses and releases of
// virtual keys. On X11 a held key arrives as release and press pairs with
// one timestamp: a release is held back until the next event, and dropped
// when that is the same key's press of the same instant (the server's
// auto-repeat, not the person letting go). A key whose press a shortcut
// took never reached the model, and neither does its release.
#pragma once

#include <QObject>
#include <optional>
#include <set>

#include "common/input/model_input.h"

class QKeyEvent;

namespace cantiere {

class KeyForwarder : public QObject {
 public:
  explicit KeyForwarder(ModelInput& input) : input_(input) {}

  void pressed(const QKeyEvent& e);
  void released(const QKeyEvent& e);

 private:
  void deliverRelease();

  struct PendingRelease {
    int key;
    quint64 timestamp;
  };
  ModelInput& input_;
  std::optional<PendingRelease> pendingRelease_;
  std::set<int> held_;  // keys whose press reached the model
};

}  // namespace cantiere
