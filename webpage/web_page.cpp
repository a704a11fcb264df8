#include "web_page.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <unordered_map>

#include "animation.h"
#include "block_stream.h"
#include "conversion.h"
#include "file_io.h"
#include "frame_files.h"
#include "frame_header.h"
#include "frame_loader.h"
#include "path_text.h"
#include "playback_walk.h"
#include "player_html.h"

namespace {

// How playback shows one frame.
struct FrameShow {
  uint32_t text;  // index of its body among the distinct bodies
  int colour;     // index into the colour list, or -1
  int cue;        // index into the cue list, or -1
  bool ends;      // showing it ends playback
};

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

void AppendBase64(std::string& out, const char* data, size_t size) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
  out.reserve(out.size() + (size + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    unsigned v = p[i] << 16 | p[i + 1] << 8 | p[i + 2];
    const char quad[4] = {kBase64[v >> 18], kBase64[v >> 12 & 63], kBase64[v >> 6 & 63], kBase64[v & 63]};
    out.append(quad, 4);
  }
  if (i < size) {
    unsigned v = p[i] << 16 | (i + 1 < size ? p[i + 1] << 8 : 0);
    out += kBase64[v >> 18];
    out += kBase64[v >> 12 & 63];
    out += i + 1 < size ? kBase64[v >> 6 & 63] : '=';
    out += '=';
  }
}

std::string Base64(const std::string& bytes) {
  std::string out;
  AppendBase64(out, bytes.data(), bytes.size());
  return out;
}

std::string Hex(const ColourTriple& pen, const ColourTriple& back) {
  // As the drawing side forms colour values: the low 8 bits of each part.
  char hex[16];
  std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x%02x%02x", pen.red & 255, pen.green & 255, pen.blue & 255,
                back.red & 255, back.green & 255, back.blue & 255);
  return hex;
}

// The length of path's directory part, its last separator included.
size_t DirectoryLength(const char* path) {
  const char* back = LastSeparator(path);
  const char* slash = std::strrchr(path, '/');  // never the second byte of a character
  const char* last = back > slash ? back : slash;
  return last != nullptr ? static_cast<size_t>(last - path) + 1 : 0;
}

// Finds a sound as the program's sound call does: a relative name against
// the animation's directory (the program's current directory).
std::string SoundFileName(const std::string& sound, const char* base) {
  bool absolute = sound[0] == '\\' || sound[0] == '/' || (sound.size() > 1 && sound[1] == ':');
  std::string name = absolute ? sound : std::string(base, DirectoryLength(base)) + sound;
#ifndef _WIN32
  std::replace(name.begin(), name.end(), '\\', '/');
#endif
  return name;
}

bool ReadWholeFile(const std::string& name, std::string& bytes) {
  std::ifstream in;
  if (!OpenInput(in, name.c_str())) return false;
  char chunk[65536];
  size_t got;
  while ((got = ReadChunk(in, chunk, sizeof chunk)) > 0) bytes.append(chunk, got);
  return !in.bad();
}

// The sounds of the page: each file embedded once.
struct CueList {
  std::vector<std::string> names;  // as the frames give them
  std::vector<int> index;          // for each name: its place in data, or -1
  std::vector<std::string> data;   // the files' bytes
};

int CueIndex(CueList& cues, const std::string& sound, const char* base, WebPage& page) {
  if (sound.empty()) return -1;  // a sound block with an empty path line names no file
  auto found = std::find(cues.names.begin(), cues.names.end(), sound);
  if (found != cues.names.end()) return cues.index[static_cast<size_t>(found - cues.names.begin())];
  std::string bytes;
  int index = -1;
  if (ReadWholeFile(SoundFileName(sound, base), bytes)) {
    index = static_cast<int>(cues.data.size());
    cues.data.push_back(std::move(bytes));
  } else {
    page.missingSounds.push_back(sound);
  }
  cues.names.push_back(sound);
  cues.index.push_back(index);
  return index;
}

// Runs of frames: "N" for N frames that each show the next new body,
// "@I*N" for N frames that show body I.
std::string TextRuns(const std::vector<FrameShow>& frames) {
  std::string out;
  uint32_t fresh = 0;
  size_t i = 0;
  while (i < frames.size()) {
    size_t j = i;
    if (!out.empty()) out += ' ';
    if (frames[i].text == fresh) {
      while (j < frames.size() && frames[j].text == fresh) {
        ++fresh;
        ++j;
      }
    } else {
      while (j < frames.size() && frames[j].text == frames[i].text) ++j;
      out += '@' + std::to_string(frames[i].text) + '*';
    }
    out += std::to_string(j - i);
    i = j;
  }
  return out;
}

// "K:V" for each frame K whose field is not -1.
template <typename Field>
std::string Sparse(const std::vector<FrameShow>& frames, Field field, const std::vector<std::string>* names) {
  std::string out;
  for (size_t k = 0; k < frames.size(); ++k) {
    int v = field(frames[k]);
    if (v < 0) continue;
    if (!out.empty()) out += ' ';
    out += std::to_string(k) + ':' + (names != nullptr ? (*names)[static_cast<size_t>(v)] : std::to_string(v));
  }
  return out;
}

// "A-B" for each run of frames A ... B that end playback.
std::string EndRuns(const std::vector<FrameShow>& frames) {
  std::string out;
  for (size_t k = 0; k < frames.size(); ++k) {
    if (!frames[k].ends) continue;
    size_t j = k;
    while (j + 1 < frames.size() && frames[j + 1].ends) ++j;
    if (!out.empty()) out += ' ';
    out += std::to_string(k) + '-' + std::to_string(j);
    k = j;
  }
  return out;
}

// Fills the player's two slots: the description of the frames, and the
// bodies' bytes.
void FillTemplate(std::string& html, const std::string& meta, const std::string& bodies) {
  const std::string player(reinterpret_cast<const char*>(kPlayerHtml), sizeof kPlayerHtml);
  const size_t metaAt = player.find("{{META}}");
  const size_t textAt = player.find("{{TEXT}}");
  html.reserve(player.size() + meta.size() + (bodies.size() + 2) / 3 * 4);
  html.append(player, 0, metaAt);
  html += meta;
  html.append(player, metaAt + 8, textAt - metaAt - 8);
  AppendBase64(html, bodies.data(), bodies.size());
  html.append(player, textAt + 8, std::string::npos);
}

// What playback shows of every frame 0 ... 9999, and what the page needs
// besides: the colours Start applies, the sounds, which frames are stored.
struct Playback {
  std::string startColours;  // "" when the first frame has none
  std::vector<FrameShow> frames;
  std::vector<std::string> colours;
  CueList cues;
  std::string bodies;         // the distinct bodies, each closed by a zero
  std::vector<bool> stored;   // the frame has a file or a block
};

// Loads every frame as playback does, noting what each load applies.
void LoadEveryFrame(const WebPageSource& source, Playback& play, WebPage& page) {
  PlaybackWalk walk;
  play.frames.resize(HighestSlot);
  WalkPlayback(source.base, source.storageMode, PenColour, BackColour, walk,
               [&](uint32_t k, const ShownFrame& shown) {
                 FrameShow& f = play.frames[k];
                 f.text = shown.body;
                 f.colour = -1;
                 if (shown.coloured) {
                   f.colour = static_cast<int>(play.colours.size());
                   play.colours.push_back(Hex(shown.pen, shown.back));
                 }
                 f.cue = shown.sounded ? CueIndex(play.cues, shown.sound, source.base, page) : -1;
                 f.ends = shown.ends;
               });
  play.startColours = walk.startColoured ? Hex(walk.startPen, walk.startBack) : "";
  play.bodies = std::move(walk.bodies);
  play.stored = std::move(walk.stored);
}

// The description of the frames that the player reads (JSON; every text
// from the animation's files is in base64).
std::string Describe(const WebPageSource& source, const Playback& play, uint32_t last) {
  std::string sounds;
  for (const std::string& data : play.cues.data) sounds += (sounds.empty() ? "\"" : ",\"") + Base64(data) + "\"";
  const auto colour = [](const FrameShow& f) { return f.colour; };
  const auto cue = [](const FrameShow& f) { return f.cue; };
  return std::string("{\"title\":\"") + Base64(source.base + DirectoryLength(source.base)) +
#ifdef _WIN32
         "\",\"titleCharset\":\"shift_jis\"" +  // file names are in the ANSI code page
#else
         "\",\"titleCharset\":\"utf-8\"" +
#endif
         ",\"font\":\"" + Base64(source.fontFace) + "\",\"frames\":" + std::to_string(HighestSlot) +
         ",\"last\":" + std::to_string(last) + ",\"start\":\"" + play.startColours + "\",\"texts\":\"" +
         TextRuns(play.frames) + "\",\"colours\":\"" + Sparse(play.frames, colour, &play.colours) +
         "\",\"cues\":\"" + Sparse(play.frames, cue, nullptr) + "\",\"ends\":\"" + EndRuns(play.frames) +
         "\",\"sounds\":[" + sounds + "]}";
}

}  // namespace

void BuildWebPage(const WebPageSource& source, WebPage& page) {
  Playback play;
  LoadEveryFrame(source, play, page);
  uint32_t last = 0;  // the loop switch starts again after this frame
  for (uint32_t k = 0; k < HighestSlot; ++k) {
    if (!play.stored[k]) continue;
    ++page.storedFrames;
    last = k;
  }
  FillTemplate(page.html, Describe(source, play, last), play.bodies);
}

bool WriteWebPage(const char* target, const std::string& html, std::string* error) {
  int code = 0;
  if (WriteFileSafely(target, html.data(), html.size(), kWriteDurable, &code)) return true;
  if (error != nullptr) {
    char reason[256];
    DescribeFileError(code, reason, sizeof reason);
    *error = reason;
  }
  return false;
}

bool WebPageFileName(char* out, size_t size, const char* base) {
  int written = std::snprintf(out, size, "%s.html", base);
  if (written < 0 || static_cast<size_t>(written) >= size) {
    if (size > 0) out[0] = '\0';
    return false;
  }
  return true;
}

std::string ReadFontFace(const char* settingsPath) {
  std::ifstream in;
  if (settingsPath == nullptr || !OpenInput(in, settingsPath)) return "";
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  // A face name holds 31 bytes; the program cuts longer ones there.
  if (line.size() > 31) line.resize(31);
  return line;
}
