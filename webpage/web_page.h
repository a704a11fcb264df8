// One self-contained web page that plays an animation as the program plays
// it: frames 0 ... 9999 as playback shows them, each with its colours and
// sound cue, in the player of player.html. Platform-neutral.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A sound file larger than this is not embedded: it is left out and named,
// as a sound that cannot be found is.
constexpr uint64_t kMaxSoundBytes = 16 * 1024 * 1024;
// The frames' texts are held in pieces of about this many bytes (whole
// texts; a longer text is a piece of its own), each decoded on its own: a
// browser cannot decode all of a large animation's texts as one string.
constexpr size_t kPageTextPiece = 1024 * 1024;
// The largest page written. Headless Chromium (on a machine with 24 GB)
// opened pages of 10,000 frames of 32,000 bytes and 16 MB sounds up to
// 6,421,778,948 bytes; its renderer ended at 6,578,366,531 bytes.
constexpr uint64_t kMaxPageBytes = 6400000000ull;

struct WebPageSource {
  const char* base;      // the animation's base path
  int storageMode;       // FrameFiles or AllInOne
  std::string fontFace;  // face name bytes from the font settings; may be empty
  size_t pieceBytes = kPageTextPiece;
  uint64_t maxPageBytes = kMaxPageBytes;
};

struct WebPage {
  uint32_t storedFrames = 0;  // frames 0 ... 9999 that have a file or a block
  // Sound names (as the frames give them) whose file could not be read, and
  // those whose file is larger than kMaxSoundBytes; their cues are left out.
  std::vector<std::string> missingSounds;
  std::vector<std::string> largeSounds;
  uint64_t size = 0;  // the page's bytes
  // What WriteWebPage writes into the player: the description of the frames,
  // the distinct texts (each closed by a zero byte) cut into pieces, the
  // sounds' bytes.
  std::string meta;
  std::string texts;
  std::vector<size_t> pieceEnds;
  std::vector<std::string> sounds;
};

enum class PageBuild {
  Built,
  TooLarge,     // the page would be larger than the source's maxPageBytes
  OutOfMemory,  // memory ran out while the page was built
};

// Builds the page from the animation's files in the given storage mode. The
// program's state (animation state, colours, frame record, sound cue, shown
// text, hooks) is left as it was found, also when memory runs out.
PageBuild BuildWebPage(const WebPageSource& source, WebPage& page);

// Writes the page to target, creating or replacing it. Returns false with
// the reason in *error when the file could not be written whole.
bool WriteWebPage(const char* target, const WebPage& page, std::string* error);

// The page's name beside the animation: base and ".html". Returns false,
// leaving out empty, when it does not fit size bytes.
bool WebPageFileName(char* out, size_t size, const char* base);

// The face name kept in a font settings file (its first line, cut to the
// 31 bytes a face name holds), or "" when there is none.
std::string ReadFontFace(const char* settingsPath);
