#pragma once

#include <QVariant>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace dunstrel {

// The role under which a cell gives the value its column orders the rows by: an integer or a
// floating number orders by value, bytes (a name as the file system spells it) or text in the
// natural order of names. A cell without one orders by its shown text, so every column of every
// list and tree sorts, also one that gives nothing more than its text.
inline constexpr int kSortKeyRole = Qt::UserRole + 64;

// How a list or tree is ordered: by one column up or down, or (no column) in the order of the
// results, largest first.
struct TSortChoice {
  int Column = -1;
  Qt::SortOrder Order = Qt::AscendingOrder;

  bool Active() const { return Column >= 0; }
  friend bool operator==(const TSortChoice&, const TSortChoice&) = default;
};

// The positions 0 .. Count-1 in the order of their keys (KeyOf(position) under kSortKeyRole,
// else the shown text): up or down, rows that have equal keys in their given order, rows
// without a key last either way.
std::vector<uint32_t> OrderByKeys(size_t Count, const std::function<QVariant(size_t)>& KeyOf,
                                  Qt::SortOrder Order);

// The same for keys that are all names, given as the file system's bytes: no copy through a
// QVariant, for the folders of a hundred thousand files.
std::vector<uint32_t> OrderByNames(size_t Count,
                                   const std::function<std::string_view(size_t)>& NameOf,
                                   Qt::SortOrder Order);

}  // namespace dunstrel
