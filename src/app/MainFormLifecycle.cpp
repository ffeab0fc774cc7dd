// Creation and shutdown of the main window, and the commands that belong to the window itself.
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <algorithm>
#include <chrono>

#include "app/AppInfo.h"
#include "app/MainForm.h"
#include "app/RegionalSettings.h"
#include "app/ShellServices.h"
#include "app/ShownText.h"
#include "app/UserDialogs.h"
#include "views/TreemapSurface.h"

namespace dunstrel {

namespace {

constexpr int kDesignClientWidth = 1333;
constexpr int kDesignClientHeight = 720;
constexpr int kProgressTimerIntervalMs = 120;
constexpr std::chrono::milliseconds kScanTaskShutdownWait(2000);

// The right-hand list of a bottom panel gets Width; the left control takes the rest.
void SetRightListWidth(QSplitter* Splitter, int Width) {
  const int Room = std::max(0, Splitter->width() - Splitter->handleWidth());
  Splitter->setSizes({std::max(0, Room - Width), Width});
}

void DetachFromWindow(QAbstractItemView* View, QObject* Window) {
  QObject::disconnect(View, nullptr, Window, nullptr);
  if (View->selectionModel() != nullptr) {
    QObject::disconnect(View->selectionModel(), nullptr, Window, nullptr);
  }
}

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
                        : TDirectoryListerFactory(&platform::CreateDirectoryLister)) {
  BuildFrame();
  FormCreate();
}

TfrmMain::~TfrmMain() {
  FormDestroy();
}

void TfrmMain::FormCreate() {
  setWindowTitle(
      QStringLiteral("%1 %2").arg(QLatin1String(kApplicationTitle), QLatin1String(kVersionText)));
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
  SetUpListColumns();
  SetUpTrees();
  InitSystemImageList();
  SetScanningState(false);
  cbSizeUnits->setEnabled(false);
  edtPattern->setEnabled(false);
  chModifiedBeforeClick();
  chLessThanClick();
  PaintBox1->Invalidate();
  PaintBox3->Invalidate();
  AdjustSideListWidths();
  // A bottom panel gets its new size after the window (and a hidden tab's only when it is
  // shown), so the side lists follow the panels themselves as well.
  for (QWidget* Bottom : {pnlBottom1, Panel2, pnlBottom2, Panel3}) {
    Bottom->installEventFilter(this);
  }
  ApplyTranslation();
}

void TfrmMain::closeEvent(QCloseEvent* Event) {
  // FormCloseQuery: closing is always allowed; a running scan is left to FormDestroy.
  FAppClosing = true;
  for (TTreemapSurface* Surface : {PaintBox1, PaintBox2, PaintBox3, PaintBox4}) {
    Surface->Freeze();
  }
  Event->accept();
}

void TfrmMain::FormDestroy() {
  FAppClosing = true;
  FUITimer->stop();
  if (FContext != nullptr) {
    FContext->Cancel();
  }
  if (FTask != nullptr) {
    // A task that outlives the wait finds nobody to report to and releases its tree itself.
    FTask->DetachCompletionNotice();
    FTask->WaitFinished(kScanTaskShutdownWait);
  }
  for (QTreeWidget* View :
       {tvDuplicateFiles, lvDuplicateGroupsColors, tvFolders, lvFiles, lvExt, tvFoldersAndFiles}) {
    DetachFromWindow(View, this);
  }
  tvDuplicateFiles->clear();
  lvDuplicateGroupsColors->clear();
  // Everything that points into the tree goes before the tree.
  for (QTreeWidget* View :
       {lvFiles, lvExt, tvFolders, lvFilesOfSelectedFolder, tvFoldersAndFiles, tvFileExtensions}) {
    View->clear();
  }
  FSelectedFolder = nullptr;
  FAllFiles.clear();
  FDisplayFiles.clear();
  FRoot.reset();
  FTask.reset();
  FContext.reset();
  RestoreDefaultPointer();
}

void TfrmMain::resizeEvent(QResizeEvent* Event) {
  QMainWindow::resizeEvent(Event);
  FormResize();
}

bool TfrmMain::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::Resize && !FAppClosing) {
    AdjustSideListWidths();
  }
  return QMainWindow::eventFilter(Watched, Event);
}

void TfrmMain::FormResize() {
  if (FAppClosing) {
    return;
  }
  AdjustSideListWidths();
  InvalidateAllSurfaces();
}

void TfrmMain::InvalidateAllSurfaces() {
  for (TTreemapSurface* Surface : {PaintBox1, PaintBox2, PaintBox3, PaintBox4}) {
    Surface->Invalidate();
  }
}

void TfrmMain::UpdateSourceControls() {
  const bool PathChosen = rbCustomPath->isChecked() && !btnStop->isEnabled();
  cmbCustomPath->setEnabled(PathChosen);
  btnBrowse->setEnabled(PathChosen);
}

void TfrmMain::AdjustSideListWidths() {
  const int Half = std::max(width() / 2, 200);
  if (pnlBottom1->width() > 0) {
    SetRightListWidth(SplitterLeft,
                      std::max(pnlBottom1->width() - SplitterLeft->handleWidth() - Half, 160));
  }
  if (Panel2->width() > 0) {
    SetRightListWidth(Splitter4, std::max(Panel2->width() - Splitter4->handleWidth() - Half, 160));
  }
  if (pnlBottom2->width() > 0) {
    SetRightListWidth(Splitter3, std::max(pnlBottom2->width() / 2, 200));
  }
  if (Panel3->width() > 0) {
    SetRightListWidth(Splitter5, std::max(Panel3->width() / 2, 200));
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
