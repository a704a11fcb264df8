#include "test_support.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "frame_loader.h"

namespace fs = std::filesystem;

HookLog g_hooks;

bool WriteBytes(const std::string& path, const std::string& bytes) {
  return static_cast<bool>(std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes);
}

std::string ReadBytes(const std::string& path, bool* exists) {
  std::ifstream in(path, std::ios::binary);
  if (exists != nullptr) *exists = in.is_open();
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Notes what storage asked or told, its arguments joined.
template <class... Parts>
void Tell(const Parts&... parts) {
  std::ostringstream text;
  (text << ... << parts);
  g_hooks.told.push_back(text.str());
}

void StorageTest::SetUp() {
  ResetStorageState();
  ASSERT_TRUE(AllocateTextBuffers());
  g_hooks = HookLog{};
  g_viewHooks = {[](const char* text) { g_hooks.editorText = text; },
                 [](char* buffer, int size) { CopyText(buffer, size_t(size), g_hooks.editorContent.c_str()); },
                 [](const char* text) { g_hooks.frameNumber = text; }, [] { ++g_hooks.renderCalls; },
                 [] { ++g_hooks.applyColourCalls; },
                 [](const char* name, const char* reason) {
                   g_hooks.writeFailures.push_back(name);
                   EXPECT_NE(reason[0], '\0') << name;
                 },
                 nullptr, [](Refusal why) { g_hooks.refusals.push_back(int(why)); },
                 [] { return g_hooks.editorModified; }, [](uint32_t n) { return Tell("repeat ", n), g_hooks.answer; },
                 [](const char* name, const char*, const char* stranded, const char*) { Tell("moved ", name, "|", stranded); },
                 [](const char* name, const char*) { Tell("read ", name); },
                 [](int count, uint32_t first) { return Tell("cut ", count, " ", first), g_hooks.answer; },
                 [](int count) { Tell("skipped ", count); }};
  g_playSound = [](const char* path) { g_hooks.soundsPlayed.push_back(path); };
  static std::mt19937 rng(std::random_device{}());
  dir_ = (fs::temp_directory_path() / ("zoetrix-test-" + std::to_string(rng()))).generic_string();
  fs::create_directories(dir_);
}

void StorageTest::TearDown() {
  std::error_code ec;
  fs::remove_all(dir_, ec);
  FreeTextBuffers();
  g_viewHooks = ViewHooks{};
  g_playSound = nullptr;
}

std::string StorageTest::FramePath(int n) const {
  char name[16];
  std::snprintf(name, sizeof name, "%04d.txt", n);
  return Base() + name;
}

void StorageTest::Load(uint32_t n, int mode) {
  g_animation.storageMode = mode;
  CopyText(g_animation.basePath, sizeof g_animation.basePath, Base().c_str());
  LoadFrame(g_animation.basePath, n);
}

Frames StorageTest::Files() {
  Frames frames;
  for (const std::string& name : ListDir(Dir())) frames[name == "anim.txt" ? -1 : std::stoi(name.substr(4))] = ReadBytes(Dir() + "/" + name);
  return frames;
}

void StorageTest::Write(const Frames& frames) {
  for (const auto& [n, text] : Files()) fs::remove(n < 0 ? AllInOnePath() : FramePath(n));
  for (const auto& [n, text] : frames) n < 0 ? WriteAllInOne(text) : WriteFrame(n, text);
}

std::string Block(int number, const std::string& text) {
  char head[16];
  std::snprintf(head, sizeof head, "%04d\r\n", number);
  return head + text + "\r\n[end]\r\n";
}
