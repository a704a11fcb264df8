#include <fstream>

#include "file_io.h"
#include "test_support.h"

using FileLayer = StorageTest;

TEST_F(FileLayer, RenameNeverReplacesAnExistingFile) {
  std::string a = Dir() + "/a.txt", b = Dir() + "/b.txt", c = Dir() + "/c.txt";
  ASSERT_TRUE(WriteBytes(a, "A"));
  ASSERT_TRUE(WriteBytes(b, "B"));
  EXPECT_FALSE(RenameNoReplace(a.c_str(), b.c_str()));
  EXPECT_EQ(ReadBytes(a), "A");
  EXPECT_EQ(ReadBytes(b), "B");
  EXPECT_TRUE(RenameNoReplace(a.c_str(), c.c_str()));
  EXPECT_FALSE(Exists(a));
  EXPECT_EQ(ReadBytes(c), "A");
  EXPECT_FALSE(RenameNoReplace((Dir() + "/missing.txt").c_str(), (Dir() + "/d.txt").c_str()));
  EXPECT_FALSE(Exists(Dir() + "/d.txt"));
}

TEST_F(FileLayer, InputNeverCreatesAndRefusesDirectories) {
  std::string missing = Dir() + "/missing.txt";
  std::ifstream in;
  EXPECT_FALSE(OpenInput(in, missing.c_str()));
  EXPECT_FALSE(Exists(missing));
  std::ifstream dir;
  EXPECT_FALSE(OpenInput(dir, Dir().c_str()));
  std::ifstream empty;
  EXPECT_FALSE(OpenInput(empty, ""));
}

TEST_F(FileLayer, StreamsAreBinary) {
  std::string path = Dir() + "/bytes.txt";
  const std::string bytes("a\r\nb\nc\rd\x1a\0e", 11);
  ASSERT_TRUE(WriteFileSafely(path.c_str(), bytes.data(), bytes.size(), 0, nullptr));
  EXPECT_EQ(ReadBytes(path), bytes);
  std::ifstream in;
  ASSERT_TRUE(OpenInput(in, path.c_str()));
  std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(back, bytes);
}

TEST_F(FileLayer, RemoveFile) {
  std::string path = Dir() + "/x.txt";
  ASSERT_TRUE(WriteBytes(path, "x"));
  EXPECT_TRUE(RemoveFile(path.c_str()));
  EXPECT_FALSE(Exists(path));
  EXPECT_FALSE(RemoveFile(path.c_str()));
}
