#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

#include "FakeServices.h"
#include "LocalHttpServer.h"
#include "app/AppInfo.h"
#include "app/NewVersionForm.h"
#include "app/UpdateStartup.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

namespace dunstrel::testing {
namespace {

using TKind = TServedReply::TKind;

const QByteArray kInstallerPath = "/download/dunstrel.deb";
const char* const kFailure = "Failed to download update. Please download manually on website.\n\n";

QByteArray Installer(int Size) {
  QByteArray Bytes(Size, Qt::Uninitialized);
  for (char& Byte : Bytes) {
    Byte = static_cast<char>(QRandomGenerator::global()->generate());
  }
  return Bytes;
}

mode_t Permissions(const QString& Path) {
  struct stat Info {};
  EXPECT_EQ(lstat(QFile::encodeName(Path).constData(), &Info), 0) << Path.toStdString();
  return Info.st_mode & 07777;
}

class NewVersionFormTest : public ::testing::Test {
 protected:
  void Open(bool Required) {
    const TUpdateOffer Offer =
        *EvaluateUpdate(Required ? "26/26" : "26/20", "Faster scans\r\n\r\nFewer clicks\r\n");
    FDialog = std::make_unique<TfrmNewVersion>(
        Offer, QUrl(FServer.BaseUrl() + QLatin1String(kInstallerPath)), FShell, FDialogs, FNetwork);
    FDialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FDialog.get()));
    QObject::connect(Progress(), &QProgressBar::valueChanged, Progress(),
                     [this](int Value) { FMostProgress = std::max(FMostProgress, Value); });
  }

  template <typename TWidget>
  TWidget* Control(const char* Name) {
    auto* Found = FDialog->findChild<TWidget*>(QLatin1String(Name));
    EXPECT_NE(Found, nullptr) << Name;
    return Found;
  }
  QPushButton* UpdateNow() { return Control<QPushButton>("btUpdateNow"); }
  QPushButton* Cancel() { return Control<QPushButton>("btCancel"); }
  QProgressBar* Progress() { return Control<QProgressBar>("ProgressBar1"); }

  bool WaitClosed() {
    return QTest::qWaitFor([this] { return !FDialog->isVisible(); }, 10000);
  }

  void SaveScreenshot(const char* Name) const {
    QDir().mkpath(QStringLiteral(DUNSTREL_SCREENSHOT_DIR));
    FDialog->grab().save(
        QStringLiteral(DUNSTREL_SCREENSHOT_DIR "/%1.png").arg(QLatin1String(Name)));
  }

  TTempDir FTemp;
  TScopedEnvironment FTemporaryFolder{"TMPDIR", FTemp.Path()};
  TLocalHttpServer FServer;
  QNetworkAccessManager FNetwork;
  TRecordingShell FShell;
  TRecordingDialogs FDialogs;
  std::unique_ptr<TfrmNewVersion> FDialog;
  int FMostProgress = 0;
};

TEST_F(NewVersionFormTest, OffersOrRequiresTheUpdate) {
  struct TCase {
    bool Required;
    const char* Second;
    bool ByTitleBar;
    int Tag;
  } Cases[] = {
      {false, "Skip", false, 1},
      {false, "Skip", true, 1},
      {true, "Exit", false, 0},
      {true, "Exit", true, 0},
  };
  for (const TCase& Case : Cases) {
    Open(Case.Required);
    EXPECT_EQ(FDialog->windowTitle(), QStringLiteral(" Dunstrel"));
    EXPECT_EQ(FDialog->size(), QSize(414, 180));
    EXPECT_EQ(FDialog->Tag(), 1);
    EXPECT_TRUE(Control<QLabel>("Label1")->text().startsWith(
        Case.Required ? QLatin1String("This version of the software is out of date.")
                      : QLatin1String("The new version 2.6 is available\n\nWhat's new:\n")));
    EXPECT_TRUE(Control<QLabel>("Label1")->text().endsWith(
        QLatin1String("\n\nWhat's new:\nFaster scans\nFewer clicks\n")));
    EXPECT_FALSE(Control<QLabel>("VirtualImage1")->pixmap().isNull());
    EXPECT_EQ(Control<QLabel>("VirtualImage1")->geometry(), QRect(9, 15, 70, 75));
    EXPECT_FALSE(Progress()->isVisible());
    EXPECT_EQ(UpdateNow()->text(), QStringLiteral("Update Now"));
    EXPECT_EQ(UpdateNow()->geometry(), QRect(209, 144, 100, 25));
    EXPECT_EQ(Cancel()->text(), QLatin1String(Case.Second));
    EXPECT_EQ(Cancel()->geometry(), QRect(322, 144, 75, 25));
    for (const QWidget* Child : FDialog->findChildren<QWidget*>()) {
      EXPECT_TRUE(FDialog->rect().contains(Child->geometry())) << Child->objectName().toStdString();
    }
    for (const QWidget* Above : {Control<QWidget>("Label1"), Control<QWidget>("ProgressBar1")}) {
      EXPECT_FALSE(Above->geometry().intersects(UpdateNow()->geometry()));
      EXPECT_FALSE(Above->geometry().intersects(Cancel()->geometry()));
    }
    EXPECT_FALSE(Control<QWidget>("Label1")->geometry().intersects(Progress()->geometry()));
    SaveScreenshot(Case.Required ? "update-required" : "update-optional");

    if (Case.ByTitleBar) {
      FDialog->close();
    } else {
      Cancel()->click();
    }
    EXPECT_TRUE(WaitClosed());
    EXPECT_EQ(FDialog->Tag(), Case.Tag) << Case.Second << Case.ByTitleBar;
  }
  EXPECT_TRUE(FServer.Requests.isEmpty());
}

TEST_F(NewVersionFormTest, DownloadsIntoAPrivateFolderAndHandsTheFileToTheDesktop) {
  struct TCase {
    TKind Kind;
    int MostProgress;
  } Cases[] = {
      {TKind::Sized, 100},
      {TKind::Chunked, 0},  // no length to measure against
      {TKind::Unsized, 0},
  };
  for (const TCase& Case : Cases) {
    const QByteArray Body = Installer(300000);
    FServer.Serve(kInstallerPath, Sent(Case.Kind, Body));
    FShell.Opened.clear();
    FMostProgress = 0;
    Open(false);
    UpdateNow()->click();
    EXPECT_EQ(Cancel()->text(), QStringLiteral("Abort"));
    EXPECT_FALSE(UpdateNow()->isEnabled());
    EXPECT_TRUE(Progress()->isVisible());
    ASSERT_TRUE(WaitClosed());

    EXPECT_TRUE(FDialogs.Errors.empty()) << FDialogs.Errors.front().toStdString();
    EXPECT_EQ(FMostProgress, Case.MostProgress);
    EXPECT_EQ(FDialog->Tag(), 0) << "the program ends after Update Now";
    ASSERT_EQ(FShell.Opened.size(), 1u);
    const QString File = QFile::decodeName(QByteArray::fromStdString(FShell.Opened.front()));
    EXPECT_EQ(File, FDialog->DownloadedFile());
    const QFileInfo Info(File);
    EXPECT_EQ(Info.fileName(), QStringLiteral("vrn_update.deb"));
    EXPECT_EQ(QFileInfo(Info.dir().absolutePath()).dir().canonicalPath(),
              QDir(QString::fromStdString(FTemp.Path())).canonicalPath())
        << "a new folder in the temporary folder";
    EXPECT_EQ(Permissions(Info.dir().absolutePath()), 0700u);
    EXPECT_EQ(Permissions(File) & 0111, 0u) << "never made executable";
    QFile Downloaded(File);
    ASSERT_TRUE(Downloaded.open(QIODevice::ReadOnly));
    EXPECT_EQ(Downloaded.readAll(), Body);
  }
  EXPECT_TRUE(FShell.Addresses.empty());
  for (const QByteArray& Agent : FServer.UserAgents) {
    EXPECT_EQ(Agent, "Mozilla/4.0 (compatible; MyApp)");
  }
}

TEST_F(NewVersionFormTest, AbortEndsTheDownloadAtOnce) {
  // The server sends half of the installer and then nothing more: only Abort can end it.
  FServer.Serve(kInstallerPath, Sent(TKind::Stalling, Installer(400000)));
  for (const bool ByTitleBar : {false, true}) {
    FDialogs.Errors.clear();
    FShell.Addresses.clear();
    Open(true);
    UpdateNow()->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Progress()->value() == 50; }, 10000));
    SaveScreenshot("update-downloading");
    if (ByTitleBar) {
      FDialog->close();
    } else {
      Cancel()->click();
    }
    ASSERT_TRUE(WaitClosed()) << "by title bar: " << ByTitleBar;
    ASSERT_EQ(FDialogs.Errors.size(), 1u);
    EXPECT_TRUE(FDialogs.Errors.front().startsWith(QLatin1String(kFailure)));
    EXPECT_TRUE(FDialogs.Errors.front().endsWith(
        QStringLiteral("Download is cancelled. Please download manually.")))
        << FDialogs.Errors.front().toStdString();
    EXPECT_EQ(FShell.Addresses, std::vector<QString>{QLatin1String(kSiteUrl)});
    EXPECT_TRUE(FShell.Opened.empty());
    EXPECT_EQ(FDialog->Tag(), 0);
    EXPECT_FALSE(QFileInfo::exists(FDialog->DownloadedFile())) << "the partial file is removed";
  }
}

TEST_F(NewVersionFormTest, AFailedDownloadSendsTheUserToTheWebSite) {
  struct TCase {
    TServedReply Reply;
    const char* Reason;
  } Cases[] = {
      {Answered(404, "Not Found"), "HTTP 404 Not Found"},
      {Answered(302, "Found", {{"Location", "/download/other.deb"}}),
       "HTTP 302 Found"},  // the installer itself is never fetched through a redirect
      {Sent(TKind::Dropping, Installer(100000)), ""},
  };
  for (const TCase& Case : Cases) {
    FServer.Serve(kInstallerPath, Case.Reply);
    FServer.ServeText("/download/other.deb", "elsewhere");
    FDialogs.Errors.clear();
    FShell.Addresses.clear();
    Open(false);
    UpdateNow()->click();
    ASSERT_TRUE(WaitClosed());
    ASSERT_EQ(FDialogs.Errors.size(), 1u);
    const QString& Error = FDialogs.Errors.front();
    EXPECT_TRUE(Error.startsWith(QLatin1String(kFailure))) << Error.toStdString();
    EXPECT_GT(Error.size(), qsizetype(std::strlen(kFailure))) << "the failure names its reason";
    EXPECT_TRUE(Error.endsWith(QLatin1String(Case.Reason))) << Error.toStdString();
    EXPECT_EQ(FShell.Addresses, std::vector<QString>{QLatin1String(kSiteUrl)});
    EXPECT_TRUE(FShell.Opened.empty());
    EXPECT_EQ(FDialog->Tag(), 0);
  }
  EXPECT_FALSE(FServer.Requests.contains("GET /download/other.deb HTTP/1.1"));
}

// Start-up goes on, or ends, as the dialog it may show decides.
TEST_F(NewVersionFormTest, StartUpFollowsTheDialog) {
  struct TCase {
    QByteArray Version;
    bool DialogShown;
    bool GoesOn;
  } Cases[] = {
      {"25/20", false, true},
      {"26/20", true, true},
      {"26/26", true, false},
  };
  FServer.ServeText("/download/version/dunstrel-changes.html", "Faster scans");
  for (const TCase& Case : Cases) {
    FServer.ServeText("/download/version/dunstrel-version.html", Case.Version);
    bool Shown = false;
    QTimer Answer;
    QObject::connect(&Answer, &QTimer::timeout, [&Shown] {
      if (auto* Dialog = qobject_cast<TfrmNewVersion*>(QApplication::activeModalWidget())) {
        Shown = true;
        Dialog->findChild<QPushButton*>(QStringLiteral("btCancel"))->click();
      }
    });
    Answer.start(20);
    const bool GoesOn = RunUpdateCheck({FServer.BaseUrl(), QLatin1String(kInstallerPath)}, FNetwork,
                                       FShell, FDialogs);
    EXPECT_EQ(Shown, Case.DialogShown) << Case.Version.constData();
    EXPECT_EQ(GoesOn, Case.GoesOn) << Case.Version.constData();
  }
}

}  // namespace
}  // namespace dunstrel::testing
