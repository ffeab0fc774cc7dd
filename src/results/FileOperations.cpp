#include "results/FileOperations.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "localisation/translation.h"
#include "platform/Desktop.h"
#include "platform/Paths.h"
#include "treemap/TreemapKeys.h"

namespace dunstrel {

namespace {

// Paths compare as the file system compares names.
std::string ComparedForm(std::string_view Path) {
  if constexpr (platform::kFileNamesIgnoreCase) {
    return PathKey(Path);
  } else {
    return std::string(Path);
  }
}

// True when a folder above Path (its text up to some delimiter) is one of Listed.
bool LiesInsideListed(std::string_view Path, const std::unordered_set<std::string>& Listed) {
  for (size_t Pos = Path.find(platform::kPathDelimiter); Pos != std::string_view::npos;
       Pos = Path.find(platform::kPathDelimiter, Pos + 1)) {
    if (Pos + 1 == Path.size()) {
      break;  // a trailing delimiter names the path itself
    }
    // The root's own path keeps its delimiter; every other folder path ends before it.
    const std::string_view Folder = Path.substr(0, Pos == 0 ? 1 : Pos);
    if (Listed.contains(ComparedForm(Folder))) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::vector<std::string> PathsToRemove(const std::vector<std::string>& Paths) {
  std::unordered_set<std::string> Listed;
  for (const std::string& Path : Paths) {
    if (!Path.empty()) {
      Listed.insert(ComparedForm(platform::StripTrailingDelimiter(Path)));
    }
  }
  std::vector<std::string> Kept;
  std::unordered_set<std::string> Taken;
  for (const std::string& Path : Paths) {
    if (Path.empty()) {
      continue;
    }
    const std::string Stripped = platform::StripTrailingDelimiter(Path);
    if (!LiesInsideListed(Stripped, Listed) && Taken.insert(ComparedForm(Stripped)).second) {
      Kept.push_back(Path);
    }
  }
  return Kept;
}

std::string JoinPathsForClipboard(const std::vector<std::string>& Paths) {
  std::string Text;
  for (const std::string& Path : Paths) {
    if (!Text.empty()) {
      Text += platform::kLineBreak;
    }
    Text += Path;
  }
  return Text;
}

std::string RemovalQuestion(bool ToTrash, size_t Count, const TFormatSettings& Settings) {
  return FormatText(Translate(ToTrash ? "Move %d item(s) to Recycle Bin?"
                                      : "Permanently delete %d item(s)? (This cannot be undone)"),
                    {static_cast<int64_t>(Count)}, Settings);
}

std::string RemovalFailureText(bool ToTrash, const std::vector<TRemovalFailure>& Failures,
                               const TFormatSettings& Settings) {
  std::string Text = Translate(ToTrash ? "Failed to remove to Recycle Bin." : "Failed to delete.");
  const size_t Listed = std::min(Failures.size(), kMaxListedFailures);
  if (Listed > 0) {
    Text += "\n";
  }
  for (size_t I = 0; I < Listed; ++I) {
    Text += "\n" + Failures[I].Path + ": " + Failures[I].Reason;
  }
  if (Failures.size() > Listed) {
    Text += "\n" + FormatText(Translate("and %d more"),
                              {static_cast<int64_t>(Failures.size() - Listed)}, Settings);
  }
  return Text;
}

}  // namespace dunstrel
