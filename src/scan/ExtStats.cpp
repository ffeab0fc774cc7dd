#include "scan/ExtStats.h"

namespace dunstrel {

TExtKey TExtKeyPool::Intern(std::string_view Text) {
  const auto Found = FIndex.find(Text);
  if (Found != FIndex.end()) {
    return Found->second;
  }
  const auto Key = static_cast<TExtKey>(FTexts.size());
  const std::string& Stored = FTexts.emplace_back(Text);
  FIndex.emplace(std::string_view(Stored), Key);
  return Key;
}

std::optional<TExtKey> TExtKeyPool::Find(std::string_view Text) const {
  const auto Found = FIndex.find(Text);
  if (Found == FIndex.end()) {
    return std::nullopt;
  }
  return Found->second;
}

}  // namespace dunstrel
