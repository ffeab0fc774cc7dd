// Comparing the results shown with a saved scan of the same folder: every entry's growth since
// then in the tabs, until a new scan, an opened scan or End Comparison.
#include <QAction>
#include <QToolButton>

#include "app/CompareRun.h"
#include "app/MainForm.h"
#include "app/MainMenu.h"
#include "app/RemovalRun.h"
#include "app/ScanFileDialogs.h"
#include "app/StatusStrip.h"
#include "app/Toolbar.h"
#include "app/UserDialogs.h"
#include "views/FilesInFoldersView.h"
#include "views/ResultTab.h"
#include "views/ShownText.h"

namespace dunstrel {

void TfrmMain::CompareWithSavedScan() {
  if (!FMenu->CompareWithSavedScan1->isEnabled()) {
    return;
  }
  if (const std::optional<std::string> File = ChooseScanFile(*FDialogs, this)) {
    StartComparison(*File);
  }
}

void TfrmMain::StartComparison(const std::string& SavedScan) {
  if (FResults == nullptr || FResults->Root == nullptr || FCompare != nullptr ||
      FRemoval != nullptr) {
    return;
  }
  FCompare = std::make_unique<TCompareRun>(FResults, SavedScan);
  connect(FCompare.get(), &TCompareRun::Ended, this, &TfrmMain::ComparisonEnded);
  SetScanningState(true);
  SetStatus(ShownText(FormatText(Translate("Comparing with %s..."), {SavedScan}, FFormatSettings)));
  FStatus->ShowMarquee();
}

void TfrmMain::ComparisonEnded() {
  std::string Err;
  bool Mismatch = false;
  std::shared_ptr<const TBaselineComparison> Comparison = FCompare->TakeComparison(Err, Mismatch);
  const bool Stopped = FCompare->Stopped();
  const std::string SavedScan = FCompare->SavedScan();
  FCompare.reset();
  SetScanningState(false);
  if (Stopped || Comparison == nullptr) {
    // The results shown stay as they were, with no growth.
    FBaseline.reset();
    EnableResultCommands();
    if (!Stopped) {
      FDialogs->ShowError(this, Mismatch ? ShownText(Err)
                                         : TranslatedText("Cannot compare with the saved scan:") +
                                               QLatin1Char('\n') + ShownText(Err));
    }
    if (FNextPending == 0) {
      ShowSummary();
    }
    return;
  }
  FComparison = std::move(Comparison);
  FBaseline = SavedScan;
  EnableResultCommands();
  if (FNextPending == 0 && !FFilling) {
    ShowComparison();
  }
}

void TfrmMain::ShowComparison() {
  for (TResultTab* Tab : Tabs()) {
    Tab->ShowGrowth(FComparison);
  }
  FAfterSummary =
      ShownText(FormatText(Translate("Compared with %s"), {*FBaseline}, FFormatSettings));
  ShowSummary();
}

void TfrmMain::EndComparison() {
  for (TResultTab* Tab : Tabs()) {
    Tab->ShowGrowth(nullptr);
  }
  FComparison.reset();
  FBaseline.reset();
  EnableResultCommands();
  if (FResults != nullptr && FNextPending == 0 && !FFilling) {
    ShowSummary();
  }
}

}  // namespace dunstrel
