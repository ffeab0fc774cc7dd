#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace dunstrel {

// The user's regional settings that shown numbers and times follow, read once at start-up.
struct TFormatSettings {
  std::string DecimalSeparator = ".";
  std::string TimeSeparator = ":";
};

// Value with a fixed number of decimals. The double's decimal expansion to 18 significant
// digits is rounded with halves away from zero (1.25 gives "1.3" with one decimal).
std::string FormatFixed(double Value, int Decimals, std::string_view DecimalSeparator);

class TFormatArg {
 public:
  TFormatArg(int Value) : FValue(static_cast<int64_t>(Value)) {}
  TFormatArg(int64_t Value) : FValue(Value) {}
  TFormatArg(double Value) : FValue(Value) {}
  TFormatArg(std::string_view Value) : FValue(Value) {}
  TFormatArg(const std::string& Value) : FValue(std::string_view(Value)) {}
  TFormatArg(const char* Value) : FValue(std::string_view(Value)) {}

  const std::variant<int64_t, double, std::string_view>& Value() const { return FValue; }

 private:
  std::variant<int64_t, double, std::string_view> FValue;
};

// Fills a format of the kind the program's texts use: %d, %s, %.Nf and %%, optionally with a
// width ("%5d", "%-8s"). Formats may come from a translation file, so a format that does not fit
// its arguments never fails: a placeholder without an argument is kept as written, and an
// argument of another type is shown as its own text.
std::string FormatText(std::string_view Format, std::initializer_list<TFormatArg> Args,
                       const TFormatSettings& Settings = {});

// The kinds of the placeholders FormatText fills in Format, in order: one letter each, 'd' (also
// for %u), 's' or 'f'. Two formats with the same kinds take the same arguments.
std::string PlaceholderKinds(std::string_view Format);

}  // namespace dunstrel
