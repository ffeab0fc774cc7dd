#pragma once

#include <bitset>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace dunstrel {

// "'%s' is an invalid mask at (%d)": the mask and the 1-based position of the fault.
class EInvalidMask : public std::runtime_error {
 public:
  EInvalidMask(const std::string& Mask, int Position);
  int Position() const { return FPosition; }

 private:
  int FPosition;
};

// A file-name mask matched against a whole text: "*" any run, "?" one character, "[set]" and
// "[!set]" one character in or not in a set of characters and ranges up to code 255. A "?"
// after a "*" adds nothing. The text and the mask are compared as code points; ASCII letters
// match either case.
class TFileMask {
 public:
  // Throws EInvalidMask for an unclosed or empty set, a "-" without a character before it, or
  // more than 30 stars.
  explicit TFileMask(std::string_view Mask);

  bool Matches(std::u32string_view Text) const;

 private:
  enum class EKind { Literal, AnyOne, AnyRun, Set };
  struct TElement {
    EKind Kind;
    char32_t Literal = 0;
    bool Negated = false;
    std::bitset<256> Members{};
  };

  bool ElementMatches(const TElement& E, char32_t C) const;

  std::vector<TElement> FElements;
};

}  // namespace dunstrel
