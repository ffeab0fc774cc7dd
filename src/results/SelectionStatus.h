#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "localisation/TextFormat.h"
#include "results/DuplicateGroups.h"
#include "scan/ScanTree.h"
#include "treemap/DupTreemap.h"

namespace dunstrel {

// What a node or row of the result views stands for; monostate for none or a placeholder.
using TSelectedData =
    std::variant<std::monostate, const TFileLeaf*, const TDirNode*, const TDupGroup*>;

// The status line for a selection: "Ready" without a path, else the path and the size text,
// followed by the number of selected items when there are two or more.
std::string SelectionText(std::string_view Path, std::string_view SizeText, int64_t Count);

// A file or folder of the scan tree (the first of Count selected items) as a status line;
// "Ready" for anything else.
std::string ItemSelectionText(const TSelectedData& First, int64_t Count,
                              const TFormatSettings& Settings);

// The status line of the duplicates tab from the tree's selected node: a group with its name,
// size and number of files; a file with its path and size, never a count (several selected
// files describe the first alone); anything else the map's primary cell, or "Ready" without one.
std::string DuplicateSelectionText(const TSelectedData& Node, const TDupItem* MapPrimary,
                                   const TFormatSettings& Settings);

}  // namespace dunstrel
