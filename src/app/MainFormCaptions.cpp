// Every fixed text of the main window, in the current interface language.
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/Mnemonics.h"
#include "platform/Desktop.h"
#include "views/ResultTab.h"
#include "views/ShownText.h"

namespace dunstrel {

void TfrmMain::BuildLanguageMenu() {
  const TTranslationTable& Table = Translations();
  for (size_t Column = 0; Column < Table.size(); ++Column) {
    // A language's own name, never translated.
    QAction* Item = mmLanguage->addAction(ShownText(Table[Column][0]));
    Item->setData(static_cast<int>(Column));
    Item->setCheckable(true);
    Item->setChecked(static_cast<int>(Column) == LanguageIndex());
    connect(Item, &QAction::triggered, this, [this, Item] { LanguageItemClick(Item); });
  }
}

void TfrmMain::LanguageItemClick(QAction* Item) {
  for (QAction* Other : mmLanguage->actions()) {
    Other->setChecked(false);
  }
  const int Column = Item->data().toInt();
  SetLanguageIndex(Column);
  Item->setChecked(true);
  SetLanguageCode(Translations()[static_cast<size_t>(Column)][1]);
  SaveLanguageSetting();
  ApplyToolkitLanguage();
  ApplyTranslation();
}

void TfrmMain::ApplyTranslation() {
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
        {Exit1, "Exit"},
        {Scan1, "Scan"},
        {Stop1, "Stop"},
        {FilesinFolders1, "Files in Folders"},
        {OnlyFiles1, "Only Files"},
        {OnlyFolders1, "Only Folders"},
        {Duplicates1, "Duplicates"},
        {ShowToolbar1, "Show Toolbar"},
        {utorial1, "Tutorial"},
        {ContactUs1, "Contact Us"},
        {VisitWebsite1, "Visit Website"},
        {About1, "About..."}}) {
    Action->setText(TranslatedText(English));
  }
  for (const auto& [Button, English] :
       {std::pair<QToolButton*, const char*>{btnScan, "Scan"},
        {btnStop, "Stop"},
        {btnOpen, "Open / View"},
        {btnCopyPath, "Copy path(s) to clipboard"},
        {btnOpenExplorer, "Open containing folder"},
        {btnShowProperties, "Show Properties..."},
        {btnRemoveToRecycleBin, RecycleBin ? "Move to Recycle Bin" : "Move to Trash"},
        {btnRemove, "Delete permanently"},
        {btnWEbsite, "Visit Website"},
        {btnAbout, "About..."}}) {
    Button->setToolTip(TranslatedText(English));
  }
  const char* const TabCaptions[] = {"Files in Folders", "Only Files", "Only Folders",
                                     "Duplicates"};
  for (int I = 0; I < PageControl1->count(); ++I) {
    PageControl1->setTabText(I, TranslatedText(TabCaptions[I]));
  }
  gbSource->setTitle(TranslatedText("Sources"));
  rbAllDrives->setText(TranslatedText("All Drives"));
  rbCustomPath->setText(TranslatedText("Path:"));
  btnBrowse->setText(TranslatedText("Browse..."));
  gbFilters->setTitle(TranslatedText("Exclude Files"));
  chModifiedBefore->setText(TranslatedText("Modified before:"));
  chLessThan->setText(TranslatedText("Less than"));
  // Renaming the items keeps the chosen one.
  const char* const Units[] = {"Bytes", "KB", "MB", "GB", "TB"};
  for (int I = 0; I < cbSizeUnits->count(); ++I) {
    cbSizeUnits->setItemText(I, TranslatedText(Units[I]));
  }
  chPattern->setText(TranslatedText("Pattern"));
  MarkMnemonics();
  for (TResultTab* View : Views()) {
    View->ApplyTranslation();
    // The lists that format their figures as they draw them draw them again.
    for (QAbstractItemView* List : View->findChildren<QAbstractItemView*>()) {
      List->viewport()->update();
    }
  }
  FitFrameToText();
  InvalidateAllSurfaces();
}

void TfrmMain::MarkMnemonics() {
  // The languages' own names keep their spelling; every other menu and the bar get their letters
  // from the captions of the language in force.
  for (QWidget* Menu :
       std::initializer_list<QWidget*>{menuBar(), File1, Run1, View1, Mode1, Help1}) {
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
