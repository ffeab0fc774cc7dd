#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "localisation/translation.h"

namespace dunstrel {

// The file of translations is a few dozen kilobytes for many languages; anything far larger is
// not one, and is refused before it is held in memory as a table.
inline constexpr size_t kMaxTranslationFileBytes = 2 * 1024 * 1024;

// A file offers at most this many languages, each an item of the Language menu; a count beyond it
// is no translation file's.
inline constexpr int64_t kMaxTranslationLanguages = 256;

// The table a translation file holds. Line 0 is the number of languages N; then the table row by
// row, each row's N texts on N lines in language order. Lines after the last complete row are
// ignored. A translated text whose placeholders differ from its English text's is left empty, so
// that the English text is shown instead of a format that would lose or misplace a value.
// Nothing when Content is not such a file: not UTF-8, larger than kMaxTranslationFileBytes, no
// count, a negative count or one beyond kMaxTranslationLanguages, too few lines for the rows of
// names and codes, or a code row (row 1) that holds anything but language codes of two or three
// ASCII letters, as a count that is off makes it. A count of 0 gives an empty table.
std::optional<TTranslationTable> ParseTranslationFile(std::string_view Content);

// The first column whose code (row 1) is Code, letter case aside for every letter; 0 when none
// is.
int LanguageColumnOf(const TTranslationTable& Table, std::string_view Code);

// Installs the table of a translation file and makes the column of LanguageCode() the current
// language. When Content is not a translation file the table is emptied; false then.
bool InstallTranslationFile(std::string_view Content);

// The code Dunstrel uses for a system interface language named as a locale ("de-DE", "ja",
// "pt_BR.UTF-8", "zh-Hans-CN"): one of the codes of its own table, "en" for any other language.
std::string LanguageCodeOfLocaleName(std::string_view LocaleName);

}  // namespace dunstrel
