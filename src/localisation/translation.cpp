#include "localisation/translation.h"

#include <unordered_map>

namespace dunstrel {

namespace {

struct TState {
  TTranslationTable Table;
  std::unordered_map<std::string, size_t> FirstRowOf;  // English text -> its first row
  int Language = 0;
  std::string Code;
};

TState& State() {
  static TState Instance;
  return Instance;
}

}  // namespace

const TTranslationTable& Translations() {
  return State().Table;
}

void SetTranslations(TTranslationTable Table) {
  TState& S = State();
  S.Table = std::move(Table);
  S.FirstRowOf.clear();
  S.Language = 0;
  if (S.Table.empty()) {
    return;
  }
  const std::vector<std::string>& English = S.Table.front();
  for (size_t Row = 0; Row < English.size(); ++Row) {
    S.FirstRowOf.emplace(English[Row], Row);  // keeps the first of equal texts
  }
}

int LanguageIndex() {
  return State().Language;
}

void SetLanguageIndex(int Index) {
  State().Language = Index;
}

const std::string& LanguageCode() {
  return State().Code;
}

void SetLanguageCode(std::string Code) {
  State().Code = std::move(Code);
}

std::string Translate(std::string_view Text) {
  const TState& S = State();
  if (S.Language <= 0 || static_cast<size_t>(S.Language) >= S.Table.size()) {
    return std::string(Text);
  }
  const auto Found = S.FirstRowOf.find(std::string(Text));
  if (Found == S.FirstRowOf.end()) {
    return std::string(Text);
  }
  const std::vector<std::string>& Column = S.Table[static_cast<size_t>(S.Language)];
  if (Found->second >= Column.size() || Column[Found->second].empty()) {
    return std::string(Text);
  }
  return Column[Found->second];
}

}  // namespace dunstrel
