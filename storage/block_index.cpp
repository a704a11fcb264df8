#include "block_index.h"

#include <algorithm>
#include <vector>

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
  std::vector<Entry> entries;
  uint64_t indexedWalks = 0;
};

Index s_index;
int64_t (*s_now)() = FileClockNow;

void Begin(const FileIdentity* identity) {
  ++s_index.generation;
  if (s_index.generation == 0) s_index.generation = 1;
  s_index.entries.clear();
  s_index.trusted = false;
  if (identity == nullptr) return;
  s_index.identity = *identity;
  // Only a write older than the begin time by more than the granularity is
  // sure to be the last one this walk could miss.
  s_index.trusted = identity->writeTime < s_now() - kFileTimeGranularity;
}

}  // namespace

uint32_t BeginIndexedWalk(const FileIdentity* identity) {
  if (identity == nullptr || !s_index.trusted || !SameFileVersion(*identity, s_index.identity)) {
    Begin(identity);
  }
  return s_index.trusted ? s_index.generation : 0;
}

bool FindIndexedBlock(uint32_t generation, uint32_t n, IndexedBlock* block) {
  const std::vector<Entry>& e = s_index.entries;
  if (generation != s_index.generation || e.empty()) return false;
  // The first block numbered n or above is the first whose reach is.
  size_t k = static_cast<size_t>(
      std::partition_point(e.begin(), e.end(), [n](const Entry& x) { return x.reach < n; }) - e.begin());
  if (k == e.size()) --k;
  block->place = static_cast<uint32_t>(k);
  block->offset = e[k].offset;
  block->number = e[k].number;
  block->heldBefore = k > 0 ? e[k - 1].number : 0;
  if (k + 1 < e.size()) {
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
  std::vector<Entry>& e = s_index.entries;
  if (generation != s_index.generation) return true;  // a newer walk began another index
  if (place < e.size()) {
    if (e[place].offset == offset && e[place].number == number) return true;
    if (!fromStart) {
      Begin(nullptr);
      return false;
    }
    e.resize(place);
  }
  if (place == e.size() && e.size() < kMaxIndexedBlocks) {
    uint32_t reach = static_cast<uint32_t>(number);
    if (!e.empty() && e.back().reach > reach) reach = e.back().reach;
    e.push_back(Entry{offset, number, reach});
  }
  return true;
}

void DropBlockIndex() { Begin(nullptr); }

BlockIndexCounts CountBlockIndex() {
  return BlockIndexCounts{static_cast<uint32_t>(s_index.entries.size()), s_index.indexedWalks};
}

void CountIndexedWalk() { ++s_index.indexedWalks; }

void SetBlockIndexClock(int64_t (*now)()) { s_now = now != nullptr ? now : FileClockNow; }
