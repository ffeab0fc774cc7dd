#pragma once

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QTest>
#include <QTreeView>
#include <set>
#include <string>
#include <vector>

#include "views/DuplicatesView.h"
#include "views/FilesInFoldersView.h"
#include "views/FilesView.h"
#include "views/FoldersView.h"

namespace dunstrel::testing {

// What a tab highlights: the paths of the cells its map frames, of the items of the rows marked
// in its list or tree, and of the files or folders of the rows marked in its legend.
std::set<std::string> FramedOnMap(TResultTab* Tab);
std::set<std::string> MarkedInRows(TResultTab* Tab);
std::set<std::string> Highlighted(TResultTab* Tab);

// The texts of one column of a list, top to bottom.
QStringList ColumnTexts(const QTreeView* List, int Column);
// The shown texts of the rows below Parent of a tree view.
QStringList RowTexts(const QTreeView* Tree, const QModelIndex& Parent = {});
// The lines of clipboard text, whichever line break separates them.
std::vector<std::string> ClipboardLines(const QString& Text);

// A click on a row of a list or tree, as the mouse makes it, after scrolling it into view.
void ClickRow(QAbstractItemView* View, const QModelIndex& Row,
              Qt::KeyboardModifiers Keys = Qt::NoModifier);

// A click on a column's header, as the mouse makes it.
void ClickHeader(QTreeView* List, int Column);

// QTest takes the point (0, 0) for the widget's centre.
inline QPoint Corner(const TRect& Cell) {
  const QPoint At(Cell.Left, Cell.Top);
  return At.isNull() ? QPoint(1, 1) : At;
}
// A click at the centre of a map cell.
inline void ClickCell(TTreemapSurface* Surface, const TRect& Cell,
                      Qt::KeyboardModifiers Keys = Qt::NoModifier) {
  QTest::mouseClick(Surface, Qt::LeftButton, Keys,
                    QPoint((Cell.Left + Cell.Right) / 2, (Cell.Top + Cell.Bottom) / 2));
}
// A click on the top left pixel of a cell: inside a nested map's folder, outside its contents.
inline void ClickCellCorner(TTreemapSurface* Surface, const TRect& Cell) {
  QTest::mouseClick(Surface, Qt::LeftButton, Qt::NoModifier, Corner(Cell));
}
// A double-click as the mouse makes it: a click, then the double-click.
inline void DoubleClickCellCorner(TTreemapSurface* Surface, const TRect& Cell) {
  ClickCellCorner(Surface, Cell);
  QTest::mouseDClick(Surface, Qt::LeftButton, Qt::NoModifier, Corner(Cell));
}

inline std::string PathOfCell(const TFlatMapItem& Item) {
  return Item.FullPath();
}
inline std::string PathOfCell(const TFolderMapItem& Item) {
  return Item.Node->FullPath();
}
inline std::string PathOfCell(const THierItem& Item) {
  return Item.FullPath();
}
inline std::string PathOfCell(const TDupItem& Item) {
  return Item.FullPath();
}
inline bool IsFolderCell(const TFlatMapItem&) {
  return false;
}
inline bool IsFolderCell(const TFolderMapItem&) {
  return true;
}
inline bool IsFolderCell(const THierItem& Item) {
  return Item.Kind == THierKind::hkDir;
}
inline bool IsFolderCell(const TDupItem& Item) {
  return Item.Kind == TDupKind::dkDir;
}

// The small tree the tabs are tried on, made by a maker of files on disk or in memory:
//   big/            a.txt 4100, deep/x/y/leaf.bin 3000, Makefile 500, makefile 100
//   small/b.bin     1000
//   c.dat           700
template <typename TMaker>
void MakeFixtureFiles(TMaker& Tree) {
  Tree.MakeFile("big/a.txt", 4100);
  Tree.MakeFile("big/deep/x/y/leaf.bin", 3000);
  Tree.MakeFile("big/Makefile", 500);
  Tree.MakeFile("big/makefile", 100);
  Tree.MakeFile("small/b.bin", 1000);
  Tree.MakeFile("c.dat", 700);
}

// A click on the map cell of a file or folder: in a folder's own band, in a file's middle.
// False when the map has no cell of that path.
template <typename TTab>
bool ClickMap(TTab* Tab, const std::string& Path, Qt::KeyboardModifiers Keys = Qt::NoModifier) {
  for (const auto& Item : Tab->Map().Items()) {
    if (PathOfCell(Item) == Path) {
      if (IsFolderCell(Item)) {
        QTest::mouseClick(Tab->Surface(), Qt::LeftButton, Keys, Corner(Item.Rect));
      } else {
        ClickCell(Tab->Surface(), Item.Rect, Keys);
      }
      return true;
    }
  }
  return false;
}

// The same by a path below Root, the root itself for an empty one; a failure when there is no
// such cell.
template <typename TTab>
void ClickMapBelow(TTab* Tab, const std::string& Root, std::string_view Relative,
                   Qt::KeyboardModifiers Keys = Qt::NoModifier) {
  const std::string Path = Relative.empty() ? Root : Root + "/" + std::string(Relative);
  EXPECT_TRUE(ClickMap(Tab, Path, Keys)) << "no cell " << Relative;
}

}  // namespace dunstrel::testing
