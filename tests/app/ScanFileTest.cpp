#include <sys/stat.h>

#include <QComboBox>
#include <QFile>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/WindowFixture.h"

namespace dunstrel::testing {
namespace {

class ScanFileTest : public WindowTest {
 protected:
  void Trigger(const char* ActionName) const { Find<QAction>(ActionName)->trigger(); }

  // Opens a saved scan through File > "Open Scan..." and waits for the window to settle.
  void OpenThroughMenu(const std::string& File) {
    Dialogs.FileAnswer = QString::fromStdString(File);
    Trigger("OpenScan1");
    ASSERT_TRUE(WaitUntilIdle());
  }

  TTempDir FWork;
};

TEST_F(ScanFileTest, ASavedScanOpensInEveryViewWithoutItsFolders) {
  const std::string Tree = FWork / "tree";
  FWork.MakeFile("tree/a.txt", 1000);
  FWork.MakeFile("tree/sub/b.txt", 500);
  FWork.MakeFile("tree/sub/c.bin", 24);
  OpenWindow();
  EXPECT_FALSE(Find<QAction>("SaveScanAs1")->isEnabled()) << "nothing to save yet";
  ChoosePath(QString::fromStdString(Tree));
  Click("btnScan");
  ASSERT_TRUE(WaitUntilIdle());
  const QString Scanned = Status();

  const std::string File = FWork / "saved.json";
  Dialogs.FileAnswer = QString::fromStdString(File);
  Trigger("SaveScanAs1");
  ASSERT_TRUE(std::filesystem::exists(File));
  std::filesystem::remove_all(Tree);  // the saved scan is all there is now

  OpenThroughMenu(File);
  EXPECT_TRUE(Dialogs.Errors.empty());
  EXPECT_TRUE(Status().endsWith(Scanned)) << Status().toStdString();
  ASSERT_NE(Window->ScanRoot(), nullptr);
  EXPECT_EQ(Window->ScanRoot()->FullPath(), Tree);
  EXPECT_EQ(Window->Results()->AllFiles.size(), 3u);
  EXPECT_EQ(Find<QTreeWidget>("lvFiles")->topLevelItemCount(), 3);
  // The folders are not here: nothing may be opened or removed, though paths can be copied.
  EXPECT_FALSE(Window->FileCommandsAllowed());
  for (const char* Command : {"Open1", "OpeninExplorer1", "ShowProperties1", "RemovetoRecycleBin1",
                              "RemoveCompletely1", "Rescan1", "RescanFolder1"}) {
    EXPECT_FALSE(Find<QAction>(Command)->isEnabled()) << Command;
  }
  EXPECT_TRUE(Find<QAction>("CopyPath1")->isEnabled());
  EXPECT_FALSE(Find<QAbstractButton>("btnRemove")->isEnabled());

  // A new scan of folders that are here allows the commands again.
  FWork.MakeFile("tree/d.txt", 1);
  Click("btnScan");
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_TRUE(Window->FileCommandsAllowed());
  EXPECT_TRUE(Find<QAction>("RemoveCompletely1")->isEnabled());
  EXPECT_TRUE(Find<QAction>("Rescan1")->isEnabled());
}

TEST_F(ScanFileTest, ARefusedFileChangesNothing) {
  FWork.MakeFile("tree/a.txt", 10);
  OpenWindow();
  ChoosePath(QString::fromStdString(FWork / "tree"));
  Click("btnScan");
  ASSERT_TRUE(WaitUntilIdle());
  const TDirNode* Before = Window->ScanRoot();

  const std::string Bad = FWork / "bad.json";
  std::ofstream(Bad) << R"([1,0,{},[{"name":"/r"},{"name":"x","asize":9223372036854775808}]])";
  OpenThroughMenu(Bad);
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_TRUE(Dialogs.Errors[0].startsWith(QStringLiteral("Cannot open the scan file:")))
      << Dialogs.Errors[0].toStdString();
  EXPECT_TRUE(Dialogs.Errors[0].contains(QStringLiteral("2^63-1")));
  EXPECT_EQ(Window->ScanRoot(), Before);
  EXPECT_TRUE(Window->FileCommandsAllowed());

  // A folder, or a FIFO that nobody writes to, is no scan file: said at once, in the user's
  // language, and nothing waits on it.
  const std::string Fifo = FWork / "fifo.json";
  ASSERT_EQ(mkfifo(Fifo.c_str(), 0600), 0);
  for (const std::string& NoFile : {FWork / "tree", Fifo}) {
    Dialogs.Errors.clear();
    OpenThroughMenu(NoFile);
    ASSERT_EQ(Dialogs.Errors.size(), 1u) << NoFile;
    EXPECT_EQ(Dialogs.Errors[0], QStringLiteral("Cannot open the scan file:\n") +
                                     QString::fromStdString(NoFile) +
                                     QStringLiteral(" is not a file"));
    EXPECT_EQ(Window->ScanRoot(), Before);
  }
  Dialogs.Errors.clear();

  // A file that cannot be written is named in the message.
  Dialogs.FileAnswer = QString::fromStdString(FWork / "no/such/folder/scan.json");
  Trigger("SaveScanAs1");
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_TRUE(Dialogs.Errors[0].startsWith(QStringLiteral("Cannot save the scan file:")));
  EXPECT_TRUE(
      Dialogs.Errors[0].contains(QString::fromStdString(FWork / "no/such/folder/scan.json")));
}

TEST_F(ScanFileTest, ANameWithoutSuffixGetsTheFormatsAndTheScanShownIsNamed) {
  FWork.MakeFile("tree/a.txt", 1000);
  OpenWindow();
  ChoosePath(QString::fromStdString(FWork / "tree"));
  Click("btnScan");
  ASSERT_TRUE(WaitUntilIdle());
  const auto Save = [&](const char* Name) {
    Dialogs.FileAnswer = QString::fromStdString(FWork / Name);
    Trigger("SaveScanAs1");
  };
  const auto Content = [&](const char* Name) {
    std::ifstream In(FWork / Name);
    return std::string(std::istreambuf_iterator<char>(In), {});
  };

  Save("plain");
  EXPECT_FALSE(std::filesystem::exists(FWork / "plain"));
  ASSERT_TRUE(std::filesystem::exists(FWork / "plain.json"));
  EXPECT_TRUE(Dialogs.Questions.empty()) << "nothing was there to replace";
  Save("other.scan");
  EXPECT_TRUE(std::filesystem::exists(FWork / "other.scan")) << "a suffix of its own is kept";
  // The dialog asked about the name it was given; the name with the suffix is asked about here.
  std::ofstream(FWork / "plain.json") << "mine";
  Dialogs.Answer = false;
  Save("plain");
  ASSERT_EQ(Dialogs.Questions.size(), 1u);
  EXPECT_EQ(Dialogs.Questions[0].first, QString::fromStdString(FWork / "plain.json") +
                                            " already exists. Do you want to replace it?");
  EXPECT_TRUE(Dialogs.Questions[0].second);
  EXPECT_EQ(Content("plain.json"), "mine");
  Dialogs.Answer = true;
  Save("plain");
  EXPECT_NE(Content("plain.json"), "mine");
  for (const QString& Filter : Dialogs.PickerFilters) {
    EXPECT_EQ(Filter, "Scan files (*.json *.json.gz *.json.zst);;All files (*)");
  }

  // The scan shown is named with the time its file was written; its folder is in the path box.
  const std::string File = FWork / "plain.json";
  SetLocalModificationTime(File, 2026, 12, 1, 14, 2, 30);
  Find<QComboBox>("cmbCustomPath")->setEditText(QStringLiteral("/elsewhere"));
  Click("rbAllDrives");
  OpenThroughMenu(File);
  const QString Named = QString::fromStdString(File) + ", scanned 2026-12-01 14:02";
  EXPECT_EQ(Window->windowTitle(), Named + " - Dunstrel 2.5");
  EXPECT_TRUE(Status().startsWith(Named + "   Done.")) << Status().toStdString();
  EXPECT_TRUE(Find<QAbstractButton>("rbCustomPath")->isChecked());
  EXPECT_EQ(Find<QComboBox>("cmbCustomPath")->currentText().toStdString(), FWork / "tree");

  // A scan of its own again is no saved scan.
  Click("btnScan");
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(Window->windowTitle(), "Dunstrel 2.5");
}

}  // namespace
}  // namespace dunstrel::testing
