#pragma once

#include <string_view>

namespace dunstrel {

// The running version: the project's version as the text the window shows, and as the whole
// number the update server's documents compare against (the version times ten).
inline constexpr const char* kVersionText = DUNSTREL_VERSION;
inline constexpr int kRunningVersion = 25;

namespace detail {

// True when Text is Number written with a point before its last digit.
constexpr bool IsVersionTextOf(std::string_view Text, int Number) {
  if (Text.size() < 2 || Text[Text.size() - 2] != '.') {
    return false;
  }
  int Value = Text.back() - '0';
  int Scale = 10;
  for (std::size_t At = Text.size() - 2; At > 0; --At) {
    Value += (Text[At - 1] - '0') * Scale;
    Scale *= 10;
  }
  return Value == Number;
}

}  // namespace detail

static_assert(detail::IsVersionTextOf(kVersionText, kRunningVersion),
              "the version text and the version number must name the same version");

}  // namespace dunstrel
