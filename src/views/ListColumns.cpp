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
  List->header()->setSectionsClickable(false);
  for (int I = 0; I < static_cast<int>(Columns.size()); ++I) {
    const int Width = ScaleToDpi(Columns[static_cast<size_t>(I)].Width, Dpi);
    List->setColumnWidth(I, Width);
    List->setColumnHidden(I, Width == 0);
  }
}

void SetUpReportList(QTreeWidget* List, const std::vector<TListColumn>& Columns, double Dpi) {
  List->setColumnCount(static_cast<int>(Columns.size()));
  SetListColumnTitles(List, Columns);
  SetUpReportView(List, Columns, Dpi);
}

void SetListColumnTitles(QTreeWidget* List, const std::vector<TListColumn>& Columns) {
  QStringList Titles;
  for (const TListColumn& Column : Columns) {
    Titles.append(ColumnTitle(Column));
  }
  List->setHeaderLabels(Titles);
}

const std::vector<TListColumn>& FilesColumns() {
  static const std::vector<TListColumn> Columns = {
      {"Name", 220},     {"Path", 320},   {"Size", 95},  {"Percentage", 90},
      {"Modified", 145}, {"FullPath", 0}, {"Growth", 95}};
  return Columns;
}

const std::vector<TListColumn>& ExtensionColumns() {
  static const std::vector<TListColumn> Columns = {
      {"Extension", 120}, {"Color", 70}, {"Bytes", 120}, {"Percentage", 90}, {"Files", 80}};
  return Columns;
}

const std::vector<TListColumn>& FolderLegendColumns() {
  static const std::vector<TListColumn> Columns = {{"Folder", 220},  {"Color", 70}, {"Bytes", 110},
                                                   {"%", 80, false}, {"Files", 70}, {"Growth", 95}};
  return Columns;
}

const std::vector<TListColumn>& FileExtensionColumns() {
  static const std::vector<TListColumn> Columns = {
      {"Extension", 120}, {"Color", 70}, {"Bytes", 120}, {"Files", 70}};
  return Columns;
}

const std::vector<TListColumn>& DuplicateGroupColumns() {
  static const std::vector<TListColumn> Columns = {
      {"Group", 220}, {"Color", 70}, {"Size", 110}, {"Modified", 140}};
  return Columns;
}

}  // namespace dunstrel
