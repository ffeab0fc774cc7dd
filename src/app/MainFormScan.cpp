// Scanning a folder or every drive, or opening a saved scan: the job that makes the results,
// what the window shows while it runs, and handing its results to the tabs.
#include <QAction>
#include <QToolButton>

#include "app/CompareRun.h"
#include "app/FileCommands.h"
#include "app/FilterPanel.h"
#include "app/MainForm.h"
#include "app/MainMenu.h"
#include "app/RemovalRun.h"
#include "app/RescanRun.h"
#include "app/ScanFileDialogs.h"
#include "app/ScanRun.h"
#include "app/StatusStrip.h"
#include "app/Toolbar.h"
#include "app/UserDialogs.h"
#include "platform/FileSystem.h"
#include "platform/Memory.h"
#include "results/ScanSummary.h"
#include "results/ValueFormat.h"
#include "views/DuplicatesView.h"
#include "views/FilesInFoldersView.h"
#include "views/FilesView.h"
#include "views/FoldersView.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

// The tree of results shown, handed back for a build in another count: it is no walk and no
// reading, and it keeps what the results said of their folders and their file.
class TGivenTreeSource final : public IScanSource {
 public:
  explicit TGivenTreeSource(TSourceTree Tree) : FTree(std::move(Tree)) {}

  TSourceTree Load(const TScanContext&, const std::function<void(const TWalkProgress&)>&) override {
    return std::move(FTree);
  }

 private:
  TSourceTree FTree;
};

}  // namespace

void TfrmMain::ChooseCount(TSizeCount Count) {
  const bool Changed = Count != FCount;
  FCount = Count;
  ShowCount();
  // While a job runs, a removal is being prepared or the tabs are being given results, the count
  // is taken up once they are shown.
  if (Changed && FResults != nullptr && (FRun == nullptr || !FRun->Running()) && !FFilling &&
      FRemoval == nullptr && FNextPending == 0) {
    Recount();
  }
}

void TfrmMain::ShowCount() {
  FMenu->DiskUsage1->setChecked(FCount == TSizeCount::DiskUsage);
  FMenu->ApparentSize1->setChecked(FCount == TSizeCount::ApparentSize);
}

void TfrmMain::Recount() {
  FKeptSelections.clear();
  for (TResultTab* Tab : Tabs()) {
    TKeptSelection& Kept = FKeptSelections.emplace_back();
    Kept.Items = Tab->Selection().Items();
    for (const size_t Row : Tab->Selection().Extensions()) {
      Kept.Extensions.push_back(FResults->Extensions[Row].Key);
    }
    Tab->Clear();
  }
  if (FResults.use_count() != 1) {
    // Held elsewhere still: they are shown again as they are, in their own count.
    FCount = FResults->Count;
    ShowCount();
    FKeptSelections.clear();
    FFilling = 0;
    FillNextTab();
    return;
  }
  const bool FoldersHere = FFileCommands->Allowed();
  std::unique_ptr<TDirNode> Root = TakeTreeBack(std::move(FResults));
  platform::ReleaseFreedMemory();
  StartJob(std::make_unique<TGivenTreeSource>(
               TSourceTree{std::move(Root), FoldersHere, FSavedScanWritten}),
           std::make_shared<TScanContext>(), FSavedScan);
  FStatus->ShowMarquee();
}

void TfrmMain::RestoreKeptSelections() {
  const std::vector<TResultTab*> All = Tabs();
  for (size_t I = 0; I < FKeptSelections.size() && I < All.size(); ++I) {
    std::vector<size_t> Rows;
    for (const std::string& Key : FKeptSelections[I].Extensions) {
      for (size_t Row = 0; Row < FResults->Extensions.size(); ++Row) {
        if (FResults->Extensions[Row].Key == Key) {
          Rows.push_back(Row);
          break;
        }
      }
    }
    All[I]->Select(FKeptSelections[I].Items, Rows);
  }
  FKeptSelections.clear();
}

void TfrmMain::ScanFolder(const std::string& Path) {
  FSourcePanel->ChooseFolder(Path);
  StartScan();
}

void TfrmMain::StartScan() {
  if (!FToolbar->btnScan->isEnabled()) {
    return;  // a job runs, or its results are being shown
  }
  std::optional<TScanSource> Source = FSourcePanel->ReadSource();
  if (!Source.has_value()) {
    return;
  }
  if (!FFilterPanel->LessThanValid()) {
    FDialogs->ShowError(this, TranslatedText("Invalid \"Less than\" value."));
    return;
  }
  if (!Source->AllDrives) {
    FSourcePanel->Remember(Source->PathToScan);
  }
  auto Context = std::make_shared<TScanContext>();
  FFilterPanel->ApplyTo(*Context);
  StartWalk(std::move(*Source), std::move(Context));
}

void TfrmMain::StartWalk(TScanSource Source, std::shared_ptr<TScanContext> Context) {
  ClearResults();
  ShowCaption();
  FFileCommands->SetAllowed(true);
  FScannedSource = Source;
  auto Settings = std::make_shared<TScanContext>();
  Settings->CopySettingsFrom(*Context);
  FScannedSettings = std::move(Settings);
  FExpected = FSourcePanel->Expect(Source);
  StartJob(WalkSource(std::move(Source), FCreateLister()), std::move(Context), std::nullopt);
  SetStatus(TranslatedText("Scanning..."));
  if (FExpected.Entries > 0 || FExpected.Bytes > 0) {
    FStatus->ShowProgress(0);
  } else {
    FStatus->ShowMarquee();
  }
}

void TfrmMain::OpenScanFile(const std::string& Path) {
  if (!FToolbar->btnScan->isEnabled()) {
    return;
  }
  // Said here in the user's language; the reading refuses such an entry too, without waiting
  // on it, should it be put in the file's place meanwhile.
  const platform::EEntryKind Kind = platform::EntryKindOf(Path);
  if (Kind == platform::EEntryKind::Folder || Kind == platform::EEntryKind::Other) {
    FDialogs->ShowError(
        this, TranslatedText("Cannot open the scan file:") + QLatin1Char('\n') +
                  ShownText(FormatText(Translate("%s is not a file"), {Path}, FFormatSettings)));
    return;
  }
  // Stop cancels the reading and the results' build.
  StartJob(SavedScanSource(Path), std::make_shared<TScanContext>(), Path);
  FStatus->ShowMarquee();
  SetStatus(TranslatedText("Opening scan file..."));
}

void TfrmMain::StartJob(std::unique_ptr<IScanSource> Source, std::shared_ptr<TScanContext> Context,
                        std::optional<std::string> SavedScan) {
  FSavedScan = std::move(SavedScan);
  SetScanningState(true);
  FStatus->ShowBusyPointer();
  FRun = std::make_unique<TScanRun>(std::move(Source), std::move(Context), FCount, FFormatSettings);
  // While Stop is pressed, "Cancelling..." stays until the job ends.
  connect(FRun.get(), &TScanRun::Walked, this, [this](const TWalkProgress& Progress) {
    if (!FRun->Stopped()) {
      FStatus->ShowWalk(Progress, FExpected, FFormatSettings);
    }
  });
  connect(FRun.get(), &TScanRun::Building, this, [this](const TBuildStatus& Status) {
    if (!FRun->Stopped()) {
      FStatus->ShowBuild(Status);
    }
  });
  connect(FRun.get(), &TScanRun::Ended, this, &TfrmMain::JobEnded);
}

void TfrmMain::StopScan() {
  if (FCompare != nullptr) {
    FCompare->Stop();
    SetStatus(TranslatedText("Cancelling..."));
    return;
  }
  if (FRescan != nullptr) {
    FRescan->Stop();
    SetStatus(TranslatedText("Cancelling..."));
    return;
  }
  if (FFilling) {
    EndInCancelled();  // the tabs are being given the results: they go at once
    return;
  }
  if (FRun != nullptr) {
    FRun->Stop();
  }
  SetStatus(TranslatedText("Cancelling..."));
}

void TfrmMain::JobEnded(const TScanOutcome& Outcome) {
  using TEnd = TScanOutcome::TEnd;
  const bool Stopped = FRun->Stopped();
  if (Outcome.End == TEnd::Done && !Stopped) {
    if (FSavedScan) {
      ClearResults();
      FFileCommands->SetAllowed(Outcome.FoldersHere);
      FSavedScanWritten = Outcome.Written;
      // Its folders walked again with no filters; the whole of it when it is of one folder.
      const std::string Top =
          Outcome.Results->Root != nullptr ? Outcome.Results->Root->FullPath() : std::string();
      FScannedSource.reset();
      if (Outcome.FoldersHere && !Top.empty()) {
        FScannedSource = TScanSource{false, Top, {}};
      }
      FScannedSettings = std::make_shared<TScanContext>();
    }
    FResults = Outcome.Results;
    FFilling = 0;
    FillNextTab();
    return;
  }
  // The items kept over a recount belong to a tree that is gone now.
  FKeptSelections.clear();
  if (Outcome.End == TEnd::Done || Outcome.End == TEnd::BuildStopped) {
    EndInCancelled();
    return;
  }
  FStatus->RestoreDefaultPointer();
  SetScanningState(false);
  QString Error;
  if (Outcome.End == TEnd::BuildFailed) {
    Error = TranslatedText("Error while building results:") + QLatin1Char('\n');
  } else if (FSavedScan) {
    // Refused or stopped: the results shown before stay as they were.
    Error = Stopped ? QString() : TranslatedText("Cannot open the scan file:") + QLatin1Char('\n');
  } else if (Stopped || !Outcome.Err.empty()) {
    Error = TranslatedText("Scan failed: ") + QLatin1Char('\n');
  }
  if (!Error.isEmpty()) {
    FDialogs->ShowError(this,
                        Error + ShownText(Stopped ? Translate("Cancelled by user") : Outcome.Err));
  }
}

void TfrmMain::FillNextTab() {
  if (!FFilling) {
    // Next results: the summary once every tab shows them.
    if (FNextPending > 0 && --FNextPending == 0) {
      FStatus->ShowProgress(0);
      if (FComparison != nullptr) {
        ShowComparison();  // made while the tabs were being given the results
      } else {
        ShowSummary();
      }
      if (FResults->Count != FCount && FRemoval == nullptr && FRescan == nullptr) {
        Recount();
      }
    }
    return;
  }
  // In the order of the texts they announce.
  TResultTab* const Order[] = {FFilesView, FDuplicatesView, FFoldersView, FFilesInFoldersView};
  if (*FFilling < std::size(Order)) {
    Order[(*FFilling)++]->Show(FResults);
    return;
  }
  FFilling.reset();
  RestoreKeptSelections();
  // The build's temporary arrays are gone; their peak need not stay with the process.
  platform::ReleaseFreedMemory();
  FStatus->RestoreDefaultPointer();
  SetScanningState(false);
  ShowSummary();
  // The count was changed while these results were being made: a comparison asked for waits
  // for the results in that count.
  if (FResults->Count != FCount) {
    Recount();
    return;
  }
  if (FCompareOnceShown) {
    const std::string SavedScan = std::move(*FCompareOnceShown);
    FCompareOnceShown.reset();
    StartComparison(SavedScan);
  }
}

void TfrmMain::ShowSummary() {
  // The total is the root's: in the disk usage the folders' own blocks count too, as du counts
  // them; in the apparent size it is the files' sum.
  const TDirNode* Root = FResults->Root.get();
  const std::string Summary =
      ScanSummaryLine(static_cast<int64_t>(FResults->AllFiles.size()),
                      Root != nullptr ? Root->TotalIn(FResults->Count) : FResults->AllTotalBytes,
                      Root != nullptr ? Root->UnreadableFolders : 0, FFormatSettings);
  SetStatus(ShownText(Summary));
  if (FSavedScan) {
    ShowOpenedScan();
  }
  if (!FAfterSummary.isEmpty()) {
    SetStatus(FStatus->Text() + QStringLiteral("   ") + FAfterSummary);
    FAfterSummary.clear();
  }
}

void TfrmMain::ShowOpenedScan() {
  // The title and the status line say which file is shown and when it was made.
  const std::string Scanned =
      FSavedScanWritten != 0
          ? FormatText(Translate("%s, scanned %s"),
                       {*FSavedScan, FormatDateTimeText(FileTimeToLocalDateTime(FSavedScanWritten),
                                                        FFormatSettings)},
                       FFormatSettings)
          : *FSavedScan;
  ShowCaption(ShownText(Scanned));
  FStatus->SetText(ShownText(Scanned) + QStringLiteral("   ") + FStatus->Text(),
                   ShownText(*FSavedScan));
  // The source box shows what was scanned: every drive, or the top folder, kept for the next
  // time when it is on this machine.
  const std::string Root = FResults->Root->FullPath();
  if (!Root.empty() && FFileCommands->Allowed()) {
    FSourcePanel->Remember(Root);
  }
  FSourcePanel->ShowSource(Root);
}

void TfrmMain::EndInCancelled() {
  FFilling.reset();
  FKeptSelections.clear();
  ClearResults();
  FStatus->RestoreDefaultPointer();
  SetScanningState(false);
  SetStatus(TranslatedText("Cancelled"));
}

void TfrmMain::SetScanningState(bool Scanning) {
  FToolbar->btnScan->setEnabled(!Scanning);
  FToolbar->btnStop->setEnabled(Scanning);
  FMenu->Scan1->setEnabled(!Scanning);
  FMenu->Stop1->setEnabled(Scanning);
  FMenu->OpenScan1->setEnabled(!Scanning);
  FMenu->SaveScanAs1->setEnabled(!Scanning && FResults != nullptr);
  FSourcePanel->SetScanning(Scanning);
  FFilterPanel->setEnabled(!Scanning);
  EnableResultCommands();
  if (!Scanning) {
    FStatus->ShowProgress(0);
    SetStatus(TranslatedText("Ready"));
  }
}

void TfrmMain::ClearResults() {
  // The tabs let go of the results first; the last holder frees them.
  for (TResultTab* Tab : Tabs()) {
    Tab->Clear();
  }
  FNextPending = 0;
  FRemoval.reset();
  FRemovedMeanwhile.clear();
  // A new scan or an opened one ends the comparison.
  FComparison.reset();
  FBaseline.reset();
  ReleaseDetached(true);
  FResults.reset();
  EnableResultCommands();
  platform::ReleaseFreedMemory();
}

void TfrmMain::SaveScanAs() {
  if (FResults != nullptr && FResults->Root != nullptr) {
    SaveScanWithDialog(*FDialogs, this, *FStatus, *FResults->Root, FFormatSettings);
  }
}

void TfrmMain::OpenScan() {
  if (const std::optional<std::string> File = ChooseScanFile(*FDialogs, this)) {
    OpenScanFile(*File);
  }
}

}  // namespace dunstrel
