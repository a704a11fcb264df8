// Loading a frame: the header forms, what is shown where, repeats and sound.
#include <string>

#include "frame_header.h"
#include "frame_loader.h"
#include "test_support.h"

using FrameLoader = StorageTest;

TEST_F(FrameLoader, HeaderForms) {
  const std::string one = "{\r\ncolor\r\n9 9 9 1 1 1\r\n}\r\none", p300(300, 'p'), full(kFrameTextMax, 'w');
  // The frame record's body, colour text and sound path ("" when it has none),
  // the text shown when it is not the frame's own, the cue when not the sound path.
  struct Case { std::string text, body, colour, sound; const char* shown = nullptr; std::string cue = ""; } cases[] = {
      {"plain\r\n", "plain\r\n", "", ""},
      {"\r\n{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\nx", "\r\n{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\nx", "", ""},
      {"{\r\ncolor\r\n255 0 0 0 0 0\r\n}\r\nAB", "AB", "255 0 0 0 0 0", ""},
      {"{\r\nsound\r\nbell.wav\r\n}\r\nAB", "AB", "", "bell.wav"},
      {"{\r\ncolor\r\n1\r\n2 3\t4 5\r\n6\r\nsound\r\nb.wav \r\n}\r\nAB", "AB", "1 2 3 4 5 6", ""},
      {"{\r\ncolor\r\n1 2 3 4 5 6\r\nsound\r\nb.wav \r\n}\r\nAB", "AB", "1 2 3 4 5 6", "b.wav "},
      {"{\r\nsound\r\nb.wav\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\nAB", "AB", "", "b.wav"},  // sound first: no colour
      {"{ note\r\nhello\r\n}\r\nAB", "AB", "", ""},
      {"{\r\ncolor\r\n1 2 3 4 5 6\r\nAB", "", "1 2 3 4 5 6", ""},  // no closing brace: no body
      {"{\r\ncolor\r\n1 2 3 4 5 6\r\n}", "", "1 2 3 4 5 6", ""},
      {"{\r\ncolor\r\n10 20\r\n}\r\nx", "x", "10 20 0 0 0 0", ""},  // missing values are 0
      {"{\r\ncolor\r\n-2147483648 -2147483648 -2147483648 -2147483648 -2147483648 99999999999\r\n}\r\nx", "x",
       "-2147483648 -2147483648 -2147483648 -2147483648 -2147483648 2147483647", ""},
      {"{\r\ncolor", "", "0 0 0 0 0 0", ""},
      {"{\r\ncolour\r\n1 2 3 4 5 6\r\n}\r\nx", "x", "", ""},
      {"{\r\nsound", "", "", ""},  // no path line: no sound
      {"{\r\nsound\r\n" + p300 + "\r\n}\r\nx", "x", "", p300.substr(0, kPathMax - 1), nullptr, p300},
      {"{\r\nsame 1\r\n}\r\n", "one", "9 9 9 1 1 1", "", one.c_str()},
      {"{\r\nsame\r\n1\r\n}\r\n", "one", "9 9 9 1 1 1", "", one.c_str()},
      {"{\r\nsame -1\r\n}\r\nx", "x", "", ""},  // a negative number names no frame
      {full + "overflow", full, "", "", full.c_str()},
      {std::string("{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\nab\0cd", 31), "ab", "1 2 3 4 5 6", "", "{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\nab"},
  };
  WriteFrame(1, one);
  for (const Case& c : cases) {
    WriteFrame(0, c.text);
    g_hooks = HookLog{};
    g_soundCue.available = 0;
    Load(0);
    SCOPED_TRACE(c.text.substr(0, 60));
    EXPECT_EQ(std::string(DisplayText), c.shown != nullptr ? c.shown : c.text);
    EXPECT_EQ(g_hooks.editorText, DisplayText);
    EXPECT_EQ(std::string(g_frameRecord.body), c.body);
    EXPECT_EQ(g_frameRecord.hasColour ? g_frameRecord.colourText : "", c.colour);
    EXPECT_EQ(g_hooks.applyColourCalls, c.colour.empty() ? 0 : 1);
    EXPECT_EQ(g_frameRecord.hasSound ? g_frameRecord.soundPath : "", c.sound);
    EXPECT_EQ(g_soundCue.available ? g_soundCue.path : "", c.cue.empty() ? c.sound : c.cue);
    EXPECT_EQ(g_hooks.renderCalls, 1);
    EXPECT_EQ(g_hooks.frameNumber, "0");
    // Playing, the body is shown and its sound played; the editor keeps its text.
    g_hooks = HookLog{};
    g_animation.playing = 1;
    Load(0);
    g_animation.playing = 0;
    EXPECT_EQ(DisplayText + ("|" + g_hooks.editorText), c.body + "|");
    EXPECT_EQ(g_hooks.soundsPlayed.size(), c.sound.empty() ? 0u : 1u);
  }
}

TEST_F(FrameLoader, RepeatChainsStopAtACycleOrTheirLimit) {
  // Frames 0 ... 199 each repeat the next; 300 to 302 and 400 form cycles.
  for (int i = 0; i < 200; ++i) WriteFrame(i, "{\r\nsame " + std::to_string(i + 1) + "\r\n}\r\nf" + std::to_string(i));
  for (int i : {300, 301, 302, 400}) WriteFrame(i, "{\r\nsame " + std::to_string(i == 302 ? 301 : i == 400 ? 400 : i + 1) + "\r\n}\r\nf" + std::to_string(i));
  WriteFrame(401, "{\r\nsame\r\n}\r\nf401");  // no number: no repeat
  struct Case { uint32_t n; std::string body; } cases[] = {{0, "f" + std::to_string(kMaxRepeatChain - 1)}, {300, "f302"}, {302, "f301"}, {400, "f400"}, {401, "f401"}};
  for (const Case& c : cases) {
    g_hooks = HookLog{};
    g_animation.currentFrame = c.n;
    Load(c.n, FrameFiles);
    EXPECT_EQ(std::string(g_frameRecord.body), c.body);
    EXPECT_EQ(g_hooks.renderCalls, 1);
    EXPECT_EQ(g_hooks.frameNumber, std::to_string(c.n));
  }
  // In the all-in-one layout a repeat of a missing block shows an empty frame
  // and plays on; only the end of the blocks for the frame played ends playback.
  WriteAllInOne(Block(0, "{\r\nsame 9\r\n}\r\n") + Block(1, "{\r\nsame 3\r\n}\r\n") + Block(4, "four"));
  for (uint32_t n : {0u, 1u, 5u}) {
    g_animation.playing = 1;
    Load(n, AllInOne);
    EXPECT_EQ(DisplayText + std::to_string(g_animation.playing), n == 5 ? "0" : "1") << n;
  }
}
