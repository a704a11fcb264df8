#include "file_chooser.h"

#include <cstddef>

#include "animation.h"

// The record has the layout of the first common-dialog version, up to the
// template name, without the fields that later versions added at its end.
constexpr DWORD kRecordSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
static_assert(sizeof(void*) != 4 || kRecordSize == 76, "the open-file record is 76 bytes in a 32-bit program");

static OPENFILENAMEA s_chooser;

// Pairs of description and pattern, each ending in a zero, the list ending in
// one more. The program passes them to the ANSI dialog, so the description
// "テキスト Files (*.txt)" is kept in Shift-JIS bytes.
static const char kTextFilter[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67 Files (*.txt)\0*.txt\0"
    "All Files (*.*)\0*.*\0";
static const char kSoundFilter[] =
    "wav Files (*.wav)\0*.wav\0"
    "All Files (*.*)\0*.*\0";

void InitFileChooser(HWND owner) {
  // Everything not set here is none or 0: no instance, filter, custom
  // filter, file title, initial directory, title, hook or template. Each use
  // sets a preset (filter and default extension) first.
  s_chooser = OPENFILENAMEA{};
  s_chooser.lStructSize = kRecordSize;
  s_chooser.hwndOwner = owner;
  s_chooser.nMaxFile = kPathMax;
  s_chooser.nMaxFileTitle = kPathMax;
  s_chooser.lpstrDefExt = "";
}

void UseTextPreset() {
  s_chooser.lpstrFilter = kTextFilter;
  s_chooser.lpstrDefExt = "txt";
}

void UseSoundPreset() {
  s_chooser.lpstrFilter = kSoundFilter;
  s_chooser.lpstrDefExt = "wav";
}

BOOL ChooseFile(HWND owner, char* buffer) {
  s_chooser.hwndOwner = owner;
  s_chooser.lpstrFile = buffer;
  s_chooser.lpstrFileTitle = nullptr;
  // A name that does not exist yet may be confirmed (after the dialog asks
  // whether to create it): that is how a new animation starts. The working
  // directory stays the animation's, where its sounds named bare are found.
  s_chooser.Flags = OFN_HIDEREADONLY | OFN_CREATEPROMPT | OFN_NOCHANGEDIR;
  return GetOpenFileNameA(&s_chooser);
}

const OPENFILENAMEA& FileChooserRecord() { return s_chooser; }
