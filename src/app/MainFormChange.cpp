// Results that follow the disk: what a removal took away leaves them, and the tabs are given the
// next results at once, each keeping its selection, its opened folders and its scroll positions.
#include <QAction>
#include <QTimer>
#include <QToolButton>

#include "app/CompareRun.h"
#include "app/FileCommands.h"
#include "app/MainForm.h"
#include "app/MainMenu.h"
#include "app/RemovalRun.h"
#include "app/RescanRun.h"
#include "app/ScanRun.h"
#include "app/StatusStrip.h"
#include "app/Toolbar.h"
#include "app/UserDialogs.h"
#include "platform/Memory.h"
#include "views/ResultTab.h"
#include "views/ShownText.h"

namespace dunstrel {

void TfrmMain::ItemsRemoved(const std::vector<TSelectedItem>& Items, bool ToTrash) {
  // Gone from the disk while the results of an earlier removal are being prepared: they leave
  // the results once those are shown.
  if (FRemoval != nullptr) {
    FRemovedMeanwhile.emplace_back(Items, ToTrash);
    if (TResultTab* Tab = ShownTab()) {
      Tab->ClearSelection();
    }
    return;
  }
  // While a job reads the tree, or the tabs are still being given new results, the tree stays as
  // it is: nothing gone may stay selected, though, or a second command would act on it.
  if (FResults == nullptr || FResults->Root == nullptr || FFilling || FRescan != nullptr ||
      FCompare != nullptr || (FRun != nullptr && FRun->Running())) {
    if (TResultTab* Tab = ShownTab()) {
      Tab->ClearSelection();
    }
    return;
  }
  TRemovalOfItems Removal;
  for (const TSelectedItem& Item : Items) {
    if (const auto* File = std::get_if<const TFileLeaf*>(&Item)) {
      Removal.Files.push_back(*File);
    } else {
      const TDirNode* Folder = std::get<const TDirNode*>(Item);
      if (Folder == FResults->Root.get()) {
        // The scanned folder itself went: nothing of the results is left to show.
        ClearResults();
        ShowCaption();
        SetStatus(TranslatedText("Ready"));
        return;
      }
      Removal.Folders.push_back(Folder);
    }
  }
  // Deleted names lower the link counts of hard-linked files; names moved to the trash live on.
  TTreeChange Change = TTreeChange::Removal(Removal.Files, Removal.Folders, !ToTrash);
  if (Change.Empty()) {
    return;
  }
  // Prepared on a thread of its own; the tree is edited and the tabs given the next results
  // once it is done, in a turn of their own.
  FRemoval = std::make_unique<TRemovalRun>(FResults, std::move(Change), Removal.Changed());
  connect(FRemoval.get(), &TRemovalRun::Ended, this, &TfrmMain::RemovalPrepared);
  EnableResultCommands();
}

void TfrmMain::RemovalPrepared() {
  std::optional<TResultsChange> Change = FRemoval->TakeChange();
  const std::string Error = FRemoval->Error();
  const bool StillShown = FRemoval->Shown() == FResults;
  FRemoval.reset();
  EnableResultCommands();
  std::vector<std::pair<std::vector<TSelectedItem>, bool>> Meanwhile;
  Meanwhile.swap(FRemovedMeanwhile);
  if (!StillShown) {
    return;  // other results came meanwhile, from a walk of the disk as it is now
  }
  if (!Error.empty()) {
    // The items are gone from the disk all the same: none of them may stay selected.
    if (TResultTab* Tab = ShownTab()) {
      Tab->ClearSelection();
    }
    FDialogs->ShowError(this, TranslatedText("Error while building results:") + QLatin1Char('\n') +
                                  ShownText(Error));
    return;
  }
  if (Change) {
    ShowNextResults(std::move(*Change));
  }
  if (Meanwhile.empty() || FResults == nullptr || FResults->Root == nullptr) {
    return;
  }
  // What stands now where the items removed meanwhile stood: the folders that left with the
  // change are still readable in this turn.
  TSameEntryFinder Finder(*FResults->Root);
  for (auto& [Items, ToTrash] : Meanwhile) {
    std::vector<TSelectedItem> Now;
    for (const TSelectedItem& Item : Items) {
      if (const auto* File = std::get_if<const TFileLeaf*>(&Item)) {
        if (const TFileLeaf* Same = Finder.File(**File)) {
          Now.emplace_back(Same);
        }
      } else if (const TDirNode* Same = Finder.Folder(*std::get<const TDirNode*>(Item))) {
        Now.emplace_back(Same);
      }
    }
    if (!Now.empty()) {
      ItemsRemoved(Now, ToTrash);
    }
  }
}

void TfrmMain::ShowNextResults(TResultsChange Change) {
  if (Change.Empty()) {
    return;
  }
  // A comparison is of the tree as it was: the next results are compared again.
  const std::optional<std::string> Baseline = FBaseline;
  if (FComparison != nullptr) {
    for (TResultTab* Tab : Tabs()) {
      Tab->ShowGrowth(nullptr);
    }
    FComparison.reset();
  }
  for (TResultTab* Tab : Tabs()) {
    Tab->KeepState();
  }
  std::shared_ptr<const TScanResults> Previous = FResults;
  TDetachedFolders Detached;
  FResults = std::move(Change).Finish(Previous, Detached);
  // In this same turn every tab lets go of the previous results, whose tree is now the next
  // ones'.
  FNextPending = static_cast<int>(Tabs().size());
  for (TResultTab* Tab : Tabs()) {
    Tab->Show(FResults, TShowKind::Next);
  }
  FDetached.emplace_back(Previous, std::move(Detached));
  Previous.reset();
  QTimer::singleShot(0, this, [this] { ReleaseDetached(false); });
  if (Baseline) {
    StartComparison(*Baseline);
  }
}

void TfrmMain::ReleaseDetached(bool All) {
  // Those of an earlier change go first.
  while (!FDetached.empty() && (All || FDetached.front().first.expired())) {
    FDetached.erase(FDetached.begin());
  }
  platform::ReleaseFreedMemory();
}

void TfrmMain::EnableResultCommands() {
  // Only folders this machine has, and only while nothing else runs.
  const bool Enabled = FToolbar->btnScan->isEnabled() && FResults != nullptr &&
                       FResults->Root != nullptr && FFileCommands->Allowed() && FRemoval == nullptr;
  FMenu->Rescan1->setEnabled(Enabled);
  FMenu->RescanFolder1->setEnabled(Enabled);
  FMenu->CompareWithSavedScan1->setEnabled(FToolbar->btnScan->isEnabled() && FResults != nullptr &&
                                           FResults->Root != nullptr && FRemoval == nullptr);
  FMenu->EndComparison1->setEnabled(FToolbar->btnScan->isEnabled() && FBaseline.has_value());
}

void TfrmMain::Rescan(bool FolderOnly) {
  if (!FMenu->Rescan1->isEnabled() || FResults == nullptr || FFilling || FNextPending > 0 ||
      FRemoval != nullptr) {
    return;
  }
  const TDirNode* Folder = nullptr;
  if (const TResultTab* Tab = ShownTab()) {
    std::optional<TSelectedItem> Item = Tab->Selection().Primary();
    if (!Item) {
      Item = Tab->Selection().First();
    }
    if (Item) {
      const auto* File = std::get_if<const TFileLeaf*>(&*Item);
      Folder = File != nullptr ? &(*File)->Parent() : std::get<const TDirNode*>(*Item);
    }
  }
  // The top, and nothing, stand for the whole source: a new scan of it with the same filters.
  if (Folder == nullptr || Folder->Parent() == nullptr) {
    if (!FolderOnly && FScannedSource) {
      auto Context = std::make_shared<TScanContext>();
      Context->CopySettingsFrom(*FScannedSettings);
      StartWalk(*FScannedSource, std::move(Context));
      SetStatus(TranslatedText("Scanning..."));
      FStatus->ShowMarquee();
    }
    return;
  }
  FRescan = std::make_unique<TRescanRun>(FResults, *Folder, *FScannedSettings, FCreateLister());
  connect(FRescan.get(), &TRescanRun::Ended, this, &TfrmMain::RescanEnded);
  SetScanningState(true);
  SetStatus(
      ShownText(FormatText(Translate("Rescanning %s..."), {Folder->FullPath()}, FFormatSettings)));
  FStatus->ShowMarquee();
}

void TfrmMain::RescanEnded() {
  TRescanResult Result = FRescan->TakeResult();
  const bool Stopped = FRescan->Stopped();
  const std::string Path = FRescan->Folder().FullPath();
  FRescan.reset();
  SetScanningState(false);
  if (!Result.Err.empty() && !Stopped) {
    FDialogs->ShowError(
        this, TranslatedText("Scan failed: ") + QLatin1Char('\n') + ShownText(Result.Err));
  }
  // Stopped or failed: the results shown stay whole.
  if (Stopped || !Result.Change) {
    ShowSummary();
    return;
  }
  if (Result.Walk == TRescanOutcome::Gone) {
    FAfterSummary =
        ShownText(FormatText(Translate("%s no longer exists."), {Path}, FFormatSettings));
  }
  ShowNextResults(std::move(*Result.Change));
}

}  // namespace dunstrel
