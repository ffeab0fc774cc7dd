#include "results/FileOperations.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "common/SaturatingSum.h"
#include "localisation/translation.h"
#include "platform/Desktop.h"
#include "platform/Paths.h"
#include "results/ProblemText.h"
#include "results/ValueFormat.h"
#include "scan/PathKeys.h"

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

std::vector<TRemovalItem> ItemsToRemove(const std::vector<TRemovalItem>& Items) {
  std::unordered_set<std::string> Listed;
  for (const TRemovalItem& Item : Items) {
    if (!Item.Path.empty()) {
      Listed.insert(ComparedForm(platform::StripTrailingDelimiter(Item.Path)));
    }
  }
  std::vector<TRemovalItem> Kept;
  std::unordered_set<std::string> Taken;
  for (const TRemovalItem& Item : Items) {
    if (Item.Path.empty()) {
      continue;
    }
    const std::string Stripped = platform::StripTrailingDelimiter(Item.Path);
    if (!LiesInsideListed(Stripped, Listed) && Taken.insert(ComparedForm(Stripped)).second) {
      Kept.push_back(Item);
    }
  }
  return Kept;
}

std::string PathForDisplay(std::string_view Path) {
  std::string Shown;
  Shown.reserve(Path.size());
  for (const char C : Path) {
    const auto Byte = static_cast<unsigned char>(C);
    if (Byte < 0x20 || Byte == 0x7F) {
      // The control pictures block: U+2400 + the byte, U+2421 for DEL, in UTF-8.
      const unsigned Picture = Byte == 0x7F ? 0x2421 : 0x2400 + Byte;
      Shown += static_cast<char>(0xE0 | (Picture >> 12));
      Shown += static_cast<char>(0x80 | ((Picture >> 6) & 0x3F));
      Shown += static_cast<char>(0x80 | (Picture & 0x3F));
    } else {
      Shown += C;
    }
  }
  return Shown;
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

std::string RemovalQuestion(bool ToTrash, const std::vector<TRemovalItem>& Items,
                            const TFormatSettings& Settings) {
  std::string Text =
      FormatText(Translate(!ToTrash ? "Permanently delete %d item(s)? (This cannot be undone)"
                           : platform::kDesktopSaysRecycleBin ? "Move %d item(s) to Recycle Bin?"
                                                              : "Move %d item(s) to Trash?"),
                 {static_cast<int64_t>(Items.size())}, Settings);
  Text += "\n";
  const size_t Listed = std::min(Items.size(), kMaxListedRemovals);
  int64_t Bytes = 0;
  for (size_t I = 0; I < Items.size(); ++I) {
    if (I < Listed) {
      Text += "\n" + PathForDisplay(Items[I].Path);
    }
    Bytes = SaturatingAdd(Bytes, Items[I].Bytes);
  }
  if (Items.size() > Listed) {
    Text += "\n" + FormatText(Translate("and %d more"),
                              {static_cast<int64_t>(Items.size() - Listed)}, Settings);
  }
  Text += "\n\n" + FormatText(Translate("Total size: %s"), {FormatSize(Bytes, Settings)}, Settings);
  return Text;
}

std::string RemovalFailureText(bool ToTrash, const std::vector<TRemovalFailure>& Failures,
                               const TFormatSettings& Settings) {
  std::string Text =
      Translate(!ToTrash                           ? "Failed to delete."
                : platform::kDesktopSaysRecycleBin ? "Failed to remove to Recycle Bin."
                                                   : "Failed to move to Trash.");
  const size_t Listed = std::min(Failures.size(), kMaxListedFailures);
  if (Listed > 0) {
    Text += "\n";
  }
  for (size_t I = 0; I < Listed; ++I) {
    Text += "\n" + PathForDisplay(Failures[I].Path) + ": " + ProblemText(Failures[I].Reason);
  }
  if (Failures.size() > Listed) {
    Text += "\n" + FormatText(Translate("and %d more"),
                              {static_cast<int64_t>(Failures.size() - Listed)}, Settings);
  }
  return Text;
}

}  // namespace dunstrel
