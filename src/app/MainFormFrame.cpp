// The main window's controls: what exists, where it sits, and which handler each event reaches.
// Captions come from ApplyTranslation.
#include <QAction>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/FileCommands.h"
#include "app/FilterPanel.h"
#include "app/MainForm.h"
#include "app/StatusStrip.h"
#include "app/ToolbarIcons.h"
#include "views/DuplicatesView.h"
#include "views/FilesInFoldersView.h"
#include "views/FilesView.h"
#include "views/FoldersView.h"
#include "views/Named.h"

namespace dunstrel {

namespace {

constexpr int kTopPanelHeight = 116;
constexpr int kToolbarHeight = 41;
constexpr int kToolButtonWidth = 60;
constexpr int kToolIconSize = 35;
constexpr int kGroupHeight = 53;
constexpr int kSourceGroupWidth = 470;
constexpr int kGroupSpacing = 19;

QAction* NamedAction(QMenu* Menu, const char* Name) {
  return Named(Menu->addAction(QString()), Name);
}

QToolButton* MakeToolButton(QWidget* Parent, const char* Name, const char* IconName) {
  auto* Button = Named(new QToolButton(Parent), Name);
  Button->setAutoRaise(true);
  Button->setFixedSize(kToolButtonWidth, kToolbarHeight);
  Button->setIconSize(QSize(kToolIconSize, kToolIconSize));
  Button->setIcon(ToolbarIcon(QLatin1String(IconName)));
  Button->setFocusPolicy(Qt::NoFocus);
  return Button;
}

}  // namespace

void TfrmMain::BuildFrame() {
  BuildMenus();
  auto* Client = Named(new QWidget(this), "ClientArea");
  auto* Layout = new QVBoxLayout(Client);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(0);
  Layout->addWidget(BuildTopPanel());
  Layout->addWidget(BuildPages(), 1);
  FStatus = new TStatusStrip(Client);
  Layout->addWidget(FStatus);
  setCentralWidget(Client);
  ConnectHandlers();
}

void TfrmMain::BuildMenus() {
  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  File1 = Named(menuBar()->addMenu(QString()), "File1");
  Open1 = NamedAction(File1, "Open1");
  CopyPath1 = NamedAction(File1, "CopyPath1");
  OpeninExplorer1 = NamedAction(File1, "OpeninExplorer1");
  ShowProperties1 = NamedAction(File1, "ShowProperties1");
  File1->addSeparator();
  RemovetoRecycleBin1 = NamedAction(File1, "RemovetoRecycleBin1");
  RemoveCompletely1 = NamedAction(File1, "RemoveCompletely1");
  File1->addSeparator();
  OpenScan1 = NamedAction(File1, "OpenScan1");
  SaveScanAs1 = NamedAction(File1, "SaveScanAs1");
  File1->addSeparator();
  Exit1 = NamedAction(File1, "Exit1");

  Run1 = Named(menuBar()->addMenu(QString()), "Run1");
  Scan1 = NamedAction(Run1, "Scan1");
  Stop1 = NamedAction(Run1, "Stop1");

  View1 = Named(menuBar()->addMenu(QString()), "View1");
  Mode1 = Named(View1->addMenu(QString()), "Mode1");
  FilesinFolders1 = NamedAction(Mode1, "FilesinFolders1");
  OnlyFiles1 = NamedAction(Mode1, "OnlyFiles1");
  OnlyFolders1 = NamedAction(Mode1, "OnlyFolders1");
  Duplicates1 = NamedAction(Mode1, "Duplicates1");
  for (QAction* Mode : {FilesinFolders1, OnlyFiles1, OnlyFolders1, Duplicates1}) {
    Mode->setCheckable(true);
  }
  FilesinFolders1->setChecked(true);
  View1->addSeparator();
  ShowToolbar1 = NamedAction(View1, "ShowToolbar1");
  ShowToolbar1->setCheckable(true);
  ShowToolbar1->setChecked(true);
  View1->addSeparator();
  mmLanguage = Named(View1->addMenu(QString()), "mmLanguage");
  BuildLanguageMenu();

  Help1 = Named(menuBar()->addMenu(QString()), "Help1");
  Tutorial1 = NamedAction(Help1, "utorial1");
  Help1->addSeparator();
  ContactUs1 = NamedAction(Help1, "ContactUs1");
  VisitWebsite1 = NamedAction(Help1, "VisitWebsite1");
  Help1->addSeparator();
  About1 = NamedAction(Help1, "About1");
}

QWidget* TfrmMain::BuildTopPanel() {
  pnlTop = Named(new QWidget, "pnlTop");
  pnlTop->setFixedHeight(kTopPanelHeight);
  // Like the rest of the window, the top panel may be narrower than its controls: they are
  // cut off at the right instead of holding the window wide.
  pnlTop->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  auto* Layout = new QVBoxLayout(pnlTop);
  Layout->setContentsMargins(8, 8, 4, 13);
  Layout->setSpacing(1);
  Layout->addWidget(BuildToolbar());
  auto* Groups = new QHBoxLayout;
  Groups->setSpacing(kGroupSpacing);
  FSourcePanel = new TSourcePanel(*FDialogs, *FVolumes, pnlTop);
  FSourcePanel->setFixedSize(kSourceGroupWidth, kGroupHeight);
  FFilterPanel = new TFilterPanel(FFormatSettings, pnlTop);
  FFilterPanel->setFixedHeight(kGroupHeight);
  Groups->addWidget(FSourcePanel);
  Groups->addWidget(FFilterPanel, 1);
  Layout->addLayout(Groups);
  return pnlTop;
}

QWidget* TfrmMain::BuildToolbar() {
  Panel4 = Named(new QWidget, "Panel4");
  Panel4->setFixedHeight(kToolbarHeight);
  auto* Layout = new QHBoxLayout(Panel4);
  Layout->setContentsMargins(0, 0, 4, 0);
  Layout->setSpacing(0);
  btnScan = MakeToolButton(Panel4, "btnScan", "scan");
  btnStop = MakeToolButton(Panel4, "btnStop", "stop");
  btnOpen = MakeToolButton(Panel4, "btnOpen", "open-file");
  btnCopyPath = MakeToolButton(Panel4, "btnCopyPath", "clipboard");
  btnOpenExplorer = MakeToolButton(Panel4, "btnOpenExplorer", "open-folder");
  btnShowProperties = MakeToolButton(Panel4, "btnShowProperties", "file-properties");
  btnRemoveToRecycleBin = MakeToolButton(Panel4, "btnRemoveToRecycleBin", "recycle");
  btnRemove = MakeToolButton(Panel4, "btnRemove", "delete-file");
  btnWebsite = MakeToolButton(Panel4, "btnWEbsite", "domain");
  btnAbout = MakeToolButton(Panel4, "btnAbout", "info");
  for (QToolButton* Button : {btnScan, btnStop, btnOpen, btnCopyPath, btnOpenExplorer,
                              btnShowProperties, btnRemoveToRecycleBin, btnRemove}) {
    Layout->addWidget(Button);
  }
  Layout->addStretch(1);
  Layout->addWidget(btnWebsite);
  Layout->addWidget(btnAbout);
  return Panel4;
}

QTabWidget* TfrmMain::BuildPages() {
  PageControl1 = Named(new QTabWidget, "PageControl1");
  FFilesInFoldersView = new TFilesInFoldersView(*this);
  FFilesView = new TFilesView(*this);
  FFoldersView = new TFoldersView(*this);
  FDuplicatesView = new TDuplicatesView(*this);
  for (TResultTab* Tab : Tabs()) {
    PageControl1->addTab(Tab, QString());
    connect(Tab, &TResultTab::Filled, this, &TfrmMain::FillNextTab);
  }
  PageControl1->setCurrentIndex(0);
  return PageControl1;
}

void TfrmMain::FitFrameToText() {
  // The design sizes hold the captions at 96 dots per inch in English; larger text or longer
  // words make the boxes grow rather than cut their controls.
  FSourcePanel->setFixedHeight(std::max(kGroupHeight, FSourcePanel->minimumSizeHint().height()));
  FFilterPanel->setFixedHeight(std::max(kGroupHeight, FFilterPanel->minimumSizeHint().height()));
  pnlTop->setFixedHeight(std::max(kTopPanelHeight, pnlTop->layout()->minimumSize().height()));
  FStatus->setFixedHeight(FStatus->LeastHeight());
  FitSourceGroupToWidth();
  // The window is never narrower than the top panel's controls side by side, nor lower than
  // the panels above and below a tab plus a tab's own least height.
  const QMargins Margins = pnlTop->layout()->contentsMargins();
  const int Width = std::max(Panel4->minimumSizeHint().width(),
                             FSourcePanel->minimumSizeHint().width() + kGroupSpacing +
                                 FFilterPanel->minimumSizeHint().width()) +
                    Margins.left() + Margins.right();
  const int Height = menuBar()->sizeHint().height() + pnlTop->height() +
                     PageControl1->minimumSizeHint().height() + FStatus->height();
  setMinimumSize(Width, Height);
}

void TfrmMain::FitSourceGroupToWidth() {
  // The source box keeps its design width while there is room, and gives way down to what its
  // own controls need before the filter box's controls would be cut.
  const QMargins Margins = pnlTop->layout()->contentsMargins();
  const int Least = FSourcePanel->minimumSizeHint().width();
  const int Room = width() - Margins.left() - Margins.right() - kGroupSpacing -
                   FFilterPanel->minimumSizeHint().width();
  FSourcePanel->setFixedWidth(std::clamp(Room, Least, std::max(Least, kSourceGroupWidth)));
}

void TfrmMain::ConnectHandlers() {
  connect(btnScan, &QToolButton::clicked, this, &TfrmMain::StartScan);
  connect(Scan1, &QAction::triggered, this, &TfrmMain::StartScan);
  connect(FSourcePanel, &TSourcePanel::ScanRequested, this, &TfrmMain::StartScan);
  connect(btnStop, &QToolButton::clicked, this, &TfrmMain::StopScan);
  connect(Stop1, &QAction::triggered, this, &TfrmMain::StopScan);
  connect(ShowToolbar1, &QAction::triggered, this, &TfrmMain::ToggleToolbar);
  connect(Exit1, &QAction::triggered, this, &QWidget::close);
  connect(OpenScan1, &QAction::triggered, this, &TfrmMain::OpenScan);
  connect(SaveScanAs1, &QAction::triggered, this, &TfrmMain::SaveScanAs);
  connect(btnAbout, &QToolButton::clicked, this, &TfrmMain::ShowAbout);
  connect(About1, &QAction::triggered, this, &TfrmMain::ShowAbout);
  connect(ContactUs1, &QAction::triggered, this, [this] { OpenSitePage("/support.html"); });
  connect(btnWebsite, &QToolButton::clicked, this, [this] { OpenSitePage("/"); });
  connect(VisitWebsite1, &QAction::triggered, this, [this] { OpenSitePage("/"); });
  connect(Tutorial1, &QAction::triggered, this,
          [this] { OpenSitePage("/redirect/tutorial-dunstrel.html"); });
  FFileCommands = new TFileCommands(
      *FDialogs, *FShell, FFormatSettings, [this] { return ShownTab(); }, this);
  FFileCommands->Connect(Open1, btnOpen, &TFileCommands::OpenSelected);
  FFileCommands->Connect(CopyPath1, btnCopyPath, &TFileCommands::CopySelectedPaths);
  FFileCommands->Connect(OpeninExplorer1, btnOpenExplorer, &TFileCommands::ShowSelectedInFolder);
  FFileCommands->Connect(ShowProperties1, btnShowProperties,
                         &TFileCommands::ShowSelectedProperties);
  FFileCommands->Connect(RemovetoRecycleBin1, btnRemoveToRecycleBin,
                         &TFileCommands::MoveSelectedToTrash);
  FFileCommands->Connect(RemoveCompletely1, btnRemove, &TFileCommands::DeleteSelected);
  connect(PageControl1, &QTabWidget::currentChanged, this, &TfrmMain::TabChanged);
  const QAction* const Modes[] = {FilesinFolders1, OnlyFiles1, OnlyFolders1, Duplicates1};
  for (int Page = 0; Page < 4; ++Page) {
    connect(Modes[Page], &QAction::triggered, this, [this, Page] { ShowPage(Page); });
  }
}

}  // namespace dunstrel
