#include "localisation/TranslationFile.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "localisation/TextFormat.h"
#include "platform/TextCasing.h"
#include "platform/TextEncoding.h"

namespace dunstrel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Lines end with CR LF, LF or CR; a break after the last line does not start another.
std::vector<std::string_view> SplitLines(std::string_view Text) {
  std::vector<std::string_view> Lines;
  size_t Start = 0;
  for (size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] == '\r' || Text[I] == '\n') {
      Lines.push_back(Text.substr(Start, I - Start));
      if (Text[I] == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n') {
        ++I;
      }
      Start = I + 1;
    }
  }
  if (Start < Text.size()) {
    Lines.push_back(Text.substr(Start));
  }
  return Lines;
}

// A decimal whole number, blanks around it allowed.
std::optional<int64_t> ReadCount(std::string_view Line) {
  const size_t First = Line.find_first_not_of(" \t");
  const size_t Last = Line.find_last_not_of(" \t");
  if (First == std::string_view::npos) {
    return std::nullopt;
  }
  const std::string_view Digits = Line.substr(First, Last - First + 1);
  int64_t Value = 0;
  const auto [End, Error] = std::from_chars(Digits.data(), Digits.data() + Digits.size(), Value);
  if (Error != std::errc() || End != Digits.data() + Digits.size()) {
    return std::nullopt;
  }
  return Value;
}

// Two or three ASCII letters, as every language code is.
bool IsLanguageCode(std::string_view Text) {
  return (Text.size() == 2 || Text.size() == 3) &&
         std::all_of(Text.begin(), Text.end(),
                     [](char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); });
}

char AsciiLower(char C) {
  return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C;
}

bool EqualIgnoringCase(std::string_view A, std::string_view B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
           return AsciiLower(X) == AsciiLower(Y);
         });
}

}  // namespace

std::optional<TTranslationTable> ParseTranslationFile(std::string_view Content) {
  if (Content.size() > kMaxTranslationFileBytes) {
    return std::nullopt;
  }
  if (Content.starts_with(kByteOrderMark)) {
    Content.remove_prefix(kByteOrderMark.size());
  }
  if (!platform::IsValidUtf8(Content)) {
    return std::nullopt;
  }
  const std::vector<std::string_view> Lines = SplitLines(Content);
  if (Lines.empty()) {
    return std::nullopt;
  }
  const std::optional<int64_t> Count = ReadCount(Lines.front());
  if (!Count || *Count < 0 || *Count > kMaxTranslationLanguages) {
    return std::nullopt;
  }
  if (*Count == 0) {
    return TTranslationTable{};
  }
  const auto Languages = static_cast<size_t>(*Count);
  const size_t Rows = (Lines.size() - 1) / Languages;
  if (Rows < 2) {
    return std::nullopt;  // not even every language's name and code
  }
  // Row 1 holds the codes. Anything else there means the count is not the file's number of
  // languages, and every row would be read shifted.
  for (size_t Language = 0; Language < Languages; ++Language) {
    if (!IsLanguageCode(Lines[Languages + Language + 1])) {
      return std::nullopt;
    }
  }
  TTranslationTable Table(Languages);
  for (size_t Language = 0; Language < Languages; ++Language) {
    std::vector<std::string>& Column = Table[Language];
    Column.reserve(Rows);
    for (size_t Row = 0; Row < Rows; ++Row) {
      Column.emplace_back(Lines[Row * Languages + Language + 1]);
    }
  }
  const std::vector<std::string>& English = Table.front();
  for (size_t Row = 2; Row < Rows; ++Row) {
    const std::string Kinds = PlaceholderKinds(English[Row]);
    for (size_t Language = 1; Language < Languages; ++Language) {
      std::string& Text = Table[Language][Row];
      if (PlaceholderKinds(Text) != Kinds) {
        Text.clear();
      }
    }
  }
  return Table;
}

int LanguageColumnOf(const TTranslationTable& Table, std::string_view Code) {
  for (size_t Column = 0; Column < Table.size(); ++Column) {
    if (Table[Column].size() > 1 && platform::SameTextIgnoringCase(Table[Column][1], Code)) {
      return static_cast<int>(Column);
    }
  }
  return 0;
}

bool InstallTranslationFile(std::string_view Content) {
  std::optional<TTranslationTable> Table = ParseTranslationFile(Content);
  SetTranslations(Table ? std::move(*Table) : TTranslationTable{});
  SetLanguageIndex(LanguageColumnOf(Translations(), LanguageCode()));
  return Table.has_value();
}

std::string LanguageCodeOfLocaleName(std::string_view LocaleName) {
  // The languages of Dunstrel's table, by their ISO 639 names; Chinese, Japanese and Korean keep
  // the table's own codes.
  static constexpr std::pair<std::string_view, std::string_view> kCodes[] = {
      {"ar", "ar"}, {"zh", "cn"}, {"cs", "cs"}, {"de", "de"}, {"el", "el"},
      {"es", "es"}, {"fr", "fr"}, {"hu", "hu"}, {"it", "it"}, {"ja", "jp"},
      {"ko", "kr"}, {"nl", "nl"}, {"pl", "pl"}, {"pt", "pt"}, {"tr", "tr"},
  };
  const std::string_view Language = LocaleName.substr(0, LocaleName.find_first_of("-_.@"));
  for (const auto& [Iso, Code] : kCodes) {
    if (EqualIgnoringCase(Language, Iso)) {
      return std::string(Code);
    }
  }
  return "en";
}

}  // namespace dunstrel
