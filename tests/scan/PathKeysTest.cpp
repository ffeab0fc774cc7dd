#include <gtest/gtest.h>

#include "platform/TextCasing.h"
#include "scan/KeyColors.h"
#include "scan/PathKeys.h"

namespace dunstrel {
namespace {

TEST(PathKeysTest, PathKeysFoldCaseOnlyWhereFileNamesIgnoreIt) {
  const char* Paths[] = {"/home/Ann/Makefile", "/home/ann/makefile", "/x/bad\xff.TXT", ""};
  for (const char* Path : Paths) {
    if constexpr (platform::kFileNamesIgnoreCase) {
      EXPECT_EQ(PathKey(Path), platform::UserTextCasing().ToUpper(Path)) << Path;
    } else {
      EXPECT_EQ(PathKey(Path), Path);
    }
  }
  EXPECT_EQ(PathKey("/a/Makefile") == PathKey("/a/makefile"), platform::kFileNamesIgnoreCase);
}

TEST(PathKeysTest, ExtensionKeysAreLowerCaseOrNone) {
  const auto English = platform::CreateTextCasing("en_US");
  const platform::TScopedTextCasing Scoped(*English);
  struct TCase {
    const char* Ext;
    const char* Key;
  } Cases[] = {{".JPG", ".jpg"}, {".jpg", ".jpg"},   {"", "(none)"},
               {".ÄÖ", ".äö"},   {".\xff", ".\xff"}, {"(none)", "(none)"}};
  for (const TCase& Case : Cases) {
    EXPECT_EQ(ExtKey(Case.Ext), Case.Key) << Case.Ext;
  }
}

TEST(PathKeysTest, ColoursHashTheKeysUtf16Units) {
  struct TCase {
    TColor Actual;
    TColor Expected;
  } Cases[] = {
      {ColorForExt(""), 0x65AA20},  // red 32, green 170, blue 101
      {ColorForExt("(none)"), 0x65AA20},
      {ColorForExt(".txt"), 0x6862E3},
      {ColorForExt(".TXT"), 0x6862E3},
      {ColorForKey("ä.jpg"), 0xE967E6},
      {ColorForKey("\xF0\x9F\x98\x80"), 0x31E4B8},  // one character, two UTF-16 units
      {ColorForKey("a\xff"), 0x66FB29},             // an undecodable byte counts as 0xDCFF
      {ColorForPath("/Home/A"), 0xB926A1},          // the path lower-cased
      {ColorForPath("/home/a"), 0xB926A1},
      {Darkened(0x6862E3), 0x343171},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(Case.Actual, Case.Expected) << std::hex << Case.Expected;
  }
}

}  // namespace
}  // namespace dunstrel
