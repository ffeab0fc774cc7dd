// Turning a finished scan tree into the result sets and the views, one announced step at a time.
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <thread>

#include "app/ElidedLabel.h"
#include "app/MainForm.h"
#include "app/UserDialogs.h"
#include "common/ErrorText.h"
#include "platform/Memory.h"
#include "results/FileArrays.h"
#include "results/ScanSummary.h"
#include "results/ValueFormat.h"
#include "views/DuplicatesView.h"
#include "views/FilesInFoldersView.h"
#include "views/FilesView.h"
#include "views/FoldersView.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

// How often the interface thread looks whether the file list is collected and sorted.
constexpr int kFlattenPollMs = 2;

// Raised by CheckCancelled when the user pressed Stop; caught only by BuildResults.
struct TPipelineCancelled {};

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
    FFilesView->InvalidateMap();
    FFilesInFoldersView->InvalidateMap();
    RestoreDefaultPointer();
    SetScanningState(false);
    return;
  }

  static constexpr TPipelineStep kSteps[] = {
      {"Building file list...", &TfrmMain::FlattenAllFilesFromRoot},
      {"Building Largest Files list...", &TfrmMain::BuildLargestFilesList},
      {"Populating Largest Files UI...", &TfrmMain::PopulateLargestFilesUI},
      {"Building folders tree...", &TfrmMain::BuildFoldersTree},
      {"Building duplicates...", &TfrmMain::BuildDuplicates},
      {nullptr, &TfrmMain::ChooseSelectedFolder},
      {"Populating folders UI...", &TfrmMain::PopulateFoldersUI},
      {"Building folders/files tree...", &TfrmMain::BuildFoldersAndFilesTree},
      {"Populating extensions...", &TfrmMain::PopulateExtensions},
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
  // The build's temporary arrays are gone; their peak need not stay with the process.
  platform::ReleaseFreedMemory();
  const std::string Summary = ScanSummaryLine(
      static_cast<int64_t>(FResults.AllFiles.size()), FResults.AllTotalBytes,
      FResults.Root != nullptr ? FResults.Root->UnreadableFolders : 0, FFormatSettings);
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
  // Collecting and sorting a million files takes longer than the window may stand still: it is
  // done on a thread of its own while the window goes on handling its events, as it does between
  // the steps. The thread has the tree to itself until it is done.
  std::unique_ptr<TDirNode> Root = std::move(FResults.Root);
  std::vector<TFileLeaf*> Files;
  int64_t TotalBytes = 0;
  std::exception_ptr Error;
  std::atomic<bool> Done = false;
  std::thread Worker([&] {
    try {
      FlattenAllFiles(Root.get(), Files, TotalBytes);
    } catch (...) {
      Error = std::current_exception();
    }
    Done.store(true, std::memory_order_release);
  });
  // The interface thread looks for the end every few milliseconds while it handles its events,
  // so nothing of Qt's crosses from the worker to it.
  QEventLoop Waiting;
  QTimer Poll;
  QObject::connect(&Poll, &QTimer::timeout, &Waiting, [&] {
    if (Done.load(std::memory_order_acquire)) {
      Waiting.quit();
    }
  });
  Poll.start(kFlattenPollMs);
  Waiting.exec();
  Worker.join();  // also when the loop was left early, as the application quits
  FResults.Root = std::move(Root);
  if (Error) {
    std::rethrow_exception(Error);
  }
  FResults.AllFiles = std::move(Files);
  FResults.AllTotalBytes = TotalBytes;
}

void TfrmMain::BuildLargestFilesList() {
  FResults.BuildLargestFilesList();
}

void TfrmMain::PopulateLargestFilesUI() {
  FFilesView->PopulateFilesList();
  FFilesView->PopulateExtList();
  FFilesView->ClearSelection();
  FFilesView->RebuildTreemap();
}

void TfrmMain::BuildFoldersTree() {
  FFoldersView->BuildFoldersTree(FResults.Root.get());
}

void TfrmMain::BuildDuplicates() {
  // The map refers to the dictionaries that the grouping replaces.
  FDuplicatesView->Clear();
  TDuplicates& Duplicates = FResults.Duplicates;
  Duplicates.Clear();
  const auto Total = static_cast<int64_t>(FResults.AllFiles.size());
  if (Total > 0) {
    const int Maximum = static_cast<int>(std::min<int64_t>(Total, INT32_MAX));
    ShowProgress(0, Maximum);
    SetStatus(ShownText(
        FormatText(Translate("Building duplicates... 0 / %d"), {Total}, FFormatSettings)));
    pb->repaint();
    lblStatus->repaint();
    const bool Completed = GroupDuplicates(FResults.AllFiles, Duplicates, [&](size_t Done, size_t) {
      const auto Position = static_cast<int64_t>(Done);
      ShowProgress(static_cast<int>(std::min<int64_t>(Position, INT32_MAX)), Maximum);
      SetStatus(ShownText(FormatText(Translate("Building duplicates... %d / %d"), {Position, Total},
                                     FFormatSettings)));
      return !LetEventsRunAndCheckStop();
    });
    if (!Completed) {
      CheckCancelled();  // the user stopped: the build ends here
      return;
    }
    SetStatus(
        ShownText(FormatText(Translate("Duplicates ready. Groups shown: %d"),
                             {static_cast<int64_t>(Duplicates.Groups.size())}, FFormatSettings)));
    QCoreApplication::processEvents();
  }
  FDuplicatesView->PopulateDuplicatesTree();
  CheckCancelled();
  FDuplicatesView->PopulateDuplicateGroupsList();
  FDuplicatesView->RebuildDupeMap();
  FDuplicatesView->SelectFirstGroup();
}

void TfrmMain::ChooseSelectedFolder() {
  // The folder tree step has sorted every child list largest first.
  FFoldersView->SelectFolder(FResults.LargestTopFolder());
}

void TfrmMain::PopulateFoldersUI() {
  FFoldersView->PopulateFilesOfSelectedFolder();
  FFoldersView->RebuildFolderMap();
}

void TfrmMain::BuildFoldersAndFilesTree() {
  FFilesInFoldersView->BuildFoldersAndFilesTree(FResults.Root.get());
}

void TfrmMain::PopulateExtensions() {
  FFilesInFoldersView->PopulateFileExtensionsList();
  FFilesInFoldersView->RebuildHierMap();
}

}  // namespace dunstrel
