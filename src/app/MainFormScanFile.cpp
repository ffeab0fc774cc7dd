// Saving the scan to a file and showing a saved scan, of this program or another disk analyser.
#include <QAction>
#include <QFile>
#include <QThreadPool>
#include <QToolButton>
#include <mutex>

#include "app/MainForm.h"
#include "app/ScanFileLoad.h"
#include "app/UserDialogs.h"
#include "localisation/TextFormat.h"
#include "localisation/translation.h"
#include "platform/FileSystem.h"
#include "results/ScanExport.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

// Orders the creation of a reading before its start on a pool thread, as for the scan task.
constinit std::mutex LoadHandOver;

QString ScanFileFilter() {
  return TranslatedText("Scan files") + QStringLiteral(" (*.json);;") +
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
  ShowBusyPointer();
  try {
    SaveScanFile(*FResults.Root, NativeName(*Chosen));
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
