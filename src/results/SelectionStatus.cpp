#include "results/SelectionStatus.h"

#include <algorithm>

#include "localisation/translation.h"
#include "results/SizeFigures.h"
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

std::string ItemSelectionText(const TSelectedData& First, int64_t Count, TSizeCount Sizes,
                              const TFormatSettings& Settings) {
  return std::visit(
      TOverloaded{
          [&](const TFileLeaf* File) {
            return File == nullptr ? Translate("Ready")
                                   : SelectionText(File->FullPath(),
                                                   FileFigureText(*File, Sizes, Settings), Count);
          },
          [&](const TDirNode* Dir) {
            return Dir == nullptr ? Translate("Ready")
                                  : SelectionText(Dir->FullPath(),
                                                  FormatSize(Dir->TotalIn(Sizes), Settings), Count);
          },
          [](const auto&) { return Translate("Ready"); },
      },
      First);
}

int64_t GroupFileFigure(const TDupGroup& Group, TSizeCount Count) {
  if (Count == TSizeCount::ApparentSize) {
    return Group.Size;
  }
  int64_t Largest = 0;
  for (const TFileLeaf* File : Group.Files) {
    Largest = std::max(Largest, File->SizeIn(Count));
  }
  return Largest;
}

std::string GroupSelectionText(const TDupGroup& Group, TSizeCount Sizes,
                               const TFormatSettings& Settings) {
  return FormatText(Translate("%s  %s  (%d duplicates)"),
                    {Group.FileName, FormatSize(GroupFileFigure(Group, Sizes), Settings),
                     static_cast<int64_t>(Group.Files.size())});
}

std::string LegendSelectionText(std::string_view Names, int64_t Bytes, int64_t Files,
                                const TFormatSettings& Settings) {
  return FormatText(Translate("%s  %s  (%d file(s))"), {Names, FormatSize(Bytes, Settings), Files});
}

}  // namespace dunstrel
