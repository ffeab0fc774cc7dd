// The window around the result tabs: the Mode menu, the status line as tabs are switched, and
// Stop while a scan's results are made or handed to the tabs.
#include <QAction>
#include <QImage>
#include <QTreeView>
#include <QTreeWidget>
#include <fstream>

#include "app/ScannedWindow.h"

namespace dunstrel::testing {
namespace {

class WindowTabsTest : public ScannedWindowTest {
 protected:
  // Every list, tree and map of the window is empty.
  void ExpectEveryViewEmpty() const {
    EXPECT_EQ(Window->ScanRoot(), nullptr);
    for (const QTreeWidget* List : Window->findChildren<QTreeWidget*>()) {
      EXPECT_EQ(List->topLevelItemCount(), 0) << List->objectName().toStdString();
    }
    for (const QTreeView* View : Window->findChildren<QTreeView*>()) {
      EXPECT_EQ(View->model()->rowCount({}), 0) << View->objectName().toStdString();
    }
    for (TTreemapSurface* Surface : Window->findChildren<TTreemapSurface*>()) {
      const QImage Picture = Surface->grab().toImage();
      EXPECT_EQ(Picture.pixelColor(1, 1), Surface->palette().color(QPalette::Button))
          << Surface->objectName().toStdString() << " shows the placeholder";
    }
  }
};

TEST_F(WindowTabsTest, TheModeMenuAndTheTabsFollowEachOther) {
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
  Find<QAction>("FilesinFolders1")->trigger();  // the item of the page shown
  ExpectOnlyChecked(0);
}

// Showing a tab describes its selection in the status line; a tab without one leaves the line
// as it was, the summary of the scan among others.
TEST_F(WindowTabsTest, TheStatusLineFollowsTheTabShownAndKeepsTheSummary) {
  ScanFixture();
  const QString Summary = Status();
  EXPECT_EQ(Summary, "Done. Total files: 6   Total size: 9.2 KB");
  ShowTab("TabSheet1");
  EXPECT_EQ(Status(), Summary);
  ShowTab("TabSheet2");
  EXPECT_EQ(Status(), ShownText(PathOf("big")) + "  7.5 KB");
  ShowTab("TabSheet1");
  EXPECT_EQ(Status(), ShownText(PathOf("big")) + "  7.5 KB");
}

// Stop pressed while any text of the results' making or showing is in the status line, for a
// scan and for a saved scan alike: every view ends empty and the status line says "Cancelled".
TEST_F(WindowTabsTest, StopDuringAnyStepOfTheResultsEmptiesEveryView) {
  Tree.MakeFile("a/one.txt", 100);
  Tree.MakeFile("two.bin", 200);
  Tree.MakeFile("b/two.bin", 200);
  const std::string Saved = Tree / "saved.json";
  std::ofstream(Saved) << R"([1,2,{},[{"name":"/elsewhere"},{"name":"a.txt","asize":10}]])";
  for (const bool FromFile : {false, true}) {
    for (const char* Step : {"Building file list...", "Building Largest Files list...",
                             "Building folders tree...", "Building duplicates...",
                             "Building folders/files tree...", "Populating Largest Files UI...",
                             "Populating folders UI...", "Populating extensions..."}) {
      SCOPED_TRACE(std::string(Step) + (FromFile ? " of a saved scan" : " of a scan"));
      OpenWindow();
      if (FromFile) {
        ASSERT_TRUE(StoppingAt(QLatin1String(Step), [&] { Window->OpenScanFile(Saved); }));
      } else {
        ASSERT_TRUE(ScanStoppingAt(ShownText(Tree.Path()), QLatin1String(Step)));
      }
      EXPECT_EQ(Status(), "Cancelled");
      EXPECT_TRUE(Dialogs.Errors.empty());
      ExpectEveryViewEmpty();
      Window.reset();
    }
  }
}

TEST_F(WindowTabsTest, StopWhileTheDuplicatesAreGroupedEmptiesTheirTab) {
  // Enough files for the grouping to tell its progress.
  for (int I = 0; I < 160; ++I) {
    Tree.MakeFile("a/" + std::to_string(I) + ".txt", 10 + I);
    Tree.MakeFile("b/" + std::to_string(I) + ".txt", 10 + I);
  }
  for (const char* Step :
       {"Building duplicates... 1 / 320", "Duplicates ready. Groups shown: 160"}) {
    SCOPED_TRACE(Step);
    OpenWindow();
    ASSERT_TRUE(ScanStoppingAt(ShownText(Tree.Path()), QLatin1String(Step)));
    EXPECT_EQ(Status(), "Cancelled");
    EXPECT_EQ(Window->Results(), nullptr);
    ExpectEveryViewEmpty();
    Window.reset();
  }
}

}  // namespace
}  // namespace dunstrel::testing
