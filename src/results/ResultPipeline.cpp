// Turning a finished scan tree into the result sets, one announced step at a time.
#include <QCoreApplication>
#include <QProgressBar>
#include <exception>

#include "app/MainForm.h"
#include "app/ShownText.h"
#include "app/UserDialogs.h"
#include "common/ErrorText.h"
#include "results/FileArrays.h"
#include "results/ValueFormat.h"
#include "views/TreemapSurface.h"

namespace dunstrel {

namespace {

// Raised by CheckCancelled when the user pressed Stop; caught only by BuildResults.
struct TPipelineCancelled {};

constexpr size_t kLargestFilesShown = 5000;

struct TPipelineStep {
  const char* StatusText;   // none for a step that is not announced
  void (TfrmMain::*Run)();  // none while the step's view does not exist
};

}  // namespace

void TfrmMain::BuildResults(bool Ok, const std::string& Err) {
  ShowProgressMarquee();
  if (!Ok) {
    ShowProgressNormal(0);
    if (!Err.empty()) {
      FDialogs->ShowError(this,
                          TranslatedText("Scan failed: ") + QLatin1Char('\n') + ShownText(Err));
    }
    SetStatus(TranslatedText("Ready"));
    PaintBox1->Invalidate();
    PaintBox3->Invalidate();
    RestoreDefaultPointer();
    SetScanningState(false);
    return;
  }

  static constexpr TPipelineStep kSteps[] = {
      {"Building file list...", &TfrmMain::FlattenAllFilesFromRoot},
      {"Building Largest Files list...", &TfrmMain::BuildLargestFilesList},
      {"Populating Largest Files UI...", nullptr},
      {"Building folders tree...", nullptr},
      {"Building duplicates...", nullptr},
      {nullptr, &TfrmMain::ChooseSelectedFolder},
      {"Populating folders UI...", nullptr},
      {"Building folders/files tree...", nullptr},
      {"Populating extensions...", nullptr},
  };
  try {
    bool First = true;
    for (const TPipelineStep& Step : kSteps) {
      if (Step.StatusText != nullptr) {
        SetStatus(TranslatedText(Step.StatusText));
        // Repaints and clicks, Stop among them, are handled between the steps.
        QCoreApplication::processEvents();
        if (First) {
          CheckCancelled();
          First = false;
        }
      }
      if (Step.Run != nullptr) {
        (this->*Step.Run)();
      }
      if (Step.StatusText != nullptr) {
        CheckCancelled();
      }
    }
  } catch (const TPipelineCancelled&) {
    ClearResults();
    ShowProgressNormal(0);
    RestoreDefaultPointer();
    SetScanningState(false);
    SetStatus(TranslatedText("Cancelled"));
    return;
  } catch (const std::exception& Error) {
    ShowProgressNormal(0);
    FDialogs->ShowError(this, TranslatedText("Error while building results:") + QLatin1Char('\n') +
                                  ShownText(DescribeError(Error)));
    RestoreDefaultPointer();
    SetScanningState(false);
    return;
  }
  ShowProgressNormal(0);
  const std::string Summary = FormatText(
      Translate("Done. Total files: %d   Total size: %s"),
      {static_cast<int64_t>(FAllFiles.size()), FormatSize(FAllTotalBytes, FFormatSettings)},
      FFormatSettings);
  RestoreDefaultPointer();
  SetScanningState(false);
  SetStatus(ShownText(Summary));
}

void TfrmMain::CheckCancelled() const {
  if (FContext != nullptr && FContext->IsCancelled()) {
    throw TPipelineCancelled{};
  }
}

void TfrmMain::FlattenAllFilesFromRoot() {
  FlattenAllFiles(FRoot.get(), FAllFiles, FAllTotalBytes);
}

void TfrmMain::BuildLargestFilesList() {
  TakeLargestFiles(FAllFiles, kLargestFilesShown, FDisplayFiles, FDisplayTotalBytes);
}

void TfrmMain::ChooseSelectedFolder() {
  // Once the folder tree step has sorted every child list largest first, this is the largest
  // child.
  FSelectedFolder =
      FRoot != nullptr && !FRoot->Children.empty() ? FRoot->Children.front().get() : nullptr;
}

}  // namespace dunstrel
