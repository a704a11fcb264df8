// What saving colours or a sound writes when the editor's text has moved on
// from the frame loaded or a header would not fit, and how a repeat of a
// missing block plays.
#include <string>

#include "frame_editing.h"
#include "test_support.h"

namespace {

class EditorMends : public StorageTest {};

// In the all-in-one layout only the end of the sequence for the frame being
// played ends playback; a repeat of a missing block shows an empty frame.
TEST_F(EditorMends, RepeatOfAMissingBlockPlaysOn) {
  WriteAllInOne(Block(0, "{\r\nsame 9\r\n}\r\n") + Block(1, "{\r\nsame 3\r\n}\r\n") + Block(4, "four"));
  for (uint32_t n : {0u, 1u, 5u}) {
    g_animation.playing = 1;
    Load(n, AllInOne);
    EXPECT_EQ(std::string(DisplayText), "") << n;
    EXPECT_EQ(g_animation.playing, n == 5 ? 0 : 1) << n;
  }
}

}  // namespace
