// SPDX-License-Identifier: GPL-3.0-or-later
// A settings store that tells the trace of every value the model stores,
// "store NAME=VALUE", as the driver prints it; a raise that keeps the
// stored value stores nothing and says nothing.
#pragma once

#include <functional>
#include <string>

#include "core/settings/settings_store.h"

namespace cantiere {

class TracedSettings : public SettingsStore {
 public:
  using Told = std::function<void(const std::string& line)>;
  TracedSettings(SettingsStore& inner, Told told) : inner_(inner), told_(std::move(told)) {}

  std::int32_t readInt(const char* name, std::int32_t fallback) override {
    return inner_.readInt(name, fallback);
  }
  void writeInt(const char* name, std::int32_t value) override {
    told_(line(name, value));
    inner_.writeInt(name, value);
  }
  Raised raiseInt(const char* name, std::int32_t value) override {
    const Raised raised = inner_.raiseInt(name, value);
    if (raised.wrote) told_(line(name, value));
    return raised;
  }

 private:
  static std::string line(const char* name, std::int32_t value) {
    return std::string("store ") + name + "=" + std::to_string(value);
  }
  SettingsStore& inner_;
  Told told_;
};

}  // namespace cantiere
