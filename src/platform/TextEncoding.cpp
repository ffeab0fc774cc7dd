#include "platform/TextEncoding.h"

namespace dunstrel::platform {

namespace {

bool IsContinuation(unsigned char Byte) {
  return (Byte & 0xC0) == 0x80;
}

}  // namespace

TDecodedChar DecodeUtf8At(std::string_view Text, size_t Pos) {
  const auto Lead = static_cast<unsigned char>(Text[Pos]);
  const TDecodedChar Bad{kUndecodableBase + Lead, 1, false};
  if (Lead < 0x80) {
    return {Lead, 1, true};
  }
  uint32_t Length = 0;
  char32_t Code = 0;
  char32_t Minimum = 0;
  if (Lead >= 0xC2 && Lead <= 0xDF) {
    Length = 2;
    Code = Lead & 0x1F;
    Minimum = 0x80;
  } else if (Lead >= 0xE0 && Lead <= 0xEF) {
    Length = 3;
    Code = Lead & 0x0F;
    Minimum = 0x800;
  } else if (Lead >= 0xF0 && Lead <= 0xF4) {
    Length = 4;
    Code = Lead & 0x07;
    Minimum = 0x10000;
  } else {
    return Bad;
  }
  if (Pos + Length > Text.size()) {
    return Bad;
  }
  for (uint32_t I = 1; I < Length; ++I) {
    const auto Byte = static_cast<unsigned char>(Text[Pos + I]);
    if (!IsContinuation(Byte)) {
      return Bad;
    }
    Code = (Code << 6) | (Byte & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not valid UTF-8.
  if (Code < Minimum || (Code >= 0xD800 && Code <= 0xDFFF) || Code > 0x10FFFF) {
    return Bad;
  }
  return {Code, Length, true};
}

void AppendCodePoints(std::string_view Text, std::u32string& Out) {
  size_t Pos = 0;
  while (Pos < Text.size()) {
    const auto Byte = static_cast<unsigned char>(Text[Pos]);
    if (Byte < 0x80) {
      Out.push_back(Byte);
      ++Pos;
      continue;
    }
    const TDecodedChar Ch = DecodeUtf8At(Text, Pos);
    Out.push_back(Ch.Code);
    Pos += Ch.Length;
  }
}

bool IsAscii(std::string_view Text) {
  for (const char C : Text) {
    if (static_cast<unsigned char>(C) >= 0x80) {
      return false;
    }
  }
  return true;
}

bool IsValidUtf8(std::string_view Text) {
  for (size_t Pos = 0; Pos < Text.size();) {
    const TDecodedChar Char = DecodeUtf8At(Text, Pos);
    if (!Char.Valid) {
      return false;
    }
    Pos += Char.Length;
  }
  return true;
}

}  // namespace dunstrel::platform
