#pragma once

#include <QString>
#include <string_view>

#include "localisation/translation.h"

namespace dunstrel {

// Text of the program (UTF-8, or a file name's bytes) as shown: undecodable bytes appear as
// U+FFFD; the bytes themselves are kept elsewhere for every file operation.
inline QString ShownText(std::string_view Text) {
  return QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()));
}

// An English text of the program in the current interface language.
inline QString TranslatedText(std::string_view English) {
  return ShownText(Translate(English));
}

}  // namespace dunstrel
