#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QAction>
#include <QSignalBlocker>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/ScopedEnvironment.h"
#include "views/ViewsFixture.h"

namespace dunstrel::testing {
namespace {

namespace fs = std::filesystem;
using TPaths = std::vector<std::string>;

bool EntryExists(const std::string& Path) {
  struct stat Info {};
  return lstat(Path.c_str(), &Info) == 0;
}

// Takes from this thread the powers that let root ignore a folder's permissions, so that a
// read-only folder is read-only for the test as it is for a user.
class TScopedPermissionsApply {
 public:
  TScopedPermissionsApply() {
    syscall(SYS_capget, &FHeader, FSaved);
    __user_cap_data_struct Lowered[2] = {FSaved[0], FSaved[1]};
    Lowered[0].effective &=
        ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
    syscall(SYS_capset, &FHeader, Lowered);
  }
  ~TScopedPermissionsApply() { syscall(SYS_capset, &FHeader, FSaved); }
  TScopedPermissionsApply(const TScopedPermissionsApply&) = delete;
  TScopedPermissionsApply& operator=(const TScopedPermissionsApply&) = delete;

 private:
  __user_cap_header_struct FHeader{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct FSaved[2]{};
};

class FileCommandsTest : public ViewsTest {
 protected:
  QTreeWidget* FilesList() const { return Find<QTreeWidget>("lvFiles"); }

  // Selects rows of a list, in this order.
  static void SelectRows(QTreeWidget* List, std::initializer_list<int> Rows) {
    List->clearSelection();
    for (const int Row : Rows) {
      List->topLevelItem(Row)->setSelected(true);
    }
  }

  // The row below Parent of a tree view whose text is Name.
  static QModelIndex Child(QTreeView* Tree, const QModelIndex& Parent, const QString& Name) {
    Tree->expand(Parent);
    QAbstractItemModel* Model = Tree->model();
    if (Model->canFetchMore(Parent)) {
      Model->fetchMore(Parent);
    }
    for (int Row = 0; Row < Model->rowCount(Parent); ++Row) {
      const QModelIndex Index = Model->index(Row, 0, Parent);
      if (Index.data().toString().startsWith(Name + QStringLiteral("  ["))) {
        return Index;
      }
    }
    ADD_FAILURE() << "no row " << Name.toStdString();
    return {};
  }

  static void Select(QTreeView* Tree, std::initializer_list<QModelIndex> Rows) {
    Tree->selectionModel()->clearSelection();
    for (const QModelIndex& Row : Rows) {
      Tree->selectionModel()->select(Row, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }

  TPaths Paths(std::initializer_list<const char*> Relative) const {
    TPaths Out;
    for (const char* Path : Relative) {
      Out.push_back(std::string(Path).empty() ? Tree.Path() : PathOf(Path));
    }
    return Out;
  }

  bool FlatMapHasSelection() const { return FilesView()->Map().HasSelection(); }
  bool HierMapHasSelection() const {
    const THierTreemapLayout& Map = FilesInFoldersView()->Map();
    return std::any_of(Map.Items().begin(), Map.Items().end(),
                       [&](const THierItem& Item) { return Map.IsSelected(Item); });
  }

  TTempDir FData;
  TScopedEnvironment FDataHome{"XDG_DATA_HOME", FData.Path()};
};

// The fixture's list of files, largest first: big/a.txt, big/deep/x/y/leaf.bin, small/b.bin,
// c.dat, big/Makefile, big/makefile.
TEST_F(FileCommandsTest, EachTabGivesItsSelectionInItsOwnOrderOfPrecedence) {
  ScanFixture();
  auto* FolderTree = Find<QTreeView>("tvFolders");
  auto* FolderLegend = Find<QTreeWidget>("lvFilesOfSelectedFolder");
  auto* Nested = Find<QTreeView>("tvFoldersAndFiles");
  const QModelIndex Root = Nested->model()->index(0, 0);
  const QString Big = QStringLiteral("big");
  const struct {
    const char* What;
    const char* Page;
    std::function<void()> Select;
    TPaths Expected;
  } kCases[] = {
      {"rows of the file list in list order", "TabSheet1",
       [&] {
         SelectRows(FilesList(), {3, 0, 2});
       },
       Paths({"big/a.txt", "small/b.bin", "c.dat"})},
      {"nothing selected", "TabSheet1", [&] { FilesList()->clearSelection(); }, {}},
      {"the folder tree's node", "TabSheet2",
       [&] {
         FolderLegend->clearSelection();
         Select(FolderTree, {Child(FolderTree, {}, QStringLiteral("small"))});
       },
       Paths({"small"})},
      {"legend rows before the tree", "TabSheet2",
       [&] {
         Select(FolderTree, {Child(FolderTree, {}, QStringLiteral("small"))});
         SelectRows(FolderLegend, {1, 0});
       },
       Paths({"big", "small"})},
      {"folders and files of the nested tree", "TabSheet3",
       [&] {
         const QModelIndex BigNode = Child(Nested, Root, Big);
         Select(Nested, {Child(Nested, BigNode, QStringLiteral("Makefile")), BigNode,
                         Child(Nested, Root, QStringLiteral("c.dat"))});
       },
       Paths({"big/Makefile", "big", "c.dat"})},
      {"the scan's root", "TabSheet3", [&] { Select(Nested, {Root}); }, Paths({""})},
  };
  for (const auto& Case : kCases) {
    SCOPED_TRACE(Case.What);
    ShowTab(Case.Page);
    Case.Select();
    EXPECT_EQ(Window->GetSelectedPaths(), Case.Expected);
  }
}

TEST_F(FileCommandsTest, DuplicatesGiveTheTreeThenTheLegendThenTheMapsPrimaryFile) {
  Tree.MakeFile("one/photo.jpg", 3000);
  Tree.MakeFile("two/photo.jpg", 3000);
  Tree.MakeFile("one/notes.txt", 1000);
  Tree.MakeFile("two/notes.txt", 1000);
  ScanPath(Tree.Path());
  ShowTab("TabSheetDuplicates");
  auto* View = dynamic_cast<TDuplicatesView*>(Find<QWidget>("TabSheetDuplicates"));
  auto* Groups = Find<QTreeWidget>("tvDuplicateFiles");
  auto* Legend = Find<QTreeWidget>("lvDuplicateGroupsColors");
  const auto CellOf = [&](const std::string& Path) {
    for (const TDupItem& Item : View->Map().Items()) {
      if (Item.FullPath() == Path) {
        return TPoint{(Item.Rect.Left + Item.Rect.Right) / 2,
                      (Item.Rect.Top + Item.Rect.Bottom) / 2};
      }
    }
    ADD_FAILURE() << "no cell " << Path;
    return TPoint{};
  };
  // Only the map keeps a selection: the tree and the legend are emptied without telling it.
  const auto ClearLists = [&] {
    const QSignalBlocker TreeQuiet(Groups->selectionModel());
    const QSignalBlocker LegendQuiet(Legend->selectionModel());
    Groups->clearSelection();
    Legend->clearSelection();
  };
  const struct {
    const char* What;
    std::function<void()> Select;
    TPaths Expected;
  } kCases[] = {
      {"a group with one of its own files, counted twice",
       [&] {
         ClearLists();
         Groups->topLevelItem(0)->setSelected(true);
         Groups->topLevelItem(0)->child(1)->setSelected(true);
       },
       Paths({"one/photo.jpg", "two/photo.jpg", "two/photo.jpg"})},
      {"the tree before the legend",
       [&] {
         ClearLists();
         Legend->topLevelItem(1)->setSelected(true);
         Groups->topLevelItem(0)->child(0)->setSelected(true);
       },
       Paths({"one/photo.jpg"})},
      {"legend rows without a tree selection",
       [&] {
         ClearLists();
         Legend->topLevelItem(1)->setSelected(true);
         const QSignalBlocker TreeQuiet(Groups->selectionModel());
         Groups->clearSelection();
       },
       Paths({"one/notes.txt", "two/notes.txt"})},
      {"the map's primary file alone",
       [&] {
         View->MapMouseDown(CellOf(PathOf("two/notes.txt")), false);
         ClearLists();
       },
       Paths({"two/notes.txt"})},
      {"a primary folder gives nothing",
       [&] {
         ClearLists();
         View->MapMouseDown(
             {View->Map().Items().front().Rect.Left, View->Map().Items().front().Rect.Top}, false);
         ASSERT_EQ(View->Map().Primary()->Kind, TDupKind::dkDir);
         ClearLists();
       },
       {}},
  };
  for (const auto& Case : kCases) {
    SCOPED_TRACE(Case.What);
    Case.Select();
    EXPECT_EQ(Window->GetSelectedPaths(), Case.Expected);
  }

  // The removals ask about each item once.
  ClearLists();
  Groups->topLevelItem(0)->setSelected(true);
  Groups->topLevelItem(0)->child(1)->setSelected(true);
  Dialogs.Answer = false;
  Click("btnRemove");
  ASSERT_EQ(Dialogs.Questions.size(), 1u);
  EXPECT_EQ(Dialogs.Questions[0].first, "Permanently delete 2 item(s)? (This cannot be undone)");
  EXPECT_TRUE(Dialogs.Questions[0].second) << "a warning";
  EXPECT_TRUE(Shell.Deleted.empty()) << "No removes nothing";
}

TEST_F(FileCommandsTest, CopyPathsPutsOneLinePerPathWithCrLfBetween) {
  ScanFixture();
  ShowTab("TabSheet1");
  SelectRows(FilesList(), {0, 2, 3});
  Click("btnCopyPath");
  EXPECT_EQ(Shell.Clipboard,
            ShownText(PathOf("big/a.txt") + "\n" + PathOf("small/b.bin") + "\n" + PathOf("c.dat")));
  Shell.Clipboard.clear();
  FilesList()->clearSelection();
  Find<QAction>("CopyPath1")->trigger();
  EXPECT_EQ(Shell.Clipboard, "") << "nothing selected, nothing copied";
}

TEST_F(FileCommandsTest, OpenShowAndPropertiesSkipWhatVanishedAndKeepNameBytes) {
  // Names with a newline, invalid UTF-8, a leading dash, a percent sign and blanks.
  const std::string Odd[] = {"-lead 50% x", "new\nline", "bad\xE9name"};
  for (const std::string& Name : Odd) {
    Tree.MakeFile(Name, 100);
  }
  const std::string Vanishing = Tree.MakeFile("vanishing.bin", 50);
  ScanPath(Tree.Path());
  ShowTab("TabSheet1");
  FilesList()->selectAll();
  ASSERT_EQ(unlink(Vanishing.c_str()), 0);
  const TPaths Expected = {PathOf(Odd[0]), PathOf(Odd[1]), PathOf(Odd[2])};

  const struct {
    const char* Button;
    const char* Action;
    const TPaths* Record;
  } kCommands[] = {{"btnOpen", "Open1", &Shell.Opened},
                   {"btnOpenExplorer", "OpeninExplorer1", &Shell.Shown},
                   {"btnShowProperties", "ShowProperties1", &Shell.Properties}};
  for (const auto& Command : kCommands) {
    SCOPED_TRACE(Command.Button);
    Click(Command.Button);
    Find<QAction>(Command.Action)->trigger();
    TPaths Twice = Expected;
    Twice.insert(Twice.end(), Expected.begin(), Expected.end());
    TPaths Got = *Command.Record;
    // The list is sorted by size; all three are the same size, so compare as sets of two each.
    std::sort(Got.begin(), Got.end());
    std::sort(Twice.begin(), Twice.end());
    EXPECT_EQ(Got, Twice);
  }

  // The removals report what vanished.
  Shell.RemoveForReal = true;
  Click("btnRemove");
  EXPECT_EQ(Dialogs.Questions.back().first,
            "Permanently delete 4 item(s)? (This cannot be undone)");
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_EQ(Dialogs.Errors[0],
            ShownText("Failed to delete.\n\n" + Vanishing + ": No such file or directory"));
  for (const std::string& Path : Expected) {
    EXPECT_FALSE(EntryExists(Path)) << Path;
  }
}

TEST_F(FileCommandsTest, RemovalsTakeEachItemOnceAndKeepTheResults) {
  for (const bool ToTrash : {true, false}) {
    SCOPED_TRACE(ToTrash ? "trash" : "delete");
    const std::string Top = ToTrash ? "t" : "d";
    Tree.MakeFile(Top + "/-dir\n%/new\nline", 10);
    Tree.MakeFile(Top + "/-dir\n%/bad\xE9", 20);
    Tree.MakeFile(Top + "/keep 100%.txt", 30);
    Tree.MakeFile(Top + "/same/x.bin", 40);
    Tree.MakeFile(Top + "/other/x.bin", 50);
    ScanPath(Tree / Top);
    Shell.RemoveForReal = true;
    ShowTab("TabSheet3");
    auto* Nested = Find<QTreeView>("tvFoldersAndFiles");
    const QModelIndex Root = Nested->model()->index(0, 0);
    const QModelIndex Dir = Child(Nested, Root, ShownText("-dir\n%"));
    const QModelIndex Same = Child(Nested, Root, QStringLiteral("same"));
    const QModelIndex Other = Child(Nested, Root, QStringLiteral("other"));
    Select(Nested, {Child(Nested, Dir, ShownText("new\nline")), Dir,
                    Child(Nested, Same, QStringLiteral("x.bin")),
                    Child(Nested, Other, QStringLiteral("x.bin"))});
    const size_t Files = Window->Results().AllFiles.size();
    ShowTab("TabSheet1");
    SelectRows(FilesList(), {0});
    ASSERT_TRUE(FlatMapHasSelection());
    ShowTab("TabSheet3");
    ASSERT_TRUE(HierMapHasSelection());

    Dialogs.Answer = false;
    Click(ToTrash ? "btnRemoveToRecycleBin" : "btnRemove");
    EXPECT_TRUE(Shell.Deleted.empty()) << "No changes nothing";
    EXPECT_TRUE(EntryExists(PathOf(Top + "/-dir\n%/new\nline")));

    Dialogs.Answer = true;
    Find<QAction>(ToTrash ? "RemovetoRecycleBin1" : "RemoveCompletely1")->trigger();
    EXPECT_EQ(Dialogs.Questions.back(),
              std::make_pair(QString(ToTrash ? "Move 3 item(s) to Recycle Bin?"
                                             : "Permanently delete 3 item(s)? (This cannot be "
                                               "undone)"),
                             !ToTrash));
    ASSERT_EQ(Shell.Deleted.size(), 1u);
    EXPECT_EQ(Shell.Deleted[0].first,
              Paths({(Top + "/-dir\n%").c_str(), (Top + "/same/x.bin").c_str(),
                     (Top + "/other/x.bin").c_str()}));
    EXPECT_TRUE(Dialogs.Errors.empty()) << Dialogs.Errors.front().toStdString();
    EXPECT_FALSE(EntryExists(PathOf(Top + "/-dir\n%")));
    EXPECT_FALSE(EntryExists(PathOf(Top + "/same/x.bin")));
    EXPECT_FALSE(EntryExists(PathOf(Top + "/other/x.bin")));
    EXPECT_TRUE(EntryExists(PathOf(Top + "/keep 100%.txt"))) << "nothing else is touched";
    if (ToTrash) {
      EXPECT_TRUE(EntryExists(FData / "Trash/files/-dir\n%/bad\xE9"));
      EXPECT_TRUE(EntryExists(FData / "Trash/files/x.bin"));
      EXPECT_TRUE(EntryExists(FData / "Trash/files/x.bin.2")) << "both of one name are kept";
      std::ifstream Info(FData / "Trash/info/-dir\n%.trashinfo");
      std::string Line;
      std::getline(Info, Line);
      std::getline(Info, Line);
      EXPECT_EQ(Line, "Path=" + Tree.Path() + "/t/-dir%0A%25");
    }
    // The results stay; only the two maps with a selection of their own lose it.
    EXPECT_EQ(Window->Results().AllFiles.size(), Files);
    EXPECT_EQ(FilesList()->topLevelItemCount(), static_cast<int>(Files));
    EXPECT_FALSE(FlatMapHasSelection());
    EXPECT_FALSE(HierMapHasSelection());
    EXPECT_EQ(Nested->selectionModel()->selectedRows().size(), 4);
    Window.reset();
    Shell.Deleted.clear();
  }
}

TEST_F(FileCommandsTest, AReadOnlyFolderGivesAFailureNamingWhatIsLeft) {
  const std::string Locked = Tree.MakeFile("locked/inside.txt", 300);
  const std::string Free = Tree.MakeFile("free.txt", 200);
  ASSERT_EQ(chmod((Tree / "locked").c_str(), 0555), 0);
  ScanPath(Tree.Path());
  Shell.RemoveForReal = true;
  ShowTab("TabSheet1");
  const TScopedPermissionsApply AsAUser;
  for (const bool ToTrash : {true, false}) {
    SCOPED_TRACE(ToTrash ? "trash" : "delete");
    Dialogs.Errors.clear();
    SelectRows(FilesList(), {0, 1});
    ASSERT_TRUE(FlatMapHasSelection());
    Click(ToTrash ? "btnRemoveToRecycleBin" : "btnRemove");
    ASSERT_EQ(Dialogs.Errors.size(), 1u);
    EXPECT_EQ(Dialogs.Errors[0], ShownText(std::string(ToTrash ? "Failed to remove to Recycle Bin."
                                                               : "Failed to delete.") +
                                           "\n\n" + Locked + ": Permission denied"));
    EXPECT_TRUE(EntryExists(Locked));
    EXPECT_FALSE(EntryExists(Free));
    EXPECT_TRUE(FlatMapHasSelection()) << "a failed removal refreshes nothing";
    Tree.MakeFile("free.txt", 200);
  }
  EXPECT_TRUE(fs::exists(FData / "Trash/info/free.txt.trashinfo"));
  EXPECT_FALSE(fs::exists(FData / "Trash/info/inside.txt.trashinfo"))
      << "the record of what stayed is taken back";
  chmod((Tree / "locked").c_str(), 0755);
}

}  // namespace
}  // namespace dunstrel::testing
