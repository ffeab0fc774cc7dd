#include "app/MainMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

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

TMainMenu::TMainMenu(QMenuBar* Bar) {
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

void TMainMenu::ApplyTranslation() {
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
}

}  // namespace dunstrel
