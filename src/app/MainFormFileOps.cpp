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
#include "views/FilesInFoldersView.h"
#include "views/FilesView.h"
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

std::vector<std::string> TfrmMain::GetSelectedPaths() const {
  const std::vector<TResultTab*> Pages = Views();
  const int Page = PageControl1->currentIndex();
  if (Page < 0 || Page >= static_cast<int>(Pages.size())) {
    return {};
  }
  std::vector<std::string> Paths = Pages[static_cast<size_t>(Page)]->GetSelectedPaths();
  std::erase(Paths, std::string());
  return Paths;
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
  if (FFileCommandsOff) {
    return;  // the results are of folders that are not on this machine
  }
  const std::vector<std::string> Paths = PathsToRemove(GetSelectedPaths());
  if (Paths.empty()) {
    return;
  }
  if (!FDialogs->AskYesNo(this, ShownText(RemovalQuestion(ToTrash, Paths.size(), FFormatSettings)),
                          !ToTrash)) {
    return;
  }
  std::vector<TRemovalFailure> Failures;
  {
    const TWaitPointer Wait;
    Failures = FShell->DeletePaths(Paths, ToTrash);
  }
  if (Failures.empty()) {
    RefreshAfterDelete();
  } else {
    FDialogs->ShowError(this, ShownText(RemovalFailureText(ToTrash, Failures, FFormatSettings)));
  }
}

void TfrmMain::RefreshAfterDelete() {
  // The results keep the removed items until the next scan; only the two maps that draw a
  // selection of their own let it go.
  FTreemap.ClearSelection();
  FHierMap.ClearSelection();
  FFilesView->InvalidateMap();
  FFilesInFoldersView->InvalidateMap();
}

}  // namespace dunstrel
