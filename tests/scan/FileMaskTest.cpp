#include <gtest/gtest.h>

#include "platform/TextEncoding.h"
#include "scan/FileMask.h"

namespace dunstrel {
namespace {

std::u32string CodePoints(std::string_view Text) {
  std::u32string Result;
  platform::AppendCodePoints(Text, Result);
  return Result;
}

TEST(FileMaskTest, MatchesWholeText) {
  struct TCase {
    const char* Mask;
    const char* Text;
    bool Matches;
  } Cases[] = {
      {"*.SYS", "PAGEFILE.SYS", true},
      {"*.SYS", "PAGEFILE.SYS.BAK", false},
      {"ABC", "XABC", false},  // whole text, not a substring
      {"*", "", true},
      {"?", "", false},
      {"A?C", "ABC", true},
      {"A?C", "AC", false},
      {"*?.TXT", ".TXT", true},  // a "?" after a star adds nothing
      {"*??X", "X", true},
      {"?*.TXT", ".TXT", false},
      {"*SOMEFILENAME*", "MYSOMEFILENAME.DOC", true},
      {"*A*B*C", "XAYBZC", true},
      {"*A*B*C", "XAYCZB", false},
      {"[A-C]X", "BX", true},
      {"[A-C]X", "DX", false},
      {"[!A-C]X", "DX", true},
      {"[!A-C]X", "AX", false},
      {"[XA-CZ]", "Z", true},
      {"[C-A]", "B", false},  // a reversed range adds nothing
      {"[C-A]", "C", false},
      {"[A-]", "-", true},
      {"[\xc3\x80-\xc3\x9e]", "\xc3\x84", true},  // À-Þ holds Ä (196): sets reach 255
      {"[A-\xc3\xbf]", "\xc4\x80", false},        // Ā is 256: beyond every set
      {"[!A]", "\xc4\x80", true},
      {"[!A]", "\xe6\x96\x87", true},
      {"abc", "ABC", true},             // letters a to z match either case
      {"\xc3\xa4", "\xc3\x84", false},  // beyond ASCII the mask is already upper-cased
      {"*.D\xff", "X.D\xff", true},     // undecodable bytes match themselves
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(TFileMask(Case.Mask).Matches(CodePoints(Case.Text)), Case.Matches)
        << Case.Mask << " vs " << Case.Text;
  }
}

TEST(FileMaskTest, InvalidMasksReportWhereTheyFail) {
  const std::string ThirtyStars(30, '*');
  struct TCase {
    std::string Mask;
    int Position;
  } Cases[] = {
      {"[ABC", 5},  // not closed: found at the end
      {"X[]", 3},   // empty set
      {"[!]", 3},
      {"[-A]", 2},  // a "-" with nothing before it
      {"[!-A]", 3},
      {ThirtyStars + "*", 31},
      {"A*" + ThirtyStars, 32},
      {"\xc3\x84[", 3},  // positions count characters, not bytes
  };
  for (const TCase& Case : Cases) {
    try {
      TFileMask Mask(Case.Mask);
      ADD_FAILURE() << Case.Mask << " was accepted";
    } catch (const EInvalidMask& Error) {
      EXPECT_EQ(Error.Position(), Case.Position) << Case.Mask;
      EXPECT_EQ(std::string(Error.what()), "'" + Case.Mask + "' is an invalid mask at (" +
                                               std::to_string(Case.Position) + ")");
    }
  }
  EXPECT_NO_THROW(TFileMask{ThirtyStars});
  EXPECT_NO_THROW(TFileMask{"[*][*]" + ThirtyStars});  // stars in a set are characters
}

TEST(FileMaskTest, ManyStarsStayFastOnLongText) {
  // The back-tracking matcher must not explode on the pattern kind that ruins naive ones.
  const TFileMask Mask(std::string(15, '*') + "A*B*C*D*E*F*G*H*X");
  const std::u32string Text(5000, U'A');
  EXPECT_FALSE(Mask.Matches(Text));
}

}  // namespace
}  // namespace dunstrel
