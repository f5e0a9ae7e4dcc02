// SPDX-License-Identifier: GPL-3.0-or-later
// A replay's pace and phases on a wall clock the test moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/replay/replay_session.h"
#include "core/sound/recording_output.h"

namespace cantiere {
namespace {

using Phase = ReplaySession::Phase;

// Game B from a closed case, then a minute of play.
constexpr const char* kGame =
    "# cantiere-recording 1\n# hiscores 5 9\ntimeofday 12:34:56.789 +00:00\nplay 2\n"
    "click Im_Front\npress Puls_GameB\nwait 100\nrelease\nwait 60000\n";

struct Replay {
  explicit Replay(std::string text) : session(std::move(text), liveSound, output) {}
  // The check and the unseen run, to where the replay is to show.
  Phase prepare() {
    for (int i = 0; i < 10000 && (session.phase() == Phase::Checking ||
                                  session.phase() == Phase::Unseen); ++i)
      session.work();
    return session.phase();
  }
  RecordingOutput output;
  Sound liveSound{output};
  ReplaySession session;
};

TEST(ReplaySession, AFileThatCannotBeRunIsRefusedWithItsLine) {
  Replay r(std::string(kGame) + "jump 3\n");
  EXPECT_EQ(r.prepare(), Phase::Refused);
  EXPECT_NE(r.session.refusal().find("line 10"), std::string::npos) << r.session.refusal();
  EXPECT_EQ(r.session.checkedPermille(), 1000) << "the check is over";
}

TEST(ReplaySession, VirtualTimeFollowsTheWallClockTimesTheSpeed) {
  Replay r(kGame);
  ASSERT_EQ(r.prepare(), Phase::Ready);
  const Millis start = r.session.now();
  r.session.play(1000);
  const struct {
    std::int64_t wall;
    int speed;  // set at that instant, before running to it
    Millis virtualAt;
  } steps[] = {{1000, 1, 0}, {1500, 1, 500}, {1500, 2, 500}, {2000, 2, 1500},
               {2000, 4, 1500}, {2250, 4, 2500}, {2250, 1, 2500}, {2350, 1, 2600}};
  for (const auto& s : steps) {
    r.session.setSpeed(s.speed, s.wall);
    const std::int64_t wait = r.session.pump(s.wall);
    EXPECT_EQ(r.session.now() - start, s.virtualAt) << "wall " << s.wall << " at " << s.speed << "x";
    EXPECT_EQ(r.session.frameTime(s.wall) - start, s.virtualAt);
    // The next wake-up: the next tick or the recording's next line (the
    // release at 100, its end at 60100), in wall time at this speed, rounded up.
    const Millis line = r.session.now() - start < 100 ? start + 100 : start + 60100;
    const Millis next = std::min(r.session.nextTick(), line);
    EXPECT_EQ(wait, (next - r.session.now() + s.speed - 1) / s.speed) << "wall " << s.wall;
  }
}

TEST(ReplaySession, AReplayFromLineRunsUnseenToItsInstantAndEachReplayStartsAt1x) {
  std::string text = kGame;
  text.insert(text.find("timeofday"), "# replay-from 4100\n");
  for (int run = 0; run < 2; ++run) {
    Replay r(text);
    ASSERT_EQ(r.prepare(), Phase::Ready);
    EXPECT_EQ(r.session.now(), 4100);
    r.session.play(0);
    EXPECT_EQ(r.session.speed(), 1);
    r.session.setSpeed(4, 0);
  }
}

TEST(ReplaySession, AtItsEndItHoldsItsLastInstant) {
  Replay r(kGame);
  ASSERT_EQ(r.prepare(), Phase::Ready);
  r.session.play(0);
  std::int64_t wall = 0;
  for (std::int64_t wait = 0; wait >= 0 && wall < 200000; wall += std::max<std::int64_t>(wait, 1))
    wait = r.session.pump(wall);
  EXPECT_EQ(r.session.phase(), Phase::Ended);
  const Millis end = r.session.now();
  EXPECT_EQ(end, 60100) << "the recording's own length";
  EXPECT_EQ(r.session.pump(wall + 5000), -1);
  EXPECT_EQ(r.session.frameTime(wall + 5000), end);
  EXPECT_TRUE(r.session.broken().empty());
}

}  // namespace
}  // namespace cantiere
