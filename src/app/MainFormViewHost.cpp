// What the result views ask of the window, the status line's description of their selection,
// and switching between them.
#include <QAction>
#include <QCoreApplication>
#include <QProgressBar>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>

#include "app/MainForm.h"
#include "app/ShellServices.h"
#include "views/ResultTab.h"
#include "views/ShownText.h"

namespace dunstrel {

void TfrmMain::ShowProgress(int Position, int Maximum) {
  pb->setRange(0, std::max(Maximum, 1));
  pb->setValue(Position);
}

bool TfrmMain::LetEventsRunAndCheckStop() {
  QCoreApplication::processEvents();
  return FContext != nullptr && FContext->IsCancelled();
}

QIcon TfrmMain::SmallIcon(const std::string& Path, bool IsFolder) {
  return FShell->SmallIcon(Path, IsFolder);
}

void TfrmMain::ShowInFolder(const std::string& Path) {
  if (FFileCommandsOff) {
    return;  // a saved scan of folders that are not here
  }
  FShell->ShowInFolder(Path);
}

void TfrmMain::OpenFolder(const std::string& Path) {
  if (FFileCommandsOff) {
    return;
  }
  FShell->OpenPath(Path);
}

void TfrmMain::UpdateSelectionStatus() {
  const TResultTab* View = ActiveView();
  SetStatus(View != nullptr ? View->SelectionStatus() : TranslatedText("Ready"));
}

void TfrmMain::PageControl1Change() {
  QAction* const Modes[] = {FilesinFolders1, OnlyFiles1, OnlyFolders1, Duplicates1};
  const int Page = PageControl1->currentIndex();
  for (int I = 0; I < 4; ++I) {
    Modes[I]->setChecked(I == Page);
  }
  // The status line tells of the selection shown, not of another tab's; while a scan runs it
  // tells of the scan.
  if (!btnStop->isEnabled() && FResults.Root != nullptr) {
    UpdateSelectionStatus();
  }
}

void TfrmMain::ShowPage(int Index) {
  PageControl1->setCurrentIndex(Index);
  PageControl1Change();
}

}  // namespace dunstrel
