#pragma once

#include <vector>

class QTreeWidget;

namespace dunstrel {

struct TListColumn {
  const char* Title;
  int Width;  // at 96 pixels per inch
  bool Translated = true;
};

// Replaces the columns of a list: titles (translated unless marked otherwise) and widths scaled
// to the screen's density. A column designed 0 pixels wide is hidden.
void SetListColumns(QTreeWidget* List, const std::vector<TListColumn>& Columns, double Dpi);
// Sets the titles again, in the current language.
void SetListColumnTitles(QTreeWidget* List, const std::vector<TListColumn>& Columns);

// The columns of the result lists.
const std::vector<TListColumn>& FilesColumns();
const std::vector<TListColumn>& ExtensionColumns();
const std::vector<TListColumn>& FolderLegendColumns();
const std::vector<TListColumn>& FileExtensionColumns();
const std::vector<TListColumn>& DuplicateGroupColumns();

}  // namespace dunstrel
