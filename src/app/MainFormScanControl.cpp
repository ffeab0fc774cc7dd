// Starting, following and stopping a scan from the main window.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QThreadPool>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <mutex>

#include "app/ElidedLabel.h"
#include "app/MainForm.h"
#include "app/UserDialogs.h"
#include "app/WindowSettings.h"
#include "common/Rounding.h"
#include "platform/FileSystem.h"
#include "platform/Memory.h"
#include "platform/Paths.h"
#include "views/ResultTab.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

constexpr int kProgressMaximum = 1000;

// The raw bytes of a drive root live in the item's data, as its shown text may have lost some.
constexpr int kRawPathRole = Qt::UserRole;

// Orders the creation of a scan task before its start on a pool thread by a lock of our own, so
// the hand-over does not rest on the pool's internal locking alone, which thread checkers cannot
// see into. Constant-initialised and trivially destroyed, it is valid for the whole process.
constinit std::mutex ScanTaskHandOver;

}  // namespace

std::vector<std::string> TfrmMain::GetScanDrives() const {
  std::vector<std::string> Drives = FVolumes->LocalDriveRoots();
  std::erase_if(Drives, [](const std::string& Root) { return !platform::DirectoryExists(Root); });
  return Drives;
}

int64_t TfrmMain::GetDriveUsedBytes(const std::string& Root) const {
  return std::max<int64_t>(FVolumes->UsedBytes(Root).value_or(0), 0);
}

void TfrmMain::FillDriveList() {
  const QSignalBlocker Quiet(cmbCustomPath);
  cmbCustomPath->clear();
  std::vector<std::string> Paths = FPathHistory;
  for (std::string& Root : GetScanDrives()) {
    if (std::find(Paths.begin(), Paths.end(), Root) == Paths.end()) {
      Paths.push_back(std::move(Root));
    }
  }
  for (const std::string& Path : Paths) {
    cmbCustomPath->addItem(ShownText(Path), QByteArray::fromStdString(Path));
  }
  if (cmbCustomPath->count() > 0) {
    cmbCustomPath->setCurrentIndex(0);
  }
}

void TfrmMain::RememberPath(const std::string& Path) {
  std::erase(FPathHistory, Path);
  FPathHistory.insert(FPathHistory.begin(), Path);
  if (FPathHistory.size() > kPathHistoryLength) {
    FPathHistory.resize(kPathHistoryLength);
  }
  FillDriveList();
}

std::string TfrmMain::TypedScanPath() const {
  const QString Typed = cmbCustomPath->currentText().trimmed();
  const int Index = cmbCustomPath->findText(Typed);
  if (Index >= 0) {
    return cmbCustomPath->itemData(Index, kRawPathRole).toByteArray().toStdString();
  }
  return Typed.toStdString();
}

void TfrmMain::ScanFolder(const std::string& Path) {
  rbCustomPath->setChecked(true);
  UpdateSourceControls();
  cmbCustomPath->insertItem(0, ShownText(Path), QByteArray::fromStdString(Path));
  cmbCustomPath->setCurrentIndex(0);
  btnScanClick();
}

void TfrmMain::btnBrowseClick() {
  if (!rbCustomPath->isChecked()) {
    return;
  }
  std::string Start = cmbCustomPath->currentText().toStdString();
  if (Start.empty()) {
    Start = platform::WithTrailingDelimiter(platform::CurrentDirectory());
  }
  const QString StartFolder = platform::DirectoryExists(Start) ? ShownText(Start) : QString();
  const std::optional<QString> Chosen =
      FDialogs->PickFolder(this, QStringLiteral("Select folder to scan"), StartFolder);
  if (Chosen.has_value()) {
    cmbCustomPath->setEditText(ShownText(platform::WithTrailingDelimiter(Chosen->toStdString())));
  }
}

void TfrmMain::btnScanClick() {
  TScanSource Source;
  Source.AllDrives = !rbCustomPath->isChecked();
  if (!Source.AllDrives) {
    Source.PathToScan = TypedScanPath();
    if (Source.PathToScan.empty()) {
      return;
    }
    // "~" is the home folder and a relative path starts at the current folder, as in a shell.
    if (Source.PathToScan.starts_with('~') || !platform::IsAbsolutePath(Source.PathToScan)) {
      Source.PathToScan = platform::ResolveUserFolderPath(Source.PathToScan);
    }
    if (!platform::DirectoryExists(Source.PathToScan)) {
      FDialogs->ShowError(this, TranslatedText("Folder does not exist."));
      return;
    }
  } else {
    Source.Drives = GetScanDrives();
    if (Source.Drives.empty()) {
      FDialogs->ShowError(this, TranslatedText("No drives found."));
      return;
    }
  }
  int64_t LessThanBytes = 0;
  if (chLessThan->isChecked() && (!ParseLessThanBytes(LessThanBytes) || LessThanBytes < 0)) {
    FDialogs->ShowError(this, TranslatedText("Invalid \"Less than\" value."));
    return;
  }

  if (!Source.AllDrives) {
    RememberPath(Source.PathToScan);
  }
  ClearResults();
  ShowCaption();
  FFileCommandsOff = false;
  UpdateFileCommands();
  SetScanningState(true);
  FContext = std::make_shared<TScanContext>();
  ApplyFiltersToContext();
  ShowBusyPointer();
  FExpectedBytesTotal = 0;
  FExpectedEntries = 0;
  for (const std::string& Drive : Source.Drives) {
    FExpectedBytesTotal += GetDriveUsedBytes(Drive);
    // The walk counts files and folders as the file systems do; bytes it cannot compare with
    // used space (a sparse file says more than it takes).
    const std::optional<int64_t> Entries = FVolumes->UsedEntries(Drive);
    FExpectedEntries = Entries.has_value() && FExpectedEntries >= 0
                           ? FExpectedEntries + std::max<int64_t>(*Entries, 0)
                           : -1;
  }
  FExpectedEntries = std::max<int64_t>(FExpectedEntries, 0);
  FProgress->SetProgress({}, 0, 0, 0);
  FUITimer->start();
  SetStatus(TranslatedText("Scanning..."));
  if (FExpectedEntries > 0 || FExpectedBytesTotal > 0) {
    ShowProgressNormal(0);
  } else {
    ShowProgressMarquee();
  }
  StartScanTask(std::move(Source));
}

void TfrmMain::StartScanTask(TScanSource Source) {
  FTask = std::make_shared<TScanJob>(FContext, FProgress, FCreateLister(), std::move(Source));
  // The notice only queues a call; the outcome itself is taken from the task under its lock.
  FTask->SetCompletionNotice(
      [this] { QMetaObject::invokeMethod(this, "ScanTaskEnded", Qt::QueuedConnection); });
  std::function<void()> Body;
  {
    const std::lock_guard HandOver(ScanTaskHandOver);
    Body = [Task = FTask] {
      { const std::lock_guard Received(ScanTaskHandOver); }
      Task->Run();
    };
  }
  QThreadPool::globalInstance()->start(std::move(Body));
}

void TfrmMain::ScanTaskEnded() {
  if (FTask == nullptr) {
    return;
  }
  TScanOutcome Outcome = FTask->TakeOutcome();
  if (FAppClosing) {
    return;  // the window is going away: the tree is released with the outcome
  }
  FUITimer->stop();
  if (Outcome.Ok) {
    FResults.Root = std::move(Outcome.Root);
    BuildResults(true, {});
    return;
  }
  Outcome.Root.reset();
  if (FContext != nullptr && FContext->IsCancelled() && Outcome.Err.empty()) {
    Outcome.Err = Translate("Cancelled by user");
  }
  BuildResults(false, Outcome.Err);
}

void TfrmMain::btnStopClick() {
  if (FContext != nullptr) {
    FContext->Cancel();
  }
  SetStatus(TranslatedText("Cancelling..."));
}

void TfrmMain::UITimerTick() {
  if (FAppClosing) {
    return;
  }
  if (FContext != nullptr && FContext->IsCancelled()) {
    return;  // "Cancelling..." stays until the task ends
  }
  const TProgressValues Progress = FProgress->Read();
  if (!btnStop->isEnabled()) {
    return;
  }
  if (FExpectedEntries >= 1) {
    const double Share = std::min(
        static_cast<double>(Progress.Files + Progress.Dirs) / static_cast<double>(FExpectedEntries),
        1.0);
    ShowProgressNormal(
        std::clamp(static_cast<int>(RoundHalfEven(Share * kProgressMaximum)), 0, kProgressMaximum));
  } else if (FExpectedBytesTotal >= 1) {
    int Position = 0;
    if (Progress.Bytes > 0) {
      const double Share = std::min(
          static_cast<double>(Progress.Bytes) / static_cast<double>(FExpectedBytesTotal), 1.0);
      Position = static_cast<int>(RoundHalfEven(Share * kProgressMaximum));
    }
    ShowProgressNormal(std::clamp(Position, 0, kProgressMaximum));
  } else {
    ShowProgressMarquee();
  }
  if (!Progress.Path.empty()) {
    lblStatus->SetText(
        ShownText(FormatText(Translate("Scanning: %s  (files: %d, dirs: %d)"),
                             {Progress.Path, Progress.Files, Progress.Dirs}, FFormatSettings)),
        ShownText(Progress.Path));
  } else {
    SetStatus(ShownText(FormatText(Translate("Scanning... (files: %d, dirs: %d)"),
                                   {Progress.Files, Progress.Dirs}, FFormatSettings)));
  }
}

void TfrmMain::SetScanningState(bool Scanning) {
  btnScan->setEnabled(!Scanning);
  btnStop->setEnabled(Scanning);
  Scan1->setEnabled(!Scanning);
  Stop1->setEnabled(Scanning);
  OpenScan1->setEnabled(!Scanning);
  SaveScanAs1->setEnabled(!Scanning && FResults.Root != nullptr);
  btnBrowse->setEnabled(!Scanning && rbCustomPath->isChecked());
  cmbCustomPath->setEnabled(!Scanning && rbCustomPath->isChecked());
  gbFilters->setEnabled(!Scanning);
  UpdateFilterControls();
  if (!Scanning) {
    ShowProgressNormal(0);
    SetStatus(TranslatedText("Ready"));
  }
}

void TfrmMain::SetStatus(const QString& Text) {
  lblStatus->SetText(Text);
}

void TfrmMain::ClearResults() {
  // Everything that points into the tree goes before the tree.
  for (TResultTab* View : Views()) {
    View->Clear();
  }
  FResults.Clear();
  platform::ReleaseFreedMemory();
}

void TfrmMain::ShowBusyPointer() {
  if (!FBusyPointerShown) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    FBusyPointerShown = true;
  }
}

void TfrmMain::RestoreDefaultPointer() {
  if (FBusyPointerShown) {
    QGuiApplication::restoreOverrideCursor();
    FBusyPointerShown = false;
  }
}

void TfrmMain::ShowProgressMarquee() {
  pb->setRange(0, 0);
}

void TfrmMain::ShowProgressNormal(int Position) {
  pb->setRange(0, kProgressMaximum);
  pb->setValue(Position);
}

}  // namespace dunstrel
