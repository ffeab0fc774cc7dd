#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "localisation/TextFormat.h"
#include "results/DuplicateGroups.h"
#include "scan/ScanTree.h"

namespace dunstrel {

// What a node or row of the result views stands for; monostate for none or a placeholder.
using TSelectedData =
    std::variant<std::monostate, const TFileLeaf*, const TDirNode*, const TDupGroup*>;

// The status line for a selection: "Ready" without a path, else the path and the size text,
// followed by the number of selected items when there are two or more.
std::string SelectionText(std::string_view Path, std::string_view SizeText, int64_t Count);

// A file or folder of the scan tree (the first of Count selected items) as a status line, its
// size in Sizes; "Ready" for anything else.
std::string ItemSelectionText(const TSelectedData& First, int64_t Count, TSizeCount Sizes,
                              const TFormatSettings& Settings);

// The figure of one file of a group in Count: the largest of its members' (a member counted at
// another of its names adds nothing in the disk usage).
int64_t GroupFileFigure(const TDupGroup& Group, TSizeCount Count);

// A group of duplicates, all of its files selected: its name, the figure of one file in Sizes and
// the number of files.
std::string GroupSelectionText(const TDupGroup& Group, TSizeCount Sizes,
                               const TFormatSettings& Settings);

// A selection made in a legend: the names of its rows, the bytes and the number of the files
// they stand for.
std::string LegendSelectionText(std::string_view Names, int64_t Bytes, int64_t Files,
                                const TFormatSettings& Settings);

}  // namespace dunstrel
