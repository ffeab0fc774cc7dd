#include "scan/ScanContext.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

#include "common/Rounding.h"

namespace dunstrel {

namespace {

bool IsDigit(char C) {
  return C >= '0' && C <= '9';
}

// The power of ten of the leading significant digit of a plain number text, plus one
// (so 0.05 gives -1, 5 gives 1, 5e3 gives 4).
long DecimalMagnitude(std::string_view Plain) {
  const size_t ExponentAt = Plain.find('e');
  const std::string_view Mantissa = Plain.substr(0, ExponentAt);
  long Exponent = 0;
  if (ExponentAt != std::string_view::npos) {
    std::string_view Digits = Plain.substr(ExponentAt + 1);
    const bool Negative = !Digits.empty() && Digits.front() == '-';
    if (!Digits.empty() && (Digits.front() == '-' || Digits.front() == '+')) {
      Digits.remove_prefix(1);
    }
    for (const char C : Digits) {
      Exponent = std::min(Exponent * 10 + (C - '0'), 1'000'000'000L);
    }
    Exponent = Negative ? -Exponent : Exponent;
  }
  const size_t Point = std::min(Mantissa.find('.'), Mantissa.size());
  const size_t FirstSignificant = Mantissa.find_first_not_of("-0.");
  if (FirstSignificant == std::string_view::npos) {
    return LONG_MIN / 2;
  }
  const long Leading = FirstSignificant < Point ? static_cast<long>(Point - FirstSignificant)
                                                : -static_cast<long>(FirstSignificant - Point - 1);
  return Leading + Exponent;
}

// Reads [+|-]digits[<separator>digits][(E|e)[+|-]digits] and nothing else, with at least one
// digit before the exponent.
bool ReadNumber(std::string_view Text, std::string_view Separator, double& Number) {
  std::string Plain;  // the same number spelt for from_chars
  size_t I = 0;
  if (I < Text.size() && (Text[I] == '+' || Text[I] == '-')) {
    if (Text[I] == '-') {
      Plain.push_back('-');
    }
    ++I;
  }
  size_t Digits = 0;
  while (I < Text.size() && IsDigit(Text[I])) {
    Plain.push_back(Text[I++]);
    ++Digits;
  }
  if (!Separator.empty() && Text.substr(I).starts_with(Separator)) {
    I += Separator.size();
    Plain.push_back('.');
    while (I < Text.size() && IsDigit(Text[I])) {
      Plain.push_back(Text[I++]);
      ++Digits;
    }
  }
  if (Digits == 0) {
    return false;
  }
  if (I < Text.size() && (Text[I] == 'e' || Text[I] == 'E')) {
    Plain.push_back('e');
    ++I;
    if (I < Text.size() && (Text[I] == '+' || Text[I] == '-')) {
      Plain.push_back(Text[I++]);
    }
    size_t ExponentDigits = 0;
    while (I < Text.size() && IsDigit(Text[I])) {
      Plain.push_back(Text[I++]);
      ++ExponentDigits;
    }
    if (ExponentDigits == 0) {
      return false;
    }
  }
  if (I != Text.size()) {
    return false;
  }
  const auto [End, Error] = std::from_chars(Plain.data(), Plain.data() + Plain.size(), Number);
  if (Error == std::errc::result_out_of_range) {
    // Too close to 0 to be told from it reads as 0; too large for a double is an error.
    Number = 0;
    return DecimalMagnitude(Plain) <= 0;
  }
  return Error == std::errc() && End == Plain.data() + Plain.size() && std::isfinite(Number);
}

double UnitMultiplier(int SizeUnitIndex) {
  switch (SizeUnitIndex) {
    case 1:
      return 1024.0;
    case 2:
      return 1048576.0;
    case 3:
      return 1073741824.0;
    case 4:
      return 1099511627776.0;
    default:
      return 1.0;
  }
}

}  // namespace

std::string_view TrimBlanks(std::string_view Text) {
  while (!Text.empty() && static_cast<unsigned char>(Text.front()) <= ' ') {
    Text.remove_prefix(1);
  }
  while (!Text.empty() && static_cast<unsigned char>(Text.back()) <= ' ') {
    Text.remove_suffix(1);
  }
  return Text;
}

bool ParseLessThanBytes(std::string_view Text, int SizeUnitIndex, std::string_view DecimalSeparator,
                        int64_t& Value) {
  Value = 0;
  Text = TrimBlanks(Text);
  if (Text.empty()) {
    return false;
  }
  double Number = 0;
  if (!ReadNumber(Text, DecimalSeparator, Number) && !ReadNumber(Text, ".", Number)) {
    return false;
  }
  if (Number < 0) {
    return false;
  }
  const double Bytes = Number * UnitMultiplier(SizeUnitIndex);
  if (Bytes >= 9.223372036854775808e18) {
    Value = INT64_MAX;
  } else {
    Value = static_cast<int64_t>(RoundHalfEven(Bytes));
  }
  return true;
}

std::vector<std::string> SplitPatternMasks(std::string_view Pattern) {
  std::vector<std::string> Masks;
  while (true) {
    const size_t Semicolon = Pattern.find(';');
    const std::string_view Piece = TrimBlanks(Pattern.substr(0, Semicolon));
    if (!Piece.empty()) {
      Masks.emplace_back(Piece);
    }
    if (Semicolon == std::string_view::npos) {
      return Masks;
    }
    Pattern.remove_prefix(Semicolon + 1);
  }
}

void TScanContext::CopySettingsFrom(const TScanContext& Other) {
  ExcludeModifiedBefore = Other.ExcludeModifiedBefore;
  ModifiedBefore = Other.ModifiedBefore;
  ExcludeLessThan = Other.ExcludeLessThan;
  LessThanBytes = Other.LessThanBytes;
  ExcludePattern = Other.ExcludePattern;
  Pattern = Other.Pattern;
  PatternMasks = Other.PatternMasks;
  WalkThreads = Other.WalkThreads;
}

void ApplyFiltersToContext(const TFilterInputs& Inputs, std::string_view DecimalSeparator,
                           TScanContext& Context) {
  Context.ExcludeModifiedBefore = Inputs.ModifiedBeforeChecked;
  Context.ModifiedBefore = Inputs.ModifiedBefore;
  Context.ExcludeLessThan = Inputs.LessThanChecked;
  Context.LessThanBytes = 0;
  if (Inputs.LessThanChecked) {
    int64_t Bytes = 0;
    Context.LessThanBytes =
        ParseLessThanBytes(Inputs.LessThanText, Inputs.SizeUnitIndex, DecimalSeparator, Bytes)
            ? Bytes
            : 0;
  }
  Context.ExcludePattern = Inputs.PatternChecked;
  Context.Pattern = std::string(TrimBlanks(Inputs.PatternText));
  Context.PatternMasks.clear();
  if (Inputs.PatternChecked) {
    Context.PatternMasks = SplitPatternMasks(Context.Pattern);
  }
}

}  // namespace dunstrel
