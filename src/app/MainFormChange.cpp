// Results that follow the disk: what a removal took away leaves them, and the tabs are given the
// next results at once, each keeping its selection, its opened folders and its scroll positions.
#include <QAction>
#include <QTimer>
#include <QToolButton>

#include "app/CompareRun.h"
#include "app/FileCommands.h"
#include "app/MainForm.h"
#include "app/MainMenu.h"
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
  // While a job reads the tree, or the tabs are still being given new results, the tree stays as
  // it is: nothing gone may stay selected, though, or a second command would act on it.
  if (FResults == nullptr || FResults->Root == nullptr || FFilling || FRescan != nullptr ||
      FCompare != nullptr || FPendingChange || (FRun != nullptr && FRun->Running())) {
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
  FPendingChange = TResultsChange::Prepare(*FResults, std::move(Change), Removal.Changed());
  // The tree is edited and the tabs given the next results in a turn of their own, so that the
  // window answers in between.
  if (FPendingChange) {
    QTimer::singleShot(0, this, [this] {
      if (FPendingChange) {
        TResultsChange Next = std::move(*FPendingChange);
        FPendingChange.reset();
        ShowNextResults(std::move(Next));
      }
    });
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
                       FResults->Root != nullptr && FFileCommands->Allowed();
  FMenu->Rescan1->setEnabled(Enabled);
  FMenu->RescanFolder1->setEnabled(Enabled);
  FMenu->CompareWithSavedScan1->setEnabled(FToolbar->btnScan->isEnabled() && FResults != nullptr &&
                                           FResults->Root != nullptr);
  FMenu->EndComparison1->setEnabled(FToolbar->btnScan->isEnabled() && FBaseline.has_value());
}

void TfrmMain::Rescan(bool FolderOnly) {
  if (!FMenu->Rescan1->isEnabled() || FResults == nullptr || FFilling || FNextPending > 0 ||
      FPendingChange) {
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
