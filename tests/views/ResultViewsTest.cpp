#include <QAction>
#include <QImage>
#include <QSplitter>
#include <QTimer>

#include "views/TabsFixture.h"

namespace dunstrel::testing {
namespace {

// Whether a surface shows its placeholder: the button face where a map is black or coloured.
bool ShowsPlaceholder(TTreemapSurface* Surface) {
  const QImage Picture = Surface->grab().toImage();
  return !Picture.isNull() &&
         Picture.pixelColor(1, 1) == Surface->palette().color(QPalette::Button);
}

TEST_F(TabsTest, SurfacesShowThePlaceholderUntilTheyHaveAMap) {
  for (const char* Page : {"TabSheet3", "TabSheet1", "TabSheet2", "TabSheetDuplicates"}) {
    ShowTab(Page);
    EXPECT_TRUE(ShowsPlaceholder(Find<QWidget>(Page)->findChild<TTreemapSurface*>())) << Page;
  }
  Tree.MakeFile("only.bin", 10);
  ShowScan();
  for (const auto& [Page, Placeholder] : {std::pair{"TabSheet3", false},
                                          {"TabSheet1", false},
                                          {"TabSheet2", false},
                                          {"TabSheetDuplicates", true}}) {
    ShowTab(Page);
    EXPECT_EQ(ShowsPlaceholder(Find<QWidget>(Page)->findChild<TTreemapSurface*>()), Placeholder)
        << Page;
  }
}

TEST_F(TabsTest, ASurfaceWithoutAreaKeepsItsMapUntilItHasOneAgain) {
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

TEST_F(TabsTest, AHiddenSurfaceGivesUpItsPictureAndDrawsTheSameMapWhenShownAgain) {
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
TEST_F(TabsTest, EveryMapKeepsItsHighlightThroughEveryRelayout) {
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
  Pages->resize(Pages->width() - 300, Pages->height() - 120);
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

}  // namespace
}  // namespace dunstrel::testing
