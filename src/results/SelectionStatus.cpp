#include "results/SelectionStatus.h"

#include "localisation/translation.h"
#include "results/ValueFormat.h"

namespace dunstrel {

namespace {

template <typename... TAlternatives>
struct TOverloaded : TAlternatives... {
  using TAlternatives::operator()...;
};
// Spelled out for compilers without deduction for aggregates (clang before 17).
template <typename... TAlternatives>
TOverloaded(TAlternatives...) -> TOverloaded<TAlternatives...>;

}  // namespace

std::string SelectionText(std::string_view Path, std::string_view SizeText, int64_t Count) {
  if (Path.empty()) {
    return Translate("Ready");
  }
  if (Count < 2) {
    return FormatText(Translate("%s  %s"), {Path, SizeText});
  }
  return FormatText(Translate("%s  %s  (%d selected)"), {Path, SizeText, Count});
}

std::string ItemSelectionText(const TSelectedData& First, int64_t Count,
                              const TFormatSettings& Settings) {
  return std::visit(
      TOverloaded{
          [&](const TFileLeaf* File) {
            return File == nullptr
                       ? Translate("Ready")
                       : SelectionText(File->FullPath(), FormatSize(File->Size(), Settings), Count);
          },
          [&](const TDirNode* Dir) {
            return Dir == nullptr ? Translate("Ready")
                                  : SelectionText(Dir->FullPath(),
                                                  FormatSize(Dir->TotalSize, Settings), Count);
          },
          [](const auto&) { return Translate("Ready"); },
      },
      First);
}

std::string GroupSelectionText(const TDupGroup& Group, const TFormatSettings& Settings) {
  return FormatText(
      Translate("%s  %s  (%d duplicates)"),
      {Group.FileName, FormatSize(Group.Size, Settings), static_cast<int64_t>(Group.Files.size())});
}

std::string LegendSelectionText(std::string_view Names, int64_t Bytes, int64_t Files,
                                const TFormatSettings& Settings) {
  return FormatText(Translate("%s  %s  (%d file(s))"), {Names, FormatSize(Bytes, Settings), Files});
}

}  // namespace dunstrel
