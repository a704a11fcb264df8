// Files no program of ours writes: damaged, cut short, from other programs or
// other encodings. Every load must finish, show exactly one frame and leave
// every file as it was; an expansion may only write frame files of the
// animation; applying the first frame's colours touches no file. Where the
// outcome is defined, it is checked too. Forms already covered by the block
// reader, header, loader and conversion tests (a negative number line, "same"
// without a number, to itself or in a cycle, a header without "}") are not
// repeated here.
#include <climits>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "conversion.h"
#include "frame_header.h"
#include "frame_loader.h"
#include "test_support.h"

namespace {

using Files = std::vector<std::pair<std::string, std::string>>;  // name in the scratch dir, bytes
using Snapshot = std::map<std::string, std::string>;             // name to bytes

// What a row checks beyond what every row checks. Unset: not checked.
struct Expect {
  std::optional<std::string> shown;        // DisplayText
  std::optional<std::string> body;         // the frame record's body
  std::optional<int> playing;              // the playing flag afterwards
  std::optional<std::vector<int>> colours;  // pen red, green, blue, back red, green, blue
  std::optional<std::string> played;       // the one sound played
  std::optional<std::string> recordSound;  // the frame record's sound path
  std::optional<Files> written;            // an expansion's new and changed files, all of them

  Expect& Shown(std::string s) { shown = std::move(s); return *this; }
  Expect& Body(std::string s) { body = std::move(s); return *this; }
  Expect& Playing(int p) { playing = p; return *this; }
  Expect& Colours(std::vector<int> c) { colours = std::move(c); return *this; }
  Expect& Played(std::string s) { played = std::move(s); return *this; }
  Expect& RecordSound(std::string s) { recordSound = std::move(s); return *this; }
  Expect& Written(Files f) { written = std::move(f); return *this; }
};

enum Operation { kLoad, kExpand, kFirstColours };

struct Row {
  const char* what;
  Operation op;
  int mode;
  Files files;
  uint32_t frame;
  bool playing;
  Expect expect;
};

std::string FrameName(int n) {
  char name[32];
  std::snprintf(name, sizeof name, "anim%04d.txt", n);
  return name;
}

const char kAllInOne[] = "anim.txt";

// A string literal's bytes, zero bytes inside it included.
template <size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

// Bytes of a fixed pseudo-random sequence (the same on every platform).
std::string Garbage(size_t size, unsigned seed, char first) {
  std::mt19937 rng(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(rng() & 0xff);
  bytes[0] = first;
  return bytes;
}

// The text a read shows of bytes: at most 32000 of them, up to the first zero.
std::string Readable(const std::string& bytes) {
  std::string text = bytes.substr(0, kFrameTextMax);
  return text.substr(0, std::strlen(text.c_str()));
}

const std::string kColourHead = "{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\n";
const std::vector<int> kStartColours = {0, 0, 0, 255, 255, 255};

class MalformedInput : public StorageTest {
 protected:
  Snapshot TakeSnapshot() {
    Snapshot files;
    for (const std::string& name : ListDir(Dir())) files[name] = ReadBytes(Dir() + "/" + name);
    return files;
  }

  // An expansion deletes nothing and writes only non-empty frame files
  // "anim%04d.txt"; when the row names what it writes, exactly that.
  void CheckWrittenOnlyFrameFiles(const Row& row, const Snapshot& before, const Snapshot& after) {
    Files written;
    for (const auto& file : before) EXPECT_EQ(after.count(file.first), 1u) << row.what << ": deleted " << file.first;
    for (const auto& file : after) {
      auto old = before.find(file.first);
      if (old != before.end() && old->second == file.second) continue;
      written.push_back(file);
      int n = 0;
      char tail[8] = "";
      bool frameName = std::sscanf(file.first.c_str(), "anim%d%7s", &n, tail) == 2 &&
                       file.first == FrameName(n) && std::string(tail) == ".txt";
      EXPECT_TRUE(frameName) << row.what << ": wrote " << file.first;
      EXPECT_FALSE(file.second.empty()) << row.what << ": wrote an empty " << file.first;
    }
    if (row.expect.written) {
      EXPECT_EQ(written, *row.expect.written) << row.what;
    }
  }

  void Check(const Row& row) {
    for (const std::string& name : ListDir(Dir())) std::remove((Dir() + "/" + name).c_str());
    for (const auto& file : row.files) ASSERT_TRUE(WriteBytes(Dir() + "/" + file.first, file.second)) << row.what;
    ResetStorageState();
    g_hooks = HookLog{};
    g_animation.playing = row.playing ? 1 : 0;
    Snapshot before = TakeSnapshot();

    if (row.op == kLoad) {
      Load(row.frame, row.mode);
    } else {
      g_animation.storageMode = row.mode;
      CopyText(g_animation.basePath, sizeof g_animation.basePath, Base().c_str());
      if (row.op == kExpand) {
        ExpandAllInOne(g_animation.basePath);
      } else {
        ApplyFirstFrameColours(g_animation.basePath);
      }
    }

    if (row.op == kExpand) {
      CheckWrittenOnlyFrameFiles(row, before, TakeSnapshot());
    } else {
      EXPECT_EQ(TakeSnapshot(), before) << row.what << ": a file was created, changed or deleted";
    }
    EXPECT_EQ(g_hooks.renderCalls, row.op == kLoad ? 1 : 0) << row.what;
    EXPECT_LT(strnlen(DisplayText, kTextBufferSize), static_cast<size_t>(kTextBufferSize)) << row.what;
    EXPECT_LE(g_hooks.soundsPlayed.size(), row.playing ? 1u : 0u) << row.what;
    const Expect& e = row.expect;
    if (e.shown) {
      EXPECT_EQ(std::string(DisplayText), *e.shown) << row.what;
    }
    if (e.body) {
      EXPECT_EQ(std::string(g_frameRecord.body), *e.body) << row.what;
    }
    if (e.playing) {
      EXPECT_EQ(g_animation.playing, *e.playing) << row.what;
    }
    if (e.colours) {
      std::vector<int> colours = {PenColour.red,  PenColour.green,  PenColour.blue,
                                  BackColour.red, BackColour.green, BackColour.blue};
      EXPECT_EQ(colours, *e.colours) << row.what;
    }
    if (e.played) {
      ASSERT_EQ(g_hooks.soundsPlayed.size(), 1u) << row.what;
      EXPECT_EQ(g_hooks.soundsPlayed[0], *e.played) << row.what;
    }
    if (e.recordSound) {
      EXPECT_EQ(std::string(g_frameRecord.soundPath), *e.recordSound) << row.what;
    }
  }
};

}  // namespace

TEST_F(MalformedInput, FrameFiles) {
  const std::string nulText = kColourHead + Bytes("ab\0cd");
  const std::string hugeFrame = kColourHead + std::string(100000, 'z');
  const std::string bracedGarbage = Garbage(5000, 7, '{');
  const std::string garbage = Garbage(100000, 8, 'x');
  const std::string crOnly = "{\rcolor\r1 2 3 4 5 6\r}\rbody\r";
  const std::string lfOnly = "{\ncolor\n1 2 3 4 5 6\n}\nbody\n";
  const std::string path300(300, 'p');
  const std::string path40k(40000, 'q');
  const Row rows[] = {
      {"same with a number beyond the int range repeats the largest int", kLoad, FrameFiles,
       {{FrameName(0), "{\r\nsame 99999999999\r\n}\r\nown"}, {"anim2147483647.txt", "far"}}, 0, false,
       Expect().Shown("far")},
      {"same with a negative number is not a repeat", kLoad, FrameFiles,
       {{FrameName(0), "{\r\nsame -1\r\n}\r\nown"}}, 0, false, Expect().Shown("{\r\nsame -1\r\n}\r\nown").Body("own")},
      {"a zero byte ends the text", kLoad, FrameFiles, {{FrameName(0), nulText}}, 0, false,
       Expect().Shown(kColourHead + "ab").Body("ab").Colours({1, 2, 3, 4, 5, 6})},
      {"a zero byte inside the header leaves no directive and no body", kLoad, FrameFiles,
       {{FrameName(0), Bytes("{\r\nco\0lor\r\n1 2 3 4 5 6\r\n}\r\nx")}}, 0, false,
       Expect().Shown("{\r\nco").Body("").Colours(kStartColours)},
      {"color with fewer than six values", kLoad, FrameFiles, {{FrameName(0), "{\r\ncolor\r\n10 20\r\n}\r\nx"}}, 0, false,
       Expect().Body("x").Colours({10, 20, 0, 0, 0, 0})},
      {"color values far outside 0 to 255", kLoad, FrameFiles,
       {{FrameName(0), "{\r\ncolor\r\n99999999999 -99999999999 256 -1 70000 0\r\n}\r\nx"}}, 0, false,
       Expect().Body("x").Colours({INT_MAX, INT_MIN, 256, -1, 70000, 0})},
      {"sound path line of 300 bytes", kLoad, FrameFiles, {{FrameName(0), "{\r\nsound\r\n" + path300 + "\r\n}\r\nx"}}, 0,
       true, Expect().Shown("x").Played(path300).RecordSound(path300.substr(0, kPathMax - 1))},
      // The read stops at 32000 bytes, inside the path line: the path is
      // what was read of it, and no "}" was read, so there is no body.
      {"sound path line of 40,000 bytes", kLoad, FrameFiles, {{FrameName(0), "{\r\nsound\r\n" + path40k + "\r\n}\r\nx"}}, 0,
       true, Expect().Shown("").Body("").Played(path40k.substr(0, kFrameTextMax - 10)).RecordSound(
                 path40k.substr(0, kPathMax - 1))},
      {"frame file of 100,000 bytes", kLoad, FrameFiles, {{FrameName(0), hugeFrame}}, 0, false,
       Expect().Shown(hugeFrame.substr(0, kFrameTextMax)).Body(hugeFrame.substr(kColourHead.size(),
                                                                                 kFrameTextMax - kColourHead.size()))},
      {"binary garbage after an opening brace", kLoad, FrameFiles, {{FrameName(0), bracedGarbage}}, 0, false,
       Expect().Shown(Readable(bracedGarbage))},
      {"binary garbage, playing", kLoad, FrameFiles, {{FrameName(0), garbage}}, 0, true,
       Expect().Shown(Readable(garbage)).Playing(1)},
      {"only CR line ends", kLoad, FrameFiles, {{FrameName(0), crOnly}}, 0, false, Expect().Shown(crOnly)},
      // Without a CR the "{" line never ends: no directive, and no body.
      {"only LF line ends", kLoad, FrameFiles, {{FrameName(0), lfOnly}}, 0, false,
       Expect().Shown(lfOnly).Body("").Colours(kStartColours)},
  };
  for (const Row& row : rows) Check(row);
}

TEST_F(MalformedInput, AllInOne) {
  const std::string path40k(40000, 'q');
  const Row rows[] = {
      // Only 9 characters of a number line are read: 999999999, then the
      // text starts 2 bytes further on, inside the number line.
      {"number line longer than 9 characters and larger than an int", kLoad, AllInOne,
       {{kAllInOne, "99999999999999\r\nA\r\n[end]\r\n"}}, 999999999, false, Expect().Shown("999\r\nA\r\n")},
      {"number line that is not a number keeps the number before it", kLoad, AllInOne,
       {{kAllInOne, Block(0, "a") + "zz\r\nb\r\n[end]\r\n" + Block(2, "c")}}, 2, false, Expect().Shown("c\r\n")},
      {"no end line, a frame past the last block ends playback", kLoad, AllInOne, {{kAllInOne, "0000\r\nabc"}}, 1, true,
       Expect().Shown("").Playing(0)},
      {"end line beyond 32000 bytes", kLoad, AllInOne,
       {{kAllInOne, Block(0, std::string(40000, 'y')) + Block(1, "after") + Block(2, "two")}}, 2, true, Expect()},
      {"sound path line of 40,000 bytes", kLoad, AllInOne,
       {{kAllInOne, Block(0, "{\r\nsound\r\n" + path40k + "\r\n}\r\nx") + Block(1, "one")}}, 0, true,
       Expect().Shown("").Played(path40k.substr(0, kFrameTextMax - 10))},
      {"binary garbage, playing", kLoad, AllInOne, {{kAllInOne, Garbage(70000, 9, '0')}}, 3, true, Expect()},
      {"binary garbage after a number line", kLoad, AllInOne, {{kAllInOne, "0000\r\n" + Garbage(70000, 10, '{')}}, 0,
       false, Expect()},
      {"only CR line ends", kLoad, AllInOne, {{kAllInOne, "0000\rA\r[end]\r0001\rB\r[end]\r"}}, 1, true, Expect()},
      // The number line runs on for 9 characters, so the first block's text
      // swallows the second block, frame 1 is never found and playback ends.
      {"only LF line ends", kLoad, AllInOne, {{kAllInOne, "0000\nA\n[end]\n0001\nB\n[end]\n"}}, 1, true,
       Expect().Shown("").Playing(0)},
  };
  for (const Row& row : rows) Check(row);
}

TEST_F(MalformedInput, ExpansionAndFirstFrameColours) {
  const std::string colourBlock = "{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\n";
  const Row rows[] = {
      {"expansion: number line longer than 9 characters and larger than an int", kExpand, AllInOne,
       {{kAllInOne, "99999999999999\r\nA\r\n[end]\r\n"}}, 0, false,
       Expect().Written({{"anim999999999.txt", "999\r\nA\r\n"}})},
      {"expansion: no end line", kExpand, AllInOne, {{kAllInOne, Block(0, "a") + "0001\r\nrest"}}, 0, false,
       Expect().Written({{FrameName(0), "a\r\n"}, {FrameName(1), "rest"}})},
      // The text is cut at 32000 bytes; the next block follows its end line.
      {"expansion: end line beyond 32000 bytes", kExpand, AllInOne,
       {{kAllInOne, Block(0, std::string(40000, 'y')) + Block(1, "after")}}, 0, false, Expect()},
      {"expansion: zero bytes", kExpand, AllInOne,
       {{kAllInOne, Bytes("0000\r\na\0b\r\n[end]\r\n") + Block(1, "c")}}, 0, false, Expect()},
      {"expansion: only CR line ends", kExpand, AllInOne, {{kAllInOne, "0000\rA\r[end]\r0001\rB\r[end]\r"}}, 0,
       false, Expect()},
      {"expansion: only LF line ends", kExpand, AllInOne, {{kAllInOne, "0000\nA\n[end]\n0001\nB\n[end]\n"}}, 0,
       false, Expect()},
      {"expansion: binary garbage", kExpand, AllInOne,
       {{kAllInOne, Garbage(70000, 11, '0')}, {FrameName(0), "kept unless a block 0 replaces it"}}, 0, false, Expect()},
      // The first block's text is read whole, not cut at "[end]": the values
      // stop at "[end]", and the missing ones count as 0.
      {"first colours: end line inside the colour values", kFirstColours, AllInOne,
       {{kAllInOne, "0000\r\n{\r\ncolor\r\n1 2 3\r\n[end]\r\n0001\r\n4 5 6\r\n[end]\r\n"}}, 0, false,
       Expect().Colours({1, 2, 3, 0, 0, 0})},
      // Only 9 characters are read: the text starts inside the number line.
      {"first colours: number line longer than 9 characters", kFirstColours, AllInOne,
       {{kAllInOne, "000000000000\r\n" + colourBlock + "\r\n[end]\r\n"}}, 0, false, Expect().Colours(kStartColours)},
      {"first colours: only LF line ends", kFirstColours, FrameFiles, {{FrameName(0), "{\ncolor\n1 2 3 4 5 6\n}\n"}},
       0, false, Expect().Colours(kStartColours)},
      {"first colours: a zero byte in the values", kFirstColours, FrameFiles,
       {{FrameName(0), Bytes("{\r\ncolor\r\n1 2\0 3 4 5 6\r\n}\r\n")}}, 0, false,
       Expect().Colours({1, 2, 0, 0, 0, 0})},
      {"first colours: binary garbage", kFirstColours, AllInOne, {{kAllInOne, "0000\r\n" + Garbage(40000, 12, '{')}},
       0, false, Expect()},
      {"first colours: a frame file of 100,000 bytes", kFirstColours, FrameFiles,
       {{FrameName(0), colourBlock + std::string(100000, 'z')}}, 0, false, Expect().Colours({1, 2, 3, 4, 5, 6})},
  };
  for (const Row& row : rows) Check(row);
}
