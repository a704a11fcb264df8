// The check's findings do not depend on where the reader's chunks end: what
// it observes of a number line or of the bytes after an "[end]" is the same
// wherever a chunk boundary falls.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "animation_check.h"
#include "block_stream.h"

namespace {

std::string Describe(const CheckReport& report) {
  std::string out = std::to_string(report.blocks);
  for (const Finding& f : report.findings) {
    out += "\n" + std::string(CheckKindName(f.kind)) + " " + std::to_string(f.frame) + "@" + std::to_string(f.offset) +
           " " + std::to_string(f.at) + " " + std::to_string(f.other) + " " + f.text + " " + std::to_string(f.chain.size());
  }
  return out;
}

TEST(Check, FindingsDoNotDependOnChunks) {
  const std::string bytes = std::string("0000\r\n{\r\nsound\r\nnone.wav\r\n}\r\n\r\n[end]\r\n") +
                            "x\r\nab[end]xy0001\r\nq\r\n[end]\r\n0003\nab\r\n[end]\r\n0002\r\nz" + std::string(1, '\0') +
                            "z\r\n[end]\r\n0004\rxy\r\n[end]\r\n0000000012345\r\nq\r\n[end]\r\n000000050\r\nq\r\n[end]\r\n"
                            "00000060\r\nr\r\n[end]\r\n"
                            "0030\r\n{\r\nsame 30\r\n}\r\n[end]0031\r\n{\r\nsame 9\r\n}\r\n[end]\r\n\r\n0040\r\nlast";
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("zoetrix-check-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(dir);
  std::ofstream((dir / "anim.txt").string(), std::ios::binary) << bytes;
  const std::string base = (dir / "anim").string();
  CheckReport whole;
  CheckAnimation(base.c_str(), kCheckAllInOne, whole);
  EXPECT_GE(whole.findings.size(), 9u) << Describe(whole);
  for (size_t chunk = 1; chunk <= bytes.size(); ++chunk) {
    SetBlockChunkSize(chunk);
    CheckReport split;
    CheckAnimation(base.c_str(), kCheckAllInOne, split);
    ASSERT_EQ(Describe(split), Describe(whole)) << "chunk " << chunk;
  }
  SetBlockChunkSize(0);
  std::filesystem::remove_all(dir);
}

}  // namespace
