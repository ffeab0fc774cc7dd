#pragma once

#include <QTabWidget>
#include <string>

#include "app/WindowFixture.h"
#include "views/ShownText.h"
#include "views/TabProbes.h"

namespace dunstrel::testing {

// A window after the scan of a small tree on disk:
//   big/            a.txt 4100, deep/x/y/leaf.bin 3000, Makefile 500, makefile 100
//   small/b.bin     1000
//   c.dat           700
class ScannedWindowTest : public WindowTest {
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

  template <typename TTab>
  TTab* View(const char* Page) const {
    return dynamic_cast<TTab*>(Find<QWidget>(Page));
  }
  TFilesView* FilesView() const { return View<TFilesView>("TabSheet1"); }
  TFoldersView* FoldersView() const { return View<TFoldersView>("TabSheet2"); }
  TFilesInFoldersView* FilesInFoldersView() const { return View<TFilesInFoldersView>("TabSheet3"); }

  // Shows a tab and lets its surface take its size.
  void ShowTab(const char* Page) const {
    Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>(Page));
    QTest::qWait(10);
  }

  std::string PathOf(std::string_view Relative) const { return Tree / Relative; }
  template <typename TTab>
  void ClickMap(TTab* Tab, std::string_view Relative,
                Qt::KeyboardModifiers Keys = Qt::NoModifier) const {
    const std::string Path = Relative.empty() ? Tree.Path() : PathOf(Relative);
    EXPECT_TRUE(testing::ClickMap(Tab, Path, Keys)) << "no cell " << Relative;
  }

  TTempDir Tree;
};

}  // namespace dunstrel::testing
