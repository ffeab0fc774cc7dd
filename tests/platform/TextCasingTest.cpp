#include <gtest/gtest.h>

#include "platform/TextCasing.h"
#include "platform/TextEncoding.h"

namespace dunstrel::platform {
namespace {

TEST(TextCasingTest, FullUnicodeCasingKeepsUndecodableBytes) {
  const auto English = CreateTextCasing("en_US");
  const auto Turkish = CreateTextCasing("tr_TR");
  struct TCase {
    const ITextCasing* Casing;
    const char* Text;
    const char* Upper;
    const char* Lower;
  } Cases[] = {
      {English.get(), "Readme.TXT", "README.TXT", "readme.txt"},
#ifndef _WIN32
      // Full casing, which ICU does; Windows maps one character to one.
      {English.get(), "straße", "STRASSE", "straße"},
      {English.get(), "ÄÖÜ ΣΊΣ", "ÄÖÜ ΣΊΣ", "äöü σίς"},  // final sigma
#endif
      {English.get(),
       "a\xff"
       "b\xc3",
       "A\xff"
       "B\xc3",
       "a\xff"
       "b\xc3"},
      {English.get(), "\xff\xfe", "\xff\xfe", "\xff\xfe"},
      {Turkish.get(), "istanbul", "İSTANBUL", "istanbul"},
      {Turkish.get(), "DIŞ", "DIŞ", "dış"},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(Case.Casing->ToUpper(Case.Text), Case.Upper) << Case.Text;
    EXPECT_EQ(Case.Casing->ToLower(Case.Text), Case.Lower) << Case.Text;
  }
}

TEST(TextCasingTest, Utf16UnitsOfBytes) {
  std::vector<uint16_t> Units;
  ForEachUtf16Unit("a\xc3\xa4\xf0\x9f\x98\x80\xff", [&](uint16_t U) { Units.push_back(U); });
  EXPECT_EQ(Units, (std::vector<uint16_t>{'a', 0xE4, 0xD83D, 0xDE00, 0xDCFF}));
  std::u32string Points;
  AppendCodePoints("\xc0\x80x\xed\xa0\x80", Points);  // overlong and surrogate forms are bytes
  EXPECT_EQ(Points, (std::u32string{0xDCC0, 0xDC80, U'x', 0xDCED, 0xDCA0, 0xDC80}));
}

}  // namespace
}  // namespace dunstrel::platform
