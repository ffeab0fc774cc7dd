#pragma once

#include <vector>

class QTreeWidget;

namespace dunstrel {

struct TColumnSpec {
  const char* Title;
  int Width;  // at 96 pixels per inch
  bool Translated = true;
};

// Replaces the columns of a list: titles (translated unless marked otherwise) and widths scaled
// to the screen's density. A column designed 0 pixels wide is hidden.
void SetListColumns(QTreeWidget* List, const std::vector<TColumnSpec>& Columns, double Dpi);
// Sets the titles again, in the current language.
void SetListColumnTitles(QTreeWidget* List, const std::vector<TColumnSpec>& Columns);

// The columns of the result lists.
const std::vector<TColumnSpec>& FilesColumns();
const std::vector<TColumnSpec>& ExtensionColumns();
const std::vector<TColumnSpec>& FolderLegendColumns();
const std::vector<TColumnSpec>& FileExtensionColumns();
const std::vector<TColumnSpec>& DuplicateGroupColumns();

}  // namespace dunstrel
