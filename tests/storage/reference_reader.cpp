#include "reference_reader.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

#include "animation.h"
#include "frame_header.h"

namespace reference {

int ReadBlockNumber(std::istream& in, char* buffer, int* number) {
  int count = 0;
  while (count < 9) {
    int c = in.peek();
    if (c == std::char_traits<char>::eof() || c == '\r') break;
    buffer[count++] = static_cast<char>(in.get());
  }
  buffer[count] = '\0';
  if (count == 0) return 0;
  int value;
  if (ParseInt(buffer, &value) != nullptr) *number = value;
  in.clear(in.rdstate() & ~std::ios::eofbit);
  in.seekg(2, std::ios::cur);
  return count;
}

int ReadBlockText(std::istream& in, char* buffer, int* textLength, bool* endLine) {
  std::memset(buffer, 0, kBufferSize);
  in.read(buffer, kWindow);
  int got = static_cast<int>(in.gcount());
  if (got == 0) {
    *textLength = 0;
    return 0;
  }
  char* end = std::strstr(buffer, "[end]");
  *endLine = end != nullptr;
  if (end != nullptr) *end = '\0';
  *textLength = static_cast<int>(std::strlen(buffer));
  if (!*endLine && *textLength > kFrameTextMax) *textLength = kFrameTextMax;
  return got;
}

void AdvanceToNextBlock(std::istream& in, int got, int textLength, bool endLine) {
  if (in.eof()) in.clear();
  if (endLine) {
    in.seekg(static_cast<std::streamoff>(textLength) + 2 + 5 - got, std::ios::cur);
    return;
  }
  in.seekg(static_cast<std::streamoff>(textLength) - got, std::ios::cur);
  std::string last;
  char c;
  while (in.get(c)) {
    last += c;
    if (last.size() > 9) last.erase(0, 1);
    if (last == "\r\n[end]\r\n") return;
  }
  in.clear();
  in.seekg(0, std::ios::end);
}

Frame ReadFrame(const std::string& path, uint32_t n) {
  Frame frame;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return frame;
  std::vector<char> buffer(kBufferSize);
  int block = 0;
  for (;;) {
    if (in.fail()) return frame;
    if (ReadBlockNumber(in, buffer.data(), &block) == 0) {
      frame.ended = true;
      return frame;
    }
    int length = 0;
    bool endLine = false;
    int got = ReadBlockText(in, buffer.data(), &length, &endLine);
    if (got == 0) {
      frame.ended = true;
      return frame;
    }
    if (static_cast<uint32_t>(block) == n) {
      frame.text.assign(buffer.data(), static_cast<size_t>(std::min(length, kFrameTextMax)));
      return frame;
    }
    if (static_cast<uint32_t>(block) > n) return frame;
    AdvanceToNextBlock(in, got, length, endLine);
  }
}

std::vector<std::pair<int, std::string>> ExpandedBlocks(const std::string& path) {
  std::vector<std::pair<int, std::string>> written;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return written;
  std::vector<char> buffer(kBufferSize);
  int block = 0;
  while (!in.fail()) {
    if (ReadBlockNumber(in, buffer.data(), &block) == 0) break;
    int length = 0;
    bool endLine = false;
    int got = ReadBlockText(in, buffer.data(), &length, &endLine);
    if (got == 0) break;
    std::string text(buffer.data(), static_cast<size_t>(length));
    AdvanceToNextBlock(in, got, length, endLine);
    if (length > 0) written.emplace_back(block, text);
  }
  return written;
}

bool FirstBlockWindow(const std::string& path, std::string* window) {
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return false;
  std::vector<char> buffer(kTextBufferSize);
  int number = 0;
  if (ReadBlockNumber(in, buffer.data(), &number) == 0 || number != 0) return false;
  in.read(buffer.data(), kFrameTextMax);
  window->assign(buffer.data(), static_cast<size_t>(in.gcount()));
  return true;
}

}  // namespace reference
