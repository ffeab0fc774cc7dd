#pragma once

#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>
#include <set>
#include <string>
#include <vector>

#include "app/WindowFixture.h"
#include "views/DuplicatesView.h"
#include "views/FilesInFoldersView.h"
#include "views/FilesView.h"
#include "views/FoldersView.h"
#include "views/ShownText.h"

namespace dunstrel::testing {

// A window after the scan of a small tree:
//   big/            a.txt 4100, deep/x/y/leaf.bin 3000, Makefile 500, makefile 100
//   small/b.bin     1000
//   c.dat           700
class ViewsTest : public WindowTest {
 protected:
  void ScanFixture() {
    Tree.MakeFile("big/a.txt", 4100);
    Tree.MakeFile("big/deep/x/y/leaf.bin", 3000);
    Tree.MakeFile("big/Makefile", 500);
    Tree.MakeFile("big/makefile", 100);
    Tree.MakeFile("small/b.bin", 1000);
    Tree.MakeFile("c.dat", 700);
    ScanPath(Tree.Path());
  }

  void ScanPath(const std::string& Path) {
    OpenWindow();
    ChoosePath(ShownText(Path));
    Click("btnScan");
    ASSERT_TRUE(WaitUntilIdle());
    ASSERT_TRUE(Status().startsWith("Done.")) << Status().toStdString();
  }

  template <typename TView>
  TView* View(const char* Page) const {
    return dynamic_cast<TView*>(Find<QWidget>(Page));
  }
  TFilesView* FilesView() const { return View<TFilesView>("TabSheet1"); }
  TFoldersView* FoldersView() const { return View<TFoldersView>("TabSheet2"); }
  TFilesInFoldersView* FilesInFoldersView() const { return View<TFilesInFoldersView>("TabSheet3"); }

  // Shows a tab and lets its surface take its size.
  void ShowTab(const char* Page) const {
    auto* Pages = Find<QTabWidget>("PageControl1");
    Pages->setCurrentWidget(Find<QWidget>(Page));
    QTest::qWait(10);
  }

  // A picture of the window showing a tab, in the build folder.
  void SaveScreenshotOfTab(const char* Page) const {
    ShowTab(Page);
    SaveScreenshot(Page);
  }

  // A click on a row of a list or tree, as the mouse makes it, after scrolling it into view.
  static void ClickRow(QAbstractItemView* View, const QModelIndex& Row,
                       Qt::KeyboardModifiers Keys = Qt::NoModifier);

  // A click on the map cell of a file or folder: in a folder's own band, in a file's middle.
  template <typename TView>
  void ClickMap(TView* View, const std::string& Relative,
                Qt::KeyboardModifiers Keys = Qt::NoModifier) const {
    const std::string Path = Relative.empty() ? Tree.Path() : PathOf(Relative);
    for (const auto& Item : View->Map().Items()) {
      if (PathOfCell(Item) == Path) {
        QTest::mouseClick(View->Surface(), Qt::LeftButton, Keys,
                          IsFolderCell(Item) ? Corner(Item.Rect)
                                             : QPoint((Item.Rect.Left + Item.Rect.Right) / 2,
                                                      (Item.Rect.Top + Item.Rect.Bottom) / 2));
        return;
      }
    }
    ADD_FAILURE() << "no cell " << Relative;
  }
  static std::string PathOfCell(const TFlatMapItem& Item) { return Item.FullPath(); }
  static std::string PathOfCell(const TFolderMapItem& Item) {
    return std::string(Item.Node->FullPath());
  }
  static std::string PathOfCell(const THierItem& Item) { return Item.FullPath(); }
  static std::string PathOfCell(const TDupItem& Item) { return Item.FullPath(); }
  static bool IsFolderCell(const TFlatMapItem&) { return false; }
  static bool IsFolderCell(const TFolderMapItem&) { return true; }
  static bool IsFolderCell(const THierItem& Item) { return Item.Kind == THierKind::hkDir; }
  static bool IsFolderCell(const TDupItem& Item) { return Item.Kind == TDupKind::dkDir; }

  // A click at the centre of a map cell.
  static void ClickCell(TTreemapSurface* Surface, const TRect& Cell,
                        Qt::KeyboardModifiers Keys = Qt::NoModifier) {
    QTest::mouseClick(Surface, Qt::LeftButton, Keys,
                      QPoint((Cell.Left + Cell.Right) / 2, (Cell.Top + Cell.Bottom) / 2));
  }

  // A click on the top left pixel of a cell: inside a nested map's folder, outside its contents.
  static void ClickCellCorner(TTreemapSurface* Surface, const TRect& Cell) {
    QTest::mouseClick(Surface, Qt::LeftButton, Qt::NoModifier, Corner(Cell));
  }
  // A double-click as the mouse makes it: a click, then the double-click.
  static void DoubleClickCellCorner(TTreemapSurface* Surface, const TRect& Cell) {
    ClickCellCorner(Surface, Cell);
    QTest::mouseDClick(Surface, Qt::LeftButton, Qt::NoModifier, Corner(Cell));
  }
  // QTest takes the point (0, 0) for the widget's centre.
  static QPoint Corner(const TRect& Cell) {
    const QPoint At(Cell.Left, Cell.Top);
    return At.isNull() ? QPoint(1, 1) : At;
  }

  std::string PathOf(std::string_view Relative) const { return Tree / Relative; }

  TTempDir Tree;
};

// The lines of clipboard text, whichever line break separates them.
std::vector<std::string> ClipboardLines(const QString& Text);

// What a tab highlights: the paths of the cells its map frames, of the items of the rows marked
// in its list or tree, and of the files or folders of the rows marked in its legend.
std::set<std::string> FramedOnMap(TResultTab* View);
std::set<std::string> MarkedInRows(TResultTab* View);
std::set<std::string> Highlighted(TResultTab* View);

// The texts of one column of a list, top to bottom.
QStringList ColumnTexts(const QTreeView* List, int Column);
// The shown texts of the rows below Parent of a tree view.
QStringList RowTexts(const QTreeView* Tree, const QModelIndex& Parent = {});

}  // namespace dunstrel::testing
