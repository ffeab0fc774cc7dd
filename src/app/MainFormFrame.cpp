// The main window's controls: what exists, where it sits, and which handler each event reaches.
// Captions come from ApplyTranslation.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>
#include <utility>

#include "app/ElidedLabel.h"
#include "app/MainForm.h"
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
constexpr int kStatusHeight = 27;

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
  Layout->addWidget(BuildStatusStrip());
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
  utorial1 = NamedAction(Help1, "utorial1");
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
  Groups->addWidget(BuildSourceGroup());
  Groups->addWidget(BuildFilterGroup(), 1);
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
  btnWEbsite = MakeToolButton(Panel4, "btnWEbsite", "domain");
  btnAbout = MakeToolButton(Panel4, "btnAbout", "info");
  for (QToolButton* Button : {btnScan, btnStop, btnOpen, btnCopyPath, btnOpenExplorer,
                              btnShowProperties, btnRemoveToRecycleBin, btnRemove}) {
    Layout->addWidget(Button);
  }
  Layout->addStretch(1);
  Layout->addWidget(btnWEbsite);
  Layout->addWidget(btnAbout);
  return Panel4;
}

QGroupBox* TfrmMain::BuildSourceGroup() {
  gbSource = Named(new QGroupBox, "gbSource");
  gbSource->setFixedSize(kSourceGroupWidth, kGroupHeight);
  auto* Layout = new QHBoxLayout(gbSource);
  Layout->setContentsMargins(8, 2, 8, 4);
  rbAllDrives = Named(new QRadioButton(gbSource), "rbAllDrives");
  rbAllDrives->setChecked(true);
  rbCustomPath = Named(new QRadioButton(gbSource), "rbCustomPath");
  cmbCustomPath = Named(new QComboBox(gbSource), "cmbCustomPath");
  cmbCustomPath->setEditable(true);
  cmbCustomPath->setInsertPolicy(QComboBox::NoInsert);
  // Room for a short path even in the narrowest window.
  cmbCustomPath->setMinimumContentsLength(12);
  cmbCustomPath->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  btnBrowse = Named(new QPushButton(gbSource), "btnBrowse");
  Layout->addWidget(rbAllDrives);
  Layout->addWidget(rbCustomPath);
  Layout->addWidget(cmbCustomPath, 1);
  Layout->addWidget(btnBrowse);
  return gbSource;
}

QGroupBox* TfrmMain::BuildFilterGroup() {
  gbFilters = Named(new QGroupBox, "gbFilters");
  gbFilters->setFixedHeight(kGroupHeight);
  auto* Layout = new QHBoxLayout(gbFilters);
  Layout->setContentsMargins(8, 2, 8, 4);
  chModifiedBefore = Named(new QCheckBox(gbFilters), "chModifiedBefore");
  dtpDate = Named(new QDateEdit(QDate(2026, 1, 14), gbFilters), "dtpDate");
  dtpDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  dtpDate->setCalendarPopup(true);
  chLessThan = Named(new QCheckBox(gbFilters), "chLessThan");
  edtLessThan = Named(new QLineEdit(QStringLiteral("1"), gbFilters), "edtLessThan");
  edtLessThan->setFixedWidth(60);
  cbSizeUnits = Named(new QComboBox(gbFilters), "cbSizeUnits");
  cbSizeUnits->addItems({QString(), QString(), QString(), QString(), QString()});
  cbSizeUnits->setCurrentIndex(0);
  chPattern = Named(new QCheckBox(gbFilters), "chPattern");
  chPattern->setChecked(true);
  edtPattern =
      Named(new QLineEdit(QStringLiteral("*.sys;*somefilename*"), gbFilters), "edtPattern");
  for (QWidget* Control : std::initializer_list<QWidget*>{chModifiedBefore, dtpDate, chLessThan,
                                                          edtLessThan, cbSizeUnits, chPattern}) {
    Layout->addWidget(Control);
  }
  edtPattern->setMinimumWidth(edtPattern->fontMetrics().averageCharWidth() * 14);
  Layout->addWidget(edtPattern, 1);
  return gbFilters;
}

QTabWidget* TfrmMain::BuildPages() {
  PageControl1 = Named(new QTabWidget, "PageControl1");
  FFilesInFoldersView = new TFilesInFoldersView(*this, FResults, FHierMap);
  FFilesView = new TFilesView(*this, FResults, FTreemap);
  FFoldersView = new TFoldersView(*this, FResults, FFolderMap);
  FDuplicatesView = new TDuplicatesView(*this, FResults, FDupeMap);
  for (TResultTab* View : Views()) {
    PageControl1->addTab(View, QString());
  }
  PageControl1->setCurrentIndex(0);
  return PageControl1;
}

QWidget* TfrmMain::BuildStatusStrip() {
  panStatus = Named(new QWidget, "panStatus");
  panStatus->setFixedHeight(kStatusHeight);
  auto* Layout = new QHBoxLayout(panStatus);
  Layout->setContentsMargins(6, 0, 4, 0);
  lblStatus = Named(new TElidedLabel(QStringLiteral("Ready"), panStatus), "lblStatus");
  lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  lblStatus->setTextFormat(Qt::PlainText);
  lblStatus->setMinimumWidth(1);
  lblStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  pb = Named(new QProgressBar(panStatus), "pb");
  pb->setFixedSize(314, 16);
  pb->setTextVisible(false);
  pb->setRange(0, 100);
  pb->setValue(0);
  Layout->addWidget(lblStatus, 1);
  Layout->addWidget(pb);
  return panStatus;
}

void TfrmMain::FitFrameToText() {
  // The design sizes hold the captions at 96 dots per inch in English; larger text or longer
  // words make the boxes grow rather than cut their controls.
  gbSource->setFixedHeight(std::max(kGroupHeight, gbSource->minimumSizeHint().height()));
  gbFilters->setFixedHeight(std::max(kGroupHeight, gbFilters->minimumSizeHint().height()));
  pnlTop->setFixedHeight(std::max(kTopPanelHeight, pnlTop->layout()->minimumSize().height()));
  panStatus->setFixedHeight(
      std::max(kStatusHeight, panStatus->layout()->minimumSize().height() + 4));
  FitSourceGroupToWidth();
  // The window is never narrower than the top panel's controls side by side, nor lower than
  // the panels above and below a tab plus a tab's own least height.
  const QMargins Margins = pnlTop->layout()->contentsMargins();
  const int Width = std::max(Panel4->minimumSizeHint().width(),
                             gbSource->minimumSizeHint().width() + kGroupSpacing +
                                 gbFilters->minimumSizeHint().width()) +
                    Margins.left() + Margins.right();
  const int Height = menuBar()->sizeHint().height() + pnlTop->height() +
                     PageControl1->minimumSizeHint().height() + panStatus->height();
  setMinimumSize(Width, Height);
}

void TfrmMain::FitSourceGroupToWidth() {
  // The source box keeps its design width while there is room, and gives way down to what its
  // own controls need before the filter box's controls would be cut.
  const QMargins Margins = pnlTop->layout()->contentsMargins();
  const int Least = gbSource->minimumSizeHint().width();
  const int Room = width() - Margins.left() - Margins.right() - kGroupSpacing -
                   gbFilters->minimumSizeHint().width();
  gbSource->setFixedWidth(std::clamp(Room, Least, std::max(Least, kSourceGroupWidth)));
}

void TfrmMain::SetUpKeys() {
  Open1->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
  CopyPath1->setShortcuts(QKeySequence::Copy);
  RemovetoRecycleBin1->setShortcuts(QKeySequence::Delete);
  RemoveCompletely1->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Delete));
  OpenScan1->setShortcuts(QKeySequence::Open);
  SaveScanAs1->setShortcuts(QKeySequence::keyBindings(QKeySequence::Save) +
                            QKeySequence::keyBindings(QKeySequence::SaveAs));
  Stop1->setShortcuts(QKeySequence::Cancel);
  // Ctrl+Q where the desktop names no key of its own for quitting.
  const QList<QKeySequence> Quit = QKeySequence::keyBindings(QKeySequence::Quit);
  Exit1->setShortcuts(Quit.isEmpty() ? QList{QKeySequence(Qt::CTRL | Qt::Key_Q)} : Quit);
  // The file commands act on the items of the result tabs, so their keys work where the tabs
  // have the focus and leave Enter, Delete and Ctrl+C to the path box and the filters' fields.
  for (QAction* Command : {Open1, CopyPath1, OpeninExplorer1, ShowProperties1, RemovetoRecycleBin1,
                           RemoveCompletely1}) {
    Command->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    PageControl1->addAction(Command);
  }
  // F10 opens the first menu, as it does in other desktop programs.
  auto* MenuKey = Named(new QAction(this), "MenuKey");
  MenuKey->setShortcut(QKeySequence(Qt::Key_F10));
  addAction(MenuKey);
  connect(MenuKey, &QAction::triggered, this,
          [this] { menuBar()->setActiveAction(File1->menuAction()); });
}

void TfrmMain::SetUpMenuIcons() {
  // The commands that have a button show its picture; the others the desktop theme's, if any.
  const std::pair<QAction*, QToolButton*> WithButtons[] = {
      {Scan1, btnScan},
      {Stop1, btnStop},
      {Open1, btnOpen},
      {CopyPath1, btnCopyPath},
      {OpeninExplorer1, btnOpenExplorer},
      {ShowProperties1, btnShowProperties},
      {RemovetoRecycleBin1, btnRemoveToRecycleBin},
      {RemoveCompletely1, btnRemove},
      {VisitWebsite1, btnWEbsite},
      {About1, btnAbout}};
  for (const auto& [Action, Button] : WithButtons) {
    Action->setIcon(Button->icon());
  }
  const std::pair<QAction*, const char*> FromTheme[] = {{OpenScan1, "document-open"},
                                                        {SaveScanAs1, "document-save-as"},
                                                        {Exit1, "application-exit"},
                                                        {utorial1, "help-contents"}};
  for (const auto& [Action, Name] : FromTheme) {
    Action->setIcon(QIcon::fromTheme(QLatin1String(Name)));
  }
}

void TfrmMain::ConnectHandlers() {
  SetUpKeys();
  SetUpMenuIcons();
  connect(btnScan, &QToolButton::clicked, this, &TfrmMain::btnScanClick);
  connect(Scan1, &QAction::triggered, this, &TfrmMain::btnScanClick);
  connect(btnStop, &QToolButton::clicked, this, &TfrmMain::btnStopClick);
  connect(Stop1, &QAction::triggered, this, &TfrmMain::btnStopClick);
  connect(btnBrowse, &QPushButton::clicked, this, &TfrmMain::btnBrowseClick);
  // Enter in the path box scans, as it would search in a search box.
  connect(cmbCustomPath->lineEdit(), &QLineEdit::returnPressed, this, [this] {
    if (btnScan->isEnabled()) {
      btnScanClick();
    }
  });
  connect(chModifiedBefore, &QCheckBox::clicked, this, &TfrmMain::chModifiedBeforeClick);
  connect(chLessThan, &QCheckBox::clicked, this, &TfrmMain::chLessThanClick);
  connect(chPattern, &QCheckBox::clicked, this, &TfrmMain::chLessThanClick);
  connect(ShowToolbar1, &QAction::triggered, this, &TfrmMain::ShowToolbar1Click);
  connect(Exit1, &QAction::triggered, this, &TfrmMain::Exit1Click);
  connect(OpenScan1, &QAction::triggered, this, &TfrmMain::OpenScan1Click);
  connect(SaveScanAs1, &QAction::triggered, this, &TfrmMain::SaveScanAs1Click);
  connect(btnAbout, &QToolButton::clicked, this, &TfrmMain::btnAboutClick);
  connect(About1, &QAction::triggered, this, &TfrmMain::btnAboutClick);
  connect(ContactUs1, &QAction::triggered, this, &TfrmMain::ContactUs1Click);
  connect(btnWEbsite, &QToolButton::clicked, this, &TfrmMain::btnWEbsiteClick);
  connect(VisitWebsite1, &QAction::triggered, this, &TfrmMain::btnWEbsiteClick);
  connect(utorial1, &QAction::triggered, this, &TfrmMain::utorial1Click);
  const std::pair<QAction*, QToolButton*> FileCommands[] = {
      {Open1, btnOpen},
      {CopyPath1, btnCopyPath},
      {OpeninExplorer1, btnOpenExplorer},
      {ShowProperties1, btnShowProperties},
      {RemovetoRecycleBin1, btnRemoveToRecycleBin},
      {RemoveCompletely1, btnRemove}};
  void (TfrmMain::*const FileHandlers[])() = {&TfrmMain::btnOpenClick,
                                              &TfrmMain::SpeedButton1Click,
                                              &TfrmMain::btnOpenExplorerClick,
                                              &TfrmMain::btnShowPropertiesClick,
                                              &TfrmMain::btnRemoveToRecycleBinClick,
                                              &TfrmMain::btnRemoveClick};
  for (size_t I = 0; I < std::size(FileCommands); ++I) {
    connect(FileCommands[I].first, &QAction::triggered, this, FileHandlers[I]);
    connect(FileCommands[I].second, &QToolButton::clicked, this, FileHandlers[I]);
  }
  connect(PageControl1, &QTabWidget::currentChanged, this, &TfrmMain::PageControl1Change);
  const QAction* const Modes[] = {FilesinFolders1, OnlyFiles1, OnlyFolders1, Duplicates1};
  for (int Page = 0; Page < 4; ++Page) {
    connect(Modes[Page], &QAction::triggered, this, [this, Page] { ShowPage(Page); });
  }
}

}  // namespace dunstrel
