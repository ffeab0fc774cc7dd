// Saving the scan to a file and showing a saved scan, of this program or another disk analyser.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>
#include <QThreadPool>
#include <QToolButton>
#include <mutex>

#include "app/ElidedLabel.h"
#include "app/MainForm.h"
#include "app/ScanFileLoad.h"
#include "app/UserDialogs.h"
#include "localisation/TextFormat.h"
#include "localisation/translation.h"
#include "platform/FileSystem.h"
#include "results/ScanExport.h"
#include "results/ValueFormat.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

// Orders the creation of a reading before its start on a pool thread, as for the scan task.
constinit std::mutex LoadHandOver;

// The names of saved scans: what a save without a suffix gets, and what the open dialog lists
// (plain JSON, and packed with gzip or zstd).
const QString kScanFileSuffix = QStringLiteral("json");
const QStringList kScanFilePatterns = {QStringLiteral("*.json"), QStringLiteral("*.json.gz"),
                                       QStringLiteral("*.json.zst")};

QString ScanFileFilter() {
  return TranslatedText("Scan files") + QStringLiteral(" (") +
         kScanFilePatterns.join(QLatin1Char(' ')) + QStringLiteral(");;") +
         TranslatedText("All files") + QStringLiteral(" (*)");
}

std::string NativeName(const QString& Chosen) {
  return QFile::encodeName(Chosen).toStdString();
}

// Whether the folders of a tree are on this machine: the top folder, or for a scan of every
// drive, each drive.
bool TreeIsHere(const TDirNode& Root) {
  if (!Root.FullPath().empty()) {
    return platform::DirectoryExists(std::string(Root.FullPath()));
  }
  for (const auto& Drive : Root.Children) {
    if (!platform::DirectoryExists(std::string(Drive->FullPath()))) {
      return false;
    }
  }
  return true;
}

}  // namespace

void TfrmMain::SaveScanAs1Click() {
  if (FResults.Root == nullptr) {
    return;
  }
  const std::optional<QString> Chosen =
      FDialogs->PickSaveFile(this, TranslatedText("Save Scan As..."), ScanFileFilter());
  if (!Chosen.has_value()) {
    return;
  }
  // A name without a suffix gets the format's own, so that the open dialog lists the file. The
  // dialog asked before replacing the name it was given, not this one.
  QString Name = *Chosen;
  if (QFileInfo(Name).suffix().isEmpty()) {
    Name += QLatin1Char('.') + kScanFileSuffix;
    if (QFileInfo::exists(Name) &&
        !FDialogs->AskYesNo(
            this,
            ShownText(FormatText(Translate("%s already exists. Do you want to replace it?"),
                                 {NativeName(Name)}, FFormatSettings)),
            true)) {
      return;
    }
  }
  ShowBusyPointer();
  try {
    SaveScanFile(*FResults.Root, NativeName(Name));
  } catch (const std::exception& Error) {
    RestoreDefaultPointer();
    FDialogs->ShowError(this, TranslatedText("Cannot save the scan file:") + QLatin1Char('\n') +
                                  ShownText(Error.what()));
    return;
  }
  RestoreDefaultPointer();
}

void TfrmMain::OpenScan1Click() {
  const std::optional<QString> Chosen =
      FDialogs->PickOpenFile(this, TranslatedText("Open Scan..."), ScanFileFilter());
  if (Chosen.has_value()) {
    OpenScanFile(NativeName(*Chosen));
  }
}

void TfrmMain::OpenScanFile(const std::string& Path) {
  if (FLoad != nullptr || !btnScan->isEnabled()) {
    return;  // a scan or a reading is running
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
  SetScanningState(true);
  FContext = std::make_shared<TScanContext>();  // Stop cancels the reading and the results' build
  ShowBusyPointer();
  ShowProgressMarquee();
  SetStatus(TranslatedText("Opening scan file..."));
  FLoad = std::make_shared<TScanFileLoad>(Path, FContext);
  FLoad->SetCompletionNotice(
      [this] { QMetaObject::invokeMethod(this, "ScanFileLoadEnded", Qt::QueuedConnection); });
  std::function<void()> Body;
  {
    const std::lock_guard HandOver(LoadHandOver);
    Body = [Load = FLoad] {
      { const std::lock_guard Received(LoadHandOver); }
      Load->Run();
    };
  }
  QThreadPool::globalInstance()->start(std::move(Body));
}

void TfrmMain::ScanFileLoadEnded() {
  if (FLoad == nullptr) {
    return;
  }
  TScanFileLoad::TResult Result = FLoad->TakeResult();
  FLoad.reset();
  if (FAppClosing) {
    return;
  }
  if (Result.Root == nullptr) {
    // Refused or cancelled: the results shown before stay as they were.
    RestoreDefaultPointer();
    SetScanningState(false);
    if (!(FContext != nullptr && FContext->IsCancelled())) {
      FDialogs->ShowError(this, TranslatedText("Cannot open the scan file:") + QLatin1Char('\n') +
                                    ShownText(Result.Err));
    }
    return;
  }
  ClearResults();
  FFileCommandsOff = !TreeIsHere(*Result.Root);
  UpdateFileCommands();
  FResults.Root = std::move(Result.Root);
  BuildResults(true, {});
  if (FResults.Root != nullptr) {
    ShowOpenedScan(Result.Path, Result.Written);
  }
}

void TfrmMain::ShowOpenedScan(const std::string& File, platform::TFileStamp Written) {
  // The title and the status line say which file is shown and when it was made.
  const std::string Scanned =
      Written != 0
          ? FormatText(
                Translate("%s, scanned %s"),
                {File, FormatDateTimeText(FileTimeToLocalDateTime(Written), FFormatSettings)},
                FFormatSettings)
          : File;
  ShowCaption(ShownText(Scanned));
  lblStatus->SetText(ShownText(Scanned) + QStringLiteral("   ") + lblStatus->text(),
                     ShownText(File));
  // The source controls show what was scanned: every drive, or the top folder.
  const std::string Root(FResults.Root->FullPath());
  if (Root.empty()) {
    rbAllDrives->setChecked(true);
  } else {
    rbCustomPath->setChecked(true);
    if (FFileCommandsOff) {
      cmbCustomPath->setEditText(ShownText(Root));  // not here: shown, not kept for next time
    } else {
      RememberPath(Root);
    }
  }
  UpdateSourceControls();
}

void TfrmMain::UpdateFileCommands() {
  // Copying paths stays: it touches no file.
  for (QAction* Command :
       {Open1, OpeninExplorer1, ShowProperties1, RemovetoRecycleBin1, RemoveCompletely1}) {
    Command->setEnabled(!FFileCommandsOff);
  }
  for (QToolButton* Button :
       {btnOpen, btnOpenExplorer, btnShowProperties, btnRemoveToRecycleBin, btnRemove}) {
    Button->setEnabled(!FFileCommandsOff);
  }
}

}  // namespace dunstrel
