// Creation and shutdown of the main window, and the commands that belong to the window itself.
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <chrono>

#include "app/AppInfo.h"
#include "app/MainForm.h"
#include "app/RegionalSettings.h"
#include "app/ScanFileLoad.h"
#include "app/ShellServices.h"
#include "app/UserDialogs.h"
#include "app/WindowSettings.h"
#include "views/DuplicatesView.h"
#include "views/FilesInFoldersView.h"
#include "views/FilesView.h"
#include "views/FoldersView.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

constexpr int kDesignClientWidth = 1333;
constexpr int kDesignClientHeight = 720;
constexpr int kProgressTimerIntervalMs = 120;
constexpr std::chrono::milliseconds kScanTaskShutdownWait(2000);

}  // namespace

TfrmMain::TfrmMain(TMainWindowServices Services, QWidget* Parent)
    : QMainWindow(Parent),
      FFormatSettings(Services.FormatSettings.value_or(FormatSettingsOf(QLocale::system()))),
      FOwnedDialogs(Services.Dialogs != nullptr ? nullptr : CreateUserDialogs()),
      FDialogs(Services.Dialogs != nullptr ? Services.Dialogs : FOwnedDialogs.get()),
      FOwnedShell(Services.Shell != nullptr ? nullptr
                                            : CreateDesktopShellServices(FFormatSettings)),
      FShell(Services.Shell != nullptr ? Services.Shell : FOwnedShell.get()),
      FVolumes(Services.Volumes != nullptr ? Services.Volumes : &platform::SystemVolumes()),
      FCreateLister(Services.CreateLister
                        ? std::move(Services.CreateLister)
                        : TDirectoryListerFactory(&platform::CreateDirectoryLister)),
      FOwnedSettings(Services.Settings != nullptr ? nullptr : OpenUserSettings()),
      FSettings(Services.Settings != nullptr ? Services.Settings : FOwnedSettings.get()) {
  BuildFrame();
  FormCreate();
}

TfrmMain::~TfrmMain() {
  FormDestroy();
}

void TfrmMain::FormCreate() {
  ShowCaption();
  resize(kDesignClientWidth, kDesignClientHeight + menuBar()->sizeHint().height());
  setWindowState(windowState() | Qt::WindowMaximized);
  FProgress = std::make_shared<TScanProgress>();
  FUITimer = new QTimer(this);
  FUITimer->setInterval(kProgressTimerIntervalMs);
  connect(FUITimer, &QTimer::timeout, this, &TfrmMain::UITimerTick);
  connect(rbAllDrives, &QRadioButton::clicked, this, &TfrmMain::UpdateSourceControls);
  connect(rbCustomPath, &QRadioButton::clicked, this, &TfrmMain::UpdateSourceControls);
  FillDriveList();
  UpdateSourceControls();
  SetScanningState(false);
  cbSizeUnits->setEnabled(false);
  edtPattern->setEnabled(false);
  chModifiedBeforeClick();
  chLessThanClick();
  AdjustSideListWidths();
  RestoreSettings();
  ApplyTranslation();
}

void TfrmMain::ShowCaption(const QString& Shown) {
  const QString Program =
      QStringLiteral("%1 %2").arg(QLatin1String(kApplicationTitle), QLatin1String(kVersionText));
  setWindowTitle(Shown.isEmpty() ? Program : Shown + QStringLiteral(" - ") + Program);
}

void TfrmMain::closeEvent(QCloseEvent* Event) {
  // FormCloseQuery: closing is always allowed; a running scan is left to FormDestroy.
  if (!FAppClosing) {
    StoreSettings();
  }
  FAppClosing = true;
  for (TResultTab* View : Views()) {
    View->Surface()->Freeze();
  }
  Event->accept();
}

void TfrmMain::FormDestroy() {
  FAppClosing = true;
  FUITimer->stop();
  if (FContext != nullptr) {
    FContext->Cancel();
  }
  if (FLoad != nullptr) {
    // A reading still running stops at its next buffer and releases what it read itself.
    FLoad->DetachCompletionNotice();
  }
  if (FTask != nullptr) {
    // A task that outlives the wait finds nobody to report to and releases its tree itself.
    FTask->DetachCompletionNotice();
    FTask->WaitFinished(kScanTaskShutdownWait);
  }
  // Everything that points into the tree goes before the tree.
  for (TResultTab* View : Views()) {
    View->Surface()->Freeze();
    View->Clear();
  }
  FResults.Clear();
  FTask.reset();
  FContext.reset();
  RestoreDefaultPointer();
}

void TfrmMain::resizeEvent(QResizeEvent* Event) {
  QMainWindow::resizeEvent(Event);
  FormResize();
}

void TfrmMain::FormResize() {
  if (FAppClosing) {
    return;
  }
  FitSourceGroupToWidth();
  AdjustSideListWidths();
  InvalidateAllSurfaces();
}

void TfrmMain::InvalidateAllSurfaces() {
  for (TResultTab* View : Views()) {
    View->InvalidateMap();
  }
}

std::vector<TResultTab*> TfrmMain::Views() const {
  return {FFilesInFoldersView, FFilesView, FFoldersView, FDuplicatesView};
}

void TfrmMain::UpdateSourceControls() {
  const bool PathChosen = rbCustomPath->isChecked() && !btnStop->isEnabled();
  cmbCustomPath->setEnabled(PathChosen);
  btnBrowse->setEnabled(PathChosen);
}

void TfrmMain::AdjustSideListWidths() {
  for (TResultTab* View : Views()) {
    View->AdjustSideListWidth();
  }
}

void TfrmMain::ShowToolbar1Click() {
  // The action has already flipped its own check mark.
  pnlTop->setVisible(ShowToolbar1->isChecked());
}

void TfrmMain::Exit1Click() {
  close();
}

void TfrmMain::btnAboutClick() {
  const QString Text =
      QStringLiteral("%1\n%2 %3\n\n%4 %5")
          .arg(QLatin1String(kApplicationTitle), TranslatedText("Version:"),
               QLatin1String(kVersionText), TranslatedText("Website:"), QLatin1String(kSiteUrl));
  FDialogs->ShowInformation(this, Text);
}

void TfrmMain::OpenSitePage(const char* Page) {
  FShell->OpenAddress(QUrl(QLatin1String(kSiteUrl) + QLatin1String(Page)));
}

void TfrmMain::ContactUs1Click() {
  OpenSitePage("/support.html");
}

void TfrmMain::btnWEbsiteClick() {
  OpenSitePage("/");
}

void TfrmMain::utorial1Click() {
  OpenSitePage("/redirect/tutorial-dunstrel.html");
}

}  // namespace dunstrel
