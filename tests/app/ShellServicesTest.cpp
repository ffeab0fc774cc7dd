#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QWidget>
#include <filesystem>

#include "app/PropertiesDialog.h"
#include "app/ShellServices.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

namespace dunstrel::testing {
namespace {

namespace fs = std::filesystem;

bool EntryExists(const std::string& Path) {
  struct stat Info {};
  return lstat(Path.c_str(), &Info) == 0;
}

class ShellServicesTest : public ::testing::Test {
 protected:
  TTempDir FData;
  TTempDir FItems;
  TScopedEnvironment FDataHome{"XDG_DATA_HOME", FData.Path()};
  std::unique_ptr<IShellServices> FShell = CreateDesktopShellServices({});
};

TEST_F(ShellServicesTest, MovesEveryPathToTheTrashInOneRequest) {
  const std::string File = FItems.MakeFile("one.txt", 3);
  const std::string Folder = FItems.MakeDir("folder");
  FItems.MakeFile("folder/inner.txt", 5);

  EXPECT_TRUE(FShell->DeletePaths({File, "", Folder}, true).empty());
  EXPECT_FALSE(EntryExists(File));
  EXPECT_FALSE(EntryExists(Folder));
  EXPECT_TRUE(fs::exists(FData / "Trash/files/one.txt"));
  EXPECT_TRUE(fs::exists(FData / "Trash/files/folder/inner.txt"));
  EXPECT_TRUE(fs::exists(FData / "Trash/info/folder.trashinfo"));
}

TEST_F(ShellServicesTest, DeletesPermanentlyWithoutFollowingLinks) {
  const std::string Outside = FItems.MakeDir("outside");
  FItems.MakeFile("outside/keep.txt", 9);
  const std::string Victim = FItems.MakeDir("victim");
  FItems.MakeFile("victim/a/b/c.txt", 1);
  ASSERT_EQ(symlink(Outside.c_str(), (Victim + "/a/to-outside").c_str()), 0);
  const std::string Single = FItems.MakeFile("single.bin", 4);

  EXPECT_TRUE(FShell->DeletePaths({Victim, Single}, false).empty());
  EXPECT_FALSE(EntryExists(Victim));
  EXPECT_FALSE(EntryExists(Single));
  EXPECT_EQ(fs::file_size(FItems / "outside/keep.txt"), 9u);
  EXPECT_FALSE(fs::exists(FData / "Trash/files/victim")) << "a permanent delete skips the trash";
}

TEST_F(ShellServicesTest, ARemovalThatFailsAnywhereIsAFailure) {
  for (const bool ToTrash : {false, true}) {
    SCOPED_TRACE(ToTrash ? "trash" : "delete");
    const std::string File = FItems.MakeFile("gone-anyway.txt", 1);
    const std::vector<TRemovalFailure> Failures =
        FShell->DeletePaths({FItems / "missing", File}, ToTrash);
    ASSERT_EQ(Failures.size(), 1u);
    EXPECT_EQ(Failures[0].Path, FItems / "missing");
    EXPECT_EQ(Failures[0].Reason.Kind, platform::TProblemKind::NotFound);
    EXPECT_FALSE(EntryExists(File)) << "the paths that can go, go";
  }
}

TEST_F(ShellServicesTest, ClipboardTakesTheText) {
  FShell->SetClipboardText(QStringLiteral("/a/one\r\n/b/two"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "/a/one\r\n/b/two");
}

TEST_F(ShellServicesTest, SmallIconsAreSharedPerIconName) {
  const QIcon Text1 = FShell->SmallIcon("/x/notes.txt", false);
  const QIcon Text2 = FShell->SmallIcon("/y/other.txt", false);
  const QIcon Folder = FShell->SmallIcon("/x/folder", true);
  EXPECT_FALSE(Text1.isNull());
  EXPECT_FALSE(Folder.isNull());
  EXPECT_EQ(Text1.cacheKey(), Text2.cacheKey());
  EXPECT_NE(Text1.cacheKey(), Folder.cacheKey());
}

TEST(LocalFileUrlTest, KeepsEveryByteOfThePath) {
  const QUrl Url = LocalFileUrl("/tmp/a b/\xE9t\xC3\xA9%.txt");
  EXPECT_TRUE(Url.isValid());
  EXPECT_EQ(Url.toEncoded(), "file:///tmp/a%20b/%E9t%C3%A9%25.txt");
}

TEST_F(ShellServicesTest, OwnPropertiesWindowShowsTheItem) {
  const std::string File = FItems.MakeFile("report.pdf", 1536);
  QWidget Owner;
  QWidget* Dialog = ShowPropertiesDialog(File, &Owner, {",", ":"});
  QStringList Texts;
  for (const QLabel* Label : Dialog->findChildren<QLabel*>()) {
    Texts.append(Label->text());
  }
  for (const QString& Expected :
       {QStringLiteral("Name:"), QStringLiteral("report.pdf"),
        QString::fromStdString(FItems.Path()), QStringLiteral("Size:"), QStringLiteral("1,5 KB"),
        QStringLiteral("Modified:"), QStringLiteral("Type:")}) {
    EXPECT_TRUE(Texts.contains(Expected))
        << Expected.toStdString() << " in " << Texts.join(" | ").toStdString();
  }
  EXPECT_EQ(Dialog->parent(), &Owner);
}

}  // namespace
}  // namespace dunstrel::testing
