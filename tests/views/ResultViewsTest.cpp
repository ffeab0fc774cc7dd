#include <QAction>
#include <QImage>
#include <QSplitter>
#include <QTimer>

#include "views/ViewsFixture.h"

namespace dunstrel::testing {
namespace {

// Whether a surface shows its placeholder: the button face where a map is black or coloured.
bool ShowsPlaceholder(TTreemapSurface* Surface) {
  const QImage Picture = Surface->grab().toImage();
  return !Picture.isNull() &&
         Picture.pixelColor(1, 1) == Surface->palette().color(QPalette::Button);
}

TEST_F(ViewsTest, SurfacesShowThePlaceholderUntilTheyHaveAMap) {
  OpenWindow();
  for (const char* Page : {"TabSheet3", "TabSheet1", "TabSheet2", "TabSheetDuplicates"}) {
    ShowTab(Page);
    EXPECT_TRUE(ShowsPlaceholder(Find<QWidget>(Page)->findChild<TTreemapSurface*>())) << Page;
  }
  Tree.MakeFile("only.bin", 10);
  ScanPath(Tree.Path());
  for (const auto& [Page, Placeholder] : {std::pair{"TabSheet3", false},
                                          {"TabSheet1", false},
                                          {"TabSheet2", false},
                                          {"TabSheetDuplicates", true}}) {
    ShowTab(Page);
    EXPECT_EQ(ShowsPlaceholder(Find<QWidget>(Page)->findChild<TTreemapSurface*>()), Placeholder)
        << Page;
  }
}

TEST_F(ViewsTest, ASurfaceWithoutAreaKeepsItsMapUntilItHasOneAgain) {
  ScanFixture();
  ShowTab("TabSheet1");
  auto* Surface = Find<TTreemapSurface>("PaintBox1");
  const size_t Cells = FilesView()->Map().Items().size();
  Surface->resize(Surface->width(), 0);
  EXPECT_EQ(FilesView()->Map().Items().size(), Cells);
  Surface->grab();  // paints nothing, and does not fail
  Surface->resize(300, 200);
  ASSERT_FALSE(FilesView()->Map().Items().empty());
  EXPECT_LE(FilesView()->Map().Items().front().Rect.Right, 300);
}

TEST_F(ViewsTest, AHiddenSurfaceGivesUpItsPictureAndDrawsTheSameMapWhenShownAgain) {
  ScanFixture();
  ShowTab("TabSheet1");
  auto* Surface = Find<TTreemapSurface>("PaintBox1");
  const QImage Before = Surface->grab().toImage();
  ShowTab("TabSheet2");
  EXPECT_TRUE(Surface->IsDirty());  // nothing kept to paint from
  ShowTab("TabSheet1");
  EXPECT_EQ(Surface->grab().toImage(), Before);
}

// Every map shows its tab's selection after any new layout: a new window size, a splitter moved,
// another tab shown and this one again.
TEST_F(ViewsTest, EveryMapKeepsItsHighlightThroughEveryRelayout) {
  Tree.MakeFile("small/a.txt", 4100);  // a duplicate of big/a.txt
  ScanFixture();
  const struct {
    const char* Page;
    const char* Splitter;
    std::string Clicked;
  } kTabs[] = {{"TabSheet1", "Splitter2", PathOf("small/b.bin")},
               {"TabSheet2", "Splitter1", PathOf("small")},
               {"TabSheet3", "Splitter6", PathOf("c.dat")},
               {"TabSheetDuplicates", "Splitter7", PathOf("small/a.txt")}};
  ShowTab("TabSheet1");
  ClickMap(FilesView(), "small/b.bin");
  ShowTab("TabSheet2");
  ClickMap(FoldersView(), "small");
  ShowTab("TabSheet3");
  ClickMap(FilesInFoldersView(), "c.dat");
  ShowTab("TabSheetDuplicates");
  ClickMap(View<TDuplicatesView>("TabSheetDuplicates"), "small/a.txt");
  for (const auto& Tab : kTabs) {
    ASSERT_EQ(FramedOnMap(View<TResultTab>(Tab.Page)), std::set<std::string>{Tab.Clicked});
  }
  const auto ExpectAllHighlighted = [&](const char* After) {
    for (const auto& Tab : kTabs) {
      ShowTab(Tab.Page);
      EXPECT_EQ(FramedOnMap(View<TResultTab>(Tab.Page)), std::set<std::string>{Tab.Clicked})
          << Tab.Page << " after " << After;
    }
  };
  const QImage Before = Find<QWidget>("PaintBox1")->grab().toImage();
  Window->resize(Window->width() - 300, Window->height() - 120);
  QTest::qWait(20);
  ExpectAllHighlighted("a smaller window");
  for (const auto& Tab : kTabs) {
    ShowTab(Tab.Page);
    auto* Splitter = Find<QSplitter>(Tab.Splitter);
    Splitter->setSizes({Splitter->sizes()[0] - 60, Splitter->sizes()[1] + 60});
  }
  QTest::qWait(20);
  ExpectAllHighlighted("a moved splitter");
  ShowTab("TabSheet1");
  EXPECT_NE(Find<QWidget>("PaintBox1")->grab().toImage().size(), Before.size());
}

TEST_F(ViewsTest, TheModeMenuAndTheTabsFollowEachOther) {
  OpenWindow();
  const char* const Modes[] = {"FilesinFolders1", "OnlyFiles1", "OnlyFolders1", "Duplicates1"};
  auto* Pages = Find<QTabWidget>("PageControl1");
  const auto ExpectOnlyChecked = [&](int Page) {
    for (int I = 0; I < 4; ++I) {
      EXPECT_EQ(Find<QAction>(Modes[I])->isChecked(), I == Page) << Modes[I];
    }
  };
  Find<QAction>("OnlyFolders1")->trigger();
  EXPECT_EQ(Pages->currentIndex(), 2);
  ExpectOnlyChecked(2);
  Pages->setCurrentIndex(3);
  ExpectOnlyChecked(3);
  Find<QAction>("FilesinFolders1")->trigger();
  EXPECT_EQ(Pages->currentIndex(), 0);
  ExpectOnlyChecked(0);
}

TEST_F(ViewsTest, StopDuringAnyStepOfTheResultsEmptiesEveryView) {
  for (const char* Step :
       {"Building file list...", "Building Largest Files list...", "Populating Largest Files UI...",
        "Building folders tree...", "Building duplicates...", "Populating folders UI...",
        "Building folders/files tree...", "Populating extensions..."}) {
    SCOPED_TRACE(Step);
    OpenWindow();
    Tree.MakeFile("a/one.txt", 100);
    Tree.MakeFile("two.bin", 200);
    ASSERT_TRUE(ScanStoppingAt(ShownText(Tree.Path()), QLatin1String(Step)));
    EXPECT_EQ(Status(), "Cancelled");
    EXPECT_EQ(Window->ScanRoot(), nullptr);
    for (const QTreeWidget* List : Window->findChildren<QTreeWidget*>()) {
      EXPECT_EQ(List->topLevelItemCount(), 0) << List->objectName().toStdString();
    }
    for (const QTreeView* View : Window->findChildren<QTreeView*>()) {
      EXPECT_EQ(View->model()->rowCount({}), 0) << View->objectName().toStdString();
    }
    for (TTreemapSurface* Surface : Window->findChildren<TTreemapSurface*>()) {
      EXPECT_TRUE(ShowsPlaceholder(Surface)) << Surface->objectName().toStdString();
    }
    Window.reset();
  }
}

}  // namespace
}  // namespace dunstrel::testing
