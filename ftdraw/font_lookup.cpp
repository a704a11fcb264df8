#include <fontconfig/fontconfig.h>
#include <iconv.h>
#include <strings.h>

#include "ft_painter.h"

bool FindFont(const std::string& family, FontPick& pick) {
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return false;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  // fontconfig always answers with some face: only one that bears the name
  // (in any of its languages) is the one asked for.
  bool named = false;
  FcChar8* value = nullptr;
  for (int i = 0; !named && FcPatternGetString(match, FC_FAMILY, i, &value) == FcResultMatch; ++i) {
    named = strcasecmp(reinterpret_cast<const char*>(value), family.c_str()) == 0;
  }
  int index = 0;
  if (named && FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch) {
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    pick = FontPick{family, reinterpret_cast<const char*>(value), index};
  } else {
    named = false;
  }
  FcPatternDestroy(match);
  return named;
}

void FinishFontLookup() { FcFini(); }

std::string Cp932ToUtf8(const std::string& text) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return text;
  std::string out(text.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* to = &out[0];
  size_t outLeft = out.size();
  const bool whole = iconv(cd, &in, &inLeft, &to, &outLeft) != static_cast<size_t>(-1);
  iconv_close(cd);
  if (!whole) return text;
  out.resize(out.size() - outLeft);
  return out;
}
