// Where the blocks of the all-in-one file read last start, so that a later
// read of the same file can go straight to the block it wants instead of
// walking every block before it.
//
// The walks of the block stream note every number line they read: its place
// in the walk (0 for the first block), its offset in the file and the number
// the walk holds after it. A walk from the file's start opened on a file
// other than the one described, or on a version of it that cannot be
// trusted, starts a new index. The index is used only while the file is
// provably the one it was built from: the same FileIdentity (file, size,
// write and change times), and that write more than 2 seconds older than
// the moment the index was begun (the coarsest file-time granularity, FAT's;
// a file written close to that moment may have been written again within
// the same tick, unseen). The index lives only in this process, holds at
// most kMaxIndexedBlocks blocks and is never written anywhere.
#pragma once

#include <cstddef>
#include <cstdint>

#include "file_io.h"

constexpr uint32_t kMaxIndexedBlocks = 1u << 16;

// How far a file's last write must lie before the index is begun.
constexpr int64_t kFileTimeGranularity = 2 * kFileTimeUnitsPerSecond;

// A walk opened from the file's start: keeps the index when it describes
// this version of the file and is trusted, else begins a new one for it
// (identity null: the file is unknown and the index is dropped). Returns the
// index generation the walk notes into, 0 when it notes nothing.
uint32_t BeginIndexedWalk(const FileIdentity* identity);

// Where a walk of the trusted index's file looking for frame n starts: the
// first indexed block whose number is n or above (as unsigned numbers), or
// the last one indexed when none is. Returns false when the index of that
// generation holds no block.
struct IndexedBlock {
  uint32_t place;       // its place in the walk
  uint64_t offset;      // its number line's offset in the file
  int number;           // the number the walk holds after its number line
  int heldBefore;       // the number the walk holds before it
  uint64_t readLength;  // bytes likely to hold the block whole
};
bool FindIndexedBlock(uint32_t generation, uint32_t n, IndexedBlock* block);

// Notes the number line the walk of that generation read at place. Returns
// false when it disagrees with what the index holds for that place; a walk
// from the file's start then replaces the index from there on, any other
// walk drops it.
bool NoteIndexedBlock(uint32_t generation, uint32_t place, uint64_t offset, int number, bool fromStart);

// Forgets the index (the next walk of any file starts a new one).
void DropBlockIndex();

// Blocks indexed, and walks started from the index since the process began;
// for tests and benchmarks.
struct BlockIndexCounts {
  uint32_t blocks;
  uint64_t indexedWalks;
};
BlockIndexCounts CountBlockIndex();
void CountIndexedWalk();

// The clock the index's begin time is read from; null restores the wall
// clock. Tests set it to decide which files count as written long enough ago.
void SetBlockIndexClock(int64_t (*now)());
