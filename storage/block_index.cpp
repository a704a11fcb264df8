#include "block_index.h"

#include <algorithm>
#include <memory>

#include "animation.h"

namespace {

struct Entry {
  uint64_t offset;
  int number;
  uint32_t reach;  // the highest number (as unsigned) up to this block
};

struct Index {
  uint32_t generation = 1;  // 0 is never an index's
  bool trusted = false;     // describes a file: identity below
  FileIdentity identity{};
  std::unique_ptr<Entry[]> entries;  // kMaxIndexedBlocks of them, from the first trusted file on
  uint32_t count = 0;
  uint64_t indexedWalks = 0;
};

Index s_index;
int64_t (*s_now)() = FileClockNow;

void Begin(const FileIdentity* identity) {
  ++s_index.generation;
  if (s_index.generation == 0) s_index.generation = 1;
  s_index.count = 0;
  s_index.trusted = false;
  if (identity == nullptr) return;
  s_index.identity = *identity;
  // Only a write older than the begin time by more than the granularity is
  // sure to be the last one this walk could miss.
  s_index.trusted = identity->writeTime < s_now() - kFileTimeGranularity;
  if (s_index.trusted && s_index.entries == nullptr) s_index.entries.reset(new Entry[kMaxIndexedBlocks]);
}

// A note that does not simply add the next block: it checks the block the
// index holds there, or leaves a full index alone.
bool NoteOther(uint32_t place, uint64_t offset, int number, bool fromStart) {
  if (place >= s_index.count) return true;
  const Entry& e = s_index.entries[place];
  if (e.offset == offset && e.number == number) return true;
  if (!fromStart) {
    Begin(nullptr);
    return false;
  }
  s_index.count = place;  // the notes from here on replace the rest
  return NoteIndexedBlock(s_index.generation, place, offset, number, fromStart);
}

}  // namespace

uint32_t BeginIndexedWalk(const FileIdentity* identity) {
  if (identity == nullptr || !s_index.trusted || !SameFileVersion(*identity, s_index.identity)) {
    Begin(identity);
  }
  return s_index.trusted ? s_index.generation : 0;
}

bool FindIndexedBlock(uint32_t generation, uint32_t n, IndexedBlock* block) {
  const Entry* e = s_index.entries.get();
  const uint32_t count = s_index.count;
  if (generation != s_index.generation || count == 0) return false;
  // The first block numbered n or above is the first whose reach is.
  uint32_t k = static_cast<uint32_t>(
      std::partition_point(e, e + count, [n](const Entry& x) { return x.reach < n; }) - e);
  if (k == count) --k;
  block->place = k;
  block->offset = e[k].offset;
  block->number = e[k].number;
  block->heldBefore = k > 0 ? e[k - 1].number : 0;
  if (k + 1 < count) {
    block->readLength = e[k + 1].offset - e[k].offset;
  } else {
    // The block's end is not indexed yet: guess twice the block before it
    // (a whole window for the first), as far as the file goes.
    uint64_t guess = k > 0 ? 2 * (e[k].offset - e[k - 1].offset) : kFrameTextMax;
    uint64_t rest = s_index.identity.size > e[k].offset ? s_index.identity.size - e[k].offset : 0;
    block->readLength = std::min(guess + 64, rest);
  }
  return true;
}

bool NoteIndexedBlock(uint32_t generation, uint32_t place, uint64_t offset, int number, bool fromStart) {
  if (generation != s_index.generation) return true;  // a newer walk began another index
  // Walks note one block after another: nearly every note adds the next one.
  if (place != s_index.count || place >= kMaxIndexedBlocks) return NoteOther(place, offset, number, fromStart);
  Entry* e = s_index.entries.get();
  uint32_t reach = static_cast<uint32_t>(number);
  if (place > 0 && e[place - 1].reach > reach) reach = e[place - 1].reach;
  e[place] = Entry{offset, number, reach};
  s_index.count = place + 1;
  return true;
}

void DropBlockIndex() { Begin(nullptr); }

BlockIndexCounts CountBlockIndex() { return BlockIndexCounts{s_index.count, s_index.indexedWalks}; }

void CountIndexedWalk() { ++s_index.indexedWalks; }

void SetBlockIndexClock(int64_t (*now)()) { s_now = now != nullptr ? now : FileClockNow; }
