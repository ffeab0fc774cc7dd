// The commands of the File menu and their toolbar buttons: they act on the items selected in the
// active tab.
#include <QGuiApplication>
#include <QTabWidget>
#include <algorithm>

#include "app/MainForm.h"
#include "app/ShellServices.h"
#include "app/UserDialogs.h"
#include "platform/FileSystem.h"
#include "results/FileOperations.h"
#include "views/ResultTab.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

bool StillExists(const std::string& Path) {
  return platform::FileExists(Path) || platform::DirectoryExists(Path);
}

// The hourglass while a removal holds the window.
class TWaitPointer {
 public:
  TWaitPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TWaitPointer() { QGuiApplication::restoreOverrideCursor(); }
  TWaitPointer(const TWaitPointer&) = delete;
  TWaitPointer& operator=(const TWaitPointer&) = delete;
};

}  // namespace

TResultTab* TfrmMain::ActiveView() const {
  const std::vector<TResultTab*> Pages = Views();
  const int Page = PageControl1->currentIndex();
  return Page >= 0 && Page < static_cast<int>(Pages.size()) ? Pages[static_cast<size_t>(Page)]
                                                            : nullptr;
}

std::vector<std::string> TfrmMain::GetSelectedPaths() const {
  const TResultTab* View = ActiveView();
  return View != nullptr ? View->GetSelectedPaths() : std::vector<std::string>{};
}

void TfrmMain::btnOpenClick() {
  if (FFileCommandsOff) {
    return;  // the results are of folders that are not on this machine
  }
  for (const std::string& Path : GetSelectedPaths()) {
    if (StillExists(Path)) {
      FShell->OpenPath(Path);
    }
  }
}

void TfrmMain::SpeedButton1Click() {
  const std::vector<std::string> Paths = GetSelectedPaths();
  if (!Paths.empty()) {
    FShell->SetClipboardText(ShownText(JoinPathsForClipboard(Paths)));
  }
}

void TfrmMain::btnOpenExplorerClick() {
  if (FFileCommandsOff) {
    return;  // the results are of folders that are not on this machine
  }
  for (const std::string& Path : GetSelectedPaths()) {
    if (StillExists(Path)) {
      ShowInFolder(Path);
    }
  }
}

void TfrmMain::btnShowPropertiesClick() {
  if (FFileCommandsOff) {
    return;  // the results are of folders that are not on this machine
  }
  for (const std::string& Path : GetSelectedPaths()) {
    if (StillExists(Path)) {
      FShell->ShowProperties(Path, this);
    }
  }
}

void TfrmMain::btnRemoveToRecycleBinClick() {
  RemoveSelected(true);
}

void TfrmMain::btnRemoveClick() {
  RemoveSelected(false);
}

void TfrmMain::RemoveSelected(bool ToTrash) {
  TResultTab* View = ActiveView();
  if (FFileCommandsOff || View == nullptr) {
    return;  // the results are of folders that are not on this machine
  }
  std::vector<TRemovalItem> Selected;
  Selected.reserve(View->Selection().Size());
  for (const TSelectedItem& Item : View->Selection().Items()) {
    Selected.push_back({ItemPath(Item), ItemSize(Item)});
  }
  const std::vector<TRemovalItem> Items = ItemsToRemove(Selected);
  if (Items.empty()) {
    return;
  }
  if (!FDialogs->AskYesNo(this, ShownText(RemovalQuestion(ToTrash, Items, FFormatSettings)),
                          !ToTrash)) {
    return;
  }
  std::vector<std::string> Paths;
  Paths.reserve(Items.size());
  for (const TRemovalItem& Item : Items) {
    Paths.push_back(Item.Path);
  }
  std::vector<TRemovalFailure> Failures;
  {
    const TWaitPointer Wait;
    Failures = FShell->DeletePaths(Paths, ToTrash);
  }
  if (Failures.empty()) {
    RefreshAfterDelete(*View);
  } else {
    FDialogs->ShowError(this, ShownText(RemovalFailureText(ToTrash, Failures, FFormatSettings)));
  }
}

void TfrmMain::RefreshAfterDelete(TResultTab& View) {
  // The results keep the removed items until the next scan, but nothing gone stays selected:
  // a second command would act on what is no longer there.
  View.ClearSelection();
  UpdateSelectionStatus();
}

}  // namespace dunstrel
