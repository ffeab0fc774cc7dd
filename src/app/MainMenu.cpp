#include "app/MainMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include "app/Mnemonics.h"
#include "app/Toolbar.h"
#include "platform/Desktop.h"
#include "views/Named.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

QAction* NamedAction(QMenu* Menu, const char* Name) {
  return Named(Menu->addAction(QString()), Name);
}

QMenu* NamedMenu(QMenuBar* Bar, const char* Name) {
  return Named(Bar->addMenu(QString()), Name);
}

}  // namespace

TMainMenu::TMainMenu(QMenuBar* Bar) : FBar(Bar) {
  Bar->setObjectName(QStringLiteral("MainMenu1"));
  File1 = NamedMenu(Bar, "File1");
  Open1 = NamedAction(File1, "Open1");
  CopyPath1 = NamedAction(File1, "CopyPath1");
  OpeninExplorer1 = NamedAction(File1, "OpeninExplorer1");
  ShowProperties1 = NamedAction(File1, "ShowProperties1");
  File1->addSeparator();
  RemovetoRecycleBin1 = NamedAction(File1, "RemovetoRecycleBin1");
  RemoveCompletely1 = NamedAction(File1, "RemoveCompletely1");
  File1->addSeparator();
  OpenScan1 = NamedAction(File1, "OpenScan1");
  SaveScanAs1 = NamedAction(File1, "SaveScanAs1");
  CompareWithSavedScan1 = NamedAction(File1, "CompareWithSavedScan1");
  EndComparison1 = NamedAction(File1, "EndComparison1");
  File1->addSeparator();
  Exit1 = NamedAction(File1, "Exit1");

  Run1 = NamedMenu(Bar, "Run1");
  Scan1 = NamedAction(Run1, "Scan1");
  Stop1 = NamedAction(Run1, "Stop1");

  View1 = NamedMenu(Bar, "View1");
  Mode1 = Named(View1->addMenu(QString()), "Mode1");
  FilesinFolders1 = NamedAction(Mode1, "FilesinFolders1");
  OnlyFiles1 = NamedAction(Mode1, "OnlyFiles1");
  OnlyFolders1 = NamedAction(Mode1, "OnlyFolders1");
  Duplicates1 = NamedAction(Mode1, "Duplicates1");
  for (QAction* Mode : Modes()) {
    Mode->setCheckable(true);
  }
  FilesinFolders1->setChecked(true);
  View1->addSeparator();
  DiskUsage1 = NamedAction(View1, "DiskUsage1");
  ApparentSize1 = NamedAction(View1, "ApparentSize1");
  auto* Counts = new QActionGroup(View1);
  for (QAction* Count : {DiskUsage1, ApparentSize1}) {
    Count->setCheckable(true);
    Counts->addAction(Count);
  }
  ZoomIn1 = NamedAction(View1, "ZoomIn1");
  ZoomOut1 = NamedAction(View1, "ZoomOut1");
  Rescan1 = NamedAction(View1, "Rescan1");
  RescanFolder1 = NamedAction(View1, "RescanFolder1");
  ColourbyGrowth1 = NamedAction(View1, "ColourbyGrowth1");
  ColourbyGrowth1->setCheckable(true);
  View1->addSeparator();
  ShowToolbar1 = NamedAction(View1, "ShowToolbar1");
  ShowToolbar1->setCheckable(true);
  ShowToolbar1->setChecked(true);
  View1->addSeparator();
  mmLanguage = Named(View1->addMenu(QString()), "mmLanguage");

  Help1 = NamedMenu(Bar, "Help1");
  Tutorial1 = NamedAction(Help1, "utorial1");
  Help1->addSeparator();
  ContactUs1 = NamedAction(Help1, "ContactUs1");
  VisitWebsite1 = NamedAction(Help1, "VisitWebsite1");
  Help1->addSeparator();
  About1 = NamedAction(Help1, "About1");
}

void TMainMenu::SetUpKeys(QWidget* Tabs, QMainWindow* Window) {
  Open1->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
  CopyPath1->setShortcuts(QKeySequence::Copy);
  RemovetoRecycleBin1->setShortcuts(QKeySequence::Delete);
  RemoveCompletely1->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Delete));
  OpenScan1->setShortcuts(QKeySequence::Open);
  SaveScanAs1->setShortcuts(QKeySequence::keyBindings(QKeySequence::Save) +
                            QKeySequence::keyBindings(QKeySequence::SaveAs));
  Stop1->setShortcuts(QKeySequence::Cancel);
  ZoomIn1->setShortcuts(QKeySequence::ZoomIn);
  ZoomOut1->setShortcuts(QList{QKeySequence(Qt::Key_Backspace)} +
                         QKeySequence::keyBindings(QKeySequence::ZoomOut));
  Rescan1->setShortcuts(QKeySequence::Refresh);
  // Ctrl+Q where the desktop names no key of its own for quitting.
  const QList<QKeySequence> Quit = QKeySequence::keyBindings(QKeySequence::Quit);
  Exit1->setShortcuts(Quit.isEmpty() ? QList{QKeySequence(Qt::CTRL | Qt::Key_Q)} : Quit);
  // The file commands act on the items of the result tabs, so their keys work where the tabs
  // have the focus and leave Enter, Delete and Ctrl+C to the path box and the filters' fields.
  for (QAction* Command : {Open1, CopyPath1, OpeninExplorer1, ShowProperties1, RemovetoRecycleBin1,
                           RemoveCompletely1, ZoomIn1, ZoomOut1}) {
    Command->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    Tabs->addAction(Command);
  }
  // F10 opens the first menu, as it does in other desktop programs.
  auto* MenuKey = Named(new QAction(Window), "MenuKey");
  MenuKey->setShortcut(QKeySequence(Qt::Key_F10));
  Window->addAction(MenuKey);
  QObject::connect(MenuKey, &QAction::triggered, FBar,
                   [this] { FBar->setActiveAction(File1->menuAction()); });
}

void TMainMenu::SetUpIcons(const TToolbar& Buttons) {
  const std::pair<QAction*, QToolButton*> WithButtons[] = {
      {Scan1, Buttons.btnScan},
      {Stop1, Buttons.btnStop},
      {Open1, Buttons.btnOpen},
      {CopyPath1, Buttons.btnCopyPath},
      {OpeninExplorer1, Buttons.btnOpenExplorer},
      {ShowProperties1, Buttons.btnShowProperties},
      {RemovetoRecycleBin1, Buttons.btnRemoveToRecycleBin},
      {RemoveCompletely1, Buttons.btnRemove},
      {VisitWebsite1, Buttons.btnWebsite},
      {About1, Buttons.btnAbout}};
  for (const auto& [Action, Button] : WithButtons) {
    Action->setIcon(Button->icon());
  }
  // The theme's names first: the captions' tables put the item first.
  const std::pair<const char*, QAction*> FromTheme[] = {
      {"document-open", OpenScan1}, {"document-save-as", SaveScanAs1},
      {"application-exit", Exit1},  {"zoom-in", ZoomIn1},
      {"zoom-out", ZoomOut1},       {"help-contents", Tutorial1}};
  for (const auto& [Name, Action] : FromTheme) {
    Action->setIcon(QIcon::fromTheme(QLatin1String(Name)));
  }
}

void TMainMenu::ApplyTranslation() {
  for (const auto& [Menu, English] : {std::pair<QMenu*, const char*>{File1, "File"},
                                      {Run1, "Run"},
                                      {View1, "View"},
                                      {Help1, "Help"},
                                      {Mode1, "Mode"},
                                      {mmLanguage, "Language"}}) {
    Menu->setTitle(TranslatedText(English));
  }
  // The desktop's own names for its trash and its file manager.
  constexpr bool RecycleBin = platform::kDesktopSaysRecycleBin;
  for (const auto& [Action, English] :
       {std::pair<QAction*, const char*>{Open1, "Open / View"},
        {CopyPath1, "Copy Path"},
        {OpeninExplorer1, RecycleBin ? "View in Explorer" : "Show in Folder"},
        {ShowProperties1, "Show Properties..."},
        {RemovetoRecycleBin1, RecycleBin ? "Remove to Recycle Bin" : "Move to Trash"},
        {RemoveCompletely1, "Remove Completely"},
        {OpenScan1, "Open Scan..."},
        {SaveScanAs1, "Save Scan As..."},
        {CompareWithSavedScan1, "Compare with Saved Scan..."},
        {EndComparison1, "End Comparison"},
        {Exit1, "Exit"},
        {Scan1, "Scan"},
        {Stop1, "Stop"},
        {FilesinFolders1, "Files in Folders"},
        {OnlyFiles1, "Only Files"},
        {OnlyFolders1, "Only Folders"},
        {Duplicates1, "Duplicates"},
        {DiskUsage1, "Disk Usage"},
        {ApparentSize1, "Apparent Size"},
        {ZoomIn1, "Zoom In"},
        {ZoomOut1, "Zoom Out"},
        {Rescan1, "Rescan"},
        {RescanFolder1, "Rescan Folder"},
        {ColourbyGrowth1, "Colour by Growth"},
        {ShowToolbar1, "Show Toolbar"},
        {Tutorial1, "Tutorial"},
        {ContactUs1, "Contact Us"},
        {VisitWebsite1, "Visit Website"},
        {About1, "About..."}}) {
    Action->setText(TranslatedText(English));
  }
  // The languages' own names keep their spelling; every other menu and the bar get their letters
  // from the captions of the language in force.
  for (QWidget* Menu : std::initializer_list<QWidget*>{FBar, File1, Run1, View1, Mode1, Help1}) {
    QList<QAction*> Items = Menu->actions();
    Items.removeIf([](const QAction* Item) { return Item->isSeparator(); });
    QStringList Captions;
    for (const QAction* Item : Items) {
      Captions.append(Item->text());
    }
    const QStringList Marked = WithMnemonics(Captions);
    for (qsizetype I = 0; I < Items.size(); ++I) {
      Items[I]->setText(Marked[I]);
    }
  }
}

}  // namespace dunstrel
