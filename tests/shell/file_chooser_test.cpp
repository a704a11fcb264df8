// The open-file dialog record and its presets, and the dialog itself driven
// under Wine: the filter texts it shows and the filter position it keeps.
#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "animation.h"
#include "file_chooser.h"
#include "windows_test_support.h"

namespace {

// The filter list up to its closing empty entry.
std::string FilterBytes(const char* filter) {
  std::string bytes;
  while (*filter != '\0') {
    size_t n = std::strlen(filter) + 1;
    bytes.append(filter, n);
    filter += n;
  }
  return bytes;
}

// "テキスト Files (*.txt)" as the ANSI dialog must receive it.
std::string TextDescription() { return FromUtf8("テキスト Files (*.txt)", 932); }

TEST(FileChooser, RecordAndPresets) {
  InitFileChooser(nullptr);
  const OPENFILENAMEA& record = FileChooserRecord();
  EXPECT_EQ(record.lStructSize, 76u);
  EXPECT_EQ(record.nMaxFile, static_cast<DWORD>(kPathMax));
  EXPECT_EQ(record.nMaxFileTitle, static_cast<DWORD>(kPathMax));
  EXPECT_EQ(record.lpstrFilter, nullptr);
  EXPECT_EQ(record.nFilterIndex, 0u);

  UseTextPreset();
  const char textRest[] = "\0*.txt\0All Files (*.*)\0*.*\0";
  EXPECT_EQ(FilterBytes(record.lpstrFilter), TextDescription() + std::string(textRest, sizeof textRest - 1));
  EXPECT_STREQ(record.lpstrDefExt, "txt");
  UseSoundPreset();
  const char sound[] = "wav Files (*.wav)\0*.wav\0All Files (*.*)\0*.*\0";
  EXPECT_EQ(FilterBytes(record.lpstrFilter), std::string(sound, sizeof sound - 1));
  EXPECT_STREQ(record.lpstrDefExt, "wav");
}

std::string ComboItem(HWND combo, int index) {
  char text[256] = {};
  if (SendMessageA(combo, CB_GETLBTEXTLEN, index, 0) >= static_cast<LRESULT>(sizeof text)) return "";
  SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

TEST(FileChooser, TheFilterPositionPickedStaysForTheNextUse) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese code page, not " << GetACP();
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("zoetrix-chooser-" + std::to_string(GetCurrentProcessId()));
  fs::create_directories(dir);
  const std::string picked = (dir / "walk.txt").string();
  std::ofstream(picked) << "x";

  InitFileChooser(nullptr);
  UseTextPreset();
  char buffer[kPathMax] = {};
  std::string firstItem, secondItem;
  OnNextDialog([&](HWND dialog) {
    HWND types = GetDlgItem(dialog, cmb1);
    firstItem = ComboItem(types, 0);
    secondItem = ComboItem(types, 1);
    // The user picks the second filter and names the file.
    SendMessageA(types, CB_SETCURSEL, 1, 0);
    for (WORD note : {CBN_SELCHANGE, CBN_SELENDOK}) {
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, note), reinterpret_cast<LPARAM>(types));
    }
    SetDlgItemTextA(dialog, edt1, picked.c_str());
    if (GetDlgItem(dialog, cmb13) != nullptr) SetDlgItemTextA(dialog, cmb13, picked.c_str());
    CloseDialog(dialog, IDOK);
  });
  EXPECT_TRUE(ChooseFile(nullptr, buffer));
  ASSERT_TRUE(DialogActionRan());
  EXPECT_EQ(firstItem, TextDescription());
  EXPECT_EQ(secondItem, "All Files (*.*)");
  EXPECT_EQ(std::string(buffer), picked);
  EXPECT_EQ(FileChooserRecord().nFilterIndex, 2u);
  EXPECT_EQ(FileChooserRecord().Flags & (OFN_HIDEREADONLY | OFN_CREATEPROMPT), 0x2004u);

  // The sound chooser opens on the second filter too; cancelling keeps the
  // buffer.
  UseSoundPreset();
  int selected = -1;
  OnNextDialog([&](HWND dialog) {
    HWND types = GetDlgItem(dialog, cmb1);
    firstItem = ComboItem(types, 0);
    selected = static_cast<int>(SendMessageA(types, CB_GETCURSEL, 0, 0));
    CloseDialog(dialog, IDCANCEL);
  });
  EXPECT_FALSE(ChooseFile(nullptr, buffer));
  ASSERT_TRUE(DialogActionRan());
  EXPECT_EQ(firstItem, "wav Files (*.wav)");
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(std::string(buffer), picked);

  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
