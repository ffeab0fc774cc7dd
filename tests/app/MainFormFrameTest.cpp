#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <set>

#include "app/WindowFixture.h"
#include "common/ProductVersion.h"
#include "platform/FileSystem.h"
#include "views/DpiScaling.h"
#include "views/TreemapSurface.h"

namespace dunstrel::testing {
namespace {

class MainFormFrameTest : public WindowTest {
 protected:
  void SetUp() override {
    Volumes.Roots = {FDrive.Path(), "/no/such/drive"};
    OpenWindow();
  }

  TTempDir FDrive;
};

TEST_F(MainFormFrameTest, StartsReadyOnTheFirstTabWithEmptyViews) {
  SaveScreenshot("empty");
  EXPECT_EQ(Window->windowTitle(), QStringLiteral("Dunstrel ") + QLatin1String(kVersionText));
  EXPECT_EQ(Status(), "Ready");
  auto* Pages = Find<QTabWidget>("PageControl1");
  ASSERT_EQ(Pages->count(), 4);
  EXPECT_EQ(Pages->currentWidget()->objectName(), "TabSheet3");
  const char* const PageNames[] = {"TabSheet3", "TabSheet1", "TabSheet2", "TabSheetDuplicates"};
  const char* const Captions[] = {"Files in Folders", "Only Files", "Only Folders", "Duplicates"};
  for (int I = 0; I < 4; ++I) {
    EXPECT_EQ(Pages->widget(I)->objectName(), PageNames[I]);
    EXPECT_EQ(Pages->tabText(I), Captions[I]);
  }
  EXPECT_TRUE(Find<QAction>("FilesinFolders1")->isChecked());
  for (const char* Mode : {"OnlyFiles1", "OnlyFolders1", "Duplicates1"}) {
    EXPECT_FALSE(Find<QAction>(Mode)->isChecked()) << Mode;
  }
  for (QTreeWidget* View : Window->findChildren<QTreeWidget*>()) {
    EXPECT_EQ(View->topLevelItemCount(), 0) << View->objectName().toStdString();
  }
  EXPECT_TRUE(Find<QToolButton>("btnScan")->isEnabled());
  EXPECT_FALSE(Find<QToolButton>("btnStop")->isEnabled());
  EXPECT_TRUE(Find<QAction>("Scan1")->isEnabled());
  EXPECT_FALSE(Find<QAction>("Stop1")->isEnabled());
  EXPECT_EQ(Find<QProgressBar>("pb")->value(), 0);
  EXPECT_TRUE(Find<QAction>("ShowToolbar1")->isChecked());

  // Sources: all drives chosen; the path box holds the drives that exist, the first chosen.
  EXPECT_TRUE(Find<QRadioButton>("rbAllDrives")->isChecked());
  auto* PathBox = Find<QComboBox>("cmbCustomPath");
  ASSERT_EQ(PathBox->count(), 1);
  EXPECT_EQ(PathBox->currentText().toStdString(), FDrive.Path());
  EXPECT_FALSE(PathBox->isEnabled());
  EXPECT_FALSE(Find<QPushButton>("btnBrowse")->isEnabled());

  // Filters: only the pattern is on, and only the checked filter's fields can be changed.
  EXPECT_FALSE(Find<QCheckBox>("chModifiedBefore")->isChecked());
  EXPECT_FALSE(Find<QDateEdit>("dtpDate")->isEnabled());
  EXPECT_FALSE(Find<QCheckBox>("chLessThan")->isChecked());
  EXPECT_FALSE(Find<QLineEdit>("edtLessThan")->isEnabled());
  auto* Units = Find<QComboBox>("cbSizeUnits");
  EXPECT_EQ(Units->currentText(), "Bytes");
  EXPECT_FALSE(Units->isEnabled());
  EXPECT_TRUE(Find<QCheckBox>("chPattern")->isChecked());
  EXPECT_TRUE(Find<QLineEdit>("edtPattern")->isEnabled());
  Click("chLessThan");
  EXPECT_TRUE(Find<QLineEdit>("edtLessThan")->isEnabled());
  EXPECT_TRUE(Units->isEnabled());
  Click("chPattern");
  EXPECT_FALSE(Find<QLineEdit>("edtPattern")->isEnabled());
}

TEST_F(MainFormFrameTest, OpensMaximised) {
  TfrmMain Fresh(TMainWindowServices{&Dialogs, &Shell, &Volumes, nullptr, std::nullopt, &Store()});
  EXPECT_TRUE(Fresh.windowState() & Qt::WindowMaximized);
}

TEST_F(MainFormFrameTest, EveryControlIsThereUnderItsName) {
  const char* const Menus[] = {"File1", "Run1", "View1", "Mode1", "mmLanguage", "Help1"};
  for (const char* Name : Menus) {
    Find<QMenu>(Name);
  }
  const std::pair<const char*, const char*> Actions[] = {{"Open1", "Open / View"},
                                                         {"CopyPath1", "Copy Path"},
                                                         {"OpeninExplorer1", "Show in Folder"},
                                                         {"ShowProperties1", "Show Properties..."},
                                                         {"RemovetoRecycleBin1", "Move to Trash"},
                                                         {"RemoveCompletely1", "Remove Completely"},
                                                         {"Exit1", "Exit"},
                                                         {"Scan1", "Scan"},
                                                         {"Stop1", "Stop"},
                                                         {"FilesinFolders1", "Files in Folders"},
                                                         {"ShowToolbar1", "Show Toolbar"},
                                                         {"utorial1", "Tutorial"},
                                                         {"ContactUs1", "Contact Us"},
                                                         {"VisitWebsite1", "Visit Website"},
                                                         {"About1", "About..."}};
  for (const auto& [Name, Caption] : Actions) {
    EXPECT_EQ(WithoutMnemonic(Find<QAction>(Name)->text()), Caption) << Name;
  }
  const std::pair<const char*, const char*> Buttons[] = {
      {"btnScan", "Scan"},
      {"btnStop", "Stop"},
      {"btnOpen", "Open / View"},
      {"btnCopyPath", "Copy path(s) to clipboard"},
      {"btnOpenExplorer", "Open containing folder"},
      {"btnShowProperties", "Show Properties..."},
      {"btnRemoveToRecycleBin", "Move to Trash"},
      {"btnRemove", "Delete permanently"},
      {"btnWEbsite", "Visit Website"},
      {"btnAbout", "About..."}};
  int PreviousX = -1;
  for (const auto& [Name, Tooltip] : Buttons) {
    auto* Button = Find<QToolButton>(Name);
    EXPECT_EQ(Button->toolTip(), Tooltip) << Name;
    EXPECT_FALSE(Button->icon().isNull()) << Name;
    EXPECT_GT(Button->x(), PreviousX) << Name << " comes after the one before";
    PreviousX = Button->x();
  }
  // Website and About sit at the right end, apart from the others.
  EXPECT_GT(Find<QToolButton>("btnWEbsite")->x() - Find<QToolButton>("btnRemove")->x(),
            2 * Find<QToolButton>("btnRemove")->width());
  const std::pair<const char*, const char*> Captions[] = {{"gbSource", "Sources"},
                                                          {"gbFilters", "Exclude Files"}};
  for (const auto& [Name, Caption] : Captions) {
    EXPECT_EQ(Find<QGroupBox>(Name)->title(), Caption);
  }
  const std::pair<const char*, const char*> Texts[] = {
      {"rbAllDrives", "All Drives"}, {"rbCustomPath", "Path:"},
      {"btnBrowse", "Browse..."},    {"chModifiedBefore", "Modified before:"},
      {"chLessThan", "Less than"},   {"chPattern", "Pattern"}};
  for (const auto& [Name, Caption] : Texts) {
    EXPECT_EQ(Find<QAbstractButton>(Name)->text(), Caption);
  }
  for (const char* Name :
       {"pnlTop", "Panel4", "panStatus", "pb", "pnlTop_LargestFiles", "pnlTop_Folders",
        "pnlTop_FilesInFolders", "Panel1", "Panel2", "pnlBottom1", "pnlBottom2", "Panel3"}) {
    Find<QWidget>(Name);
  }
  for (const char* Name : {"PaintBox1", "PaintBox2", "PaintBox3", "PaintBox4"}) {
    EXPECT_TRUE(Find<TTreemapSurface>(Name)->testAttribute(Qt::WA_OpaquePaintEvent));
  }
  for (const char* Name : {"Splitter6", "Splitter2", "Splitter1", "Splitter7", "Splitter4",
                           "SplitterLeft", "Splitter3", "Splitter5"}) {
    Find<QSplitter>(Name);
  }
  EXPECT_EQ(Find<QTreeView>("tvFolders")->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_EQ(Find<QTreeView>("tvFoldersAndFiles")->selectionMode(),
            QAbstractItemView::ExtendedSelection);
}

// Columns titled in the language shown, the key column hidden; their widths follow the screen's
// density (ScaleToDpi, below).
TEST_F(MainFormFrameTest, ListColumnsAreTitledAndScaledToTheScreen) {
  struct TListCase {
    const char* List;
    QStringList Titles;
    std::set<int> Hidden;  // the column of no width, and growth until results are compared
  };
  const TListCase Cases[] = {
      {"lvFiles", {"Name", "Path", "Size", "Percentage", "Modified", "FullPath", "Growth"}, {5, 6}},
      {"lvExt", {"Extension", "Color", "Bytes", "Percentage", "Files"}, {}},
      {"lvFilesOfSelectedFolder", {"Folder", "Color", "Bytes", "%", "Files", "Growth"}, {5}},
      {"tvFileExtensions", {"Extension", "Color", "Bytes", "Files"}, {}},
      {"lvDuplicateGroupsColors", {"Group", "Color", "Size", "Modified"}, {}},
  };
  for (const TListCase& Case : Cases) {
    auto* List = Find<QTreeView>(Case.List);
    const QAbstractItemModel* Rows = List->model();
    ASSERT_EQ(Rows->columnCount(), Case.Titles.size()) << Case.List;
    EXPECT_EQ(List->selectionMode(), QAbstractItemView::ExtendedSelection) << Case.List;
    for (int I = 0; I < Rows->columnCount(); ++I) {
      EXPECT_EQ(Rows->headerData(I, Qt::Horizontal).toString(), Case.Titles[I]) << Case.List;
      EXPECT_EQ(List->isColumnHidden(I), Case.Hidden.contains(I)) << Case.List << " " << I;
    }
  }
  EXPECT_EQ(Find<QTreeView>("lvFiles")->columnWidth(0), ScaleToDpi(220, Window->logicalDpiX()));
}

TEST(DpiScalingTest, DesignWidthsFollowTheScreenDensity) {
  const struct {
    int Design;
    double Dpi;
    int Expected;
  } Cases[] = {{220, 96, 220}, {220, 144, 330}, {0, 144, 0},
               {95, 120, 119}, {145, 144, 218}, {70, 72, 52}};
  for (const auto& Case : Cases) {
    EXPECT_EQ(ScaleToDpi(Case.Design, Case.Dpi), Case.Expected) << Case.Design << "@" << Case.Dpi;
  }
}

TEST_F(MainFormFrameTest, SideListsTakeWhatTheLeftHalfLeaves) {
  Window->resize(1200, 760);
  QTest::qWait(50);
  ASSERT_EQ(Window->width(), 1200);
  auto* Pages = Find<QTabWidget>("PageControl1");
  const struct {
    int Page;
    const char* Left;
    const char* Right;
  } Halves[] = {{0, "tvFoldersAndFiles", "tvFileExtensions"}, {1, "lvFiles", "lvExt"}};
  for (const auto& Half : Halves) {
    Pages->setCurrentIndex(Half.Page);
    QTest::qWait(20);
    EXPECT_EQ(Find<QWidget>(Half.Left)->width(), 600) << Half.Left;
    EXPECT_GE(Find<QWidget>(Half.Right)->width(), 160) << Half.Right;
  }
  Pages->setCurrentIndex(2);
  QTest::qWait(20);
  EXPECT_EQ(Find<QWidget>("lvFilesOfSelectedFolder")->width(),
            std::max(Find<QWidget>("pnlBottom2")->width() / 2, 200));
}

// Whether Child lies whole inside its parent.
bool InsideParent(const QWidget* Child) {
  return Child->parentWidget()->rect().contains(Child->geometry());
}

class LeastSizeTest : public WindowTest {
 protected:
  void TearDown() override {
    WindowTest::TearDown();
    QApplication::setFont(FFont);
  }
  const QFont FFont = QApplication::font();
};

TEST_F(LeastSizeTest, EveryControlStaysWholeAtTheLeastSizeAt96And144Dpi) {
  for (const double TextScale : {1.0, 1.5}) {
    SCOPED_TRACE(TextScale);
    QFont Font = FFont;
    Font.setPointSizeF(FFont.pointSizeF() * TextScale);
    QApplication::setFont(Font);
    OpenWindow();
    Window->resize(200, 150);
    QTest::qWait(50);
    EXPECT_EQ(Window->size(), Window->minimumSize());
    for (const char* Group : {"gbSource", "gbFilters"}) {
      auto* Box = Find<QGroupBox>(Group);
      EXPECT_TRUE(InsideParent(Box)) << Group;
      const QList<QWidget*> Controls = Box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
      for (const QWidget* Control : Controls) {
        const std::string Name = Control->objectName().toStdString();
        EXPECT_TRUE(InsideParent(Control)) << Name;
        EXPECT_GE(Control->width(), Control->minimumSizeHint().width()) << Name;
        EXPECT_GE(Control->height(), Control->minimumSizeHint().height()) << Name;
        for (const QWidget* Other : Controls) {
          EXPECT_TRUE(Other == Control || !Other->geometry().intersects(Control->geometry()))
              << Name << " and " << Other->objectName().toStdString();
        }
      }
    }
    EXPECT_FALSE(
        Find<QWidget>("gbSource")->geometry().intersects(Find<QWidget>("gbFilters")->geometry()));
    for (const char* Name : {"btnScan", "btnRemove", "btnWEbsite", "btnAbout", "pb"}) {
      EXPECT_TRUE(InsideParent(Find<QWidget>(Name))) << Name;
    }
    EXPECT_GE(Find<QWidget>("lblStatus")->height(), QFontMetrics(Font).height());
    EXPECT_GE(Find<QWidget>("PaintBox3")->height(), 100);
    SaveScreenshot(TextScale == 1.0 ? "least-size-96dpi" : "least-size-144dpi");
    Window.reset();
  }
}

TEST_F(MainFormFrameTest, PathControlsFollowTheRadioButtons) {
  auto* PathBox = Find<QComboBox>("cmbCustomPath");
  auto* Browse = Find<QPushButton>("btnBrowse");
  Click("rbCustomPath");
  EXPECT_TRUE(PathBox->isEnabled());
  EXPECT_TRUE(Browse->isEnabled());
  Click("rbAllDrives");
  EXPECT_FALSE(PathBox->isEnabled());
  EXPECT_FALSE(Browse->isEnabled());
}

TEST_F(MainFormFrameTest, BrowseStartsAtTheCurrentFolderAndWritesTheChoiceWithADelimiter) {
  Click("btnBrowse");  // disabled while "All Drives" is chosen
  EXPECT_TRUE(Dialogs.PickerStarts.empty());

  ChoosePath(QString());
  Dialogs.PickerAnswer = QStringLiteral("/chosen/folder");
  Click("btnBrowse");
  ASSERT_EQ(Dialogs.PickerStarts.size(), 1u);
  EXPECT_EQ(Dialogs.PickerCaptions[0], "Select folder to scan");
  EXPECT_EQ(Dialogs.PickerStarts[0].toStdString(), platform::CurrentDirectory() + "/");
  EXPECT_EQ(Find<QComboBox>("cmbCustomPath")->currentText(), "/chosen/folder/");

  Dialogs.PickerAnswer.reset();  // cancelled: the text stays
  Click("btnBrowse");
  EXPECT_EQ(Dialogs.PickerStarts[1], QString()) << "a start folder that does not exist";
  EXPECT_EQ(Find<QComboBox>("cmbCustomPath")->currentText(), "/chosen/folder/");
}

TEST_F(MainFormFrameTest, ToolbarToggleHidesAndRestoresTheWholeTopPanel) {
  auto* Top = Find<QWidget>("pnlTop");
  Find<QAction>("ShowToolbar1")->trigger();
  EXPECT_FALSE(Find<QAction>("ShowToolbar1")->isChecked());
  EXPECT_FALSE(Top->isVisible());
  EXPECT_FALSE(Find<QGroupBox>("gbSource")->isVisible());
  EXPECT_FALSE(Find<QGroupBox>("gbFilters")->isVisible());
  Find<QAction>("ShowToolbar1")->trigger();
  QTest::qWait(20);
  EXPECT_TRUE(Top->isVisible());
  EXPECT_LT(Top->geometry().bottom(), Find<QWidget>("PageControl1")->geometry().top());
}

TEST_F(MainFormFrameTest, AboutBoxAndWebLinks) {
  Find<QAction>("About1")->trigger();
  Click("btnAbout");
  ASSERT_EQ(Dialogs.Notices.size(), 2u);
  EXPECT_EQ(Dialogs.Notices[0], "Dunstrel\nVersion: " + QLatin1String(kVersionText) +
                                    "\n\nWebsite: " + QStringLiteral(DUNSTREL_SITE_URL));
  EXPECT_EQ(Dialogs.Notices[1], Dialogs.Notices[0]);

  Find<QAction>("utorial1")->trigger();
  Find<QAction>("ContactUs1")->trigger();
  Find<QAction>("VisitWebsite1")->trigger();
  Click("btnWEbsite");
  const QString Site = QStringLiteral(DUNSTREL_SITE_URL);
  EXPECT_EQ(Shell.Addresses,
            (std::vector<QString>{Site + "/redirect/tutorial-dunstrel.html", Site + "/support.html",
                                  Site + "/", Site + "/"}));
}

TEST_F(MainFormFrameTest, SurfacesShowThePlaceholderOnTheButtonFace) {
  auto* Surface = Find<TTreemapSurface>("PaintBox3");
  const QImage Picture = Surface->grab().toImage();
  ASSERT_FALSE(Picture.isNull());
  const QColor Face = Surface->palette().color(QPalette::Button);
  EXPECT_EQ(Picture.pixelColor(0, 0), Face);
  EXPECT_EQ(Picture.pixelColor(Picture.width() - 1, Picture.height() - 1), Face);
  // The text is a centred band: pixels of another colour in the middle row, none at the top.
  int Marked = 0;
  int Left = Picture.width();
  int Right = 0;
  const int Middle = Picture.height() / 2;
  for (int Y = Middle - 8; Y <= Middle + 8; ++Y) {
    for (int X = 0; X < Picture.width(); ++X) {
      if (Picture.pixelColor(X, Y) != Face) {
        ++Marked;
        Left = std::min(Left, X);
        Right = std::max(Right, X);
      }
    }
  }
  EXPECT_GT(Marked, 100);
  EXPECT_NEAR(Left + Right, Picture.width(), 12) << "centred horizontally";
  for (int X = 0; X < Picture.width(); ++X) {
    ASSERT_EQ(Picture.pixelColor(X, 2), Face);
  }
}

TEST_F(MainFormFrameTest, ExitClosesTheWindow) {
  Find<QAction>("Exit1")->trigger();
  EXPECT_FALSE(Window->isVisible());
}

}  // namespace
}  // namespace dunstrel::testing
