#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QSettings>
#include <QTest>
#include <functional>
#include <memory>

#include "app/FakeServices.h"
#include "app/MainForm.h"
#include "support/TempDir.h"

namespace dunstrel::testing {

// A menu caption as the user reads it: without the ampersand that marks its Alt+letter.
inline QString WithoutMnemonic(const QString& Caption) {
  QString Text;
  for (qsizetype I = 0; I < Caption.size(); ++I) {
    if (Caption[I] == QLatin1Char('&') && I + 1 < Caption.size()) {
      ++I;
    }
    Text.append(Caption[I]);
  }
  return Text;
}

// One main window with recording services and a paced directory listing, shown at its design
// size.
class WindowTest : public ::testing::Test {
 protected:
  // Opens the window at its design size, or with AsLeft where the last one was left.
  void OpenWindow(TFormatSettings Settings = {}, bool AsLeft = false) {
    TMainWindowServices Services;
    Services.Dialogs = &Dialogs;
    Services.Shell = &Shell;
    Services.Volumes = &Volumes;
    Services.CreateLister = [this] { return std::make_unique<TPacedLister>(Pace); };
    Services.FormatSettings = Settings;
    Services.Settings = &Store();
    // The tests' figures are the files' sizes unless a test chooses the count itself, or a
    // window before it did.
    if (CountInApparentSize && !FStore->contains(QStringLiteral("View/SizeCount"))) {
      FStore->setValue(QStringLiteral("View/SizeCount"), QStringLiteral("ApparentSize"));
    }
    Window = std::make_unique<TfrmMain>(std::move(Services));
    if (!AsLeft) {
      Window->setWindowState(Qt::WindowNoState);
      Window->resize(1333, 760);
    }
    Window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
  }

  // What the window remembers, in a file of this test's own, read again for each window.
  QSettings& Store() {
    FStore = std::make_unique<QSettings>(StoreFile(), QSettings::IniFormat);
    return *FStore;
  }
  QString StoreFile() const { return QString::fromStdString(FStoreFolder / "Dunstrel.conf"); }

  void TearDown() override {
    Window.reset();
    FStore.reset();
    // A task that outlived its window still uses the paced listing of this fixture.
    ASSERT_TRUE(Pace.WaitUntilNoListers(std::chrono::seconds(30)));
  }

  template <typename TWidget>
  TWidget* Find(const char* Name) const {
    auto* Found = Window->findChild<TWidget*>(QLatin1String(Name));
    EXPECT_NE(Found, nullptr) << Name;
    return Found;
  }

  void Click(const char* ButtonName) const {
    QTest::mouseClick(Find<QAbstractButton>(ButtonName), Qt::LeftButton);
  }

  QString Status() const { return Find<QLabel>("lblStatus")->text(); }

  bool Idle() const { return Find<QAbstractButton>("btnScan")->isEnabled(); }

  bool WaitUntilIdle(int TimeoutMs = 10000) const {
    return QTest::qWaitFor([this] { return Idle(); }, TimeoutMs);
  }

  // Types a folder into the path box and chooses "Path:".
  void ChoosePath(const QString& Typed) const;

  // Starts a job, presses Stop as soon as the status line shows StopAt, and waits until the
  // window is idle again; false when the text never showed or the window is not idle in time.
  bool StoppingAt(const QString& StopAt, const std::function<void()>& Start) const;
  // The same for a scan of a folder.
  bool ScanStoppingAt(const QString& Folder, const QString& StopAt) const;

  void SaveScreenshot(const char* Name) const {
    QDir().mkpath(QStringLiteral(DUNSTREL_SCREENSHOT_DIR));
    Window->grab().save(QStringLiteral(DUNSTREL_SCREENSHOT_DIR "/%1.png").arg(QLatin1String(Name)));
  }

  // Whether a first window counts in the apparent size rather than the platform's default.
  bool CountInApparentSize = true;
  TRecordingDialogs Dialogs;
  TRecordingShell Shell;
  TFakeVolumes Volumes;
  TListingPace Pace;
  std::unique_ptr<TfrmMain> Window;

 private:
  TTempDir FStoreFolder;
  std::unique_ptr<QSettings> FStore;
};

}  // namespace dunstrel::testing
