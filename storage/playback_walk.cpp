#include "playback_walk.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "block_stream.h"
#include "conversion.h"
#include "frame_files.h"
#include "frame_header.h"
#include "frame_listing.h"
#include "frame_loader.h"

namespace {

// Everything of the program's state that loading frames changes, kept while
// the frames are walked and put back afterwards. WorkBuffer is left out:
// every operation that reads into it clears or overwrites it first.
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

// What one load did besides the text: whether it applied colours, the sound
// it played. Filled by the hooks below while frames are loaded.
ShownFrame s_effects;

void NoteColours() { s_effects.coloured = true; }

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
// does, and notes which frames have a file. A frame whose name the folder
// lacks is empty without trying it.
std::vector<bool>* s_hasFile = nullptr;
const FrameSlots* s_slots = nullptr;

bool ReadNotingFiles(const char* base, uint32_t n) {
  if (!MayHaveFile(*s_slots, n)) {
    WorkBuffer[0] = '\0';
  } else if (ReadFrameFile(base, n) && n < s_hasFile->size()) {
    (*s_hasFile)[n] = true;
  }
  return false;
}

}  // namespace

void WalkPlayback(const char* base, int storageMode, const ColourTriple& pen, const ColourTriple& back,
                  PlaybackWalk& walk, const std::function<void(uint32_t frame, const ShownFrame& shown)>& visit) {
  // The state goes back also when memory runs out on the way.
  struct Restorer {
    StorageSnapshot saved;
    Restorer() { Save(saved); }
    ~Restorer() {
      s_blocks = nullptr;
      s_hasFile = nullptr;
      s_slots = nullptr;
      Restore(saved);
    }
  };
  auto restorer = std::make_unique<Restorer>();
  g_animation.storageMode = storageMode;
  g_viewHooks = ViewHooks{};
  g_viewHooks.ApplyColours = NoteColours;
  g_playSound = NoteSound;

  PenColour = pen;
  BackColour = back;
  s_effects = ShownFrame{};
  ApplyFirstFrameColours(base);
  walk.startColoured = s_effects.coloured;
  walk.startPen = PenColour;
  walk.startBack = BackColour;

  // In the all-in-one layout, loading frame by frame would read the file
  // from its start for every frame: read it once and serve the texts.
  BlockTable blocks;
  FrameSlots slots;
  walk.stored.assign(HighestSlot, false);
  if (storageMode == AllInOne) {
    ReadBlockTable(base, blocks);
    for (uint32_t n : blocks.number) {
      if (n < HighestSlot) walk.stored[n] = true;
    }
    s_blocks = &blocks;
    g_frameTextSource = ReadFromBlockTable;
  } else {
    slots = ListFrameSlots(base);
    s_slots = &slots;
    s_hasFile = &walk.stored;
    g_frameTextSource = ReadNotingFiles;
  }

  std::unordered_map<std::string, uint32_t> bodyIndex;
  for (uint32_t k = 0; k < HighestSlot; ++k) {
    s_effects = ShownFrame{};
    g_animation.playing = 1;
    LoadFrame(base, k);
    auto inserted = bodyIndex.emplace(g_frameRecord.body, static_cast<uint32_t>(bodyIndex.size()));
    if (inserted.second) {
      // Bodies never hold a zero byte: a zero closes each one.
      walk.bodyStart.push_back(walk.bodies.size());
      walk.bodies.append(g_frameRecord.body, std::strlen(g_frameRecord.body) + 1);
    }
    s_effects.body = inserted.first->second;
    s_effects.pen = PenColour;
    s_effects.back = BackColour;
    s_effects.ends = g_animation.playing == 0;
    visit(k, s_effects);
  }
}

int LastStoredFrame(const PlaybackWalk& walk) {
  for (size_t k = walk.stored.size(); k > 0; --k) {
    if (walk.stored[k - 1]) return static_cast<int>(k - 1);
  }
  return -1;
}
