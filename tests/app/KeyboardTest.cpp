#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "app/Mnemonics.h"
#include "app/ScannedWindow.h"

namespace dunstrel::testing {
namespace {

class KeyboardTest : public ScannedWindowTest {
 protected:
  void SetUp() override {
    ScanFixture();
    Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    Dialogs.Answer = false;  // nothing is removed
  }

  // The first file of the "Only Files" list highlighted and the list focused.
  QWidget* FocusFirstFile() const {
    ShowTab("TabSheet1");
    auto* List = Find<QTreeWidget>("lvFiles");
    List->clearSelection();
    List->topLevelItem(0)->setSelected(true);
    List->setFocus();
    return List;
  }

  // The largest folder highlighted in the "Only Folders" tree and the tree focused.
  QWidget* FocusFolderTree() const {
    ShowTab("TabSheet2");
    auto* Folders = Find<QTreeView>("tvFolders");
    Folders->setFocus();
    return Folders;
  }

  // The cell of c.dat chosen on the "Files in Folders" map, and the map focused.
  QWidget* FocusMapCell() const {
    ShowTab("TabSheet3");
    ClickMap(FilesInFoldersView(), "c.dat");
    FilesInFoldersView()->Surface()->setFocus();
    return FilesInFoldersView()->Surface();
  }

  QWidget* FocusPathBox() const {
    auto* Box = Find<QComboBox>("cmbCustomPath");
    Box->lineEdit()->setFocus();
    return Box->lineEdit();
  }

  // The menu that is open, closed again.
  static QString OpenMenu() {
    auto* Menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (Menu == nullptr) {
      return {};
    }
    const QString Name = Menu->objectName();
    Menu->close();
    return Name;
  }
};

TEST_F(KeyboardTest, EachKeyReachesItsCommand) {
  const std::string First = PathOf("big/a.txt");
  const struct TCase {
    const char* What;
    std::vector<QKeyCombination> Keys;
    enum TFocus { FileList, FolderTree, PathBox, Map } Focus;
    std::function<bool()> Happened;
  } Cases[] = {
      {"Enter opens",
       {Qt::Key_Return},
       TCase::FileList,
       [&] { return Shell.Opened == std::vector{First}; }},
      {"Enter of the keypad opens",
       {QKeyCombination(Qt::KeypadModifier, Qt::Key_Enter)},
       TCase::FileList,
       [&] { return Shell.Opened == std::vector{First}; }},
      {"Ctrl+C copies the path",
       {QKeyCombination(Qt::ControlModifier, Qt::Key_C)},
       TCase::FileList,
       [&] { return Shell.Clipboard == ShownText(First); }},
      {"Delete asks to move to the trash",
       {Qt::Key_Delete},
       TCase::FileList,
       [&] { return Dialogs.Questions.size() == 1 && !Dialogs.Questions[0].second; }},
      {"Shift+Delete asks to delete",
       {QKeyCombination(Qt::ShiftModifier, Qt::Key_Delete)},
       TCase::FileList,
       [&] { return Dialogs.Questions.size() == 1 && Dialogs.Questions[0].second; }},
      {"Ctrl+C in a tree copies its folder's path",
       {QKeyCombination(Qt::ControlModifier, Qt::Key_C)},
       TCase::FolderTree,
       [&] { return Shell.Clipboard == ShownText(PathOf("big")); }},
      {"Enter on a map opens its selection",
       {Qt::Key_Return},
       TCase::Map,
       [&] { return Shell.Opened == std::vector{PathOf("c.dat")}; }},
      {"Ctrl+C on a map copies its selection's path",
       {QKeyCombination(Qt::ControlModifier, Qt::Key_C)},
       TCase::Map,
       [&] { return Shell.Clipboard == ShownText(PathOf("c.dat")); }},
      {"Shift+Delete on a map asks to delete its selection",
       {QKeyCombination(Qt::ShiftModifier, Qt::Key_Delete)},
       TCase::Map,
       [&] { return Dialogs.Questions.size() == 1 && Dialogs.Questions[0].second; }},
      {"Ctrl+O opens a scan",
       {QKeyCombination(Qt::ControlModifier, Qt::Key_O)},
       TCase::FileList,
       [&] { return Dialogs.PickerCaptions == std::vector{QStringLiteral("Open Scan...")}; }},
      {"Ctrl+S saves the scan",
       {QKeyCombination(Qt::ControlModifier, Qt::Key_S)},
       TCase::PathBox,
       [&] { return Dialogs.PickerCaptions == std::vector{QStringLiteral("Save Scan As...")}; }},
      {"Alt+F then C copies through the menu",
       {QKeyCombination(Qt::AltModifier, Qt::Key_F), Qt::Key_C},
       TCase::FileList,
       [&] { return Shell.Clipboard == ShownText(First); }},
      {"Enter in the path box scans and opens nothing",
       {Qt::Key_Return},
       TCase::PathBox,
       [&] { return Shell.Opened.empty() && WaitUntilIdle() && Status().startsWith("Done."); }},
      {"Delete in the path box edits it",
       {Qt::Key_Home, Qt::Key_Delete},
       TCase::PathBox,
       [&] {
         return Dialogs.Questions.empty() &&
                Find<QComboBox>("cmbCustomPath")->currentText() == ShownText(Tree.Path()).mid(1);
       }},
      {"Ctrl+C in the path box copies its text, not the files",
       {Qt::Key_End, QKeyCombination(Qt::ShiftModifier, Qt::Key_Home),
        QKeyCombination(Qt::ControlModifier, Qt::Key_C)},
       TCase::PathBox,
       [&] { return Shell.Clipboard.isEmpty(); }},
  };
  for (const TCase& Case : Cases) {
    Shell.Opened.clear();
    Shell.Clipboard.clear();
    Dialogs.Questions.clear();
    Dialogs.PickerCaptions.clear();
    QWidget* Focus = Case.Focus == TCase::FileList     ? FocusFirstFile()
                     : Case.Focus == TCase::FolderTree ? FocusFolderTree()
                     : Case.Focus == TCase::Map        ? FocusMapCell()
                                                       : FocusPathBox();
    for (const QKeyCombination Key : Case.Keys) {
      QWidget* Target = QApplication::activePopupWidget() != nullptr
                            ? QApplication::activePopupWidget()
                            : QApplication::focusWidget();
      QTest::keyClick(Target != nullptr ? Target : Focus, Key.key(), Key.keyboardModifiers());
    }
    EXPECT_TRUE(Case.Happened()) << Case.What;
    OpenMenu();
  }
}

TEST_F(KeyboardTest, MenusOpenWithTheirLettersAndF10AndShowTheKeys) {
  FocusFirstFile();
  const struct TCase {
    QKeyCombination Key;
    const char* Menu;
  } Cases[] = {{QKeyCombination(Qt::AltModifier, Qt::Key_F), "File1"},
               {QKeyCombination(Qt::AltModifier, Qt::Key_R), "Run1"},
               {QKeyCombination(Qt::AltModifier, Qt::Key_V), "View1"},
               {QKeyCombination(Qt::AltModifier, Qt::Key_H), "Help1"},
               {Qt::Key_F10, "File1"}};
  for (const TCase& Case : Cases) {
    QTest::keyClick(QApplication::focusWidget(), Case.Key.key(), Case.Key.keyboardModifiers());
    EXPECT_EQ(OpenMenu(), Case.Menu) << QKeySequence(Case.Key).toString().toStdString();
  }
  const std::pair<const char*, QKeySequence> Shown[] = {
      {"Open1", QKeySequence(Qt::Key_Return)},
      {"CopyPath1", QKeySequence::Copy},
      {"RemovetoRecycleBin1", QKeySequence::Delete},
      {"RemoveCompletely1", QKeySequence(Qt::SHIFT | Qt::Key_Delete)},
      {"OpenScan1", QKeySequence::Open},
      {"SaveScanAs1", QKeySequence::Save},
      {"Stop1", QKeySequence::Cancel},
      {"Exit1", QKeySequence(Qt::CTRL | Qt::Key_Q)}};
  for (const auto& [Name, Key] : Shown) {
    EXPECT_EQ(Find<QAction>(Name)->shortcut(), Key) << Name;
  }
}

TEST_F(KeyboardTest, ContextMenusHoldTheWindowsOwnCommands) {
  QWidget* List = FocusFirstFile();
  QContextMenuEvent Event(QContextMenuEvent::Keyboard, QPoint(1, 1),
                          List->mapToGlobal(QPoint(1, 1)));
  QApplication::sendEvent(List, &Event);
  auto* Menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(Menu, nullptr);
  QList<QAction*> Entries = Menu->actions();
  Entries.removeIf([](const QAction* Entry) { return Entry->isSeparator(); });
  Menu->close();
  QList<QAction*> Expected;
  for (const char* Name : {"Open1", "OpeninExplorer1", "ShowProperties1", "CopyPath1",
                           "RemovetoRecycleBin1", "RemoveCompletely1", "RescanFolder1"}) {
    Expected.append(Find<QAction>(Name));
  }
  EXPECT_EQ(Entries, Expected);
}

TEST_F(KeyboardTest, ZoomInByItsKeyAndBackspaceGoesUpOnAMapNotInThePathBox) {
  ShowTab("TabSheet3");
  TFilesInFoldersView* Tab = FilesInFoldersView();
  ClickMap(Tab, "big/a.txt");
  Tab->Surface()->setFocus();
  const QKeySequence ZoomIn = Find<QAction>("ZoomIn1")->shortcut();
  ASSERT_FALSE(ZoomIn.isEmpty());
  QTest::keySequence(Tab->Surface(), ZoomIn);
  EXPECT_EQ(Tab->MapRoot()->FullPath(), PathOf("big"));
  QTest::keyClick(FocusPathBox(), Qt::Key_Backspace);
  EXPECT_EQ(Tab->MapRoot()->FullPath(), PathOf("big"));
  ShowTab("TabSheet3");
  Tab->Surface()->setFocus();
  QTest::keyClick(Tab->Surface(), Qt::Key_Backspace);
  EXPECT_EQ(Tab->MapRoot(), Tab->Results()->Root.get());
}

TEST_F(KeyboardTest, EscapeStopsAScanAndCtrlQQuits) {
  // A folder whose listing takes long keeps the scan running.
  Tree.MakeFile("stuck/x.bin", 10);
  Pace.StallFolder = "stuck";
  Pace.Stall = std::chrono::milliseconds(500);
  ChoosePath(ShownText(Tree.Path()));
  Click("btnScan");
  ASSERT_TRUE(QTest::qWaitFor([this] { return Pace.Listed.load() >= 2; }, 5000));
  QTest::keyClick(Find<QTreeWidget>("lvFiles"), Qt::Key_Escape);
  EXPECT_EQ(Status(), "Cancelling...");
  ASSERT_TRUE(WaitUntilIdle());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(Window->isVisible());
}

TEST(MnemonicsTest, EachCaptionGetsALetterOfItsOwn) {
  const struct TCase {
    QStringList Captions;
    QStringList Marked;
  } Cases[] = {
      {{"File", "Run", "View", "Help"}, {"&File", "&Run", "&View", "&Help"}},
      {{"Datei", "Ausführen", "Ansicht", "Hilfe"}, {"&Datei", "&Ausführen", "A&nsicht", "&Hilfe"}},
      {{"Scan", "Stop"}, {"&Scan", "S&top"}},
      {{"Show in Folder", "Show Properties..."}, {"&Show in Folder", "Show &Properties..."}},
      {{"Save & Quit", "Über"}, {"&Save && Quit", "&Über"}},
      {{"ab", "ba", "b a", "..."}, {"&ab", "&ba", "b a", "..."}},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(WithMnemonics(Case.Captions), Case.Marked) << Case.Captions.join('|').toStdString();
  }
}

}  // namespace
}  // namespace dunstrel::testing
