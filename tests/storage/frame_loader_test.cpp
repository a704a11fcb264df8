#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "frame_header.h"
#include "frame_loader.h"
#include "test_support.h"

using FrameLoader = StorageTest;

namespace {
const std::string kColourFrame = "{\r\ncolor\r\n0 0 255 255 255 0\r\n}\r\nhi";
}

TEST_F(FrameLoader, EditingShowsTheWholeTextAndAppliesColours) {
  for (int mode : {FrameFiles, AllInOne}) {
    WriteFrame(4, kColourFrame);
    WriteAllInOne(Block(4, kColourFrame));
    g_hooks = HookLog{};
    g_animation.currentFrame = 4;
    Load(4, mode);
    std::string expected = mode == AllInOne ? kColourFrame + "\r\n" : kColourFrame;
    EXPECT_EQ(g_hooks.editorText, expected) << mode;
    EXPECT_EQ(std::string(DisplayText), expected);
    EXPECT_EQ(std::string(g_frameRecord.body), mode == AllInOne ? "hi\r\n" : "hi");
    EXPECT_EQ(PenColour.blue, 255);
    EXPECT_EQ(BackColour.red, 255);
    EXPECT_EQ(BackColour.blue, 0);
    EXPECT_EQ(g_frameRecord.hasColour, 1);
    EXPECT_EQ(g_hooks.frameNumber, "4");
    EXPECT_EQ(g_hooks.renderCalls, 1);
  }
}

TEST_F(FrameLoader, PlayingShowsOnlyTheBodyAndLeavesTheEditor) {
  WriteFrame(0, kColourFrame);
  g_animation.playing = 1;
  Load(0);
  EXPECT_EQ(std::string(DisplayText), "hi");
  EXPECT_EQ(g_hooks.setEditorCalls, 0);
  EXPECT_EQ(g_hooks.renderCalls, 1);
  EXPECT_EQ(g_animation.playing, 1);
}

TEST_F(FrameLoader, AllInOneMissingFramesAndTheEndOfTheFile) {
  WriteAllInOne(Block(0, "zero") + Block(1, "one") + Block(5, "five"));
  struct Case {
    uint32_t n;
    std::string text;
    int playingAfter;
  } cases[] = {
      {0, "zero\r\n", 1}, {1, "one\r\n", 1}, {5, "five\r\n", 1},
      {3, "", 1},  // absent between blocks: empty, playback goes on
      {6, "", 0},  // past the last block: empty, playback ends
  };
  for (const Case& c : cases) {
    g_animation.playing = 1;
    Load(c.n, AllInOne);
    EXPECT_EQ(std::string(DisplayText), c.text) << c.n;
    EXPECT_EQ(g_animation.playing, c.playingAfter) << c.n;
  }
}

TEST_F(FrameLoader, NegativeBlockNumberCountsAsGreaterThanEveryFrame) {
  WriteAllInOne(Block(-1, "neg") + Block(2, "two"));
  Load(2, AllInOne);
  EXPECT_EQ(std::string(DisplayText), "");
}

TEST_F(FrameLoader, MissingFilesShowAnEmptyFrame) {
  for (int mode : {FrameFiles, AllInOne}) {
    g_animation.playing = 1;
    Load(9, mode);
    EXPECT_EQ(std::string(DisplayText), "") << mode;
    EXPECT_EQ(g_animation.playing, 1) << mode;  // a missing file is no end of blocks
    EXPECT_FALSE(Exists(FramePath(9)));
    EXPECT_FALSE(Exists(AllInOnePath()));
  }
}

TEST_F(FrameLoader, BaseTooLongForItsFileNameShowsAnEmptyFrame) {
  // A base of 255 bytes: "<base>0012.txt" does not fit 260 bytes, and the
  // name cut to fit, "<base>0012", is another file that must not be read.
  std::string base = Dir() + "/" + std::string(255 - Dir().size() - 1, 'b');
  ASSERT_EQ(base.size(), 255u);
  ASSERT_TRUE(WriteBytes(base + "0012", "other file"));
  CopyText(g_animation.basePath, sizeof g_animation.basePath, base.c_str());
  LoadFrame(g_animation.basePath, 12);
  EXPECT_EQ(std::string(DisplayText), "");
  EXPECT_EQ(g_hooks.renderCalls, 1);
}

TEST_F(FrameLoader, HeaderForms) {
  struct Case {
    const char* what;
    std::string text;
    std::string body;
    int hasColour, hasSound;
  } cases[] = {
      {"no header", "plain\r\n", "plain\r\n", 0, 0},
      {"blank line before the brace", "\r\n{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\nx", "\r\n{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\nx",
       0, 0},
      {"colour only", "{\r\ncolor\r\n255 0 0 0 0 0\r\n}\r\nAB", "AB", 1, 0},
      {"sound only", "{\r\nsound\r\nbell.wav\r\n}\r\nAB", "AB", 0, 1},
      {"colour then sound", "{\r\ncolor\r\n1 2 3 4 5 6\r\nsound\r\nb.wav\r\n}\r\nAB", "AB", 1, 1},
      {"sound before colour is not read", "{\r\nsound\r\nb.wav\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\nAB", "AB", 0, 1},
      {"unknown line: body after the first brace", "{\r\nhello\r\n}\r\nAB", "AB", 0, 0},
      {"anything after the opening brace is ignored", "{ note\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\nAB", "AB", 1, 0},
      {"no closing brace: no body", "{\r\ncolor\r\n1 2 3 4 5 6\r\nAB", "", 1, 0},
      {"closing brace at the very end", "{\r\ncolor\r\n1 2 3 4 5 6\r\n}", "", 1, 0},
      {"header of only a brace", "{", "", 0, 0},
      {"same without a number is no repeat", "{\r\nsame\r\n}\r\nown", "own", 0, 0},
  };
  for (const Case& c : cases) {
    WriteFrame(0, c.text);
    Load(0);
    EXPECT_EQ(std::string(g_frameRecord.body), c.body) << c.what;
    EXPECT_EQ(std::string(DisplayText), c.text) << c.what;
    EXPECT_EQ(g_frameRecord.hasColour, c.hasColour) << c.what;
    EXPECT_EQ(g_frameRecord.hasSound, c.hasSound) << c.what;
  }
}

TEST_F(FrameLoader, SoundCueIsPlayedOnlyWhilePlayingAndKeptByFramesWithoutHeader) {
  WriteFrame(0, "{\r\nsound\r\nbell.wav\r\n}\r\nA");
  WriteFrame(1, "no header");
  WriteFrame(2, "{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\nC");
  Load(0);
  EXPECT_TRUE(g_hooks.soundsPlayed.empty());
  EXPECT_EQ(g_soundCue.available, 1);
  g_animation.playing = 1;
  Load(0);
  ASSERT_EQ(g_hooks.soundsPlayed.size(), 1u);
  EXPECT_EQ(g_hooks.soundsPlayed[0], "bell.wav");
  Load(1);  // no header: the cue stays
  EXPECT_EQ(g_soundCue.available, 1);
  EXPECT_EQ(g_hooks.soundsPlayed.size(), 1u);
  PlayCue();
  EXPECT_EQ(g_hooks.soundsPlayed.size(), 2u);
  Load(2);  // a header without sound: no cue
  EXPECT_EQ(g_soundCue.available, 0);
  PlayCue();
  EXPECT_EQ(g_hooks.soundsPlayed.size(), 2u);
}

TEST_F(FrameLoader, SameRepeatsShowTheOtherFrameUnderTheOwnNumber) {
  WriteFrame(2, "{\r\ncolor\r\n9 9 9 1 1 1\r\n}\r\ntwo");
  WriteFrame(5, "{\r\nsame 2\r\n}\r\n");
  WriteFrame(6, "{\r\nsame\r\n5\r\n}\r\n");  // the number may follow on the next line
  for (uint32_t n : {5u, 6u}) {
    g_animation.currentFrame = n;
    Load(n);
    EXPECT_EQ(std::string(DisplayText), "{\r\ncolor\r\n9 9 9 1 1 1\r\n}\r\ntwo") << n;
    EXPECT_EQ(PenColour.red, 9);
    EXPECT_EQ(g_hooks.frameNumber, std::to_string(n));
    EXPECT_EQ(g_hooks.renderCalls, 1);
    g_hooks.renderCalls = 0;
  }
}

TEST_F(FrameLoader, RepeatCyclesStopAndShowAFrame) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, std::string>> frames;
    uint32_t load;
    std::string shown;
  } cases[] = {
      {"frame repeating itself", {{3, "{\r\nsame 3\r\n}\r\nself"}}, 3, "{\r\nsame 3\r\n}\r\nself"},
      {"cycle of three", {{1, "{\r\nsame 2\r\n}\r\none"}, {2, "{\r\nsame 3\r\n}\r\ntwo"}, {3, "{\r\nsame 1\r\n}\r\nthree"}},
       1, "{\r\nsame 1\r\n}\r\nthree"},
      {"cycle entered from outside", {{0, "{\r\nsame 7\r\n}\r\n"}, {7, "{\r\nsame 8\r\n}\r\nseven"}, {8, "{\r\nsame 7\r\n}\r\neight"}},
       0, "{\r\nsame 7\r\n}\r\neight"},
  };
  for (const Case& c : cases) {
    for (const auto& f : c.frames) WriteFrame(f.first, f.second);
    for (int mode : {FrameFiles, AllInOne}) {
      std::string all;
      for (int i = 0; i < 10; ++i) {
        std::string bytes = ReadBytes(FramePath(i));
        if (Exists(FramePath(i))) all += Block(i, bytes);
      }
      WriteAllInOne(all);
      g_hooks = HookLog{};
      Load(c.load, mode);
      std::string shown = mode == AllInOne ? c.shown + "\r\n" : c.shown;
      EXPECT_EQ(std::string(DisplayText), shown) << c.what << " mode " << mode;
      EXPECT_EQ(g_hooks.renderCalls, 1) << c.what;
    }
    for (const auto& f : c.frames) std::remove(FramePath(f.first).c_str());
  }
}

TEST_F(FrameLoader, LongRepeatChainStopsAtItsLimit) {
  // Frames 0 … 199 each repeat the next: the chain is cut, a frame is shown.
  for (int i = 0; i < 200; ++i) WriteFrame(i, "{\r\nsame " + std::to_string(i + 1) + "\r\n}\r\nf" + std::to_string(i));
  Load(0);
  EXPECT_EQ(g_hooks.renderCalls, 1);
  EXPECT_EQ(std::string(g_frameRecord.body), "f" + std::to_string(kMaxRepeatChain - 1));
}

TEST_F(FrameLoader, FullSizeFrameIsShownWholeAndTerminated) {
  std::string text(kFrameTextMax, 'w');
  WriteFrame(0, text + "overflow");
  Load(0);
  EXPECT_EQ(std::string(DisplayText), text);
  EXPECT_EQ(std::string(g_frameRecord.body), text);
}
