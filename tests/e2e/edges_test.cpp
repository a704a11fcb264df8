// End-to-end stories at the edges of opening: the command line and drops.
#include <gtest/gtest.h>

#include "program_fixture.h"

namespace {

// Opened from the command line, the first frame's colours survive the first
// paint; a file dropped while playing stops playback before it opens.
TEST_F(Program, CommandLineKeepsColoursAndADropStopsPlayback) {
  Start(40, "{\r\ncolor\r\n255 0 0 0 0 255\r\n}\r\nred on blue");
  ExpectColours(kRed, kBlue);
  WriteFileBytes(F(0, "other"), "other");
  Command(app_, CMD_SPEED6);
  Command(app_, CMD_START);
  ASSERT_TRUE(WaitFor([&] { return Number() >= 3; }));
  DropFile(app_, P("d.x\\other.txt"));
  ASSERT_TRUE(WaitFor([&] { return Text(app_.main) == Caption("other"); }));
  const int shown = Number();
  EXPECT_FALSE(WaitFor([&] { return Number() != shown; }, 300));  // ten ticks pass unseen
  EXPECT_EQ(Text(app_.view), "");
}

}  // namespace
