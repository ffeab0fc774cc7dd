#include "scan/FileMask.h"

#include "platform/TextEncoding.h"

namespace dunstrel {

namespace {

constexpr int kMaxStars = 30;

char32_t FoldAscii(char32_t C) {
  return C >= 'a' && C <= 'z' ? C - 'a' + 'A' : C;
}

}  // namespace

EInvalidMask::EInvalidMask(const std::string& Mask, int Position)
    : std::runtime_error("'" + Mask + "' is an invalid mask at (" + std::to_string(Position) + ")"),
      FPosition(Position) {}

TFileMask::TFileMask(std::string_view Mask) {
  std::u32string Chars;
  platform::AppendCodePoints(Mask, Chars);
  const std::string MaskText(Mask);
  int Stars = 0;
  size_t I = 0;
  while (I < Chars.size()) {
    const char32_t C = Chars[I];
    if (C == '*') {
      if (++Stars > kMaxStars) {
        throw EInvalidMask(MaskText, static_cast<int>(I) + 1);
      }
      if (FElements.empty() || FElements.back().Kind != EKind::AnyRun) {
        FElements.push_back({EKind::AnyRun});
      }
      ++I;
    } else if (C == '?') {
      // After a star (with only stars and question marks between) a "?" is ignored.
      if (FElements.empty() || FElements.back().Kind != EKind::AnyRun) {
        FElements.push_back({EKind::AnyOne});
      }
      ++I;
    } else if (C == '[') {
      TElement Set{EKind::Set};
      ++I;
      if (I < Chars.size() && Chars[I] == '!') {
        Set.Negated = true;
        ++I;
      }
      bool Empty = true;
      while (I < Chars.size() && Chars[I] != ']') {
        const char32_t First = Chars[I];
        // A "-" opens a range; with no character before it there is nothing to start from.
        if (First == '-' && Empty) {
          throw EInvalidMask(MaskText, static_cast<int>(I) + 1);
        }
        char32_t Last = First;
        if (I + 2 < Chars.size() && Chars[I + 1] == '-' && Chars[I + 2] != ']') {
          Last = Chars[I + 2];
          I += 3;
        } else {
          I += 1;
        }
        for (char32_t Member = First; Member <= Last && Member < 256; ++Member) {
          Set.Members.set(Member);
        }
        Empty = false;
      }
      if (I >= Chars.size()) {
        throw EInvalidMask(MaskText, static_cast<int>(Chars.size()) + 1);
      }
      if (Empty) {
        throw EInvalidMask(MaskText, static_cast<int>(I) + 1);
      }
      ++I;  // the "]"
      FElements.push_back(std::move(Set));
    } else {
      FElements.push_back({EKind::Literal, FoldAscii(C)});
      ++I;
    }
  }
}

bool TFileMask::ElementMatches(const TElement& E, char32_t C) const {
  switch (E.Kind) {
    case EKind::Literal:
      return FoldAscii(C) == E.Literal;
    case EKind::AnyOne:
      return true;
    case EKind::Set: {
      const bool InSet = C < 256 && E.Members.test(C);
      return InSet != E.Negated;
    }
    case EKind::AnyRun:
      break;
  }
  return false;
}

bool TFileMask::Matches(std::u32string_view Text) const {
  // Greedy matching with one back-track point: the last star seen. Never worse than text length
  // times mask length; a star followed by a character jumps straight to that character's next
  // occurrence, which keeps the common "*name*" and "*.ext" masks close to one pass.
  const size_t Count = FElements.size();
  size_t T = 0;
  size_t M = 0;
  size_t StarElement = SIZE_MAX;
  size_t StarText = 0;
  const auto SkipToLiteral = [&]() {
    if (M < Count && FElements[M].Kind == EKind::Literal) {
      const char32_t Wanted = FElements[M].Literal;
      while (T < Text.size() && FoldAscii(Text[T]) != Wanted) {
        ++T;
      }
      StarText = T;
    }
  };
  while (T < Text.size()) {
    if (M < Count && FElements[M].Kind == EKind::AnyRun) {
      StarElement = M++;
      StarText = T;
      SkipToLiteral();
    } else if (M < Count && ElementMatches(FElements[M], Text[T])) {
      ++M;
      ++T;
    } else if (StarElement != SIZE_MAX) {
      M = StarElement + 1;
      T = ++StarText;
      SkipToLiteral();
    } else {
      return false;
    }
  }
  while (M < Count && FElements[M].Kind == EKind::AnyRun) {
    ++M;
  }
  return M == Count;
}

}  // namespace dunstrel
