#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace dunstrel::platform {

// Linguistic upper- and lower-casing of the user's locale, full Unicode. Bytes that are not valid
// UTF-8 pass through unchanged, so casing never loses part of a file name.
class ITextCasing {
 public:
  virtual ~ITextCasing() = default;
  virtual std::string ToUpper(std::string_view Text) const = 0;
  virtual std::string ToLower(std::string_view Text) const = 0;
  // True when ASCII letters map as in the root locale (not in Turkish or Azeri), so that ASCII
  // text may be cased byte by byte.
  virtual bool MapsAsciiLikeRoot() const = 0;
};

// The upper-cased code points of Text (undecodable bytes as 0xDC00 + byte), appended to Out;
// ASCII text takes a fast path that allocates nothing.
void AppendUpperCodePoints(const ITextCasing& Casing, std::string_view Text, std::u32string& Out);

// Whether A and B are the same text apart from letter case, for every letter, the same in every
// locale ("I" matches "i" under a Turkish locale too): by Unicode's default case folding (the
// Kelvin sign matches "k"), on Windows by the system's invariant casing. Text that is not valid
// UTF-8 matches only itself.
bool SameTextIgnoringCase(std::string_view A, std::string_view B);

// Casing for a named locale ("tr_TR", "en_US"); an empty name means the user's own locale.
std::unique_ptr<ITextCasing> CreateTextCasing(const std::string& LocaleName = {});

// The casing every key and every name test of the program uses. Tests may swap it for another
// locale with TScopedTextCasing.
const ITextCasing& UserTextCasing();

class TScopedTextCasing {
 public:
  explicit TScopedTextCasing(const ITextCasing& Casing);
  ~TScopedTextCasing();
  TScopedTextCasing(const TScopedTextCasing&) = delete;
  TScopedTextCasing& operator=(const TScopedTextCasing&) = delete;

 private:
  const ITextCasing* FPrevious;
};

}  // namespace dunstrel::platform
