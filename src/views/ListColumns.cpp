// The result lists as they are before any scan: columns and selection.
#include "views/ListColumns.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "views/DpiScaling.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

QString ColumnTitle(const TListColumn& Column) {
  return Column.Translated ? TranslatedText(Column.Title) : QString::fromUtf8(Column.Title);
}

}  // namespace

void KeepSelectionVisible(QAbstractItemView* View) {
  QPalette Palette = View->palette();
  for (const QPalette::ColorRole Role : {QPalette::Highlight, QPalette::HighlightedText}) {
    Palette.setColor(QPalette::Inactive, Role, Palette.color(QPalette::Active, Role));
  }
  View->setPalette(Palette);
}

void SetUpReportView(QTreeView* List, const std::vector<TListColumn>& Columns, double Dpi) {
  List->setRootIsDecorated(false);
  List->setItemsExpandable(false);
  List->setSelectionMode(QAbstractItemView::ExtendedSelection);
  List->setSelectionBehavior(QAbstractItemView::SelectRows);
  List->setEditTriggers(QAbstractItemView::NoEditTriggers);
  List->setAllColumnsShowFocus(true);
  List->setUniformRowHeights(true);
  KeepSelectionVisible(List);
  List->header()->setStretchLastSection(false);
  for (int I = 0; I < static_cast<int>(Columns.size()); ++I) {
    const int Width = ScaleToDpi(Columns[static_cast<size_t>(I)].Width, Dpi);
    List->setColumnWidth(I, Width);
    List->setColumnHidden(I, Width == 0);
  }
}

void SetUpScanTree(QTreeView* Tree, bool WithFiles, double Dpi) {
  Tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
  Tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Tree->setUniformRowHeights(true);
  Tree->setIndentation(19);
  KeepSelectionVisible(Tree);
  QHeaderView* Header = Tree->header();
  Header->setStretchLastSection(false);
  Header->setSectionResizeMode(0, QHeaderView::Stretch);
  const std::vector<TListColumn>& Columns = ScanTreeColumns();
  for (size_t Column = 1; Column < Columns.size(); ++Column) {
    Tree->setColumnWidth(static_cast<int>(Column), ScaleToDpi(Columns[Column].Width, Dpi));
  }
  Tree->setColumnHidden(3, !WithFiles);
}

void SetUpReportList(QTreeWidget* List, const std::vector<TListColumn>& Columns, double Dpi) {
  List->setColumnCount(static_cast<int>(Columns.size()));
  SetListColumnTitles(List, Columns);
  SetUpReportView(List, Columns, Dpi);
}

Qt::SortOrder FirstSortOrder(const TListColumn& Column) {
  return Column.Figures ? Qt::DescendingOrder : Qt::AscendingOrder;
}

void SetListColumnTitles(QTreeWidget* List, const std::vector<TListColumn>& Columns) {
  QStringList Titles;
  for (const TListColumn& Column : Columns) {
    Titles.append(ColumnTitle(Column));
  }
  List->setHeaderLabels(Titles);
  for (int I = 0; I < static_cast<int>(Columns.size()); ++I) {
    List->headerItem()->setData(I, Qt::InitialSortOrderRole,
                                FirstSortOrder(Columns[static_cast<size_t>(I)]));
  }
}

const std::vector<TListColumn>& FilesColumns() {
  static const std::vector<TListColumn> Columns = {{"Name", 220},
                                                   {"Path", 320},
                                                   {"Size", 95, true, true},
                                                   {"Percentage", 90, true, true},
                                                   {"Modified", 145, true, true},
                                                   {"FullPath", 0},
                                                   {"Growth", 95, true, true}};
  return Columns;
}

const std::vector<TListColumn>& ExtensionColumns() {
  static const std::vector<TListColumn> Columns = {{"Extension", 120},
                                                   {"Color", 70},
                                                   {"Bytes", 120, true, true},
                                                   {"Percentage", 90, true, true},
                                                   {"Files", 80, true, true}};
  return Columns;
}

const std::vector<TListColumn>& FolderLegendColumns() {
  static const std::vector<TListColumn> Columns = {{"Folder", 220},
                                                   {"Color", 70},
                                                   {"Bytes", 110, true, true},
                                                   {"%", 80, false, true},
                                                   {"Files", 70, true, true},
                                                   {"Growth", 95, true, true}};
  return Columns;
}

const std::vector<TListColumn>& FileExtensionColumns() {
  static const std::vector<TListColumn> Columns = {
      {"Extension", 120}, {"Color", 70}, {"Bytes", 120, true, true}, {"Files", 70, true, true}};
  return Columns;
}

const std::vector<TListColumn>& ScanTreeColumns() {
  static const std::vector<TListColumn> Columns = {{"Name", 0},
                                                   {"Size", 95, true, true},
                                                   {"Files", 70, true, true},
                                                   {"Modified", 145, true, true}};
  return Columns;
}

const std::vector<TListColumn>& DuplicateGroupColumns() {
  static const std::vector<TListColumn> Columns = {
      {"Group", 220}, {"Color", 70}, {"Size", 110, true, true}, {"Modified", 140, true, true}};
  return Columns;
}

const std::vector<TListColumn>& DuplicateTreeColumns() {
  static const std::vector<TListColumn> Columns = {{"Name", 0},
                                                   {"Size", 95, true, true},
                                                   {"Modified", 145, true, true},
                                                   {"Growth", 95, true, true}};
  return Columns;
}

}  // namespace dunstrel
