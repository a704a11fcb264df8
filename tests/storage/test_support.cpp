#include "test_support.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "frame_loader.h"

namespace fs = std::filesystem;

HookLog g_hooks;

bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::string ReadBytes(const std::string& path, bool* exists) {
  std::ifstream in(path, std::ios::binary);
  if (exists != nullptr) *exists = in.is_open();
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return bytes;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

static void RecordSetEditorText(const char* text) {
  g_hooks.editorText = text;
  ++g_hooks.setEditorCalls;
}
static void RecordGetEditorText(char* buffer, int size) { CopyText(buffer, static_cast<size_t>(size), g_hooks.editorContent.c_str()); }
static void RecordShowFrameNumber(const char* text) { g_hooks.frameNumber = text; }
static void RecordRender() { ++g_hooks.renderCalls; }
static void RecordApplyColours() { ++g_hooks.applyColourCalls; }
static void RecordRefusal(Refusal why) { g_hooks.refusals.push_back(static_cast<int>(why)); }
static void RecordSound(const char* path) { g_hooks.soundsPlayed.push_back(path); }
static void RecordWriteFailure(const char* name, const char* reason) {
  g_hooks.writeFailures.push_back(name);
  EXPECT_NE(reason[0], '\0') << name;
}

void StorageTest::SetUp() {
  ResetStorageState();
  ASSERT_TRUE(AllocateTextBuffers());
  g_hooks = HookLog{};
  g_viewHooks = ViewHooks{RecordSetEditorText, RecordGetEditorText, RecordShowFrameNumber, RecordRender,
                          RecordApplyColours, RecordWriteFailure, nullptr, RecordRefusal};
  g_playSound = RecordSound;
  static std::mt19937 rng(std::random_device{}());
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string("zoetrix-") + info->test_suite_name() + "-" + std::to_string(rng());
  std::replace(name.begin(), name.end(), '/', '_');
  fs::path dir = fs::temp_directory_path() / name;
  fs::create_directories(dir);
  dir_ = dir.generic_string();
}

void StorageTest::TearDown() {
  std::error_code ec;
  fs::remove_all(dir_, ec);
  FreeTextBuffers();
  g_viewHooks = ViewHooks{};
  g_playSound = nullptr;
}

std::string StorageTest::FramePath(int n) const {
  char name[64];
  std::snprintf(name, sizeof name, "%04d.txt", n);
  return Base() + name;
}

void StorageTest::Load(uint32_t n, int mode) {
  g_animation.storageMode = mode;
  CopyText(g_animation.basePath, sizeof g_animation.basePath, Base().c_str());
  LoadFrame(g_animation.basePath, n);
}

std::string Block(int number, const std::string& text) {
  char head[32];
  std::snprintf(head, sizeof head, "%04d\r\n", number);
  return head + text + "\r\n[end]\r\n";
}
