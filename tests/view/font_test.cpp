// The font: the settings file beside the program, the start-up sequence, and
// when a font is given up.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "animation.h"
#include "font.h"
#include "frame_view.h"
#include "paths.h"
#include "view_host.h"

namespace {

std::string ReadAll(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

LOGFONTA DescriptionOf(HFONT font) {
  LOGFONTA description = {};
  GetObjectA(font, sizeof description, &description);
  return description;
}

HFONT EditorFont(HWND view) { return reinterpret_cast<HFONT>(SendMessageA(view, WM_GETFONT, 0, 0)); }

class FontTest : public FrameViewTest {
 protected:
  void SetUp() override {
    FrameViewTest::SetUp();
    ASSERT_TRUE(FontSettingsPath(path_, sizeof path_));
    std::remove(path_);
  }
  void TearDown() override {
    std::remove(path_);
    FrameViewTest::TearDown();
  }
  void WriteSettings(const std::string& bytes) {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  char path_[kPathMax] = {};
};

TEST_F(FontTest, LoadTakesTheFaceNameFromTheFirstLine) {
  struct Case {
    const char* name;
    bool exists;
    std::string bytes;
    std::string face;
    LONG width;
  };
  const Case cases[] = {
      {"a face name", true, "Courier New", "Courier New", 0},
      {"the first line only", true, "Tahoma\nCourier", "Tahoma", 0},
      {"a CR LF line end", true, "Tahoma\r\nCourier", "Tahoma", 0},
      {"an empty file keeps the face", true, "", "Start", 0},
      {"an empty first line keeps the face", true, "\nTahoma", "Start", 0},
      {"a long name is cut to the field", true, std::string(40, 'F'), std::string(31, 'F'), 0},
      {"a line past 98 characters", true, std::string(120, 'G'), std::string(31, 'G'), 0},
      {"no file changes nothing", false, "", "Start", 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::remove(path_);
    if (c.exists) WriteSettings(c.bytes);
    g_fontDescription = LOGFONTA{};
    g_fontDescription.lfHeight = 12;
    g_fontDescription.lfWidth = 7;
    CopyText(g_fontDescription.lfFaceName, sizeof g_fontDescription.lfFaceName, "Start");
    LoadFontSettings(path_);
    EXPECT_EQ(std::string(g_fontDescription.lfFaceName), c.face);
    EXPECT_EQ(g_fontDescription.lfWidth, c.width);
    EXPECT_EQ(g_fontDescription.lfHeight, 12);
    EXPECT_EQ(g_fontDescription.lfFaceName[LF_FACESIZE - 1], '\0');
  }
}

TEST_F(FontTest, SaveWritesTheFaceNameAloneAndLoadReadsItBack) {
  // "ＭＳ ゴシック" in the Japanese code page, and a plain name.
  const std::string faces[] = {"\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e", "Tahoma"};
  for (const std::string& face : faces) {
    SCOPED_TRACE(face);
    g_fontDescription = LOGFONTA{};
    g_fontDescription.lfHeight = -30;
    g_fontDescription.lfItalic = TRUE;
    CopyText(g_fontDescription.lfFaceName, sizeof g_fontDescription.lfFaceName, face.c_str());
    SaveFontCommand(path_);
    EXPECT_EQ(ReadAll(path_), face);

    g_fontDescription = LOGFONTA{};
    LoadFontSettings(path_);
    EXPECT_EQ(std::string(g_fontDescription.lfFaceName), face);
    EXPECT_EQ(g_fontDescription.lfHeight, 0);  // size and style are not kept
    EXPECT_EQ(g_fontDescription.lfItalic, 0);
  }
}

TEST_F(FontTest, SetUpStartsFromTheSystemFont) {
  LOGFONTA system = {};
  GetObjectA(GetStockObject(SYSTEM_FONT), sizeof system, &system);

  SetUpFont(view_, path_);
  EXPECT_EQ(EditorFont(view_), g_currentFont);
  LOGFONTA plain = DescriptionOf(g_currentFont);
  EXPECT_STREQ(plain.lfFaceName, system.lfFaceName);
  EXPECT_EQ(plain.lfHeight, system.lfHeight);

  WriteSettings("Courier New");
  SetUpFont(view_, path_);
  EXPECT_EQ(EditorFont(view_), g_currentFont);
  LOGFONTA named = DescriptionOf(g_currentFont);
  EXPECT_STREQ(named.lfFaceName, "Courier New");
  EXPECT_EQ(named.lfHeight, system.lfHeight);
  EXPECT_EQ(named.lfWidth, 0);
}

TEST_F(FontTest, AFontGoesOnlyWhenNeitherEditorNorSurfaceHoldsIt) {
  HFONT crisp = g_currentFont;
  SetUpFont(view_, path_);
  HFONT first = g_currentFont;
  ApplyFont(view_);
  HFONT second = g_currentFont;
  EXPECT_EQ(GetObjectType(crisp), 0u);
  EXPECT_EQ(GetObjectType(first), 0u);
  EXPECT_EQ(EditorFont(view_), second);

  // The first paint puts the current font on the surface.
  g_fontDescription.lfHeight = 14;
  ApplyFont(view_);
  HFONT small = g_currentFont;
  ShowText("Wide");
  Show();
  EXPECT_EQ(SurfaceFont(), small);
  Image smallText = Capture();

  // Load gives the editor a new font; the surface keeps drawing with its own.
  g_fontDescription.lfHeight = 40;
  LoadFontCommand(view_, path_);
  HFONT large = g_currentFont;
  EXPECT_EQ(EditorFont(view_), large);
  EXPECT_EQ(SurfaceFont(), small);
  EXPECT_EQ(GetObjectType(small), static_cast<DWORD>(OBJ_FONT));
  Repaint();
  EXPECT_TRUE(Capture() == smallText);

  // Select (the dialog cancelled: the description stays) puts the current
  // font on the surface too; the ones nobody holds go.
  OnNextDialog([](HWND dialog) { CloseDialog(dialog, IDCANCEL); });
  SelectFontCommand(view_);
  ASSERT_TRUE(DialogActionRan());
  EXPECT_EQ(g_fontDescription.lfHeight, 40);
  HFONT selected = g_currentFont;
  EXPECT_EQ(SurfaceFont(), selected);
  EXPECT_EQ(EditorFont(view_), selected);
  EXPECT_EQ(GetObjectType(small), 0u);
  EXPECT_EQ(GetObjectType(large), 0u);
  Repaint();
  EXPECT_FALSE(Capture() == smallText);

  // At exit: the current font goes once the surface lets it go.
  DeleteCurrentFont();
  EXPECT_EQ(g_currentFont, nullptr);
  EXPECT_EQ(GetObjectType(selected), static_cast<DWORD>(OBJ_FONT));
  DestroyWindow(host_);
  host_ = nullptr;
  EXPECT_EQ(GetObjectType(selected), 0u);
}

}  // namespace
