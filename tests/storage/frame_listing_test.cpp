// Whole-animation operations learn from one listing of the folder which frame
// files there are: every name the system would open as a frame's file, and
// nothing an operation would not have found by trying the names.
#include "frame_listing.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "conversion.h"
#include "frame_editing.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
constexpr bool kAnyCase = true;  // Windows and Wine open a name in any letter case
#else
constexpr bool kAnyCase = false;
#endif

void Make(const std::string& path, bool directory) {
  directory ? std::filesystem::create_directory(path) : WriteBytes(path, "x");
}

}  // namespace

TEST_F(StorageTest, TheListingNamesEveryNameThatOpensAsAFrameFile) {
  struct Row { const char* name; int slot; bool directory; } rows[] = {
      {"anim0000.txt", 0, false},   {"anim9999.txt", 9999, false}, {"anim10000.txt", 10000, false},
      {"ANIM0002.TXT", 2, false},   {"anim0003.Txt", 3, false},    {"anim0004.txt", 4, true},
      {"anim00005.txt", -1, false}, {"anim006.txt", -1, false},    {"anim10007.txt", -1, false},
      {"anim0008.txt.x", -1, false}, {"xanim0009.txt", -1, false}, {"anim.txt", -1, false},
  };
  std::vector<bool> named(HighestSlot + 1);
  for (const Row& row : rows) {
    Make(Dir() + "/" + row.name, row.directory);
    if (row.slot >= 0) named[static_cast<size_t>(row.slot)] = true;
  }
  const FrameSlots slots = ListFrameSlots(Base().c_str());
  ASSERT_TRUE(slots.listed);
  for (uint32_t n = 0; n <= HighestSlot; ++n) ASSERT_EQ(MayHaveFile(slots, n), named[n]) << n;
  EXPECT_TRUE(MayHaveFile(slots, HighestSlot + 1));  // beyond the slots: still tried
  EXPECT_FALSE(MayHaveFile(ListFrameSlots((Dir() + "/missing/anim").c_str()), 0));
}

// A name in another letter case is a frame where the system opens it so;
// a directory with a frame's name is never read, and moves like a file.
TEST_F(StorageTest, NamesInAnotherCaseAndDirectoriesAreTakenAsTryingThemTook) {
  WriteFrame(0, "0");
  WriteBytes(Dir() + "/ANIM0001.TXT", "1");
  Make(FramePath(2), true);
  WriteFrame(3, "3");
  ExportAllInOne(Base().c_str());
  EXPECT_EQ(ReadBytes(AllInOnePath()), Block(0, "0") + (kAnyCase ? Block(1, "1") : "") + Block(3, "3"));
  g_animation.currentFrame = 0;
  ASSERT_TRUE(InsertFrame(Base().c_str()));
  std::vector<std::string> names = {kAnyCase ? "anim0002.txt" : "ANIM0001.TXT", "anim.txt", "anim0001.txt",
                                    "anim0003.txt", "anim0004.txt"};
  std::sort(names.begin(), names.end());
  EXPECT_EQ(ListDir(Dir()), names);
  EXPECT_TRUE(std::filesystem::is_directory(FramePath(3)));
  EXPECT_EQ(ReadBytes(FramePath(kAnyCase ? 2 : 1)), kAnyCase ? "1" : "0");
}

// Export keeps the blocks it reads in memory up to a limit and reads the
// frames past it again: an animation beyond it is written whole.
TEST_F(StorageTest, ExportBeyondWhatItKeepsInMemoryWritesEveryFrame) {
  std::string expected;
  for (int n = 0; n < 1100; ++n) {
    const std::string text(31000, static_cast<char>('a' + n % 26));
    WriteFrame(n, text);
    expected += Block(n, text);
  }
  ExportAllInOne(Base().c_str());
  EXPECT_TRUE(ReadBytes(AllInOnePath()) == expected);
}

#ifdef _WIN32
// Expansion still asks about each frame file the folder holds before it
// replaces it: a read-only one is kept (Wine would replace it).
TEST_F(StorageTest, ExpansionKeepsAReadOnlyFrameFileTheFolderHolds) {
  WriteFrame(1, "old");
  WriteAllInOne(Block(1, "new") + Block(2, "two"));
  SetFileAttributesA(FramePath(1).c_str(), FILE_ATTRIBUTE_READONLY);
  ExpandAllInOne(Base().c_str());
  SetFileAttributesA(FramePath(1).c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadBytes(FramePath(1)) + ReadBytes(FramePath(2)), "oldtwo\r\n");
  EXPECT_EQ(g_hooks.writeFailures, std::vector<std::string>{FramePath(1)});
}
#endif
