#include "animation.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame_header.h"
#include "frame_loader.h"
#include "path_text.h"

AnimationState g_animation;
ColourTriple PenColour;
ColourTriple BackColour;
char WorkBuffer[kTextBufferSize];
char* DisplayText = nullptr;

bool AllocateTextBuffers() {
  FreeTextBuffers();
  DisplayText = static_cast<char*>(std::calloc(kTextBufferSize, 1));
  return DisplayText != nullptr;
}

void FreeTextBuffers() {
  std::free(DisplayText);
  DisplayText = nullptr;
}

void ResetStorageState() {
  std::memset(&g_animation, 0, sizeof g_animation);
  g_animation.storageMode = FrameFiles;
  PenColour = ColourTriple{0, 0, 0};
  BackColour = ColourTriple{255, 255, 255};
  std::memset(WorkBuffer, 0, sizeof WorkBuffer);
  std::memset(&g_frameRecord, 0, sizeof g_frameRecord);
  std::memset(&g_soundCue, 0, sizeof g_soundCue);
}

void CopyText(char* dest, size_t size, const char* src) {
  if (size == 0) return;
  size_t n = std::strlen(src);
  if (n >= size) n = size - 1;
  std::memmove(dest, src, n);
  dest[n] = '\0';
}

static bool FormName(char* out, size_t outSize, int written) {
  if (written < 0 || static_cast<size_t>(written) >= outSize) {
    if (outSize > 0) out[0] = '\0';
    return false;
  }
  return true;
}

bool FrameFileName(char* out, size_t outSize, const char* base, uint32_t n) {
  // The number is formatted as a signed int, as the stored names have always
  // been; frames above INT_MAX only arise from negative block numbers.
  int written = std::snprintf(out, outSize, "%s%04d.txt", base, static_cast<int>(n));
  return FormName(out, outSize, written);
}

bool AllInOneFileName(char* out, size_t outSize, const char* base) {
  int written = std::snprintf(out, outSize, "%s.txt", base);
  return FormName(out, outSize, written);
}

void DeriveBasePath(char* path) {
  // Neither '/' nor '.' is ever the second byte of a two-byte character.
  const char* name = path;
  const char* slash = std::strrchr(path, '/');
  const char* separator = LastSeparator(path);
  if (slash != nullptr) name = slash + 1;
  if (separator != nullptr && separator + 1 > name) name = separator + 1;
  char* dot = std::strrchr(path + (name - path), '.');
  if (dot != nullptr) *dot = '\0';
}

void StepFrame(int delta) {
  // The sum is that of two signed 32-bit numbers; anything outside the
  // non-negative int range lands on frame 0, as a wrapped sum would.
  int64_t sum = static_cast<int64_t>(static_cast<int32_t>(g_animation.currentFrame)) + delta;
  if (sum < 0 || sum > INT32_MAX) sum = 0;
  g_animation.currentFrame = static_cast<uint32_t>(sum);
}
