// Every fixed text of the main window, in the current interface language.
#include <QAbstractItemView>
#include <QAction>
#include <QMenu>
#include <QTabWidget>

#include "app/FilterPanel.h"
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/MainMenu.h"
#include "app/Toolbar.h"
#include "views/ResultTab.h"
#include "views/ShownText.h"

namespace dunstrel {

void TfrmMain::BuildLanguageMenu() {
  const TTranslationTable& Table = Translations();
  for (size_t Column = 0; Column < Table.size(); ++Column) {
    // A language's own name, never translated.
    QAction* Item = FMenu->mmLanguage->addAction(ShownText(Table[Column][0]));
    Item->setData(static_cast<int>(Column));
    Item->setCheckable(true);
    Item->setChecked(static_cast<int>(Column) == LanguageIndex());
    connect(Item, &QAction::triggered, this, [this, Item] { ChooseLanguage(Item); });
  }
}

void TfrmMain::ChooseLanguage(QAction* Item) {
  for (QAction* Other : FMenu->mmLanguage->actions()) {
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
  FMenu->ApplyTranslation();
  FToolbar->ApplyTranslation();
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
    // The lists that format their figures as they draw them draw them again.
    for (QAbstractItemView* List : Tab->findChildren<QAbstractItemView*>()) {
      List->viewport()->update();
    }
  }
  FitFrameToText();
}

}  // namespace dunstrel
