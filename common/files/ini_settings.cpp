// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/files/ini_settings.h"

#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <limits>

#include "common/files/settings_file.h"

namespace cantiere {
namespace {

// A last try for writes still pending when the program ends, when waiting
// a little longer holds nothing up.
constexpr std::chrono::milliseconds kClosingWait{250};

// The names as the program writes them. Of several spellings of one name in
// a hand-edited file, this one is the value.
constexpr const char* kOwnSpellings[] = {"HiScoreA", "HiScoreB", "SoundMode"};

bool sameName(const std::string& a, const char* b) {
  return std::equal(a.begin(), a.end(), b, b + std::char_traits<char>::length(b),
                    [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

const char* ownSpelling(const char* name) {
  for (const char* own : kOwnSpellings)
    if (sameName(name, own)) return own;
  return name;
}

Raised apply(IniText& text, const std::string& name, std::int32_t value, bool raise) {
  if (raise) {
    // Of several spellings, the highest is the stored high score.
    std::int32_t stored = std::numeric_limits<std::int32_t>::min();
    for (std::int32_t v : text.integers(name)) stored = std::max(stored, v);
    if (value <= stored) return {stored, false};
  }
  text.set(name, std::to_string(value));
  return {value, true};
}

// The folders' bytes as the environment gives them: a name that is not
// UTF-8 must not turn into another folder on its way through a QString.
std::string userFile() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  // A relative one is ignored, as the desktop's rules say: it would name a
  // folder below the data folder the program works in.
  if (config && config[0] == '/') return std::string(config) + "/Lanterna/Cantiere.ini";
  std::string home;
  if (const char* value = std::getenv("HOME"); value && *value) {
    home = value;
  } else if (const passwd* user = ::getpwuid(::geteuid())) {
    home = user->pw_dir;
  }
  return home + "/.config/Lanterna/Cantiere.ini";
}

std::string reasonOf(int error) {
  if (error == EWOULDBLOCK) return "another running copy holds its lock";
  return std::strerror(error);
}

}  // namespace

IniSettings::IniSettings() : IniSettings(userFile()) {}

IniSettings::IniSettings(const std::string& path) : path_(path) { open(); }

IniSettings::~IniSettings() { close(); }

void IniSettings::close() {
  if (closed_) return;
  closed_ = true;
  Raised last{};
  if (pending_.empty() || flush(kClosingWait, last)) return;
  // A refused file was said to be never written when the store opened.
  if (refused_) return;
  // Each name once, at the value it was last given.
  std::string values;
  int count = 0;
  for (auto c = pending_.begin(); c != pending_.end(); ++c) {
    const auto sameAsThis = [&](const Change& later) {
      return sameName(later.name, c->name.c_str());
    };
    if (std::any_of(c + 1, pending_.end(), sameAsThis)) continue;
    values += (count++ ? ", " : "") + c->name + "=" + std::to_string(c->value);
  }
  std::cerr << program_invocation_short_name << ": settings file " << path_ << ": " << values
            << " could not be written (" << why_ << ") and " << (count > 1 ? "are" : "is")
            << " lost\n";
}

bool IniSettings::fail(const std::string& why) {
  why_ = why;
  return false;
}

void IniSettings::tellUnstored(const char* name, std::int32_t value) {
  if (unstoredTold_) return;
  unstoredTold_ = true;
  std::cerr << program_invocation_short_name << ": cannot store the high score " << name << '='
            << value << " in " << path_ << ": " << why_ << "; "
            << (refused_ ? "the file is never written in this run"
                         : "it is tried again at the next write and when the program ends")
            << '\n';
  if (onUnstored) onUnstored({name, value, why_, !refused_});
}

void IniSettings::refuse(const std::string& why) {
  refused_ = true;
  lastWriteOk_ = false;
  why_ = "the file " + why;
  std::cerr << program_invocation_short_name << ": settings file " << path_ << ' ' << why
            << "; the defaults are used and it is never written\n";
}

void IniSettings::open() {
  // Opening the store creates it, as an empty file, when it does not exist
  // yet; a folder where nothing can be created leaves the store in memory.
  struct stat st {};
  if (::lstat(path_.c_str(), &st) != 0 && errno == ENOENT) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ignored);
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) ::close(fd);
  }
  const std::string target = resolvedPath(path_);
  if (target.empty()) return refuse("is a link that leads nowhere");
  const FileText file = readRegularFile(target, kSettingsSizeLimit);
  switch (file.status) {
    case FileText::NotRegular: return refuse("is not a regular file");
    case FileText::TooLarge: return refuse("is larger than 1 MB and taken as damaged");
    case FileText::Unreadable: return refuse(std::string("cannot be read (") + std::strerror(file.error) + ")");
    case FileText::Missing:
    case FileText::Ok: break;
  }
  const SettingsLock lock(target, kLockWait);
  if (lock.held()) removeLeftovers(target);
}

IniText IniSettings::current() const {
  IniText text;
  if (!refused_) {
    const std::string target = resolvedPath(path_);
    const FileText file = target.empty() ? FileText{} : readRegularFile(target, kSettingsSizeLimit);
    if (file.status == FileText::Ok) text = IniText(file.text);
  }
  for (const Change& c : pending_) apply(text, c.name, c.value, c.raise);
  return text;
}

bool IniSettings::flush(std::chrono::milliseconds wait, Raised& last) {
  if (refused_) return false;
  const std::string target = resolvedPath(path_);
  if (target.empty()) return fail("the file is a link that leads nowhere");
  const SettingsLock lock(target, wait);
  if (!lock.held()) return fail(reasonOf(lock.error()));
  FileText file = readRegularFile(target, kSettingsSizeLimit);
  if (file.status == FileText::Missing) {
    // Deleted since the store was opened: made again, with the usual mode.
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
      const int error = errno;
      if (fd >= 0) ::close(fd);
      return fail(reasonOf(error));
    }
    ::close(fd);
    file.status = FileText::Ok;
    file.mode = st.st_mode & 07777;
  }
  if (file.status == FileText::NotRegular) refuse("is no longer a regular file");
  if (file.status == FileText::TooLarge) refuse("has grown larger than 1 MB");
  if (file.status == FileText::Unreadable) return fail(reasonOf(file.error));
  if (file.status != FileText::Ok) return false;
  IniText text(file.text);
  for (const Change& c : pending_) last = apply(text, c.name, c.value, c.raise);
  if (const int error = replaceFile(target, text.text(), file.mode)) return fail(reasonOf(error));
  pending_.clear();
  why_.clear();
  unstoredTold_ = false;
  return true;
}

std::int32_t IniSettings::readInt(const char* name, std::int32_t fallback) {
  const auto value = current().find(name, ownSpelling(name));
  if (!value) return fallback;
  return integerOf(*value).value_or(fallback);
}

void IniSettings::writeInt(const char* name, std::int32_t value) {
  // A value written again replaces what was still waiting for it.
  std::erase_if(pending_, [&](const Change& c) { return sameName(c.name, name); });
  pending_.push_back({name, value, false});
  Raised last{};
  lastWriteOk_ = flush(kLockWait, last);
}

Raised IniSettings::raiseInt(const char* name, std::int32_t value) {
  pending_.push_back({name, value, true});
  Raised last{};
  lastWriteOk_ = flush(kLockWait, last);
  if (lastWriteOk_) return last;
  // Not written now: judged against the file as it can be read, and kept
  // for the next write when it beats it.
  pending_.pop_back();
  IniText text = current();
  last = apply(text, name, value, true);
  if (last.wrote) {
    pending_.push_back({name, value, true});
    tellUnstored(name, value);
  }
  return last;
}

}  // namespace cantiere
