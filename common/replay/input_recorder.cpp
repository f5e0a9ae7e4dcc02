// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/replay/input_recorder.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sstream>

#include "core/handheld/pointer.h"
#include "core/script/script_runner.h"
#include "core/script/state_dump.h"

namespace cantiere {
namespace {

// A corner of the open case that drags the window: the prelude drags it
// from where PLAY centres it to where the game found it.
constexpr int kDragPointX = 4, kDragPointY = 4;

std::string line(const ScriptCommand& c) { return formatCommand(c) + '\n'; }

// Left out when the desktop knew no screen, so a replay centres on its own.
std::string screenLine(const ScreenSize& screen) {
  if (screen.width <= 0 || screen.height <= 0) return "";
  return "# screen " + std::to_string(screen.width) + "x" + std::to_string(screen.height) + "\n";
}

ScriptCommand command(Verb verb, int x = 0, int y = 0) {
  ScriptCommand c;
  c.verb = verb;
  c.x = x;
  c.y = y;
  return c;
}

}  // namespace

InputRecorder::InputRecorder(const Program& program, const AnchoredTimeOfDay& time,
                             const Desktop& desktop, std::size_t cap)
    : program_(program), time_(time), desktop_(desktop), cap_(std::max<std::size_t>(cap, 1)) {}

void InputRecorder::started() {
  base_.hiscoreA = program_.form1.state.HiScoreA;
  base_.hiscoreB = program_.form1.state.HiScoreB;
  base_.screen = desktop_.screen();
}

void InputRecorder::anchored(Millis at, const WallTime& wall) {
  keepWithinAge(at, at);
  ScriptCommand c = command(Verb::TimeOfDay);
  c.ms = wall.universalMs;
  c.offsetMinutes = wall.offsetMinutes;
  keep(at, c);
}

InputRecorder::Prelude InputRecorder::preludeAt(Millis at) const {
  const Handheld& h = program_.form1;
  Prelude p;
  p.index = dropped_ + entries_.size();
  p.at = at;
  p.startUp = false;
  p.universalMs = time_.universalAt(at);
  p.offsetMinutes = time_.offsetMinutes();
  p.hiscoreA = h.state.HiScoreA;
  p.hiscoreB = h.state.HiScoreB;
  p.screen = desktop_.screen();
  p.window = h.window();
  p.soundIndex = program_.splash.soundIndex >= 0 ? program_.splash.soundIndex : 2;
  return p;
}

void InputRecorder::input(Millis at, const ScriptCommand& c) {
  keepWithinAge(at, at);
  const Pointer& pointer = program_.pointer;
  // A move with no button held only hovers: it changes nothing a later
  // input depends on, and would fill the memory with hovering.
  if (c.verb == Verb::Move && pointer.captured() == NoElement) return;
  if (c.verb == Verb::Press && pointer.captured() == NoElement) {
    const WindowGeometry& g = program_.form1.window();
    const bool inside = c.x >= 0 && c.y >= 0 && c.x < g.width && c.y < g.height;
    if (inside && hitTest(program_.form1.surface, c.x, c.y) != NoElement) {
      if (cut_.made) dropAfterCut();  // only this press may start the next game
      pendingStart_ = preludeAt(at);
    }
  }
  if (c.verb == Verb::Play && base_.startUp) base_.screen = desktop_.screen();
  keep(at, c);
}

void InputRecorder::keep(Millis at, const ScriptCommand& c) {
  // After a cut the session's entries stay as they are, and only what may
  // start the next game is kept, within a cap of its own.
  const std::size_t fromCut = cut_.made ? cut_.index - dropped_ : 0;
  if (entries_.size() - fromCut >= cap_) makeRoom(at);
  if (cut_.made && pendingStart_.startUp) return;
  entries_.push_back({at, c});
}

std::string InputRecorder::stateLines() const {
  std::ostringstream out;
  writeStateLines(out, program_.form1);
  return out.str();
}

void InputRecorder::watchGame(Millis at) {
  const bool running = program_.form1.state.GameRunning;
  if (running == running_) return;
  running_ = running;
  if (running) {
    // Started by the release of the button whose press took the pointer.
    if (pendingStart_.startUp || pendingStart_.index < dropped_) return;
    if (cut_.made) {
      // Keeping begins again here. Until a game from here on replays
      // alone, the session written is the one the cut ended.
      if (trusted_) cutSession_ = build(base_, cut_.index, cut_.at, cut_.finalLines, 0, cut_.by);
      dropBefore(pendingStart_.index);
      base_ = pendingStart_;
      trusted_ = false;
      games_.clear();
      cut_ = Cut{};
    }
    // Only the last game's end is ever written.
    if (!games_.empty()) std::string().swap(games_.back().finalLines);
    Game game;
    game.start = pendingStart_;
    games_.push_back(game);
    return;
  }
  if (games_.empty() || games_.back().ended) return;
  Game& g = games_.back();
  g.ended = true;
  g.endIndex = dropped_ + entries_.size();
  g.endAt = at;
  g.finalLines = stateLines();
  g.endHash = std::hash<std::string>{}(g.finalLines);
}

void InputRecorder::dropBefore(std::uint64_t index) {
  const std::uint64_t n = std::min<std::uint64_t>(index - std::min(index, dropped_), entries_.size());
  entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(n));
  dropped_ += n;
}

void InputRecorder::beginAt(std::vector<Game>::iterator game) {
  dropBefore(game->start.index);
  base_ = game->start;
  games_.erase(games_.begin(), game);
}

void InputRecorder::makeRoom(Millis at) {
  if (cut_.made) {
    dropAfterCut();  // a press held on and on after the cut: it starts nothing kept
    return;
  }
  const auto next = laterBeginning(at);
  if (next != games_.end()) {
    beginAt(next);
  } else {
    cutAt(at, "the recorder's memory was full");
  }
}

std::vector<InputRecorder::Game>::iterator InputRecorder::laterBeginning(Millis holdsAt) {
  // The oldest game after the beginning; for the session, the oldest of
  // those that replay alone (the others are dropped with what precedes).
  if (!trusted_) trustFirstThatReplays(holdsAt);
  for (auto g = games_.begin(); g != games_.end(); ++g)
    if (g->start.index > base_.index && (!trusted_ || replaysAlone(*g, holdsAt))) return g;
  return games_.end();
}

bool InputRecorder::replaysAlone(Game& g, Millis holdsAt) const {
  if (g.ended && g.alone != Replays::Unknown) return g.alone == Replays::Yes;
  const std::uint64_t to = g.ended ? g.endIndex : dropped_ + entries_.size();
  const Millis toAt = g.ended ? g.endAt : holdsAt;
  const RecordingCheck check = checkRecording(build(g.start, to, toAt, "", 0, nullptr));
  std::string replayed;  // the dump after its time line, as the game's own
  for (std::size_t i = 1; i < check.replayedState.size(); ++i)
    replayed += check.replayedState[i] + '\n';
  const std::size_t ended = g.ended ? g.endHash : std::hash<std::string>{}(stateLines());
  const bool yes =
      check.outcome != RecordingCheck::Outcome::Bad && std::hash<std::string>{}(replayed) == ended;
  if (g.ended) g.alone = yes ? Replays::Yes : Replays::No;
  return yes;
}

void InputRecorder::trustFirstThatReplays(Millis holdsAt) {
  for (auto g = games_.begin(); g != games_.end(); ++g) {
    if (g->start.index < base_.index || !replaysAlone(*g, holdsAt)) continue;
    if (g->start.index > base_.index) beginAt(g);
    trusted_ = true;
    std::string().swap(cutSession_);
    return;
  }
}

void InputRecorder::keepWithinAge(Millis now, Millis holdsAt) {
  if (cut_.made) {
    if (!pendingStart_.startUp && now - pendingStart_.at > kLongestKept) dropAfterCut();
    return;
  }
  while (now - base_.at > kLongestKept) {
    const auto next = laterBeginning(holdsAt);
    if (next == games_.end()) {
      // Nothing has changed since the last thing the recorder was told of,
      // which came before the limit: the state now is the state there.
      cutAt(base_.at + kLongestKept, "the session had run six days");
      return;
    }
    beginAt(next);
  }
}

void InputRecorder::cutAt(Millis at, const char* by) {
  cut_.made = true;
  cut_.index = dropped_ + entries_.size();
  cut_.at = at;
  cut_.finalLines = stateLines();
  cut_.by = by;
  if (!games_.empty() && !games_.back().ended) {
    Game& g = games_.back();
    g.ended = true;
    g.endIndex = cut_.index;
    g.endAt = at;
    g.finalLines = cut_.finalLines;
    g.endHash = std::hash<std::string>{}(g.finalLines);
    g.cutBy = by;
  }
  pendingStart_ = Prelude{};  // a press before the cut has its release after it
}

void InputRecorder::dropAfterCut() {
  const std::uint64_t kept = cut_.index - dropped_;
  if (entries_.size() > kept)
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(kept), entries_.end());
  pendingStart_ = Prelude{};
}

void InputRecorder::writePrelude(std::string& out, const Prelude& from) const {
  ScriptCommand time = command(Verb::TimeOfDay);
  time.ms = from.universalMs;
  time.offsetMinutes = from.offsetMinutes;
  std::string prelude = line(time) + line(command(Verb::Play, from.soundIndex));
  const Rect& front = info(Im_Front).rect;
  prelude += line(command(Verb::Click, front.left + front.width / 2, front.top + front.height / 2));
  // Where PLAY and the lid put the case on the file's screen, seen by doing it.
  const RecordingCheck landed =
      checkRecording(std::string(kRecordingVersionLine) + "\n" + screenLine(from.screen) + prelude);
  int left = 0, top = 0;
  const bool landingKnown =
      landed.replayedState.size() > 1 &&
      std::sscanf(landed.replayedState[1].c_str(), "window left=%d top=%d", &left, &top) == 2;
  // Without it no drag is guessed; the file's check then says where it ends.
  const int dx = landingKnown ? from.window.left - left : 0;
  const int dy = landingKnown ? from.window.top - top : 0;
  if (dx != 0 || dy != 0) {
    prelude += line(command(Verb::Press, kDragPointX, kDragPointY));
    prelude += line(command(Verb::Move, kDragPointX + dx, kDragPointY + dy));
    prelude += line(command(Verb::Release));
  }
  out += prelude;
}

std::string InputRecorder::build(const Prelude& from, std::uint64_t to, Millis toAt,
                                 const std::string& finalLines, Millis replayFrom,
                                 const char* cutBy) const {
  std::string out = std::string(kRecordingVersionLine) + "\n";
  out += screenLine(from.screen);
  out += "# hiscores " + std::to_string(from.hiscoreA) + " " + std::to_string(from.hiscoreB) + "\n";
  if (replayFrom > 0) out += "# replay-from " + std::to_string(replayFrom) + "\n";
  if (cutBy) out += std::string("# cut: ends where ") + cutBy + "\n";
  if (!from.startUp) writePrelude(out, from);
  Millis at = from.at;
  for (std::uint64_t i = std::max(from.index, dropped_); i < to && i - dropped_ < entries_.size();
       ++i) {
    const Entry& e = entries_[i - dropped_];
    if (e.at > at) out += "wait " + std::to_string(e.at - at) + "\n";
    at = std::max(at, e.at);
    out += line(e.command);
  }
  if (toAt > at) out += "wait " + std::to_string(toAt - at) + "\n";
  out += std::string(kFinalStateLine) + "\n# time " + std::to_string(toAt - from.at) + "\n";
  std::istringstream lines(finalLines);
  for (std::string l; std::getline(lines, l);) out += "# " + l + "\n";
  return out;
}

InputRecorder::Saved InputRecorder::lastGame(Millis now) {
  keepWithinAge(now, now);
  Saved saved;
  if (games_.empty()) return saved;
  const Game& game = games_.back();
  const std::uint64_t to = game.ended ? game.endIndex : dropped_ + entries_.size();
  const Millis toAt = game.ended ? game.endAt : now;
  const std::string finalLines = game.ended ? game.finalLines : stateLines();

  // The game alone first; then from earlier starts, which carry what the
  // game inherited from the games before it.
  std::vector<const Prelude*> starts{&game.start};
  for (auto g = games_.rbegin() + 1; g != games_.rend() && starts.size() < 3; ++g)
    starts.push_back(&g->start);
  if (base_.index < starts.back()->index) starts.push_back(&base_);

  for (const Prelude* from : starts) {
    Saved candidate;
    const Millis replayFrom = from == &game.start ? 0 : game.start.at - from->at;
    candidate.text = build(*from, to, toAt, finalLines, replayFrom, game.cutBy);
    candidate.check = checkRecording(candidate.text);
    if (candidate.check.outcome == RecordingCheck::Outcome::Matches) return candidate;
    if (saved.text.empty()) saved = std::move(candidate);
  }
  return saved;  // the short form, which says how its replay differs
}

std::string InputRecorder::session(Millis now) {
  keepWithinAge(now, now);
  if (!trusted_) trustFirstThatReplays(now);
  if (!trusted_) return cutSession_;
  if (cut_.made) return build(base_, cut_.index, cut_.at, cut_.finalLines, 0, cut_.by);
  return build(base_, dropped_ + entries_.size(), now, stateLines(), 0, nullptr);
}

}  // namespace cantiere
