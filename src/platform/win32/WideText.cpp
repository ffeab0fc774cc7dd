#include "platform/win32/WideText.h"

#include "platform/TextEncoding.h"

namespace dunstrel::platform::win32 {

std::wstring ToWide(std::string_view Text) {
  std::wstring Result;
  Result.reserve(Text.size());
  size_t Pos = 0;
  while (Pos < Text.size()) {
    const auto Lead = static_cast<unsigned char>(Text[Pos]);
    // A lone surrogate in WTF-8: ED A0..BF xx.
    if (Lead == 0xED && Pos + 2 < Text.size() &&
        (static_cast<unsigned char>(Text[Pos + 1]) & 0xE0) == 0xA0 &&
        (static_cast<unsigned char>(Text[Pos + 2]) & 0xC0) == 0x80) {
      Result.push_back(
          static_cast<wchar_t>(0xD000 | ((Text[Pos + 1] & 0x3F) << 6) | (Text[Pos + 2] & 0x3F)));
      Pos += 3;
      continue;
    }
    const TDecodedChar Ch = DecodeUtf8At(Text, Pos);
    if (Ch.Valid && Ch.Code >= 0x10000) {
      const char32_t V = Ch.Code - 0x10000;
      Result.push_back(static_cast<wchar_t>(0xD800 + (V >> 10)));
      Result.push_back(static_cast<wchar_t>(0xDC00 + (V & 0x3FF)));
    } else {
      // An undecodable byte cannot come from a Windows name; it stands for U+FFFD.
      Result.push_back(static_cast<wchar_t>(Ch.Valid ? Ch.Code : 0xFFFD));
    }
    Pos += Ch.Length;
  }
  return Result;
}

std::string FromWide(std::wstring_view Text) {
  std::string Result;
  Result.reserve(Text.size());
  const auto Append = [&](char32_t Code) {
    if (Code < 0x80) {
      Result.push_back(static_cast<char>(Code));
    } else if (Code < 0x800) {
      Result.push_back(static_cast<char>(0xC0 | (Code >> 6)));
      Result.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
    } else if (Code < 0x10000) {
      Result.push_back(static_cast<char>(0xE0 | (Code >> 12)));
      Result.push_back(static_cast<char>(0x80 | ((Code >> 6) & 0x3F)));
      Result.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
    } else {
      Result.push_back(static_cast<char>(0xF0 | (Code >> 18)));
      Result.push_back(static_cast<char>(0x80 | ((Code >> 12) & 0x3F)));
      Result.push_back(static_cast<char>(0x80 | ((Code >> 6) & 0x3F)));
      Result.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
    }
  };
  for (size_t I = 0; I < Text.size(); ++I) {
    const auto Unit = static_cast<char32_t>(Text[I]);
    if (Unit >= 0xD800 && Unit <= 0xDBFF && I + 1 < Text.size() && Text[I + 1] >= 0xDC00 &&
        Text[I + 1] <= 0xDFFF) {
      Append(0x10000 + ((Unit - 0xD800) << 10) + (static_cast<char32_t>(Text[I + 1]) - 0xDC00));
      ++I;
    } else {
      Append(Unit);  // lone surrogates too, as WTF-8
    }
  }
  return Result;
}

}  // namespace dunstrel::platform::win32
