#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>

#include "views/ScanTreeModel.h"

#include "views/TabsFixture.h"

namespace dunstrel::testing {
namespace {

// The row of a list or tree shown as Name (a tree's with its size after it), looked for through
// the whole tree, folders opened as needed.
QModelIndex RowNamed(const QAbstractItemView* View, const QString& Name,
                     const QModelIndex& Parent = {}) {
  QAbstractItemModel* Model = View->model();
  if (Model->canFetchMore(Parent)) {
    Model->fetchMore(Parent);
  }
  for (int Row = 0; Row < Model->rowCount(Parent); ++Row) {
    const QModelIndex Index = Model->index(Row, 0, Parent);
    const QString Text = Index.data().toString();
    if (Text == Name || Text.startsWith(Name + QStringLiteral("  "))) {
      return Index;
    }
    if (const QModelIndex Below = RowNamed(View, Name, Index); Below.isValid()) {
      return Below;
    }
  }
  return {};
}

// A right-click as the mouse makes it: the press, then the context menu it asks for.
void RightClick(QWidget* Target, const QPoint& At) {
  QTest::mousePress(Target, Qt::RightButton, Qt::NoModifier, At);
  QContextMenuEvent Event(QContextMenuEvent::Mouse, At, Target->mapToGlobal(At));
  QApplication::sendEvent(Target, &Event);
  QTest::mouseRelease(Target, Qt::RightButton, Qt::NoModifier, At);
}

void RightClickRow(QAbstractItemView* View, const QModelIndex& Row) {
  View->scrollTo(Row);
  RightClick(View->viewport(), View->visualRect(Row).center());
}

// The menu key: the context menu of the widget with the focus.
void PressMenuKey(QWidget* Target) {
  Target->setFocus();
  QContextMenuEvent Event(QContextMenuEvent::Keyboard, QPoint(1, 1),
                          Target->mapToGlobal(QPoint(1, 1)));
  QApplication::sendEvent(Target, &Event);
}

// The entries of the context menu that is open ("-" for a separator); runs the entry Run and
// closes the menu.
QStringList RunFromMenu(const QString& Run) {
  auto* Menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  if (Menu == nullptr || Menu->objectName() != QLatin1String("pmItems")) {
    return {};
  }
  QStringList Entries;
  QAction* Chosen = nullptr;
  for (QAction* Entry : Menu->actions()) {
    Entries.append(Entry->isSeparator() ? QStringLiteral("-") : Entry->text());
    if (Entry->text() == Run) {
      Chosen = Entry;
    }
  }
  Menu->close();
  if (Chosen != nullptr) {
    Chosen->trigger();
  }
  return Entries;
}

const QStringList kEntries = {QStringLiteral("Open"), QStringLiteral("-"),
                              QStringLiteral("Copy Path")};
// Maps and trees of folders add the zoom.
const QStringList kZoomEntries =
    kEntries +
    QStringList{QStringLiteral("-"), QStringLiteral("Zoom In"), QStringLiteral("Zoom Out")};

class ItemMenusTest : public TabsTest {
 protected:
  void SetUp() override {
    TabsTest::SetUp();
    Tree.MakeFile("small/a.txt", 4100);  // a duplicate of big/a.txt
    ScanFixture();
  }

  std::set<std::string> ActedOn() const { return {Host.ActedOn.begin(), Host.ActedOn.end()}; }
  std::set<std::string> Paths(std::initializer_list<const char*> Relative) const {
    std::set<std::string> All;
    for (const char* Path : Relative) {
      All.insert(PathOf(Path));
    }
    return All;
  }
};

TEST_F(ItemMenusTest, EveryListTreeAndLegendActsOnTheRowRightClickedOrOnItsSelection) {
  const struct TCase {
    const char* Page;
    const char* View;
    QString Row;
    // Ctrl-clicked before the right-click, which keeps them when it is on one of them.
    std::vector<QString> SelectedFirst;
    std::set<std::string> Expected;
  } Cases[] = {
      {"TabSheet1", "lvFiles", "b.bin", {}, Paths({"small/b.bin"})},
      {"TabSheet1", "lvFiles", "c.dat", {"b.bin", "c.dat"}, Paths({"small/b.bin", "c.dat"})},
      {"TabSheet1", "lvExt", ".bin", {}, Paths({"big/deep/x/y/leaf.bin", "small/b.bin"})},
      {"TabSheet2", "tvFolders", "small", {}, Paths({"small"})},
      {"TabSheet2", "lvFilesOfSelectedFolder", "small", {}, Paths({"small"})},
      {"TabSheet3", "tvFoldersAndFiles", "c.dat", {}, Paths({"c.dat"})},
      {"TabSheet3",
       "tvFoldersAndFiles",
       "Makefile",
       {"makefile", "Makefile"},
       Paths({"big/Makefile", "big/makefile"})},
      {"TabSheet3", "tvFileExtensions", ".dat", {}, Paths({"c.dat"})},
      {"TabSheetDuplicates",
       "tvDuplicateFiles",
       ShownText(PathOf("small/a.txt")),
       {},
       Paths({"small/a.txt"})},
      {"TabSheetDuplicates",
       "lvDuplicateGroupsColors",
       "a.txt",
       {},
       Paths({"big/a.txt", "small/a.txt"})},
  };
  for (const TCase& Case : Cases) {
    const std::string What = std::string(Case.View) + " " + Case.Row.toStdString();
    ShowTab(Case.Page);
    dynamic_cast<TResultTab*>(Find<QWidget>(Case.Page))->ClearSelection();
    auto* View = Find<QAbstractItemView>(Case.View);
    for (const QString& Row : Case.SelectedFirst) {
      ClickRow(View, RowNamed(View, Row), Qt::ControlModifier);
    }
    if (auto* Groups = qobject_cast<QTreeWidget*>(View);
        Groups != nullptr && Groups->objectName() == "tvDuplicateFiles") {
      // A group's files get their nodes when it is opened.
      for (int G = 0; G < Groups->topLevelItemCount(); ++G) {
        Groups->topLevelItem(G)->setExpanded(true);
      }
    }
    const QModelIndex Row = RowNamed(View, Case.Row);
    ASSERT_TRUE(Row.isValid()) << What;
    RightClickRow(View, Row);
    const bool Zooms =
        std::string(Case.View) == "tvFolders" || std::string(Case.View) == "tvFoldersAndFiles";
    const QStringList& Entries = Zooms ? kZoomEntries : kEntries;
    EXPECT_EQ(RunFromMenu(QStringLiteral("Copy Path")), Entries) << What;
    EXPECT_EQ(Host.LastCommand, "Copy Path") << What;
    EXPECT_EQ(ActedOn(), Case.Expected) << What;
    // The menu key acts on the selection as it is.
    Host.ActedOn.clear();
    PressMenuKey(View);
    EXPECT_EQ(RunFromMenu(QStringLiteral("Open")), Entries) << What;
    EXPECT_EQ(ActedOn(), Case.Expected) << What;
  }
}

TEST_F(ItemMenusTest, EveryMapActsOnTheCellRightClickedOrOnItsSelection) {
  const struct TCase {
    const char* Page;
    std::vector<const char*> SelectedFirst;
    const char* Cell;
    std::set<std::string> Expected;
  } Cases[] = {
      {"TabSheet1", {}, "c.dat", Paths({"c.dat"})},
      {"TabSheet1", {"small/b.bin", "c.dat"}, "c.dat", Paths({"small/b.bin", "c.dat"})},
      {"TabSheet2", {}, "small", Paths({"small"})},
      {"TabSheet3", {}, "big/Makefile", Paths({"big/Makefile"})},
      {"TabSheet3", {"c.dat", "small"}, "small", Paths({"c.dat", "small"})},
      {"TabSheetDuplicates", {}, "small/a.txt", Paths({"small/a.txt"})},
  };
  for (const TCase& Case : Cases) {
    const std::string What = std::string(Case.Page) + " " + Case.Cell;
    ShowTab(Case.Page);
    auto* Tab = dynamic_cast<TResultTab*>(Find<QWidget>(Case.Page));
    Tab->ClearSelection();
    const auto RightClickCell = [&](auto* View) {
      for (const char* Cell : Case.SelectedFirst) {
        ClickMap(View, Cell, Qt::ControlModifier);
      }
      for (const auto& Item : View->Map().Items()) {
        if (PathOfCell(Item) == PathOf(Case.Cell)) {
          // A folder in its band, a file in its middle.
          RightClick(View->Surface(), IsFolderCell(Item)
                                          ? Corner(Item.Rect)
                                          : QPoint((Item.Rect.Left + Item.Rect.Right) / 2,
                                                   (Item.Rect.Top + Item.Rect.Bottom) / 2));
          return;
        }
      }
      ADD_FAILURE() << "no cell " << What;
    };
    if (auto* Files = dynamic_cast<TFilesView*>(Tab)) {
      RightClickCell(Files);
    } else if (auto* Folders = dynamic_cast<TFoldersView*>(Tab)) {
      RightClickCell(Folders);
    } else if (auto* Both = dynamic_cast<TFilesInFoldersView*>(Tab)) {
      RightClickCell(Both);
    } else {
      RightClickCell(dynamic_cast<TDuplicatesView*>(Tab));
    }
    const QStringList& Entries = Tab->Zoomable() ? kZoomEntries : kEntries;
    EXPECT_EQ(RunFromMenu(QStringLiteral("Copy Path")), Entries) << What;
    EXPECT_EQ(ActedOn(), Case.Expected) << What;
    Host.ActedOn.clear();
    PressMenuKey(Tab->Surface());
    EXPECT_EQ(RunFromMenu(QStringLiteral("Open")), Entries) << What;
    EXPECT_EQ(ActedOn(), Case.Expected) << What;
    EXPECT_EQ(FramedOnMap(Tab), Case.Expected) << What;
  }
}

// Where Cell lies from From: wholly that way, and alongside it (not above or below a cell to
// the right, and so on).
bool Beyond(const TRect& From, const TRect& Cell, TArrow Way) {
  switch (Way) {
    case TArrow::Left:
      return Cell.Right <= From.Left;
    case TArrow::Right:
      return Cell.Left >= From.Right;
    case TArrow::Up:
      return Cell.Bottom <= From.Top;
    case TArrow::Down:
      return Cell.Top >= From.Bottom;
  }
  return false;
}
bool Alongside(const TRect& From, const TRect& Cell, TArrow Way) {
  return Way == TArrow::Left || Way == TArrow::Right
             ? Cell.Top < From.Bottom && From.Top < Cell.Bottom
             : Cell.Left < From.Right && From.Left < Cell.Right;
}

// From every cell of a map, each arrow selects a cell wholly that way, one alongside where there
// is one, and stays where no cell lies that way.
template <typename TTab>
void CheckArrows(TTab* Tab) {
  const std::pair<Qt::Key, TArrow> kWays[] = {{Qt::Key_Left, TArrow::Left},
                                              {Qt::Key_Right, TArrow::Right},
                                              {Qt::Key_Up, TArrow::Up},
                                              {Qt::Key_Down, TArrow::Down}};
  const auto CellOf = [Tab](const std::string& Path) -> const TRect* {
    for (const auto& Item : Tab->Map().Items()) {
      if (PathOfCell(Item) == Path) {
        return &Item.Rect;
      }
    }
    return nullptr;
  };
  const auto Selected = [Tab] {
    const std::vector<std::string> Paths = Tab->GetSelectedPaths();
    return Paths.size() == 1 ? Paths[0] : std::string();
  };
  // Without a selection an arrow selects the first cell.
  Tab->ClearSelection();
  QTest::keyClick(Tab->Surface(), Qt::Key_Down);
  ASSERT_FALSE(Tab->Map().Items().empty());
  EXPECT_EQ(Selected(), PathOfCell(Tab->Map().Items().front()));
  for (const auto& Start : Tab->Map().Items()) {
    if (IsEmpty(Start.Rect)) {
      continue;
    }
    for (const auto& [Key, Way] : kWays) {
      ClickMap(Tab, PathOfCell(Start));
      const TRect& From = Start.Rect;
      const std::string What = PathOfCell(Start) + " key " + std::to_string(Key);
      ASSERT_EQ(Selected(), PathOfCell(Start)) << What;
      QTest::keyClick(Tab->Surface(), Key);
      bool AnyBeyond = false;
      bool AnyAlongside = false;
      for (const auto& Cell : Tab->Map().Items()) {
        if (!IsEmpty(Cell.Rect) && Beyond(From, Cell.Rect, Way)) {
          AnyBeyond = true;
          AnyAlongside = AnyAlongside || Alongside(From, Cell.Rect, Way);
        }
      }
      const TRect* Now = CellOf(Selected());
      ASSERT_NE(Now, nullptr) << What;
      if (!AnyBeyond) {
        EXPECT_EQ(Selected(), PathOfCell(Start)) << What;
        continue;
      }
      EXPECT_TRUE(Beyond(From, *Now, Way)) << What;
      EXPECT_EQ(Alongside(From, *Now, Way), AnyAlongside) << What;
    }
  }
}

TEST_F(ItemMenusTest, EveryMapTakesTheFocusByTabAndShowsItAndArrowsMoveItsSelection) {
  for (const char* Page : {"TabSheet1", "TabSheet2", "TabSheet3", "TabSheetDuplicates"}) {
    ShowTab(Page);
    auto* Tab = dynamic_cast<TResultTab*>(Find<QWidget>(Page));
    TTreemapSurface* Surface = Tab->Surface();
    Pages->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Pages.get()));
    // Tab goes round the tab's controls and reaches the map.
    Tab->findChild<QAbstractItemView*>()->setFocus();
    const QImage Unfocused = Surface->grab().toImage();
    for (int Presses = 0; Presses < 8 && !Surface->hasFocus(); ++Presses) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    ASSERT_TRUE(Surface->hasFocus()) << Page;
    EXPECT_NE(Surface->grab().toImage(), Unfocused) << Page << ": no focus frame";
    if (auto* Files = dynamic_cast<TFilesView*>(Tab)) {
      CheckArrows(Files);
    } else if (auto* Folders = dynamic_cast<TFoldersView*>(Tab)) {
      CheckArrows(Folders);
    } else if (auto* Both = dynamic_cast<TFilesInFoldersView*>(Tab)) {
      CheckArrows(Both);
    } else {
      CheckArrows(dynamic_cast<TDuplicatesView*>(Tab));
    }
  }
}

// The paths of every cell of a map.
template <typename TTab>
std::set<std::string> MapPaths(const TTab* Tab) {
  std::set<std::string> Paths;
  for (const auto& Item : Tab->Map().Items()) {
    Paths.insert(PathOfCell(Item));
  }
  return Paths;
}

// The texts of the breadcrumb's buttons, the scan's root first; none while it is hidden.
QStringList Breadcrumb(const TResultTab* Tab) {
  QStringList Parts;
  const auto* Bar = Tab->findChild<QWidget*>(QStringLiteral("pnlBreadcrumb"));
  if (Bar != nullptr && Bar->isVisible()) {
    for (const QToolButton* Part : Bar->findChildren<QToolButton*>()) {
      Parts.append(Part->text());
    }
  }
  return Parts;
}

template <typename TTab>
void CheckZoom(ItemMenusTest& Test, TTab* Tab,
               const std::function<std::string(const char*)>& PathOf,
               const std::function<void()>& ShowScanAgain) {
  const QString Root = ShownText(PathOf(""));
  const auto ZoomFromMenu = [&](const char* Cell, const char* Command) {
    ClickMap(Tab, PathOf(Cell));
    PressMenuKey(Tab->Surface());
    EXPECT_EQ(RunFromMenu(QLatin1String(Command)), kZoomEntries) << Cell;
  };
  ZoomFromMenu("big/deep", "Zoom In");
  EXPECT_EQ(Tab->MapRoot()->FullPath(), PathOf("big/deep"));
  EXPECT_EQ(Breadcrumb(Tab), (QStringList{Root, "big", "deep"}));
  for (const std::string& Path : MapPaths(Tab)) {
    EXPECT_EQ(Path.rfind(PathOf("big/deep"), 0), 0u) << Path << " is outside the zoomed folder";
  }
  EXPECT_EQ(Tab->GetSelectedPaths(), std::vector{PathOf("big/deep")});
  // A relayout keeps the zoom.
  Tab->window()->resize(900, 500);
  QTest::qWait(10);
  EXPECT_EQ(Tab->MapRoot()->FullPath(), PathOf("big/deep"));
  EXPECT_FALSE(MapPaths(Tab).contains(PathOf("c.dat")));
  // Zoom Out goes up one level, the breadcrumb's first part back to the scan's root.
  ZoomFromMenu("big/deep/x", "Zoom Out");
  EXPECT_EQ(Tab->MapRoot()->FullPath(), PathOf("big"));
  EXPECT_EQ(Breadcrumb(Tab), (QStringList{Root, "big"}));
  QTest::mouseClick(Tab->template findChild<QWidget*>(QStringLiteral("pnlBreadcrumb"))
                        ->template findChildren<QToolButton*>()
                        .value(0),
                    Qt::LeftButton);
  EXPECT_EQ(Tab->MapRoot()->FullPath(), PathOf(""));
  EXPECT_TRUE(Breadcrumb(Tab).isEmpty());
  EXPECT_TRUE(MapPaths(Tab).contains(PathOf("small")));
  // A new scan starts at its root.
  ZoomFromMenu("big", "Zoom In");
  ShowScanAgain();
  EXPECT_EQ(Tab->MapRoot(), Tab->Results()->Root.get());
  EXPECT_TRUE(Breadcrumb(Tab).isEmpty());
  static_cast<void>(Test);
}

TEST_F(ItemMenusTest, ZoomOnTheMapsOfFoldersWithItsBreadcrumbAndTheTreeAndLegendFollowing) {
  const auto Path = [this](const char* Relative) {
    return *Relative == 0 ? Tree.Path() : PathOf(Relative);
  };
  ShowTab("TabSheet3");
  TFilesInFoldersView* Both = FilesInFoldersView();
  ClickMap(Both, "big/deep");
  PressMenuKey(Both->Surface());
  RunFromMenu(QStringLiteral("Zoom In"));
  // The tree's top row is the zoomed folder; the legend counts its files alone.
  EXPECT_EQ(TScanTreeModel::FolderOf(Both->Tree()->model()->index(0, 0))->FullPath(),
            PathOf("big/deep"));
  EXPECT_EQ(ColumnTexts(Both->Legend(), 0), QStringList{".bin"});
  // A legend row stands for the zoomed folder's files alone.
  ClickRow(Both->Legend(), Both->Legend()->model()->index(0, 0));
  EXPECT_EQ(Both->GetSelectedPaths(), std::vector{PathOf("big/deep/x/y/leaf.bin")});
  Both->ZoomTo(Both->Results()->Root.get());
  CheckZoom(*this, Both, Path, [this] {
    MakeFixtureFiles(Tree);
    ShowScan();
  });

  ShowTab("TabSheet2");
  TFoldersView* Folders = FoldersView();
  ClickMap(Folders, "big");
  PressMenuKey(Folders->Surface());
  RunFromMenu(QStringLiteral("Zoom In"));
  EXPECT_EQ(ColumnTexts(Folders->Legend(), 0), QStringList{"deep"});
  EXPECT_EQ(RowTexts(Folders->FolderTree()).value(0).section(QStringLiteral("  "), 0, 0), "deep");
  Folders->ZoomTo(Folders->Results()->Root.get());
  CheckZoom(*this, Folders, Path, [this] {
    MakeFixtureFiles(Tree);
    ShowScan();
  });
}

}  // namespace
}  // namespace dunstrel::testing
