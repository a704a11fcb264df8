#include "frame_header.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>

#include "frame_loader.h"

FrameRecord g_frameRecord;

const char* SkipLine(const char* p) {
  if (p == nullptr) return nullptr;
  const char* cr = std::strchr(p, '\r');
  if (cr == nullptr) return nullptr;
  // Past CR and the byte after it, but never past the terminating zero.
  return cr[1] == '\0' ? cr + 1 : cr + 2;
}

const char* ParseInt(const char* p, int* value) {
  while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = (*p == '-');
    ++p;
  }
  if (!std::isdigit(static_cast<unsigned char>(*p))) return nullptr;
  long long v = 0;
  while (std::isdigit(static_cast<unsigned char>(*p))) {
    if (v <= static_cast<long long>(INT_MAX) + 1) v = v * 10 + (*p - '0');
    ++p;
  }
  if (negative) v = -v;
  if (v > INT_MAX) v = INT_MAX;
  if (v < INT_MIN) v = INT_MIN;
  *value = static_cast<int>(v);
  return p;
}

int RepeatTarget(const char* line, uint32_t* target) {
  if (line == nullptr || std::strncmp(line, "same", 4) != 0) return 0;
  int n;
  // No number, or a negative one (which names no frame): not a repeat.
  if (ParseInt(line + 4, &n) == nullptr || n < 0) return 0;
  *target = static_cast<uint32_t>(n);
  return 1;
}

int ParseSameLine(const char* base, const char* line) {
  uint32_t n;
  return RepeatTarget(line, &n) ? FollowRepeat(base, n) : 0;
}

// Whether a colour block, or a sound block with its path line, starts at line.
static bool IsColourBlock(const char* line) { return line != nullptr && std::strncmp(line, "color", 5) == 0; }
static bool IsSoundBlock(const char* line) {
  return line != nullptr && std::strncmp(line, "sound", 5) == 0 && SkipLine(line) != nullptr;
}

int ParseColourBlock(const char* line) {
  if (!IsColourBlock(line)) return 0;
  // Values that are missing count as 0.
  int v[6] = {0, 0, 0, 0, 0, 0};
  const char* p = SkipLine(line);
  for (int i = 0; i < 6 && p != nullptr; ++i) p = ParseInt(p, &v[i]);
  PenColour = ColourTriple{v[0], v[1], v[2]};
  BackColour = ColourTriple{v[3], v[4], v[5]};
  std::snprintf(g_frameRecord.colourText, sizeof g_frameRecord.colourText, "%d %d %d %d %d %d",
                v[0], v[1], v[2], v[3], v[4], v[5]);
  g_frameRecord.hasColour = 1;
  if (g_viewHooks.ApplyColours != nullptr) g_viewHooks.ApplyColours();
  return 1;
}

// Copies the line at p, up to its CR or the end of the text, cut to fit.
static void CopyLine(char* dest, size_t size, const char* p) {
  size_t n = std::strcspn(p, "\r");
  if (n >= size) n = size - 1;
  std::memcpy(dest, p, n);
  dest[n] = '\0';
}

int ParseSoundBlock(const char* line) {
  if (!IsSoundBlock(line)) return 0;  // not one, or no path line
  const char* path = SkipLine(line);
  CopyLine(g_soundCue.path, sizeof g_soundCue.path, path);
  CopyLine(g_frameRecord.soundPath, sizeof g_frameRecord.soundPath, path);
  g_frameRecord.hasSound = 1;
  return 1;
}

// Where the parts of a header lie, as a load reads them.
struct HeaderLayout {
  const char* first;    // the line after "{"
  const char* colour;   // the colour block, or null
  const char* soundAt;  // where the sound block is read
  const char* sound;    // the sound block, or null
  const char* close;    // the first "}" after the blocks; null: the header never closes
};

// The layout of the header text starts with; text must start with "{".
static HeaderLayout LayOut(const char* text) {
  HeaderLayout l{};
  const char* p = l.first = SkipLine(text);
  if (IsColourBlock(p)) {
    l.colour = p;
    p = SkipLine(SkipLine(p));
  }
  l.soundAt = p;
  if (IsSoundBlock(p)) {
    l.sound = p;
    p = SkipLine(SkipLine(p));
  }
  l.close = p != nullptr ? std::strchr(p, '}') : nullptr;
  return l;
}

const char* SoundPathLine(const char* text) {
  if (text[0] != '{') return nullptr;
  const char* sound = LayOut(text).sound;
  return sound != nullptr ? SkipLine(sound) : nullptr;
}

const char* BodyAfterHeader(const char* text) {
  if (text[0] != '{') return text;
  // The body follows the first "}" line; a header that never closes leaves
  // no body.
  const char* body = SkipLine(LayOut(text).close);
  return body != nullptr ? body : text + std::strlen(text);
}

int SetHeaderBlock(const char* text, HeaderBlock block, const char* value, char* dest, size_t destSize) {
  if (destSize == 0) return 0;
  size_t used = 0;
  auto append = [&](const char* from, size_t n) {
    if (n > destSize - 1 - used) n = destSize - 1 - used;
    std::memcpy(dest + used, from, n);
    used += n;
  };
  auto appendText = [&](const char* from) { append(from, std::strlen(from)); };
  const char* keyword = block == HeaderBlock::Colour ? "color\r\n" : "sound\r\n";
  HeaderLayout l = text[0] == '{' ? LayOut(text) : HeaderLayout{};
  if (l.close == nullptr) {
    appendText("{\r\n");
    appendText(keyword);
    appendText(value);
    appendText("\r\n}\r\n");
    appendText(text);
  } else {
    // Where the block is read, and its own two lines if it is there.
    const char* at = block == HeaderBlock::Colour ? l.first : l.soundAt;
    const char* old = block == HeaderBlock::Colour ? l.colour : l.sound;
    const char* after = old != nullptr ? SkipLine(SkipLine(old)) : at;
    append(text, static_cast<size_t>(at - text));
    appendText(keyword);
    appendText(value);
    appendText("\r\n");
    appendText(after);
  }
  dest[used] = '\0';
  return static_cast<int>(used);
}
