// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_desktop.h"

#include "web/js_bridge.h"

namespace cantiere {

std::string PageDesktop::pageFor(const std::string& target) {
  const auto colon = target.find(':');
  const auto slash = target.find('/');
  if (colon != std::string::npos && colon > 1 && (slash == std::string::npos || colon < slash))
    return target;  // "mailto:", "https:"
  std::string name = target.rfind("./", 0) == 0 ? target.substr(2) : target;
  if (name == "readme.txt") return "readme.html";
  if (name == "whatsnew.txt") return "whatsnew.html";
  // No program runs from a page: its manual is how to play.
  if (name == "Manual.EXE") return "readme.html#playing";
  if (name == "." || name.empty()) return "./";
  return name;
}

void PageDesktop::windowChanged(const WindowGeometry& g) {
  trace_.event(windowText(g));
  if (moved) moved(g);
}

void PageDesktop::showAbout() {
  trace_.event("about");
  js_about();
}

void PageDesktop::open(const char* target) {
  trace_.event(std::string("open ") + target);
  js_open(pageFor(target).c_str());
}

void PageDesktop::beep() {
  trace_.event("beep");
  js_beep();
}

void PageDesktop::message(const char* text) {
  trace_.event(std::string("message ") + text);
  js_message(text);
}

void PageDesktop::exit() {
  if (exited_) return;
  exited_ = true;
  trace_.event("exit");
  if (ended) ended();
}

}  // namespace cantiere
