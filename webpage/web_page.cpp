#include "web_page.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <stdexcept>
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

// Writes the base64 of size bytes at out ((size + 2) / 3 * 4 characters).
void EncodeBase64(char* out, const char* data, size_t size) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
  size_t i = 0;
  for (; i + 3 <= size; i += 3, out += 4) {
    unsigned v = p[i] << 16 | p[i + 1] << 8 | p[i + 2];
    out[0] = kBase64[v >> 18];
    out[1] = kBase64[v >> 12 & 63];
    out[2] = kBase64[v >> 6 & 63];
    out[3] = kBase64[v & 63];
  }
  if (i < size) {
    unsigned v = p[i] << 16 | (i + 1 < size ? p[i + 1] << 8 : 0);
    out[0] = kBase64[v >> 18];
    out[1] = kBase64[v >> 12 & 63];
    out[2] = i + 1 < size ? kBase64[v >> 6 & 63] : '=';
    out[3] = '=';
  }
}

uint64_t Base64Length(uint64_t size) { return (size + 2) / 3 * 4; }

std::string Base64(const std::string& bytes) {
  std::string out(Base64Length(bytes.size()), '=');
  EncodeBase64(&out[0], bytes.data(), bytes.size());
  return out;
}

std::string Hex(const ColourTriple& pen, const ColourTriple& back) {
  // As the drawing side forms colour values: the low 8 bits of each part.
  char hex[16];
  std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x%02x%02x", pen.red & 255, pen.green & 255, pen.blue & 255,
                back.red & 255, back.green & 255, back.blue & 255);
  return hex;
}

enum class SoundRead { Read, Missing, TooLarge };

// Reads a sound file whole, unless it holds more than limit bytes.
SoundRead ReadSoundFile(const std::string& name, uint64_t limit, std::string& bytes) {
  std::ifstream in;
  if (!OpenInput(in, name.c_str())) return SoundRead::Missing;
  char chunk[65536];
  size_t got;
  while ((got = ReadChunk(in, chunk, sizeof chunk)) > 0) {
    if (bytes.size() + got > limit) return SoundRead::TooLarge;
    bytes.append(chunk, got);
  }
  return in.bad() ? SoundRead::Missing : SoundRead::Read;
}

// The sounds of the page: each file embedded once.
struct CueList {
  std::vector<std::string> names;  // as the frames give them
  std::vector<int> index;          // for each name: its place in data, or -1
  std::vector<std::string> data;   // the files' bytes
  uint64_t bytes = 0;              // in data
  uint64_t room = 0;               // the most the page holds: more make it too large
};

int CueIndex(CueList& cues, const std::string& sound, const char* base, WebPage& page) {
  if (sound.empty()) return -1;  // a sound block with an empty path line names no file
  auto found = std::find(cues.names.begin(), cues.names.end(), sound);
  if (found != cues.names.end()) return cues.index[static_cast<size_t>(found - cues.names.begin())];
  std::string bytes;
  int index = -1;
  SoundRead read = ReadSoundFile(SoundFileName(sound, base), kMaxSoundBytes, bytes);
  if (read == SoundRead::Read) {
    index = static_cast<int>(cues.data.size());
    cues.bytes += bytes.size();
    // Past the page's room the page is not written: its bytes need no keeping.
    if (cues.bytes > cues.room) bytes.clear();
    cues.data.push_back(std::move(bytes));
  } else {
    (read == SoundRead::Missing ? page.missingSounds : page.largeSounds).push_back(sound);
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

// The page's parts in order, to a sink that takes text and bytes to be
// written in base64: the player around its two slots, the description of the
// frames in the first, and in the second one script element for each piece
// of the texts, then one for each sound.
template <typename Sink>
void EmitPage(const WebPage& page, Sink& sink) {
  const char* player = reinterpret_cast<const char*>(kPlayerHtml);
  const std::string whole(player, sizeof kPlayerHtml);
  const size_t metaAt = whole.find("{{META}}");
  const size_t dataAt = whole.find("{{DATA}}");
  static const char kTextOpen[] = "<script class=\"zx-text\" type=\"text/plain\">";
  static const char kSoundOpen[] = "<script class=\"zx-sound\" type=\"text/plain\">";
  static const char kClose[] = "</script>\n";
  sink.Text(player, metaAt);
  sink.Text(page.meta.data(), page.meta.size());
  sink.Text(player + metaAt + 8, dataAt - metaAt - 8);
  size_t start = 0;
  for (size_t end : page.pieceEnds) {
    sink.Text(kTextOpen, sizeof kTextOpen - 1);
    sink.Bytes(page.texts.data() + start, end - start);
    sink.Text(kClose, sizeof kClose - 1);
    start = end;
  }
  for (const std::string& sound : page.sounds) {
    sink.Text(kSoundOpen, sizeof kSoundOpen - 1);
    sink.Bytes(sound.data(), sound.size());
    sink.Text(kClose, sizeof kClose - 1);
  }
  sink.Text(player + dataAt + 8, whole.size() - dataAt - 8);
}

struct CountingSink {
  uint64_t size = 0;
  void Text(const char*, size_t n) { size += n; }
  void Bytes(const char*, size_t n) { size += Base64Length(n); }
};

struct WritingSink {
  SafeWriter out;
  void Text(const char* text, size_t n) { SafeWrite(out, text, n); }
  void Bytes(const char* data, size_t n) {
    char encoded[65536];
    for (size_t done = 0; done < n;) {
      size_t step = std::min(n - done, sizeof encoded / 4 * 3);
      EncodeBase64(encoded, data + done, step);
      SafeWrite(out, encoded, Base64Length(step));
      done += step;
    }
  }
};

// Cuts the texts (each closed by a zero) into pieces of whole texts of
// about pieceBytes; returns the count of texts in each piece.
std::string CutIntoPieces(const std::string& texts, size_t pieceBytes, std::vector<size_t>& ends) {
  std::string counts;
  size_t start = 0, count = 0;
  for (size_t at = 0; at < texts.size();) {
    size_t next = texts.find('\0', at) + 1;
    if (count > 0 && next - start > pieceBytes) {
      ends.push_back(at);
      counts += (counts.empty() ? "" : " ") + std::to_string(count);
      start = at;
      count = 0;
    }
    ++count;
    at = next;
  }
  ends.push_back(texts.size());
  counts += (counts.empty() ? "" : " ") + std::to_string(count);
  return counts;
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
std::string Describe(const WebPageSource& source, const Playback& play, uint32_t last, const std::string& pieces) {
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
         TextRuns(play.frames) + "\",\"pieces\":\"" + pieces + "\",\"colours\":\"" +
         Sparse(play.frames, colour, &play.colours) + "\",\"cues\":\"" + Sparse(play.frames, cue, nullptr) +
         "\",\"ends\":\"" + EndRuns(play.frames) + "\"}";
}

}  // namespace

PageBuild BuildWebPage(const WebPageSource& source, WebPage& page) {
  try {
    Playback play;
    play.cues.room = source.maxPageBytes;
    LoadEveryFrame(source, play, page);
    uint32_t last = 0;  // the loop switch starts again after this frame
    for (uint32_t k = 0; k < HighestSlot; ++k) {
      if (!play.stored[k]) continue;
      ++page.storedFrames;
      last = k;
    }
    if (play.cues.bytes > play.cues.room) return PageBuild::TooLarge;
    page.meta = Describe(source, play, last, CutIntoPieces(play.bodies, source.pieceBytes, page.pieceEnds));
    page.texts = std::move(play.bodies);
    page.sounds = std::move(play.cues.data);
    CountingSink count;
    EmitPage(page, count);
    page.size = count.size;
    return page.size > source.maxPageBytes ? PageBuild::TooLarge : PageBuild::Built;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  // What was gathered is let go: the caller has the memory back.
  page = WebPage{};
  return PageBuild::OutOfMemory;
}

bool WriteWebPage(const char* target, const WebPage& page, std::string* error) {
  WritingSink sink;
  if (BeginSafeWrite(sink.out, target, kWriteDurable)) EmitPage(page, sink);
  if (CommitSafeWrite(sink.out)) return true;
  if (error != nullptr) {
    char reason[256];
    DescribeFileError(sink.out.error, reason, sizeof reason);
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
