#pragma once

#include <vector>

#include "treemap/Squarify.h"

namespace dunstrel {

// Places Entries in Rect at Depth and then, depth first, the contents of every folder that got
// a cell: each folder's item before everything inside it, siblings in placement order. It walks
// with a stack of its own instead of recursing, since scan trees can be far deeper than the
// call stack; it still goes only as deep as cells stay non-empty.
//
// The map supplies:
//   void Place(const TEntry& Entry, const TRect& ItemRect, int Depth)
//     makes the item of an entry that got a non-empty cell;
//   bool EntriesInside(const TEntry& Folder, const TRect& ItemRect, int Depth,
//                      std::vector<TEntry>& Entries, TRect& Space)
//     the entries of a placed folder's contents, at Depth, and the part of its item rectangle
//     they share; false when nothing is to be shown inside it.
template <typename TMap>
void PlaceNested(std::vector<TEntry> Entries, const TRect& Rect, int Depth, TMap& Map) {
  struct TFrame {
    std::vector<TEntry> Entries;
    std::vector<TPlacedCell> Cells;
    size_t Next = 0;
    int Depth = 0;
  };
  // Frames above Used are kept only for their vectors' capacity.
  std::vector<TFrame> Frames(1);
  size_t Used = 1;
  Frames[0].Entries = std::move(Entries);
  Frames[0].Depth = Depth;
  ArrangeEntries(Frames[0].Entries, Rect, Frames[0].Cells);

  while (Used > 0) {
    TFrame& Top = Frames[Used - 1];
    if (Top.Next == Top.Cells.size()) {
      --Used;
      continue;
    }
    const TPlacedCell Placed = Top.Cells[Top.Next++];
    const std::optional<TRect> ItemRect = ItemRectOfCell(Placed.Cell);
    if (!ItemRect) {
      continue;
    }
    const TEntry Entry = Top.Entries[Placed.Entry];  // Top may move when a frame is added
    const int EntryDepth = Top.Depth;
    Map.Place(Entry, *ItemRect, EntryDepth);
    if (!Entry.IsDir()) {
      continue;
    }
    if (Used == Frames.size()) {
      Frames.emplace_back();
    }
    TFrame& Inside = Frames[Used];
    Inside.Entries.clear();
    Inside.Cells.clear();
    Inside.Next = 0;
    Inside.Depth = EntryDepth + 1;
    TRect Space;
    if (Map.EntriesInside(Entry, *ItemRect, Inside.Depth, Inside.Entries, Space)) {
      ArrangeEntries(Inside.Entries, Space, Inside.Cells);
      if (!Inside.Cells.empty()) {
        ++Used;
      }
    }
  }
}

}  // namespace dunstrel
