#pragma once

#include <Qt>
#include <vector>

class QAbstractItemView;
class QTreeView;
class QTreeWidget;

namespace dunstrel {

struct TListColumn {
  const char* Title;
  int Width;  // at 96 pixels per inch
  bool Translated = true;
  // A column of figures, which a first click on its header sorts largest first.
  bool Figures = false;
};

// Makes a list a read-only report: whole rows, several at a time, the selection as visible
// without the focus, columns as given (titles translated unless marked otherwise, widths scaled
// to Dpi; a column designed 0 pixels wide is hidden).
void SetUpReportList(QTreeWidget* List, const std::vector<TListColumn>& Columns, double Dpi);
// The same for a list whose model gives the titles; the model must be set first.
void SetUpReportView(QTreeView* List, const std::vector<TListColumn>& Columns, double Dpi);
// The order a first click on a column's header sorts in.
Qt::SortOrder FirstSortOrder(const TListColumn& Column);
// Makes a tree of a scan's folders a tree with a header: the name column takes what the figures'
// columns leave; Modified is hidden in a tree of folders alone. The model must be set first.
void SetUpScanTree(QTreeView* Tree, bool WithFiles, double Dpi);
// Sets the titles again, in the current language.
void SetListColumnTitles(QTreeWidget* List, const std::vector<TListColumn>& Columns);
// The selection stays as visible when the view loses the focus.
void KeepSelectionVisible(QAbstractItemView* View);

// The columns of the result lists.
const std::vector<TListColumn>& FilesColumns();
const std::vector<TListColumn>& ExtensionColumns();
const std::vector<TListColumn>& FolderLegendColumns();
const std::vector<TListColumn>& FileExtensionColumns();
const std::vector<TListColumn>& DuplicateGroupColumns();
// The tree of the duplicate groups and their files: the name (a file's path) with what the
// figures leave, the size, the date modified, and the growth while results are compared.
const std::vector<TListColumn>& DuplicateTreeColumns();
// The trees of a scan's folders: the name with the size, the size, the files, the date modified.
const std::vector<TListColumn>& ScanTreeColumns();

}  // namespace dunstrel
