// Every fixed text of the main window, in the current interface language.
#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>

#include "app/FilterPanel.h"
#include "app/Languages.h"
#include "app/MainForm.h"
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
    connect(Item, &QAction::triggered, this, [this, Item] { ChooseLanguage(Item); });
  }
}

void TfrmMain::ChooseLanguage(QAction* Item) {
  for (QAction* Other : mmLanguage->actions()) {
    Other->setChecked(false);
  }
  const int Column = Item->data().toInt();
  SetLanguageIndex(Column);
  Item->setChecked(true);
  SetLanguageCode(Translations()[static_cast<size_t>(Column)][1]);
  SaveLanguageSetting();
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
  for (const auto& [Action, English] : {std::pair<QAction*, const char*>{Open1, "Open / View"},
                                        {CopyPath1, "Copy Path"},
                                        {OpeninExplorer1, "View in Explorer"},
                                        {ShowProperties1, "Show Properties..."},
                                        {RemovetoRecycleBin1, "Remove to Recycle Bin"},
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
                                        {Tutorial1, "Tutorial"},
                                        {ContactUs1, "Contact Us"},
                                        {VisitWebsite1, "Visit Website"},
                                        {About1, "About..."}}) {
    Action->setText(TranslatedText(English));
  }
  for (const auto& [Button, English] : {std::pair<QToolButton*, const char*>{btnScan, "Scan"},
                                        {btnStop, "Stop"},
                                        {btnOpen, "Open / View"},
                                        {btnCopyPath, "Copy path(s) to clipboard"},
                                        {btnOpenExplorer, "Open containing folder"},
                                        {btnShowProperties, "Show Properties..."},
                                        {btnRemoveToRecycleBin, "Move to Recycle Bin"},
                                        {btnRemove, "Delete permanently"},
                                        {btnWebsite, "Visit Website"},
                                        {btnAbout, "About..."}}) {
    Button->setToolTip(TranslatedText(English));
  }
  const char* const TabCaptions[] = {"Files in Folders", "Only Files", "Only Folders",
                                     "Duplicates"};
  for (int I = 0; I < PageControl1->count(); ++I) {
    PageControl1->setTabText(I, TranslatedText(TabCaptions[I]));
  }
  FSourcePanel->ApplyTranslation();
  FFilterPanel->ApplyTranslation();
  for (TResultTab* Tab : Tabs()) {
    Tab->ApplyTranslation();
    Tab->InvalidateMap();
  }
  FitFrameToText();
}

}  // namespace dunstrel
