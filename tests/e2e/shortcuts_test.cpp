// The keyboard shortcuts, pressed as a user presses them while the editor
// has the focus.
#include <gtest/gtest.h>

#include "program_fixture.h"

namespace {

TEST_F(Program, ShortcutsSaveStepAndPlay) {
  Start(40);
  FocusEditor(app_);
  Keys({VK_MENU, VK_HOME});  // the first frame
  ASSERT_TRUE(WaitFor([&] { return Shown() == "0:" + FrameText(0); }));
  for (WORD key : {'H', 'I'}) Keys({key});
  // The file is read once the next frame shows, after the save: a reader
  // that polled it would keep the save from replacing it.
  Keys({VK_CONTROL, 'S'});
  Keys({VK_MENU, VK_RIGHT});
  EXPECT_TRUE(WaitFor([&] { return Shown() == "1:" + FrameText(1); })) << Shown();
  EXPECT_EQ(ReadFileBytes(F(0)), "hi" + FrameText(0));
  Keys({VK_F5});  // start, then stop: the editor then holds the frame on show
  EXPECT_TRUE(WaitFor([&] { return Number() >= 3; }));
  Keys({VK_F5});
  EXPECT_TRUE(WaitFor([&] { return Text(app_.view) == FrameText(Number()); })) << Shown();
}

}  // namespace
