#include "app/FileCommands.h"

#include <QAction>
#include <QGuiApplication>
#include <QToolButton>
#include <unordered_map>
#include <unordered_set>

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

TFileCommands::TFileCommands(IUserDialogs& Dialogs, IShellServices& Shell,
                             const TFormatSettings& Settings, TShownTab ShownTab, QWidget* Window)
    : QObject(Window),
      FDialogs(Dialogs),
      FShell(Shell),
      FSettings(Settings),
      FShownTab(std::move(ShownTab)),
      FWindow(Window) {}

void TFileCommands::Connect(QAction* Item, QToolButton* Button, void (TFileCommands::*Command)()) {
  connect(Item, &QAction::triggered, this, Command);
  connect(Button, &QToolButton::clicked, this, Command);
  // Copying paths touches no file.
  if (Command != &TFileCommands::CopySelectedPaths) {
    FTouchingFiles.insert(FTouchingFiles.end(), {Item, Button});
  }
}

void TFileCommands::SetAllowed(bool Allowed) {
  FAllowed = Allowed;
  for (QObject* Control : FTouchingFiles) {
    if (auto* Item = qobject_cast<QAction*>(Control)) {
      Item->setEnabled(Allowed);
    } else if (auto* Button = qobject_cast<QToolButton*>(Control)) {
      Button->setEnabled(Allowed);
    }
  }
}

std::vector<std::string> TFileCommands::SelectedPaths() const {
  const TResultTab* Tab = FShownTab();
  return Tab != nullptr ? Tab->GetSelectedPaths() : std::vector<std::string>{};
}

void TFileCommands::OpenSelected() {
  if (!FAllowed) {
    return;
  }
  for (const std::string& Path : SelectedPaths()) {
    if (StillExists(Path)) {
      FShell.OpenPath(Path);
    }
  }
}

void TFileCommands::CopySelectedPaths() {
  const std::vector<std::string> Paths = SelectedPaths();
  if (!Paths.empty()) {
    FShell.SetClipboardText(ShownText(JoinPathsForClipboard(Paths)));
  }
}

void TFileCommands::ShowSelectedInFolder() {
  for (const std::string& Path : SelectedPaths()) {
    if (StillExists(Path)) {
      ShowInFolder(Path);
    }
  }
}

void TFileCommands::ShowSelectedProperties() {
  if (!FAllowed) {
    return;
  }
  for (const std::string& Path : SelectedPaths()) {
    if (StillExists(Path)) {
      FShell.ShowProperties(Path, FWindow);
    }
  }
}

void TFileCommands::ShowInFolder(const std::string& Path) {
  if (FAllowed) {
    FShell.ShowInFolder(Path);
  }
}

void TFileCommands::OpenFolder(const std::string& Path) {
  if (FAllowed) {
    FShell.OpenPath(Path);
  }
}

void TFileCommands::RemoveSelected(bool ToTrash) {
  TResultTab* Tab = FShownTab();
  if (!FAllowed || Tab == nullptr) {
    return;
  }
  // The question tells the total in the count shown.
  const TSizeCount Count = Tab->Results() != nullptr ? Tab->Results()->Count : kDefaultSizeCount;
  const std::vector<TSelectedItem> All = Tab->Selection().AllItems();
  std::vector<TRemovalItem> Selected;
  Selected.reserve(All.size());
  for (const TSelectedItem& Item : All) {
    Selected.push_back({ItemPath(Item), ItemSize(Item, Count)});
  }
  const std::vector<TRemovalItem> Items = ItemsToRemove(Selected);
  if (Items.empty() ||
      !FDialogs.AskYesNo(FWindow, ShownText(RemovalQuestion(ToTrash, Items, FSettings)),
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
    Failures = FShell.DeletePaths(Paths, ToTrash);
  }
  // The items that went leave the results; those that failed stay, and the message names them.
  std::unordered_set<std::string> Failed;
  for (const TRemovalFailure& Failure : Failures) {
    Failed.insert(Failure.Path);
  }
  std::unordered_map<std::string, TSelectedItem> ItemOfPath;
  for (size_t I = 0; I < All.size(); ++I) {
    ItemOfPath.emplace(std::move(Selected[I].Path), All[I]);
  }
  std::vector<TSelectedItem> Removed;
  for (const std::string& Path : Paths) {
    if (!Failed.contains(Path)) {
      Removed.push_back(ItemOfPath.at(Path));
    }
  }
  if (!Removed.empty()) {
    if (FRemoved) {
      FRemoved(Removed, ToTrash);
    } else {
      Tab->ClearSelection();  // nothing gone may stay selected: a second command would fail
    }
  }
  if (!Failures.empty()) {
    FDialogs.ShowError(FWindow, ShownText(RemovalFailureText(ToTrash, Failures, FSettings)));
  }
}

}  // namespace dunstrel
