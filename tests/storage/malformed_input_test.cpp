// Files no program of ours writes (damaged, cut short, from other programs or
// other encodings): the fuzz seeds, each through its target's checks. Every
// load must show exactly one frame and change no file; an expansion may only
// write frame files of the animation.
#include <filesystem>
#include <string>

#include "fuzz_harness.h"
#include "test_support.h"

using MalformedInput = StorageTest;

TEST_F(MalformedInput, EverySeedPassesItsTargetsChecks) {
  const char* targets[] = {"load_frame_files_fuzz", "load_all_in_one_fuzz", "expand_all_in_one_fuzz", "first_frame_colours_fuzz"};
  int seeds = 0;
  for (int target = 0; target < 4; ++target) {
    for (const auto& seed : std::filesystem::directory_iterator(std::string(ZOETRIX_CORPUS) + "/" + targets[target])) {
      std::string bytes = ReadBytes(seed.path().string());
      const char* failure = RunFuzzInput(target, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      EXPECT_EQ(failure, nullptr) << seed.path().string() << ": " << failure;
      ++seeds;
    }
  }
  EXPECT_GT(seeds, 40);
}
