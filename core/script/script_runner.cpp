// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/script/script_runner.h"

#include <climits>

namespace cantiere {
namespace {

bool toInt32(const std::string& s, std::int32_t& out) {
  std::int64_t v;
  if (!parseInteger(s, v) || v < INT32_MIN || v > INT32_MAX) return false;
  out = static_cast<std::int32_t>(v);
  return true;
}

}  // namespace

ScriptRunner::ScriptRunner(Program& program, Scheduler& scheduler, AnchoredTimeOfDay& time,
                           Hooks hooks)
    : program_(program), scheduler_(scheduler), time_(time), hooks_(std::move(hooks)) {}

void ScriptRunner::start() {
  if (started_) return;
  started_ = true;
  if (hooks_.header) hooks_.header(header_);
  program_.start();
  if (hooks_.started) hooks_.started();
}

void ScriptRunner::finish() { start(); }

bool ScriptRunner::headerLine(const std::string& line, std::string& error) {
  const std::vector<std::string> w = scriptWords(line.substr(line.find('#') + 1));
  if (w.empty()) return true;
  if (w[0] == "screen") {
    if (w.size() == 2 && parseScreenSize(w[1], header_.screen)) {
      header_.screenGiven = true;
      return true;
    }
    error = "the header's screen needs WxH";
    return false;
  }
  if (w[0] == "hiscores") {
    if (w.size() == 3 && toInt32(w[1], header_.hiscoreA) && toInt32(w[2], header_.hiscoreB)) {
      header_.hiscoresGiven = true;
      return true;
    }
    error = "the header's hiscores need two integers";
    return false;
  }
  if (w[0] == "replay-from") {
    if (w.size() == 2 && parseInteger(w[1], header_.replayFrom) && header_.replayFrom >= 0 &&
        header_.replayFrom <= kLongestRecording)
      return true;
    error = "the header's replay-from needs a number of milliseconds";
    return false;
  }
  return true;  // any other comment
}

bool ScriptRunner::feed(const std::string& raw, std::string& error) {
  ++lineNumber_;
  std::string line = raw;
  if (!line.empty() && line.back() == '\r') line.pop_back();  // a file saved with CR LF
  if (line.size() > kLongestLine) {
    error = "a line is longer than " + std::to_string(kLongestLine) + " characters";
    return false;
  }
  if (lineNumber_ == 1 && line.rfind("# cantiere-recording", 0) == 0) {
    if (line != kRecordingVersionLine) {
      error = "a recording of another version; this program reads \"" +
              std::string(kRecordingVersionLine) + "\"";
      return false;
    }
    header_.present = true;
    return true;
  }
  const std::vector<std::string> words = scriptWords(line);
  if (isRecording() && !words.empty() && words[0] == "snapshot") {
    // Refused rather than passed over: a recording the program saved never
    // holds one, so a file that does was made to write somewhere.
    error = "a recording writes no files: snapshot is for scripts";
    return false;
  }
  if (line == kFinalStateLine) {
    if (inFinalState_) {
      error = "a second final state";
      return false;
    }
    inFinalState_ = true;
    finalStateLine_ = lineNumber_ + 1;
    return true;
  }
  if (inFinalState_) {
    if (!words.empty()) {
      // Outputs change nothing, so the final state still describes the end.
      ScriptCommand c;
      if (!parseCommand(words, c, error)) return false;
      if (c.verb != Verb::Dump && c.verb != Verb::Snapshot) {
        error = isRecording() ? "only dump may follow the final state"
                              : "only dump and snapshot may follow the final state";
        return false;
      }
      return stopped_ || command(words, error);
    }
    const std::size_t hash = line.find('#');
    if (hash == std::string::npos) return true;  // a blank line
    finalState_.push_back(line.size() > hash + 2 ? line.substr(hash + 2) : "");
    return true;
  }
  if (words.empty()) {
    if (header_.present && !started_ && line.find('#') != std::string::npos)
      return headerLine(line, error);
    return true;
  }
  if (stopped_) return true;
  return command(words, error);
}

bool ScriptRunner::command(const std::vector<std::string>& words, std::string& error) {
  ScriptCommand c;
  if (!parseCommand(words, c, error)) return false;
  if (c.verb == Verb::TimeOfDay) {
    // The first time of day comes before the start, which reads it.
    time_.set(c.ms, c.offsetMinutes);
    return true;
  }
  start();
  switch (c.verb) {
    case Verb::Wait:
      recordedTime_ += c.ms;
      if (isRecording() && recordedTime_ > kLongestRecording) {
        error = "a recording runs seven days at most";
        return false;
      }
      if (deferWaits) {
        deferredWait = c.ms;
      } else {
        scheduler_.advance(c.ms);
      }
      return true;
    case Verb::Dump:
      if (hooks_.dump) hooks_.dump();
      return true;
    case Verb::Snapshot:
      return hooks_.snapshot ? hooks_.snapshot(words[1], c.x, error) : true;
    default:
      return applyInput(c, program_, error);
  }
}

}  // namespace cantiere
