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
#include "player_html.h"

namespace {

// Everything of the program's state that loading frames changes, kept while
// the page is built and put back afterwards. WorkBuffer is left out: every
// operation that reads into it clears or overwrites it first.
struct StorageSnapshot {
  AnimationState animation;
  ColourTriple pen;
  ColourTriple back;
  FrameRecord record;
  SoundCue cue;
  ViewHooks hooks;
  void (*playSound)(const char*);
  bool (*frameTextSource)(const char*, uint32_t);
  std::vector<char> displayText;
};

void Save(StorageSnapshot& s) {
  s.animation = g_animation;
  s.pen = PenColour;
  s.back = BackColour;
  s.record = g_frameRecord;
  s.cue = g_soundCue;
  s.hooks = g_viewHooks;
  s.playSound = g_playSound;
  s.frameTextSource = g_frameTextSource;
  if (DisplayText != nullptr) s.displayText.assign(DisplayText, DisplayText + kTextBufferSize);
}

void Restore(const StorageSnapshot& s) {
  g_animation = s.animation;
  PenColour = s.pen;
  BackColour = s.back;
  g_frameRecord = s.record;
  g_soundCue = s.cue;
  g_viewHooks = s.hooks;
  g_playSound = s.playSound;
  g_frameTextSource = s.frameTextSource;
  if (DisplayText != nullptr && !s.displayText.empty()) {
    std::memcpy(DisplayText, s.displayText.data(), kTextBufferSize);
  }
}

// What one load did besides the text: the colours it applied, the sound it
// played. Filled by the hooks below while frames are loaded.
struct LoadEffects {
  bool coloured;
  ColourTriple pen;
  ColourTriple back;
  bool sounded;
  std::string sound;
};
LoadEffects s_effects;

void NoteColours() {
  s_effects.coloured = true;
  s_effects.pen = PenColour;
  s_effects.back = BackColour;
}

void NoteSound(const char* path) {
  s_effects.sounded = true;
  s_effects.sound = path;
}

// The all-in-one file read once: every block's number and text in file
// order, with the highest number (unsigned) up to each block, so that a
// frame is found as a front-to-back search finds it.
struct BlockTable {
  bool opened = false;
  std::string bytes;
  std::vector<uint32_t> number;
  std::vector<uint32_t> highest;
  std::vector<size_t> offset;
  std::vector<int> length;
};
const BlockTable* s_blocks = nullptr;

void ReadBlockTable(const char* base, BlockTable& table) {
  char name[kPathMax];
  BlockStream s;
  if (!AllInOneFileName(name, sizeof name, base) || !OpenBlockStream(s, name)) return;
  table.opened = true;
  int number = 0;
  const char* text;
  int length;
  while (ReadBlockNumber(s, &number) != 0 && ReadBlockText(s, &text, &length)) {
    uint32_t n = static_cast<uint32_t>(number);
    table.highest.push_back(table.number.empty() ? n : std::max(n, table.highest.back()));
    table.number.push_back(n);
    table.offset.push_back(table.bytes.size());
    table.length.push_back(length);
    table.bytes.append(text, static_cast<size_t>(length));
    AdvanceToNextBlock(s);
  }
  CloseBlockStream(s);
}

// The frame text source over the block table: the first block numbered n or
// above decides, as in the file; true when the blocks run out first.
bool ReadFromBlockTable(const char*, uint32_t n) {
  WorkBuffer[0] = '\0';
  const BlockTable& t = *s_blocks;
  if (!t.opened) return false;
  auto it = std::lower_bound(t.highest.begin(), t.highest.end(), n);
  if (it == t.highest.end()) return true;
  size_t i = static_cast<size_t>(it - t.highest.begin());
  if (t.number[i] != n) return false;
  // A text ended by "[end]" may run 2 bytes past what a frame holds.
  size_t length = std::min(static_cast<size_t>(t.length[i]), static_cast<size_t>(kFrameTextMax));
  std::memcpy(WorkBuffer, t.bytes.data() + t.offset[i], length);
  WorkBuffer[length] = '\0';
  return false;
}

// The frame text source over the frame files: reads them as the loader
// does, and notes which frames have a file.
std::vector<bool>* s_hasFile = nullptr;

bool ReadNotingFiles(const char* base, uint32_t n) {
  if (ReadFrameFile(base, n) && n < s_hasFile->size()) (*s_hasFile)[n] = true;
  return false;
}

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

// Loads every frame as playback does, with hooks that note what each load
// applies instead of showing it, and puts the program's state back after.
void LoadEveryFrame(const WebPageSource& source, Playback& play, WebPage& page) {
  auto saved = std::make_unique<StorageSnapshot>();
  Save(*saved);
  // Put back however the walk ends, running out of memory included.
  struct PutBack {
    const StorageSnapshot& saved;
    ~PutBack() {
      s_blocks = nullptr;
      s_hasFile = nullptr;
      Restore(saved);
    }
  } putBack{*saved};
  const char* base = source.base;
  g_animation.storageMode = source.storageMode;
  g_viewHooks = ViewHooks{};
  g_viewHooks.ApplyColours = NoteColours;
  g_playSound = NoteSound;

  s_effects = LoadEffects{};
  ApplyFirstFrameColours(base);
  play.startColours = s_effects.coloured ? Hex(s_effects.pen, s_effects.back) : "";

  // In the all-in-one layout, loading frame by frame would read the file
  // from its start for every frame: read it once and serve the texts.
  BlockTable blocks;
  play.stored.assign(HighestSlot, false);
  if (source.storageMode == AllInOne) {
    ReadBlockTable(base, blocks);
    for (uint32_t n : blocks.number) {
      if (n < HighestSlot) play.stored[n] = true;
    }
    s_blocks = &blocks;
    g_frameTextSource = ReadFromBlockTable;
  } else {
    s_hasFile = &play.stored;
    g_frameTextSource = ReadNotingFiles;
  }

  std::unordered_map<std::string, uint32_t> bodyIndex;
  play.frames.resize(HighestSlot);
  for (uint32_t k = 0; k < HighestSlot; ++k) {
    s_effects = LoadEffects{};
    g_animation.playing = 1;
    LoadFrame(base, k);
    FrameShow& f = play.frames[k];
    auto inserted = bodyIndex.emplace(g_frameRecord.body, static_cast<uint32_t>(bodyIndex.size()));
    if (inserted.second) {
      // Bodies never hold a zero byte: a zero closes each one.
      play.bodies.append(g_frameRecord.body, std::strlen(g_frameRecord.body) + 1);
    }
    f.text = inserted.first->second;
    f.colour = -1;
    if (s_effects.coloured) {
      f.colour = static_cast<int>(play.colours.size());
      play.colours.push_back(Hex(s_effects.pen, s_effects.back));
    }
    f.cue = s_effects.sounded ? CueIndex(play.cues, s_effects.sound, base, page) : -1;
    f.ends = g_animation.playing == 0;
  }
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
