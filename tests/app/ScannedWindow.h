#pragma once

#include <QTabWidget>
#include <string>

#include "app/WindowFixture.h"
#include "views/ShownText.h"
#include "views/TabProbes.h"

namespace dunstrel::testing {

// A window after the scan of the fixture's tree (MakeFixtureFiles) on disk.
class ScannedWindowTest : public WindowTest {
 protected:
  void ScanFixture() {
    MakeFixtureFiles(Tree);
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
  TDuplicatesView* DupView() const { return View<TDuplicatesView>("TabSheetDuplicates"); }

  // Shows a tab and lets its surface take its size.
  void ShowTab(const char* Page) const {
    Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>(Page));
    QTest::qWait(10);
  }

  std::string PathOf(std::string_view Relative) const { return Tree / Relative; }
  template <typename TTab>
  void ClickMap(TTab* Tab, std::string_view Relative,
                Qt::KeyboardModifiers Keys = Qt::NoModifier) const {
    ClickMapBelow(Tab, Tree.Path(), Relative, Keys);
  }

  TTempDir Tree;
};

}  // namespace dunstrel::testing
