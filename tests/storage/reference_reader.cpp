#include "reference_reader.h"

#include <cstring>
#include <fstream>
#include <functional>
#include <string_view>

#include "animation.h"
#include "frame_header.h"

namespace reference {

// Reads the blocks in order, handing each one's number, text and raw window
// to visit until it returns false. Returns true when the blocks ran out.
static bool Walk(const std::string& path, const std::function<bool(int, std::string_view, std::string_view)>& visit) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> buffer(kTextBufferSize);
  int number = 0;
  while (in.is_open() && !in.fail()) {
    // The number line: up to a CR, at most 9 characters; a line that is not
    // a number keeps the number before it. Reading goes on 2 bytes after it.
    char line[10] = {};
    int count = 0;
    while (count < 9 && in.peek() != std::char_traits<char>::eof() && in.peek() != '\r') line[count++] = char(in.get());
    if (count == 0) return true;
    int value;
    if (ParseInt(line, &value) != nullptr) number = value;
    in.clear(in.rdstate() & ~std::ios::eofbit);
    in.seekg(2, std::ios::cur);
    // The text: a window of 32000 bytes read, up to its first "[end]" or zero byte.
    std::fill(buffer.begin(), buffer.end(), '\0');
    int got = int(in.read(buffer.data(), kFrameTextMax).gcount());
    if (got == 0) return true;
    const char* end = std::strstr(buffer.data(), "[end]");
    std::string_view text(buffer.data(), end != nullptr ? size_t(end - buffer.data()) : std::strlen(buffer.data()));
    if (!visit(number, text, std::string_view(buffer.data(), size_t(got)))) return false;
    // On past "[end]" and its CR LF, counted from the text's end.
    if (in.eof()) in.clear();
    in.seekg(std::streamoff(text.size()) + 7 - got, std::ios::cur);
  }
  return false;
}

Frame ReadFrame(const std::string& path, uint32_t n) {
  Frame frame;
  frame.ended = Walk(path, [&](int number, std::string_view text, std::string_view) {
    if (uint32_t(number) == n) frame.text = std::string(text);
    return uint32_t(number) < n;
  });
  return frame;
}

std::vector<std::pair<int, std::string>> ExpandedBlocks(const std::string& path) {
  std::vector<std::pair<int, std::string>> written;
  Walk(path, [&](int number, std::string_view text, std::string_view) {
    if (!text.empty()) written.emplace_back(number, std::string(text));
    return true;
  });
  return written;
}

bool FirstBlockWindow(const std::string& path, std::string* window) {
  bool first = false;
  Walk(path, [&](int number, std::string_view, std::string_view raw) {
    first = number == 0;
    *window = std::string(raw);
    return false;
  });
  return first;
}

}  // namespace reference
