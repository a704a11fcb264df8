#include <climits>
#include <string>

#include "animation.h"
#include "test_support.h"

TEST(FrameNaming, FormsFrameAndAllInOneNames) {
  struct Case {
    const char* base;
    uint32_t n;
    const char* frame;
  } cases[] = {
      {"C:\\m\\walk", 0, "C:\\m\\walk0000.txt"},
      {"C:\\m\\walk", 7, "C:\\m\\walk0007.txt"},
      {"C:\\m\\walk", 37, "C:\\m\\walk0037.txt"},
      {"C:\\m\\walk", 10000, "C:\\m\\walk10000.txt"},
      {"walk", 123456, "walk123456.txt"},
      {"", 5, "0005.txt"},
  };
  for (const Case& c : cases) {
    char name[kPathMax];
    EXPECT_TRUE(FrameFileName(name, sizeof name, c.base, c.n));
    EXPECT_STREQ(name, c.frame);
  }
  char name[kPathMax];
  EXPECT_TRUE(AllInOneFileName(name, sizeof name, "C:\\m\\walk"));
  EXPECT_STREQ(name, "C:\\m\\walk.txt");
}

TEST(FrameNaming, NameThatDoesNotFitIsRefusedNotCut) {
  // A cut name would be another file: "…walk0012.txt" cut to "…walk0012.tx"
  // or "…walk001". The name must be refused instead, and left empty.
  for (size_t baseLength : {240u, 250u, 251u, 255u, 259u}) {
    std::string base(baseLength, 'a');
    char name[kPathMax];
    bool fits = FrameFileName(name, sizeof name, base.c_str(), 12);
    EXPECT_EQ(fits, baseLength + 8 < kPathMax) << baseLength;
    if (!fits) {
      EXPECT_STREQ(name, "");
    }
    fits = AllInOneFileName(name, sizeof name, base.c_str());
    EXPECT_EQ(fits, baseLength + 4 < kPathMax) << baseLength;
    if (!fits) {
      EXPECT_STREQ(name, "");
    }
  }
}

TEST(FrameNaming, DeriveBasePathCutsAtTheLastDot) {
  struct Case {
    const char* path;
    const char* base;
  } cases[] = {
      {"C:\\m\\walk.txt", "C:\\m\\walk"},
      {"walk0003.txt", "walk0003"},
      {"C:\\my.dir\\walk", "C:\\my"},  // the last dot anywhere in the path
      {"noext", "noext"},
      {"a.b.c", "a.b"},
      {"", ""},
  };
  for (const Case& c : cases) {
    char path[kPathMax];
    CopyText(path, sizeof path, c.path);
    DeriveBasePath(path);
    EXPECT_STREQ(path, c.base) << c.path;
  }
}

TEST(FrameNaming, StepFrameNeverGoesBelowZero) {
  struct Case {
    uint32_t from;
    int delta;
    uint32_t to;
  } cases[] = {
      {3, -10, 0}, {3, 100, 103}, {0, -1, 0}, {5, -1, 4}, {99, -100, 0}, {100, -100, 0}, {7, 10, 17},
      {INT_MAX, 1, 0},  // a signed 32-bit sum past INT_MAX wraps below zero
  };
  for (const Case& c : cases) {
    ResetStorageState();
    g_animation.currentFrame = c.from;
    StepFrame(c.delta);
    EXPECT_EQ(g_animation.currentFrame, c.to) << c.from << " " << c.delta;
  }
}
