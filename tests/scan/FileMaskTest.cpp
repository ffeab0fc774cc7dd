#include <gtest/gtest.h>

#include <random>

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

namespace dunstrel {
namespace {

// A plain dynamic-programming matcher over the same elements, to check the fast one against.
bool ReferenceMatches(const std::string& Mask, const std::string& Text) {
  // Elements: '*', '?', a set "[...]" kept as text, or a letter.
  std::vector<std::string> Elements;
  for (size_t I = 0; I < Mask.size(); ++I) {
    if (Mask[I] == '[') {
      const size_t Close = Mask.find(']', I);
      Elements.push_back(Mask.substr(I, Close - I + 1));
      I = Close;
    } else if (Mask[I] == '?' && !Elements.empty() && (Elements.back() == "*")) {
      continue;  // a "?" after a star adds nothing
    } else {
      Elements.emplace_back(1, Mask[I]);
    }
  }
  const auto One = [](const std::string& E, char C) {
    if (E == "?") {
      return true;
    }
    if (E[0] == '[') {
      const bool Negated = E[1] == '!';
      const bool In = E.find(C, Negated ? 2 : 1) != std::string::npos;
      return In != Negated;
    }
    return E[0] == C;
  };
  std::vector<std::vector<bool>> Can(Elements.size() + 1, std::vector<bool>(Text.size() + 1));
  Can[Elements.size()][Text.size()] = true;
  for (size_t M = Elements.size(); M-- > 0;) {
    for (size_t T = Text.size() + 1; T-- > 0;) {
      if (Elements[M] == "*") {
        Can[M][T] = Can[M + 1][T] || (T < Text.size() && Can[M][T + 1]);
      } else {
        Can[M][T] = T < Text.size() && One(Elements[M], Text[T]) && Can[M + 1][T + 1];
      }
    }
  }
  return Can[0][0];
}

TEST(FileMaskTest, AgreesWithAPlainMatcherOnRandomMasks) {
  const std::vector<std::string> Pieces = {"A", "B", "*", "?", "[AB]", "[!A]", "**", "*?"};
  std::mt19937 Random(11);
  for (int Round = 0; Round < 20000; ++Round) {
    std::string Mask;
    for (int I = static_cast<int>(Random() % 6); I > 0; --I) {
      Mask += Pieces[Random() % Pieces.size()];
    }
    std::string Text;
    for (int I = static_cast<int>(Random() % 8); I > 0; --I) {
      Text.push_back("ABC"[Random() % 3]);
    }
    ASSERT_EQ(TFileMask(Mask).Matches(CodePoints(Text)), ReferenceMatches(Mask, Text))
        << Mask << " vs " << Text;
  }
}

}  // namespace
}  // namespace dunstrel
