// The page writer loads every frame through the loader; none of it may reach
// the program's state or its window: the state it found is the state it
// leaves, in either layout.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "animation.h"
#include "conversion.h"
#include "frame_header.h"
#include "frame_loader.h"
#include "web_page.h"

namespace {

int s_windowCalls = 0;
void CountText(const char*) { ++s_windowCalls; }
void CountCall() { ++s_windowCalls; }

// The program's state that loading a frame may change, as text.
std::string State() {
  std::ostringstream s;
  s << g_animation.storageMode << " " << g_animation.currentFrame << " " << g_animation.playing << " " << PenColour.red
    << " " << PenColour.green << " " << PenColour.blue << " " << BackColour.red << " " << BackColour.green << " "
    << BackColour.blue << " " << g_frameRecord.hasColour << g_frameRecord.hasSound << "|" << g_frameRecord.body << "|"
    << g_soundCue.path << g_soundCue.available << "|" << DisplayText << "|" << (g_viewHooks.RenderFrame == CountCall)
    << (g_playSound == CountText) << (g_frameTextSource == nullptr) << s_windowCalls;
  return s.str();
}

TEST(WebPage, LeavesTheProgramsStateAsItFoundIt) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("zoetrix-page-state-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::filesystem::create_directories(dir);
  const std::string base = (dir / "anim").string();
  std::ofstream(base + "0000.txt", std::ios::binary) << "{\r\ncolor\r\n1 2 3 4 5 6\r\nsound\r\nbell.wav\r\n}\r\nzero";
  std::ofstream(base + "0001.txt", std::ios::binary) << "{\r\nsame 0\r\n}\r\n";
  std::ofstream(dir / "bell.wav", std::ios::binary) << "RIFF";
  ExportAllInOne(base.c_str());

  for (int mode : {FrameFiles, AllInOne}) {
    ResetStorageState();
    ASSERT_TRUE(AllocateTextBuffers());
    g_animation.storageMode = FrameFiles + AllInOne - mode;  // the page's layout is not the program's
    g_animation.currentFrame = 7;
    g_animation.playing = 1;
    PenColour = ColourTriple{10, 20, 30};
    BackColour = ColourTriple{40, 50, 60};
    CopyText(g_frameRecord.body, sizeof g_frameRecord.body, "being edited");
    CopyText(g_soundCue.path, sizeof g_soundCue.path, "ding.wav");
    g_soundCue.available = 1;
    CopyText(DisplayText, kTextBufferSize, "on show");
    g_viewHooks = ViewHooks{CountText, nullptr, CountText, CountCall, CountCall, nullptr, nullptr, nullptr};
    g_playSound = CountText;
    s_windowCalls = 0;
    const std::string before = State();
    WebPage page;
    BuildWebPage(WebPageSource{base.c_str(), mode, ""}, page);
    EXPECT_EQ(page.storedFrames, 2u);
    EXPECT_TRUE(page.missingSounds.empty());
    EXPECT_EQ(State(), before);
    FreeTextBuffers();
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
