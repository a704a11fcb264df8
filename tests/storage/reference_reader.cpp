#include "reference_reader.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <string_view>

#include "animation.h"
#include "frame_header.h"

namespace reference {

// Reads the blocks in order, handing each one's number, text and raw window
// to visit until it returns false. Returns true when the blocks ran out.
static bool Walk(const std::string& path, const std::function<bool(int, std::string_view, std::string_view)>& visit) {
  constexpr int kWindow = kFrameTextMax + 7;  // a full text, CR LF and "[end]"
  std::ifstream in(path, std::ios::binary);
  std::vector<char> buffer(kWindow + 1);
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
    // The text: up to the window's first "[end]" or zero byte; without an
    // "[end]" at most a frame's text.
    std::fill(buffer.begin(), buffer.end(), '\0');
    int got = int(in.read(buffer.data(), kWindow).gcount());
    if (got == 0) return true;
    const char* end = std::strstr(buffer.data(), "[end]");
    size_t length = end != nullptr ? size_t(end - buffer.data()) : std::min(std::strlen(buffer.data()), size_t(kFrameTextMax));
    std::string_view raw(buffer.data(), size_t(std::min(got, kFrameTextMax)));
    if (!visit(number, std::string_view(buffer.data(), length), raw)) return false;
    if (in.eof()) in.clear();
    if (end != nullptr) {  // on past "[end]" and its CR LF
      in.seekg(std::streamoff(length) + 7 - got, std::ios::cur);
      continue;
    }
    // Any other text: on past the first CR LF "[end]" CR LF from its end.
    in.seekg(std::streamoff(length) - got, std::ios::cur);
    std::string last;
    for (char c; last != "\r\n[end]\r\n";) {
      if (!in.get(c)) return true;
      last = (last + c).substr(last.size() == 9 ? 1 : 0);
    }
  }
  return false;
}

Frame ReadFrame(const std::string& path, uint32_t n) {
  Frame frame;
  frame.ended = Walk(path, [&](int number, std::string_view text, std::string_view) {
    if (uint32_t(number) == n) frame.text = std::string(text.substr(0, kFrameTextMax));
    return uint32_t(number) < n;
  });
  return frame;
}

std::vector<std::pair<int, std::string>> ExpandedBlocks(const std::string& path) {
  std::vector<std::pair<int, std::string>> written;
  std::set<int> seen;
  Walk(path, [&](int number, std::string_view text, std::string_view) {
    if (seen.insert(number).second && !text.empty()) written.emplace_back(number, std::string(text));
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
