// One self-contained web page that plays an animation as the program plays
// it: frames 0 ... 9999 as playback shows them, each with its colours and
// sound cue, in the player of player.html. Platform-neutral.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct WebPageSource {
  const char* base;      // the animation's base path
  int storageMode;       // FrameFiles or AllInOne
  std::string fontFace;  // face name bytes from the font settings; may be empty
};

struct WebPage {
  std::string html;
  uint32_t storedFrames = 0;  // frames 0 ... 9999 that have a file or a block
  // Sound names (as the frames give them) whose file could not be read; their
  // cues are left out of the page.
  std::vector<std::string> missingSounds;
};

// Builds the page from the animation's files in the given storage mode. The
// program's state (animation state, colours, frame record, sound cue, shown
// text, hooks) is left as it was found.
void BuildWebPage(const WebPageSource& source, WebPage& page);

// Writes the page's bytes to target, creating or replacing it. Returns false
// with the reason in *error when the file could not be written whole.
bool WriteWebPage(const char* target, const std::string& html, std::string* error);

// The page's name beside the animation: base and ".html". Returns false,
// leaving out empty, when it does not fit size bytes.
bool WebPageFileName(char* out, size_t size, const char* base);

// The face name kept in a font settings file (its first line, cut to the
// 31 bytes a face name holds), or "" when there is none.
std::string ReadFontFace(const char* settingsPath);
