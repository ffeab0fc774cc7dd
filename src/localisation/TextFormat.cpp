#include "localisation/TextFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace dunstrel {

namespace {

constexpr int kSignificantDigits = 18;
constexpr int kMaxDecimals = 30;

std::string IntegerText(int64_t Value) {
  char Buffer[24];
  const auto Result = std::to_chars(Buffer, Buffer + sizeof(Buffer), Value);
  return std::string(Buffer, Result.ptr);
}

struct TSpec {
  bool LeftAlign = false;
  int Width = 0;
  int Precision = -1;
  char Type = 0;
};

std::string Pad(std::string Text, const TSpec& Spec) {
  if (static_cast<int>(Text.size()) >= Spec.Width) {
    return Text;
  }
  const std::string Fill(static_cast<size_t>(Spec.Width) - Text.size(), ' ');
  return Spec.LeftAlign ? Text + Fill : Fill + Text;
}

std::string ArgumentText(const TFormatArg& Arg, const TSpec& Spec,
                         const TFormatSettings& Settings) {
  const auto& Value = Arg.Value();
  if (Spec.Type == 'f') {
    const int Decimals = Spec.Precision < 0 ? 2 : Spec.Precision;
    if (const auto* Number = std::get_if<double>(&Value)) {
      return FormatFixed(*Number, Decimals, Settings.DecimalSeparator);
    }
    if (const auto* Integer = std::get_if<int64_t>(&Value)) {
      return FormatFixed(static_cast<double>(*Integer), Decimals, Settings.DecimalSeparator);
    }
  }
  if (const auto* Integer = std::get_if<int64_t>(&Value)) {
    return IntegerText(*Integer);
  }
  if (const auto* Number = std::get_if<double>(&Value)) {
    return FormatFixed(*Number, Spec.Type == 'd' ? 0 : 2, Settings.DecimalSeparator);
  }
  return std::string(std::get<std::string_view>(Value));
}

}  // namespace

std::string FormatFixed(double Value, int Decimals, std::string_view DecimalSeparator) {
  if (!std::isfinite(Value)) {
    return std::isnan(Value) ? "NAN" : (Value > 0 ? "INF" : "-INF");
  }
  Decimals = std::clamp(Decimals, 0, kMaxDecimals);
  // Scientific form with 18 significant digits: d.ddddddddddddddddde±x.
  char Buffer[64];
  const auto Written = std::to_chars(Buffer, Buffer + sizeof(Buffer), std::fabs(Value),
                                     std::chars_format::scientific, kSignificantDigits - 1);
  const std::string_view Scientific(Buffer, static_cast<size_t>(Written.ptr - Buffer));
  const size_t ExponentAt = Scientific.find('e');
  std::vector<int> Digits;  // the significant digits, most significant first
  for (const char C : Scientific.substr(0, ExponentAt)) {
    if (C != '.') {
      Digits.push_back(C - '0');
    }
  }
  int Exponent = 0;
  std::from_chars(Scientific.data() + ExponentAt + 1 + (Scientific[ExponentAt + 1] == '+'),
                  Scientific.data() + Scientific.size(), Exponent);
  // IntegerDigits digits stand before the point; pad with zeros so that every wanted position
  // exists, with one leading zero to take a carry.
  int IntegerDigits = Exponent + 1;
  if (IntegerDigits < 1) {
    Digits.insert(Digits.begin(), static_cast<size_t>(1 - IntegerDigits), 0);
    IntegerDigits = 1;
  }
  Digits.insert(Digits.begin(), 0);
  ++IntegerDigits;
  const size_t Kept = static_cast<size_t>(IntegerDigits + Decimals);
  if (Digits.size() < Kept + 1) {
    Digits.resize(Kept + 1, 0);
  }
  if (Digits[Kept] >= 5) {
    for (size_t I = Kept; I-- > 0;) {
      if (++Digits[I] < 10) {
        break;
      }
      Digits[I] = 0;
    }
  }
  Digits.resize(Kept);
  std::string Text;
  bool AllZero = true;
  size_t First = 0;
  while (First + 1 < static_cast<size_t>(IntegerDigits) && Digits[First] == 0) {
    ++First;
  }
  for (size_t I = First; I < Kept; ++I) {
    if (I == static_cast<size_t>(IntegerDigits)) {
      Text.append(DecimalSeparator);
    }
    Text.push_back(static_cast<char>('0' + Digits[I]));
    AllZero = AllZero && Digits[I] == 0;
  }
  return Value < 0 && !AllZero ? "-" + Text : Text;
}

namespace {

// Reads the placeholder whose '%' is at Format[Start]: %[-][width][.precision]type. Type is 0
// when the text there is not a placeholder this formatter fills; End is one past the type.
TSpec ReadSpec(std::string_view Format, size_t Start, size_t& End) {
  TSpec Spec;
  size_t J = Start + 1;
  if (J < Format.size() && Format[J] == '-') {
    Spec.LeftAlign = true;
    ++J;
  }
  while (J < Format.size() && Format[J] >= '0' && Format[J] <= '9') {
    Spec.Width = std::min(Spec.Width * 10 + (Format[J++] - '0'), 1000);
  }
  if (J < Format.size() && Format[J] == '.') {
    Spec.Precision = 0;
    ++J;
    while (J < Format.size() && Format[J] >= '0' && Format[J] <= '9') {
      Spec.Precision = std::min(Spec.Precision * 10 + (Format[J++] - '0'), kMaxDecimals);
    }
  }
  const char Type = J < Format.size() ? Format[J] : '\0';
  if (Type == 'd' || Type == 's' || Type == 'f') {
    Spec.Type = Type;
  } else if (Type == 'u') {
    Spec.Type = 'd';
  }
  End = J + 1;
  return Spec;
}

}  // namespace

std::string FormatText(std::string_view Format, std::initializer_list<TFormatArg> Args,
                       const TFormatSettings& Settings) {
  std::string Result;
  Result.reserve(Format.size() + 16);
  auto NextArg = Args.begin();
  size_t I = 0;
  while (I < Format.size()) {
    const char C = Format[I];
    if (C != '%') {
      Result.push_back(C);
      ++I;
      continue;
    }
    if (I + 1 < Format.size() && Format[I + 1] == '%') {
      Result.push_back('%');
      I += 2;
      continue;
    }
    size_t End = 0;
    const TSpec Spec = ReadSpec(Format, I, End);
    if (Spec.Type == 0 || NextArg == Args.end()) {
      // Not a placeholder this formatter fills: shown as written.
      Result.push_back('%');
      ++I;
      continue;
    }
    Result += Pad(ArgumentText(*NextArg++, Spec, Settings), Spec);
    I = End;
  }
  return Result;
}

std::string PlaceholderKinds(std::string_view Format) {
  std::string Kinds;
  size_t I = 0;
  while (I < Format.size()) {
    if (Format[I] != '%') {
      ++I;
    } else if (I + 1 < Format.size() && Format[I + 1] == '%') {
      I += 2;
    } else {
      size_t End = 0;
      const TSpec Spec = ReadSpec(Format, I, End);
      if (Spec.Type == 0) {
        ++I;
      } else {
        Kinds.push_back(Spec.Type);
        I = End;
      }
    }
  }
  return Kinds;
}

}  // namespace dunstrel
