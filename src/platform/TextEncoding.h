#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dunstrel::platform {

// File names are kept as the file system's own bytes. Where text has to be read as characters
// (masks, colour hashes, casing) UTF-8 is decoded and every byte that does not start a valid
// sequence stands for itself as the code 0xDC00 + byte, so no byte is ever lost or merged.
inline constexpr char32_t kUndecodableBase = 0xDC00;

struct TDecodedChar {
  char32_t Code;
  uint32_t Length;  // bytes consumed, at least 1
  bool Valid;       // false: an undecodable byte
};

// Decodes the character that starts at Text[Pos]; Pos must be inside Text.
TDecodedChar DecodeUtf8At(std::string_view Text, size_t Pos);

// Code points of Text, undecodable bytes as 0xDC00 + byte. Appends to Out.
void AppendCodePoints(std::string_view Text, std::u32string& Out);

// True when every byte of Text is below 0x80.
bool IsAscii(std::string_view Text);

// True when Text is entirely valid UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view Text);

// Calls F(uint16_t) for every UTF-16 code unit of Text (undecodable bytes as 0xDC00 + byte).
template <typename F>
void ForEachUtf16Unit(std::string_view Text, F&& Fn) {
  size_t Pos = 0;
  while (Pos < Text.size()) {
    const auto Byte = static_cast<unsigned char>(Text[Pos]);
    if (Byte < 0x80) {
      Fn(static_cast<uint16_t>(Byte));
      ++Pos;
      continue;
    }
    const TDecodedChar Ch = DecodeUtf8At(Text, Pos);
    if (Ch.Valid && Ch.Code >= 0x10000) {
      const char32_t V = Ch.Code - 0x10000;
      Fn(static_cast<uint16_t>(0xD800 + (V >> 10)));
      Fn(static_cast<uint16_t>(0xDC00 + (V & 0x3FF)));
    } else {
      Fn(static_cast<uint16_t>(Ch.Code));
    }
    Pos += Ch.Length;
  }
}

}  // namespace dunstrel::platform
