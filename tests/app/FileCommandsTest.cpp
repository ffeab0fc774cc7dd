#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QAction>
#include <QSignalBlocker>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/ScannedWindow.h"
#include "support/ScopedEnvironment.h"

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

class FileCommandsTest : public ScannedWindowTest {
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

  bool FilesTabHasSelection() const { return !FilesView()->Selection().Empty(); }
  bool NestedTabHasSelection() const { return !FilesInFoldersView()->Selection().Empty(); }

  TTempDir FData;
  TScopedEnvironment FDataHome{"XDG_DATA_HOME", FData.Path()};
};

// A scratch tree with duplicates, made afresh for every test:
//   docs/guide.txt 4000, docs/img/logo.png 3000, docs/notes.txt 1500
//   copy/guide.txt 4000, copy/img/logo.png 3000
//   misc/notes.txt 1500, misc/readme.md 800
//   top.md 600
// Groups of duplicates: guide.txt, logo.png, notes.txt.
class HighlightedItemsTest : public FileCommandsTest {
 protected:
  void ScanScratch() {
    Tree.MakeFile("docs/guide.txt", 4000);
    Tree.MakeFile("docs/img/logo.png", 3000);
    Tree.MakeFile("docs/notes.txt", 1500);
    Tree.MakeFile("copy/guide.txt", 4000);
    Tree.MakeFile("copy/img/logo.png", 3000);
    Tree.MakeFile("misc/notes.txt", 1500);
    Tree.MakeFile("misc/readme.md", 800);
    Tree.MakeFile("top.md", 600);
    ScanPath(Tree.Path());
  }

  // The row of a list or legend whose text in a column is Text, or whose key is the path.
  static QModelIndex RowOfText(QAbstractItemView* View, const QString& Text) {
    QAbstractItemModel* Model = View->model();
    for (int Row = 0; Row < Model->rowCount(); ++Row) {
      if (Model->index(Row, 0).data().toString() == Text) {
        return Model->index(Row, 0);
      }
    }
    ADD_FAILURE() << "no row " << Text.toStdString();
    return {};
  }
  QModelIndex RowOfFile(const std::string& Relative) const {
    QTreeWidget* List = FilesList();
    for (int Row = 0; Row < List->topLevelItemCount(); ++Row) {
      if (List->topLevelItem(Row)->data(5, Qt::UserRole).toByteArray().toStdString() ==
          PathOf(Relative)) {
        return List->model()->index(Row, 0);
      }
    }
    ADD_FAILURE() << "no row " << Relative;
    return {};
  }
  // The node of a folder or file of the nested tree, its folders opened.
  QModelIndex NestedRow(const std::string& Relative) const {
    auto* Nested = Find<QTreeView>("tvFoldersAndFiles");
    QModelIndex Row = Nested->model()->index(0, 0);
    size_t Start = 0;
    while (Start < Relative.size()) {
      const size_t End = std::min(Relative.find('/', Start), Relative.size());
      Row = Child(Nested, Row, ShownText(Relative.substr(Start, End - Start)));
      Start = End + 1;
    }
    return Row;
  }
  // The node of a folder of the folder tree, its parents opened.
  QModelIndex FolderRow(const std::string& Relative) const {
    auto* Folders = Find<QTreeView>("tvFolders");
    QModelIndex Row;
    size_t Start = 0;
    while (Start < Relative.size()) {
      const size_t End = std::min(Relative.find('/', Start), Relative.size());
      Row = Child(Folders, Row, ShownText(Relative.substr(Start, End - Start)));
      Start = End + 1;
    }
    return Row;
  }
  QTreeWidgetItem* GroupNode(const QString& Name) const {
    auto* Groups = Find<QTreeWidget>("tvDuplicateFiles");
    for (int G = 0; G < Groups->topLevelItemCount(); ++G) {
      if (Groups->topLevelItem(G)->text(0).startsWith(Name + "  (")) {
        return Groups->topLevelItem(G);
      }
    }
    ADD_FAILURE() << "no group " << Name.toStdString();
    return nullptr;
  }
  QModelIndex IndexOf(QTreeWidgetItem* Node) const {
    return Find<QTreeWidget>("tvDuplicateFiles")->indexFromItem(Node);
  }
  QModelIndex MemberRow(const QString& Group, const std::string& Relative) const {
    QTreeWidgetItem* Node = GroupNode(Group);
    if (Node != nullptr) {
      Node->setExpanded(true);  // its files get their nodes when it is opened
    }
    for (int F = 0; Node != nullptr && F < Node->childCount(); ++F) {
      if (Node->child(F)->text(0) == ShownText(PathOf(Relative))) {
        return IndexOf(Node->child(F));
      }
    }
    ADD_FAILURE() << "no node " << Relative;
    return {};
  }

  std::set<std::string> PathSet(std::initializer_list<const char*> Relative) const {
    std::set<std::string> Out;
    for (const char* Path : Relative) {
      Out.insert(PathOf(Path));
    }
    return Out;
  }
  // What Copy Path gives, each path once as a set.
  std::set<std::string> CopiedPaths() {
    Shell.Clipboard.clear();
    Click("btnCopyPath");
    const std::vector<std::string> Lines = ClipboardLines(Shell.Clipboard);
    const std::set<std::string> Copied(Lines.begin(), Lines.end());
    EXPECT_EQ(Copied.size(), Lines.size()) << "each path once";
    return Copied;
  }
};

// Every tab, every way of selecting: what Copy Path gives is what the tab highlights, on the map
// and in its lists, and nothing else stays marked out of sight.
TEST_F(HighlightedItemsTest, CopyPathGivesWhatTheTabHighlightsAfterEveryKindOfClick) {
  ScanScratch();
  auto* Files = FilesView();
  auto* Folders = FoldersView();
  auto* Nested = FilesInFoldersView();
  auto* Duplicates = View<TDuplicatesView>("TabSheetDuplicates");
  QTreeView* Exts = Files->ExtList();
  QTreeView* FolderTree = Folders->FolderTree();
  QTreeWidget* FolderLegend = Folders->Legend();
  QTreeView* NestedTree = Nested->Tree();
  QTreeView* NestedLegend = Nested->Legend();
  QTreeWidget* Groups = Duplicates->GroupTree();
  QTreeWidget* GroupLegend = Duplicates->Legend();
  const auto Ctrl = Qt::ControlModifier;
  const struct {
    const char* What;
    const char* Page;
    std::function<void()> Clicks;
    std::set<std::string> Expected;
  } kCases[] = {
      {"a list row", "TabSheet1", [&] { ClickRow(FilesList(), RowOfFile("misc/readme.md")); },
       PathSet({"misc/readme.md"})},
      {"a map cell", "TabSheet1", [&] { ClickMap(Files, "top.md"); }, PathSet({"top.md"})},
      {"a legend row", "TabSheet1", [&] { ClickRow(Exts, RowOfText(Exts, ".md")); },
       PathSet({"misc/readme.md", "top.md"})},
      {"a list row, then a legend row", "TabSheet1",
       [&] {
         ClickRow(FilesList(), RowOfFile("docs/guide.txt"));
         ClickRow(Exts, RowOfText(Exts, ".png"));
       },
       PathSet({"docs/img/logo.png", "copy/img/logo.png"})},
      {"a legend row, then Ctrl on a list row", "TabSheet1",
       [&] {
         ClickRow(Exts, RowOfText(Exts, ".md"));
         ClickRow(FilesList(), RowOfFile("docs/notes.txt"), Ctrl);
       },
       PathSet({"misc/readme.md", "top.md", "docs/notes.txt"})},
      {"a legend row, then Ctrl on a map cell taking one out", "TabSheet1",
       [&] {
         ClickRow(Exts, RowOfText(Exts, ".txt"));
         ClickMap(Files, "copy/guide.txt", Ctrl);
       },
       PathSet({"docs/guide.txt", "docs/notes.txt", "misc/notes.txt"})},

      {"a tree node", "TabSheet2", [&] { ClickRow(FolderTree, FolderRow("docs/img")); },
       PathSet({"docs/img"})},
      {"a map cell", "TabSheet2", [&] { ClickMap(Folders, "copy/img"); }, PathSet({"copy/img"})},
      {"a legend row", "TabSheet2",
       [&] { ClickRow(FolderLegend, RowOfText(FolderLegend, "misc")); }, PathSet({"misc"})},
      {"a tree node, then a legend row", "TabSheet2",
       [&] {
         ClickRow(FolderTree, FolderRow("docs"));
         ClickRow(FolderLegend, RowOfText(FolderLegend, "copy"));
       },
       PathSet({"copy"})},
      {"a legend row, then Ctrl on a tree node", "TabSheet2",
       [&] {
         ClickRow(FolderLegend, RowOfText(FolderLegend, "misc"));
         ClickRow(FolderTree, FolderRow("docs/img"), Ctrl);
       },
       PathSet({"misc", "docs/img"})},

      {"a tree node", "TabSheet3", [&] { ClickRow(NestedTree, NestedRow("docs")); },
       PathSet({"docs"})},
      {"a map cell", "TabSheet3", [&] { ClickMap(Nested, "misc/readme.md"); },
       PathSet({"misc/readme.md"})},
      {"a legend row", "TabSheet3",
       [&] { ClickRow(NestedLegend, RowOfText(NestedLegend, ".png")); },
       PathSet({"docs/img/logo.png", "copy/img/logo.png"})},
      {"a tree node, then a legend row", "TabSheet3",
       [&] {
         ClickRow(NestedTree, NestedRow("docs"));
         ClickRow(NestedLegend, RowOfText(NestedLegend, ".md"));
       },
       PathSet({"misc/readme.md", "top.md"})},
      {"a map cell, then Ctrl on another", "TabSheet3",
       [&] {
         ClickMap(Nested, "docs/notes.txt");
         ClickMap(Nested, "misc/notes.txt", Ctrl);
       },
       PathSet({"docs/notes.txt", "misc/notes.txt"})},

      {"a group node", "TabSheetDuplicates",
       [&] { ClickRow(Groups, IndexOf(GroupNode("logo.png"))); },
       PathSet({"docs/img/logo.png", "copy/img/logo.png"})},
      {"a map cell", "TabSheetDuplicates", [&] { ClickMap(Duplicates, "copy/guide.txt"); },
       PathSet({"copy/guide.txt"})},
      {"a legend row", "TabSheetDuplicates",
       [&] { ClickRow(GroupLegend, RowOfText(GroupLegend, "notes.txt")); },
       PathSet({"docs/notes.txt", "misc/notes.txt"})},
      {"a group node, then another group's legend row", "TabSheetDuplicates",
       [&] {
         ClickRow(Groups, IndexOf(GroupNode("guide.txt")));
         ClickRow(GroupLegend, RowOfText(GroupLegend, "logo.png"));
       },
       PathSet({"docs/img/logo.png", "copy/img/logo.png"})},
      {"a group node, then Ctrl on one of its files", "TabSheetDuplicates",
       [&] {
         ClickRow(Groups, IndexOf(GroupNode("notes.txt")));
         ClickRow(Groups, MemberRow("notes.txt", "docs/notes.txt"), Ctrl);
       },
       PathSet({"misc/notes.txt"})},
  };
  for (const auto& Case : kCases) {
    SCOPED_TRACE(std::string(Case.Page) + ": " + Case.What);
    ShowTab(Case.Page);
    Case.Clicks();
    auto* Tab = View<TResultTab>(Case.Page);
    EXPECT_EQ(CopiedPaths(), Case.Expected);
    EXPECT_EQ(FramedOnMap(Tab), Case.Expected);
    EXPECT_EQ(Highlighted(Tab), Case.Expected);
    EXPECT_NE(Status(), "Ready");
  }
}

// The case that deleted a user's files: a group chosen in the tree, another group's legend row
// clicked, then Delete. What goes is what is highlighted, and the question names it.
TEST_F(HighlightedItemsTest, DeleteRemovesFromDiskExactlyWhatIsHighlighted) {
  ScanScratch();
  Shell.RemoveForReal = true;
  ShowTab("TabSheetDuplicates");
  auto* Duplicates = View<TDuplicatesView>("TabSheetDuplicates");
  ClickRow(Duplicates->GroupTree(), IndexOf(GroupNode("guide.txt")));
  ClickRow(Duplicates->Legend(), RowOfText(Duplicates->Legend(), "logo.png"));
  Click("btnRemove");
  ASSERT_EQ(Dialogs.Questions.size(), 1u);
  const QString Question = Dialogs.Questions[0].first;
  EXPECT_TRUE(Question.startsWith("Permanently delete 2 item(s)? (This cannot be undone)\n\n"))
      << Question.toStdString();
  EXPECT_TRUE(Question.contains(ShownText(PathOf("docs/img/logo.png"))));
  EXPECT_TRUE(Question.contains(ShownText(PathOf("copy/img/logo.png"))));
  EXPECT_TRUE(Question.endsWith("\n\nTotal size: 5.9 KB")) << Question.toStdString();
  EXPECT_FALSE(EntryExists(PathOf("docs/img/logo.png")));
  EXPECT_FALSE(EntryExists(PathOf("copy/img/logo.png")));
  for (const char* Kept : {"docs/guide.txt", "copy/guide.txt", "docs/notes.txt", "misc/notes.txt",
                           "misc/readme.md", "top.md"}) {
    EXPECT_TRUE(EntryExists(PathOf(Kept))) << Kept;
  }
  // Once the tabs show what followed the removal.
  ASSERT_TRUE(QTest::qWaitFor([&] { return Status().startsWith("Done."); }, 10000));
  EXPECT_TRUE(Duplicates->Selection().Empty()) << "nothing gone stays selected";
  EXPECT_TRUE(Highlighted(Duplicates).empty());

  // The same on the files in folders: a folder in the tree, then an extension.
  ShowTab("TabSheet3");
  auto* Nested = FilesInFoldersView();
  ClickRow(Nested->Tree(), NestedRow("docs"));
  ClickRow(Nested->Legend(), RowOfText(Nested->Legend(), ".md"));
  Click("btnRemoveToRecycleBin");
  EXPECT_FALSE(EntryExists(PathOf("misc/readme.md")));
  EXPECT_FALSE(EntryExists(PathOf("top.md")));
  EXPECT_TRUE(EntryExists(PathOf("docs/guide.txt")));
  EXPECT_TRUE(EntryExists(PathOf("docs/notes.txt")));
  EXPECT_TRUE(EntryExists(FData / "Trash/files/top.md"));
}

// Within one selection each item counts once, in the order it was chosen: rows of a list top to
// bottom, nodes of a tree in the order they were picked.
TEST_F(FileCommandsTest, PathsComeInTheOrderTheItemsWereChosen) {
  ScanFixture();
  auto* Nested = Find<QTreeView>("tvFoldersAndFiles");
  const QModelIndex Root = Nested->model()->index(0, 0);
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
      {"folders and files of the nested tree", "TabSheet3",
       [&] {
         const QModelIndex BigNode = Child(Nested, Root, QStringLiteral("big"));
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
  EXPECT_TRUE(Dialogs.Questions.back().first.startsWith(
      "Permanently delete 4 item(s)? (This cannot be undone)\n"));
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_EQ(Dialogs.Errors[0], ShownText("Failed to delete.\n\n" + Vanishing + ": not found"));
  for (const std::string& Path : Expected) {
    EXPECT_FALSE(EntryExists(Path)) << Path;
  }
}

TEST_F(FileCommandsTest, RemovalsTakeEachItemOnceAndLeaveTheResults) {
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
    const size_t Files = Window->Results()->AllFiles.size();
    ShowTab("TabSheet1");
    SelectRows(FilesList(), {0});
    ASSERT_TRUE(FilesTabHasSelection());
    ShowTab("TabSheet3");
    ASSERT_TRUE(NestedTabHasSelection());

    Dialogs.Answer = false;
    Click(ToTrash ? "btnRemoveToRecycleBin" : "btnRemove");
    EXPECT_TRUE(Shell.Deleted.empty()) << "No changes nothing";
    EXPECT_TRUE(EntryExists(PathOf(Top + "/-dir\n%/new\nline")));

    Dialogs.Answer = true;
    Find<QAction>(ToTrash ? "RemovetoRecycleBin1" : "RemoveCompletely1")->trigger();
    EXPECT_TRUE(Dialogs.Questions.back().first.startsWith(
        ToTrash ? "Move 3 item(s) to Trash?\n"
                : "Permanently delete 3 item(s)? (This cannot be undone)\n"));
    EXPECT_EQ(Dialogs.Questions.back().second, !ToTrash) << "a warning for what cannot be undone";
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
    // What went leaves the results, and every tab's selection.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Status().startsWith("Done."); }, 10000));
    EXPECT_EQ(Window->Results()->AllFiles.size(), Files - 4);
    EXPECT_EQ(FilesList()->topLevelItemCount(), static_cast<int>(Files - 4));
    EXPECT_FALSE(NestedTabHasSelection());
    EXPECT_TRUE(Nested->selectionModel()->selectedRows().isEmpty());
    EXPECT_FALSE(FilesTabHasSelection()) << "its file went too";
    Window.reset();
    Shell.Deleted.clear();
  }
}

TEST_F(FileCommandsTest, AReadOnlyFolderGivesAFailureNamingWhatIsLeft) {
  const std::string Locked = Tree.MakeFile("locked/inside.txt", 300);
  const std::string Free = Tree.MakeFile("free.txt", 200);
  ASSERT_EQ(chmod((Tree / "locked").c_str(), 0555), 0);
  for (const bool ToTrash : {true, false}) {
    SCOPED_TRACE(ToTrash ? "trash" : "delete");
    ScanPath(Tree.Path());
    Shell.RemoveForReal = true;
    ShowTab("TabSheet1");
    const TScopedPermissionsApply AsAUser;
    Dialogs.Errors.clear();
    SelectRows(FilesList(), {0, 1});
    ASSERT_TRUE(FilesTabHasSelection());
    Click(ToTrash ? "btnRemoveToRecycleBin" : "btnRemove");
    ASSERT_EQ(Dialogs.Errors.size(), 1u);
    EXPECT_EQ(Dialogs.Errors[0],
              ShownText(std::string(ToTrash ? "Failed to move to Trash." : "Failed to delete.") +
                        "\n\n" + Locked + ": permission denied"));
    EXPECT_TRUE(EntryExists(Locked));
    EXPECT_FALSE(EntryExists(Free));
    // What went leaves the results; what failed stays, selected.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Status().startsWith("Done."); }, 10000));
    EXPECT_EQ(ColumnTexts(FilesList(), 0), QStringList{"inside.txt"});
    EXPECT_EQ(FilesView()->GetSelectedPaths(), std::vector{Locked})
        << "a failed removal keeps its item selected";
    Tree.MakeFile("free.txt", 200);
    Window.reset();
  }
  EXPECT_TRUE(fs::exists(FData / "Trash/info/free.txt.trashinfo"));
  EXPECT_FALSE(fs::exists(FData / "Trash/info/inside.txt.trashinfo"))
      << "the record of what stayed is taken back";
  chmod((Tree / "locked").c_str(), 0755);
}

}  // namespace
}  // namespace dunstrel::testing
