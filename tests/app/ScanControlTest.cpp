#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "app/WindowFixture.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "support/ScopedEnvironment.h"

namespace dunstrel::testing {
namespace {

// Three files of 1.5 KB together, and one that the default pattern leaves out.
void MakeSmallTree(const TTempDir& Dir) {
  Dir.MakeFile("a.txt", 1024);
  Dir.MakeFile("sub/b.bin", 512);
  Dir.MakeFile("c.dat", 0);
  Dir.MakeFile("d.sys", 4096);
}

void MakeManyFolders(const TTempDir& Dir, int Count) {
  for (int I = 0; I < Count; ++I) {
    Dir.MakeFile("f" + std::to_string(I) + "/x.bin", 100);
  }
}

class ScanControlTest : public WindowTest {
 protected:
  void SetUp() override { MakeSmallTree(FTree); }

  QString TreePath() const { return QString::fromStdString(FTree.Path()); }

  void StartScanOf(const QString& Typed) {
    ChoosePath(Typed);
    Click("btnScan");
  }

  // Waits until the walk has listed a few folders.
  bool WaitUntilWalking(int Folders = 3) const {
    return QTest::qWaitFor([&] { return Pace.Listed.load() >= Folders; }, 5000);
  }

  void ExpectIdleAfterwards() const {
    EXPECT_TRUE(Find<QToolButton>("btnScan")->isEnabled());
    EXPECT_FALSE(Find<QToolButton>("btnStop")->isEnabled());
    EXPECT_TRUE(Find<QAction>("Scan1")->isEnabled());
    EXPECT_FALSE(Find<QAction>("Stop1")->isEnabled());
    auto* Bar = Find<QProgressBar>("pb");
    EXPECT_EQ(Bar->value(), 0);
    EXPECT_EQ(Bar->maximum(), 1000) << "normal style, not the marquee";
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  }

  TTempDir FTree;
};

TEST_F(ScanControlTest, AFolderScanEndsInTheSummary) {
  OpenWindow();
  StartScanOf(TreePath() + "/");
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(Status(), "Done. Total files: 3   Total size: 1.5 KB");
  EXPECT_TRUE(Dialogs.Errors.empty());
  ExpectIdleAfterwards();
  ASSERT_NE(Window->ScanRoot(), nullptr);
  EXPECT_EQ(Window->ScanRoot()->FullPath(), FTree.Path());
  EXPECT_TRUE(Find<QComboBox>("cmbCustomPath")->isEnabled());
  EXPECT_TRUE(Find<QGroupBox>("gbFilters")->isEnabled());
  EXPECT_FALSE(Find<QDateEdit>("dtpDate")->isEnabled());
  EXPECT_TRUE(Find<QLineEdit>("edtPattern")->isEnabled());
  SaveScreenshot("done");
}

TEST_F(ScanControlTest, RegionalDecimalSeparatorIsReadAndShown) {
  OpenWindow({",", "."});
  Click("chLessThan");
  Find<QLineEdit>("edtLessThan")->setText("0,5");
  Find<QComboBox>("cbSizeUnits")->setCurrentIndex(1);  // KB: files under 512 bytes are left out
  StartScanOf(TreePath());
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(Status(), "Done. Total files: 2   Total size: 1,5 KB");
}

TEST_F(ScanControlTest, HomeAndRelativePathsAreMadeAbsolute) {
  const TScopedEnvironment Home("HOME", FTree.Path());
  const std::string Parent = platform::ParentPath(FTree.Path());
  const std::string Previous = platform::CurrentDirectory();
  ASSERT_EQ(chdir(Parent.c_str()), 0);
  const std::string Relative = std::string(platform::LastComponent(FTree.Path())) + "/./sub";
  const struct {
    std::string Typed;
    std::string Root;
    QString Summary;
  } Cases[] = {{"~", FTree.Path(), "Done. Total files: 3   Total size: 1.5 KB"},
               {"~/sub/", FTree / "sub", "Done. Total files: 1   Total size: 512 B"},
               {Relative, FTree / "sub", "Done. Total files: 1   Total size: 512 B"}};
  OpenWindow();
  for (const auto& Case : Cases) {
    StartScanOf(QString::fromStdString(Case.Typed));
    ASSERT_TRUE(WaitUntilIdle()) << Case.Typed;
    EXPECT_EQ(Status(), Case.Summary) << Case.Typed;
    ASSERT_NE(Window->ScanRoot(), nullptr) << Case.Typed;
    EXPECT_EQ(Window->ScanRoot()->FullPath(), Case.Root) << Case.Typed;
  }
  EXPECT_TRUE(Dialogs.Errors.empty());
  ASSERT_EQ(chdir(Previous.c_str()), 0);
}

TEST_F(ScanControlTest, DateFilterUsesThePickedDayAtItsTimeOfDay) {
  const TTempDir Dir;
  SetLocalModificationTime(Dir.MakeFile("early.bin", 10), 2026, 1, 14, 0, 4, 40);
  SetLocalModificationTime(Dir.MakeFile("late.bin", 20), 2026, 1, 14, 0, 4, 42);
  SetLocalModificationTime(Dir.MakeFile("next-day.bin", 40), 2026, 1, 15, 0, 4, 41);
  OpenWindow();
  Click("chModifiedBefore");
  EXPECT_TRUE(Find<QDateEdit>("dtpDate")->isEnabled());
  StartScanOf(QString::fromStdString(Dir.Path()));
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(Status(), "Done. Total files: 2   Total size: 60 B");

  Find<QDateEdit>("dtpDate")->setDate(QDate(2026, 1, 15));
  Click("btnScan");
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(Status(), "Done. Total files: 1   Total size: 40 B");
}

TEST_F(ScanControlTest, InvalidInputIsRefusedAndChangesNothing) {
  const struct {
    const char* Name;
    std::function<void()> Prepare;
    std::vector<QString> Errors;
  } Cases[] = {
      {"empty path", [this] { ChoosePath("   "); }, {}},
      {"missing folder",
       [this] { ChoosePath(TreePath() + "/missing"); },
       {"Folder does not exist."}},
      {"no drives", [this] { Volumes.Roots = {"/no/such/drive"}; }, {"No drives found."}},
      {"invalid size",
       [this] {
         ChoosePath(TreePath());
         Click("chLessThan");
         Find<QLineEdit>("edtLessThan")->setText("1.000,5");
       },
       {"Invalid \"Less than\" value."}},
      {"negative size",
       [this] {
         ChoosePath(TreePath());
         Click("chLessThan");
         Find<QLineEdit>("edtLessThan")->setText("-1");
       },
       {"Invalid \"Less than\" value."}},
  };
  for (const auto& Case : Cases) {
    Dialogs.Errors.clear();
    OpenWindow();
    Case.Prepare();
    Click("btnScan");
    QTest::qWait(50);
    EXPECT_EQ(Dialogs.Errors, Case.Errors) << Case.Name;
    EXPECT_EQ(Status(), "Ready") << Case.Name;
    EXPECT_EQ(Pace.Listed.load(), 0) << Case.Name;
    ExpectIdleAfterwards();
    EXPECT_TRUE(Find<QGroupBox>("gbFilters")->isEnabled()) << Case.Name;
  }
}

TEST_F(ScanControlTest, StopDuringTheWalkReportsCancelledByUser) {
  MakeManyFolders(FTree, 60);
  Pace.Delay = std::chrono::milliseconds(20);
  OpenWindow();
  StartScanOf(TreePath());
  ASSERT_TRUE(QTest::qWaitFor([this] { return Status().startsWith("Scanning: "); }, 5000));

  // Scanning: the filters and the path controls are locked, the radio buttons are not.
  EXPECT_TRUE(Status().startsWith("Scanning: " + TreePath())) << Status().toStdString();
  EXPECT_FALSE(Find<QToolButton>("btnScan")->isEnabled());
  EXPECT_TRUE(Find<QToolButton>("btnStop")->isEnabled());
  EXPECT_FALSE(Find<QGroupBox>("gbFilters")->isEnabled());
  EXPECT_FALSE(Find<QLineEdit>("edtPattern")->isEnabled());
  EXPECT_FALSE(Find<QComboBox>("cmbCustomPath")->isEnabled());
  Click("rbAllDrives");
  Click("rbCustomPath");
  EXPECT_FALSE(Find<QComboBox>("cmbCustomPath")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>("btnBrowse")->isEnabled());
  EXPECT_EQ(Find<QProgressBar>("pb")->maximum(), 0) << "a folder scan shows the marquee";
  EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
  SaveScreenshot("scanning");

  Click("btnStop");
  EXPECT_EQ(Status(), "Cancelling...");
  QTest::qWait(130);
  EXPECT_TRUE(Idle() || Status() == "Cancelling...") << "no tick overwrites it";
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(Dialogs.Errors, (std::vector<QString>{"Scan failed: \nCancelled by user"}));
  EXPECT_EQ(Status(), "Ready");
  EXPECT_EQ(Window->ScanRoot(), nullptr);
  EXPECT_LT(Pace.Listed.load(), 61);
  ExpectIdleAfterwards();
}

TEST_F(ScanControlTest, AFolderFromTheCommandLineOrEnterInThePathBoxStartsTheScan) {
  OpenWindow();
  Window->ScanFolder(FTree.Path());
  EXPECT_TRUE(Find<QRadioButton>("rbCustomPath")->isChecked());
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(Status(), "Done. Total files: 3   Total size: 1.5 KB");
  EXPECT_EQ(Window->ScanRoot()->FullPath(), FTree.Path());

  ChoosePath(TreePath() + "/sub");
  QTest::keyClick(Find<QComboBox>("cmbCustomPath")->lineEdit(), Qt::Key_Return);
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(Window->ScanRoot()->FullPath(), FTree.Path() + "/sub");
}

TEST_F(ScanControlTest, StopDuringTheResultBuildEndsInCancelled) {
  OpenWindow();
  ASSERT_TRUE(ScanStoppingAt(TreePath(), "Building file list..."));
  EXPECT_EQ(Status(), "Cancelled");
  EXPECT_TRUE(Dialogs.Errors.empty());
  EXPECT_EQ(Window->ScanRoot(), nullptr);
  ExpectIdleAfterwards();
}

TEST_F(ScanControlTest, AnErrorInTheWalkIsReported) {
  OpenWindow();
  Find<QLineEdit>("edtPattern")->setText("[abc");
  StartScanOf(TreePath());
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(
      Dialogs.Errors,
      (std::vector<QString>{"Scan failed: \nEInvalidMask: '[ABC' is an invalid mask at (5)"}));
  EXPECT_EQ(Status(), "Ready");
  ExpectIdleAfterwards();
}

TEST_F(ScanControlTest, AllDrivesGoUnderOneRootWithABarAgainstTheirUsedBytes) {
  const TTempDir Second;
  MakeManyFolders(Second, 10);
  Volumes.Roots = {FTree.Path(), Second.Path(), "/no/such/drive"};
  Volumes.Used = {{FTree.Path(), 100'000}, {Second.Path(), 1'000'000}};
  Pace.Delay = std::chrono::milliseconds(30);
  OpenWindow();
  Click("btnScan");
  ASSERT_TRUE(WaitUntilWalking(6));
  EXPECT_EQ(Find<QProgressBar>("pb")->maximum(), 1000);
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(Status(), "Done. Total files: 13   Total size: 2.5 KB");
  ASSERT_NE(Window->ScanRoot(), nullptr);
  EXPECT_EQ(Window->ScanRoot()->Name(), "(All Drives)");
  ASSERT_EQ(Window->ScanRoot()->Children.size(), 2u);
  EXPECT_EQ(Window->ScanRoot()->Children[1]->FullPath(), Second.Path());
}

TEST_F(ScanControlTest, AllDrivesFillTheBarAgainstTheirUsedEntries) {
  // The drives' files and folders, as their file systems count them: the bar fills with the
  // files and folders walked, whatever the bytes say.
  const TTempDir Second;
  MakeManyFolders(Second, 10);
  Volumes.Roots = {FTree.Path(), Second.Path()};
  Volumes.Entries = {{FTree.Path(), 10}, {Second.Path(), 30}};
  Pace.Delay = std::chrono::milliseconds(30);
  OpenWindow();
  Click("btnScan");
  ASSERT_TRUE(WaitUntilWalking(6));
  const QProgressBar* Bar = Find<QProgressBar>("pb");
  EXPECT_EQ(Bar->maximum(), 1000);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Bar->value() > 100; }, 5000)) << Bar->value();
  EXPECT_LE(Bar->value(), 1000);
  ASSERT_TRUE(WaitUntilIdle());
}

TEST_F(ScanControlTest, ClosingDuringAScanIsQuickAndSafe) {
  MakeManyFolders(FTree, 200);
  Pace.Delay = std::chrono::milliseconds(10);
  OpenWindow();
  StartScanOf(TreePath());
  ASSERT_TRUE(WaitUntilWalking());
  Window->close();
  EXPECT_FALSE(Window->isVisible());
  QElapsedTimer Clock;
  Clock.start();
  Window.reset();
  EXPECT_LT(Clock.elapsed(), 500) << "the walk stops at its next entry";
  EXPECT_TRUE(Pace.WaitUntilNoListers(std::chrono::milliseconds(500))) << "the task has ended";
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(ScanControlTest, ClosingWhileTheWalkIsStuckWaitsTwoSecondsAtMost) {
  const TTempDir Stuck;
  Stuck.MakeDir("stuck");
  Pace.StallFolder = "stuck";
  Pace.Stall = std::chrono::milliseconds(3000);
  OpenWindow();
  StartScanOf(QString::fromStdString(Stuck.Path()));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Pace.Listed.load() >= 2; }, 5000));  // inside the stall
  Window->close();
  EXPECT_FALSE(Window->isVisible());
  QElapsedTimer Clock;
  Clock.start();
  Window.reset();
  EXPECT_GE(Clock.elapsed(), 1900);
  EXPECT_LT(Clock.elapsed(), 2500);
  // The task ends later on its own and finds nobody to report to.
  EXPECT_TRUE(Pace.WaitUntilNoListers(std::chrono::milliseconds(5000)));
  QTest::qWait(20);
  EXPECT_TRUE(Dialogs.Errors.empty());
}

}  // namespace
}  // namespace dunstrel::testing
