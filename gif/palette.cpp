#include "palette.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// An open-addressed map of up to 256 colours to their indices.
constexpr unsigned kSlots = 1024;
constexpr uint32_t kEmpty = 0xFFFFFFFFu;

inline unsigned SlotOf(uint32_t colour) { return (colour * 2654435761u) >> 22; }

// The exact table; false once a colour more than 256 appears.
bool IndexExactly(const uint32_t* pixels, size_t count, Palette& palette, uint8_t* indices) {
  uint32_t key[kSlots];
  uint8_t value[kSlots];
  std::memset(key, 0xFF, sizeof key);
  uint32_t last = kEmpty;
  uint8_t lastIndex = 0;
  palette.count = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t c = pixels[i];
    if (c != last) {
      unsigned slot = SlotOf(c);
      while (key[slot] != kEmpty && key[slot] != c) slot = (slot + 1) & (kSlots - 1);
      if (key[slot] == kEmpty) {
        if (palette.count == 256) return false;
        key[slot] = c;
        value[slot] = static_cast<uint8_t>(palette.count);
        palette.colour[palette.count++] = c;
      }
      last = c;
      lastIndex = value[slot];
    }
    indices[i] = lastIndex;
  }
  return true;
}

int Channel(uint32_t colour, int channel) { return colour >> (16 - 8 * channel) & 255; }

// Reduces the colours of histogram (colour and count pairs, distinct colours)
// to at most limit colours by median cut; returns, for each pair, the index
// of its colour in table, which receives the reduced colours.
std::vector<uint8_t> MedianCut(const std::vector<std::pair<uint32_t, uint32_t>>& histogram, int limit,
                               std::vector<uint32_t>& table) {
  // A box of colours: its widest channel, and how widely its colours spread
  // there weighted by how many pixels it holds.
  struct Box {
    size_t begin, end;
    int channel;
    double score;
  };
  std::vector<std::pair<uint32_t, uint32_t>> entries(histogram);
  auto makeBox = [&entries](size_t begin, size_t end) {
    Box box{begin, end, 0, -1};
    if (end - begin < 2) return box;  // one colour: nothing to split
    double population = 0;
    int range = -1;
    for (int ch = 0; ch < 3; ++ch) {
      int low = 255, high = 0;
      for (size_t i = begin; i < end; ++i) {
        low = std::min(low, Channel(entries[i].first, ch));
        high = std::max(high, Channel(entries[i].first, ch));
      }
      if (high - low > range) {
        range = high - low;
        box.channel = ch;
      }
    }
    for (size_t i = begin; i < end; ++i) population += entries[i].second;
    box.score = range * population;
    return box;
  };
  std::vector<Box> boxes{makeBox(0, entries.size())};
  while (static_cast<int>(boxes.size()) < limit) {
    // Split the widest box at its pixels' median along its widest channel.
    size_t pick = 0;
    for (size_t b = 1; b < boxes.size(); ++b) {
      if (boxes[b].score > boxes[pick].score) pick = b;
    }
    const Box box = boxes[pick];
    if (box.score < 0) break;  // every box holds one colour
    const int channel = box.channel;
    std::sort(entries.begin() + static_cast<std::ptrdiff_t>(box.begin), entries.begin() + static_cast<std::ptrdiff_t>(box.end),
              [channel](const auto& a, const auto& b) { return Channel(a.first, channel) < Channel(b.first, channel); });
    double total = 0, half = 0;
    for (size_t i = box.begin; i < box.end; ++i) total += entries[i].second;
    size_t cut = box.begin + 1;
    for (size_t i = box.begin; i + 1 < box.end; ++i) {
      half += entries[i].second;
      cut = i + 1;
      if (half * 2 >= total) break;
    }
    boxes[pick] = makeBox(box.begin, cut);
    boxes.push_back(makeBox(cut, box.end));
  }
  // Each box's colour is its pixels' mean.
  std::unordered_map<uint32_t, uint8_t> boxOf;
  table.clear();
  for (const Box& b : boxes) {
    double sum[3] = {0, 0, 0}, population = 0;
    for (size_t i = b.begin; i < b.end; ++i) {
      for (int ch = 0; ch < 3; ++ch) sum[ch] += static_cast<double>(Channel(entries[i].first, ch)) * entries[i].second;
      population += entries[i].second;
      boxOf[entries[i].first] = static_cast<uint8_t>(table.size());
    }
    uint32_t mean = 0;
    for (int ch = 0; ch < 3; ++ch) mean = mean << 8 | static_cast<uint32_t>(sum[ch] / population + 0.5);
    table.push_back(mean);
  }
  // Each colour takes the nearest of them (its own box's mean, or nearer).
  std::vector<uint8_t> index(histogram.size());
  for (size_t i = 0; i < histogram.size(); ++i) {
    const uint32_t c = histogram[i].first;
    auto distance = [c](uint32_t p) {
      int d = 0;
      for (int ch = 0; ch < 3; ++ch) d += (Channel(c, ch) - Channel(p, ch)) * (Channel(c, ch) - Channel(p, ch));
      return d;
    };
    int best = boxOf[c];
    int bestDistance = distance(table[static_cast<size_t>(best)]);
    for (size_t t = 0; t < table.size() && bestDistance > 0; ++t) {
      int d = distance(table[t]);
      if (d < bestDistance) {
        best = static_cast<int>(t);
        bestDistance = d;
      }
    }
    index[i] = static_cast<uint8_t>(best);
  }
  return index;
}

}  // namespace

void IndexPixels(const uint32_t* pixels, size_t count, Palette& palette, uint8_t* indices) {
  palette.transparent = -1;
  if (!IndexExactly(pixels, count, palette, indices)) {
    std::unordered_map<uint32_t, uint32_t> counts;
    for (size_t i = 0; i < count; ++i) ++counts[pixels[i]];
    bool unchanged = counts.erase(kUnchangedPixel) > 0;
    std::vector<std::pair<uint32_t, uint32_t>> histogram(counts.begin(), counts.end());
    std::vector<uint32_t> table;
    std::vector<uint8_t> index = MedianCut(histogram, unchanged ? 255 : 256, table);
    std::unordered_map<uint32_t, uint8_t> indexOf;
    for (size_t i = 0; i < histogram.size(); ++i) indexOf[histogram[i].first] = index[i];
    palette.count = static_cast<int>(table.size());
    std::copy(table.begin(), table.end(), palette.colour);
    if (unchanged) {
      indexOf[kUnchangedPixel] = static_cast<uint8_t>(palette.count);
      palette.colour[palette.count++] = kUnchangedPixel;
    }
    for (size_t i = 0; i < count; ++i) indices[i] = indexOf[pixels[i]];
  }
  for (int i = 0; i < palette.count; ++i) {
    if (palette.colour[i] == kUnchangedPixel) palette.transparent = i;
  }
}
