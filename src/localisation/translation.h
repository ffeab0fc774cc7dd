#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dunstrel {

// One column per language, each a list of rows; column 0 holds the program's English texts,
// row 0 the languages' display names and row 1 their codes. Used on the interface thread only.
using TTranslationTable = std::vector<std::vector<std::string>>;

const TTranslationTable& Translations();
// Installs the table once it has been read; the current language goes back to English.
void SetTranslations(TTranslationTable Table);

// The current language's column; 0 means English, untranslated.
int LanguageIndex();
void SetLanguageIndex(int Index);

// The code of the language chosen, such as "de"; kept as chosen even when no column has it.
const std::string& LanguageCode();
void SetLanguageCode(std::string Code);

// The text in the current language: the cell of the first row whose English text is exactly
// Text, or Text itself when there is no such row or its cell is empty.
std::string Translate(std::string_view Text);

}  // namespace dunstrel
