// The result lists and trees as they are before any scan: columns, selection and icons.
#include "app/MainFormLists.h"

#include <QApplication>
#include <QHeaderView>
#include <QStyle>
#include <QTreeWidget>

#include "app/DpiScaling.h"
#include "app/MainForm.h"
#include "app/ShownText.h"

namespace dunstrel {

namespace {

// The selection stays as visible when the view loses the focus.
void KeepSelectionVisible(QAbstractItemView* View) {
  QPalette Palette = View->palette();
  for (const QPalette::ColorRole Role : {QPalette::Highlight, QPalette::HighlightedText}) {
    Palette.setColor(QPalette::Inactive, Role, Palette.color(QPalette::Active, Role));
  }
  View->setPalette(Palette);
}

QString ColumnTitle(const TListColumn& Column) {
  return Column.Translated ? TranslatedText(Column.Title) : QString::fromUtf8(Column.Title);
}

}  // namespace

void SetListColumns(QTreeWidget* List, const std::vector<TListColumn>& Columns, double Dpi) {
  List->setColumnCount(static_cast<int>(Columns.size()));
  List->header()->setStretchLastSection(false);
  SetListColumnTitles(List, Columns);
  for (int I = 0; I < static_cast<int>(Columns.size()); ++I) {
    const int Width = ScaleToDpi(Columns[static_cast<size_t>(I)].Width, Dpi);
    List->setColumnWidth(I, Width);
    List->setColumnHidden(I, Width == 0);
  }
}

void SetListColumnTitles(QTreeWidget* List, const std::vector<TListColumn>& Columns) {
  QStringList Titles;
  for (const TListColumn& Column : Columns) {
    Titles.append(ColumnTitle(Column));
  }
  List->setHeaderLabels(Titles);
}

const std::vector<TListColumn>& FilesColumns() {
  static const std::vector<TListColumn> Columns = {{"Name", 220},     {"Path", 320},
                                                   {"Size", 95},      {"Percentage", 90},
                                                   {"Modified", 145}, {"FullPath", 0}};
  return Columns;
}

const std::vector<TListColumn>& ExtensionColumns() {
  static const std::vector<TListColumn> Columns = {
      {"Extension", 120}, {"Color", 70}, {"Bytes", 120}, {"Percentage", 90}, {"Files", 80}};
  return Columns;
}

const std::vector<TListColumn>& FolderLegendColumns() {
  static const std::vector<TListColumn> Columns = {
      {"Folder", 220}, {"Color", 70}, {"Bytes", 110}, {"%", 80, false}, {"Files", 70}};
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

void TfrmMain::SetUpListColumns() {
  const double Dpi = logicalDpiX();
  const std::pair<QTreeWidget*, const std::vector<TListColumn>*> Lists[] = {
      {lvFiles, &FilesColumns()},
      {lvExt, &ExtensionColumns()},
      {lvFilesOfSelectedFolder, &FolderLegendColumns()},
      {tvFileExtensions, &FileExtensionColumns()},
      {lvDuplicateGroupsColors, &DuplicateGroupColumns()}};
  for (const auto& [List, Columns] : Lists) {
    List->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->setAllColumnsShowFocus(true);
    List->setUniformRowHeights(true);
    KeepSelectionVisible(List);
    SetListColumns(List, *Columns, Dpi);
  }
}

void TfrmMain::SetUpTrees() {
  for (QTreeWidget* Tree : {tvFolders, tvFoldersAndFiles, tvDuplicateFiles}) {
    Tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    KeepSelectionVisible(Tree);
  }
}

void TfrmMain::InitSystemImageList() {
  // Icons come per item from the shell service's cache; the views only need the small size.
  const int Small = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
  for (QTreeWidget* View : {lvFiles, lvExt, lvFilesOfSelectedFolder, tvFileExtensions, tvFolders,
                            tvFoldersAndFiles, tvDuplicateFiles}) {
    View->setIconSize(QSize(Small, Small));
  }
}

}  // namespace dunstrel
