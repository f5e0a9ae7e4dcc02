// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/app/command_line.h"

#include <algorithm>
#include <functional>
#include <ostream>

#ifndef CANTIERE_VERSION
#define CANTIERE_VERSION "unknown"
#endif

namespace cantiere {
namespace {

using Action = std::function<std::optional<int>(const std::string&)>;  // an exit status ends the program

struct Option {
  const char* name;
  const char* value;  // the value's name in the usage, or nullptr for a flag
  const char* help;
  bool qt;  // Qt's own: left in argv, listed by --help-all only
  Action apply;
};

Action keep(std::string& field) {
  return [&field](const std::string& v) -> std::optional<int> {
    field = v;
    return std::nullopt;
  };
}

Action keep(std::optional<std::string>& field) {
  return [&field](const std::string& v) -> std::optional<int> {
    field = v;
    return std::nullopt;
  };
}

std::optional<int> forQt(const std::string&) { return std::nullopt; }

}  // namespace

std::optional<int> parseCommandLine(int argc, const char* const* argv, CommandLine& o,
                                    std::ostream& out, std::ostream& err) {
  std::function<void(bool)> usage;
  auto ends = [&](std::function<void()> print) -> Action {
    return [print](const std::string&) -> std::optional<int> {
      print();
      return 0;
    };
  };
  // One row an option.
  const Option options[] = {
      {"--data", "DIR", "the folder holding SOUND/, readme.txt and whatsnew.txt", false, keep(o.data)},
      {"--replay", "FILE", "start by replaying a saved game", false, keep(o.replay)},
      {"--record", "FILE", "write the whole session to FILE at exit", false, keep(o.record)},
      {"--version", nullptr, "show the version and exit", false,
       ends([&] { out << "cantiere " CANTIERE_VERSION "\n"; })},
      {"--help", nullptr, "show this help and exit", false, ends([&] { usage(false); })},
      {"--help-all", nullptr, "show this help with Qt's own options and exit", false,
       ends([&] { usage(true); })},
      {"-platform", "NAME", "the Qt platform plugin (xcb, wayland, offscreen...)", true, keep(o.platform)},
      {"-display", "NAME", "the X display", true, keep(o.display)},
      {"-platformpluginpath", "PATH", "where Qt looks for platform plugins", true, forQt},
      {"-platformtheme", "NAME", "the Qt platform theme", true, forQt},
      {"-style", "NAME", "the widget style", true, forQt},
      {"-stylesheet", "FILE", "a style sheet for the widgets", true, forQt},
      {"-qwindowgeometry", "GEOMETRY", "the first window's geometry", true, forQt},
      {"-qwindowtitle", "TITLE", "the first window's title", true, forQt},
      {"-reverse", nullptr, "lay the widgets out right to left", true, forQt},
  };
  usage = [&](bool all) {
    out << "usage: cantiere [OPTION]...\nThe Cantiere handheld on the desktop.\n";
    for (const bool qt : {false, true}) {
      if (qt && !all) break;
      out << (qt ? "\nQt's own options:\n" : "\n");
      for (const Option& option : options) {
        if (option.qt != qt) continue;
        std::string left = std::string("  ") + option.name + (option.value ? std::string(" ") + option.value : "");
        left.resize(std::max<std::size_t>(left.size() + 2, 28), ' ');
        out << left << option.help << '\n';
      }
    }
    out << "\ncantiere-sim runs the handheld without a display.\n";
  };
  auto mistake = [&](const std::string& what) {
    err << "cantiere: " << what << " (cantiere --help lists the options)\n";
    return 2;
  };

  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-h" || arg == "-?") arg = "--help";
    std::optional<std::string> value;
    if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg.resize(eq);
    }
    const auto option = std::find_if(std::begin(options), std::end(options),
                                     [&](const Option& candidate) { return arg == candidate.name; });
    if (option == std::end(options))
      return mistake(arg.empty() || arg[0] != '-' ? "unexpected argument '" + arg + "'" : "unknown option " + arg);
    if (option->value && !value) {
      if (i + 1 >= argc) return mistake(std::string(option->name) + " needs a " + option->value);
      value = argv[++i];
    } else if (!option->value && value) {
      return mistake(std::string(option->name) + " takes no value");
    }
    if (const auto status = option->apply(value.value_or(""))) return status;
  }
  return std::nullopt;
}

}  // namespace cantiere
