#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

#include "platform/FileRemoval.h"
#include "support/PrivateMounts.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

namespace dunstrel::platform {
namespace {

namespace fs = std::filesystem;
using testing::TMountTest;
using testing::TScopedEnvironment;
using testing::TTempDir;

bool EntryExists(const std::string& Path) {
  struct stat Info {};
  return lstat(Path.c_str(), &Info) == 0;
}

std::string ReadText(const std::string& Path) {
  std::ifstream File(Path, std::ios::binary);
  std::stringstream Text;
  Text << File.rdbuf();
  return Text.str();
}

void WriteText(const std::string& Path, const std::string& Text) {
  std::ofstream(Path, std::ios::binary) << Text;
}

TEST(FileRemovalTest, DeletesFilesAndWholeFolders) {
  const TTempDir Dir;
  const std::string File = Dir.MakeFile("single.txt", 10);
  Dir.MakeFile("tree/a/b/c/deep.bin", 5);
  Dir.MakeFile("tree/a/side.txt", 5);
  Dir.MakeDir("tree/empty");
  for (int I = 0; I < 300; ++I) {
    Dir.MakeFile("tree/many/f" + std::to_string(I));
  }

  EXPECT_TRUE(DeletePermanently(File));
  EXPECT_TRUE(DeletePermanently(Dir / "tree"));
  EXPECT_FALSE(EntryExists(File));
  EXPECT_FALSE(EntryExists(Dir / "tree"));
  EXPECT_FALSE(DeletePermanently(Dir / "tree")) << "a path that is gone cannot be deleted";
  EXPECT_FALSE(DeletePermanently(""));
}

TEST(FileRemovalTest, DeletingAFolderRemovesLinksInsideAndNeverWhatTheyPointTo) {
  const TTempDir Dir;
  const std::string Outside = Dir.MakeDir("outside");
  const std::string OutsideFile = Dir.MakeFile("outside/keep.txt", 7);
  const std::string Victim = Dir.MakeDir("victim");
  Dir.MakeFile("victim/own.txt", 3);
  Dir.MakeDir("victim/sub");
  ASSERT_EQ(symlink(Outside.c_str(), (Victim + "/link-to-folder").c_str()), 0);
  ASSERT_EQ(symlink(OutsideFile.c_str(), (Victim + "/sub/link-to-file").c_str()), 0);
  ASSERT_EQ(symlink("/nonexistent/target", (Victim + "/dangling").c_str()), 0);

  EXPECT_TRUE(DeletePermanently(Victim));
  EXPECT_FALSE(EntryExists(Victim));
  EXPECT_TRUE(fs::is_directory(Outside));
  EXPECT_EQ(fs::file_size(OutsideFile), 7u);

  // A link given itself is removed as a link, even when it points to a folder.
  const std::string Link = Dir / "link";
  ASSERT_EQ(symlink(Outside.c_str(), Link.c_str()), 0);
  EXPECT_TRUE(DeletePermanently(Link));
  EXPECT_FALSE(EntryExists(Link));
  EXPECT_TRUE(fs::exists(OutsideFile));
}

// Makes Folder the current folder for the lifetime of the object.
class TScopedCurrentFolder {
 public:
  explicit TScopedCurrentFolder(const std::string& Folder) : FPrevious(fs::current_path()) {
    fs::current_path(Folder);
  }
  ~TScopedCurrentFolder() { fs::current_path(FPrevious); }
  TScopedCurrentFolder(const TScopedCurrentFolder&) = delete;
  TScopedCurrentFolder& operator=(const TScopedCurrentFolder&) = delete;

 private:
  fs::path FPrevious;
};

// Both removals, for the cases that hold for either.
struct TRemoval {
  const char* Name;
  bool (*Remove)(const std::string&, TProblem*);
};
constexpr TRemoval kRemovals[] = {{"delete", DeletePermanently}, {"trash", MoveToTrash}};

// Paths that could steer a removal elsewhere than the entry they name: a link written with a
// trailing delimiter is removed as a link, and a path that only a textual reading would resolve
// (relative, "~", "." or "..") is refused before anything is touched.
TEST(FileRemovalTest, AHostilePathRemovesOnlyTheEntryItNames) {
  const struct TCase {
    const char* What;
    const char* Path;    // relative to the test's folder where it starts with "@/"
    const char* Reason;  // empty: removed
    std::vector<const char*> Gone;
  } Cases[] = {
      {"a link to a folder, with a delimiter", "@/link/", "", {"link"}},
      {"a link to a folder, with two delimiters", "@/link//", "", {"link"}},
      {"a file named ~ in the current folder", "~", "not absolute", {}},
      {"a relative path", "victim", "not absolute", {}},
      {"the home folder's short form", "~/file", "not absolute", {}},
      {"a link, then ..", "@/lnk/../victim", "\"..\"", {}},
      {"a . component", "@/./victim", "\"..\"", {}},
      {"a .. at the end", "@/other/sub/..", "\"..\"", {}},
      {"no path", "", "no path", {}},
  };
  const std::vector<std::string> Planted = {
      "target/keep.txt", "link", "~", "victim", "home/file", "lnk", "other/victim", "other/sub"};
  for (const TRemoval& Removal : kRemovals) {
    for (const TCase& Case : Cases) {
      SCOPED_TRACE(std::string(Removal.Name) + ": " + Case.What);
      const TTempDir Dir;
      const TTempDir Data;
      const TScopedEnvironment DataHome("XDG_DATA_HOME", Data.Path());
      const TScopedEnvironment Home("HOME", Dir / "home");
      Dir.MakeFile("target/keep.txt", 4);
      Dir.MakeFile("~", 1);
      Dir.MakeFile("victim", 1);
      Dir.MakeFile("home/file", 1);
      Dir.MakeFile("other/victim", 1);
      Dir.MakeDir("other/sub");
      ASSERT_EQ(symlink((Dir / "target").c_str(), (Dir / "link").c_str()), 0);
      ASSERT_EQ(symlink((Dir / "other/sub").c_str(), (Dir / "lnk").c_str()), 0);
      const TScopedCurrentFolder InDir(Dir.Path());

      std::string Path = Case.Path;
      if (Path.starts_with("@/")) {
        Path = Dir.Path() + Path.substr(1);
      }
      TProblem Failure;
      const bool Removed = Removal.Remove(Path, &Failure);
      EXPECT_EQ(Removed, *Case.Reason == '\0') << Failure.Text;
      EXPECT_NE(Failure.Text.find(Case.Reason), std::string::npos) << Failure.Text;
      for (const std::string& Entry : Planted) {
        const bool ShouldBeGone =
            std::find(Case.Gone.begin(), Case.Gone.end(), Entry) != Case.Gone.end();
        EXPECT_EQ(EntryExists(Dir / Entry), !ShouldBeGone) << Entry;
      }
    }
  }
}

// What is mounted inside the folders the removal is given: a bind mount of a folder of the same
// file system, or a file system of its own.
struct TMountKind {
  const char* Name;
  bool Bind;
};
constexpr TMountKind kMountKinds[] = {{"bind mount", true}, {"tmpfs", false}};

class RemovalMountTest : public TMountTest {
 protected:
  // Mounts at Target either a bind of "outside" or a tmpfs, with keep.txt in it; empty when done.
  std::string MountWithFile(const TMountKind& Kind, const std::string& Target) {
    const std::string Outside = FDir.MakeDir("outside");
    const std::string Failure = Mount(Kind.Bind ? Outside : "", Target);
    if (Failure.empty()) {
      WriteText(Target + "/keep.txt", "keep");
    }
    return Failure;
  }
};

TEST_F(RemovalMountTest, AMountInsideADeletedFolderIsNeverEntered) {
  for (const TMountKind& Kind : kMountKinds) {
    SCOPED_TRACE(Kind.Name);
    const std::string Victim = FDir.MakeDir(std::string("victim-") + Kind.Name);
    FDir.MakeFile(std::string("victim-") + Kind.Name + "/own.txt", 3);
    FDir.MakeFile(std::string("victim-") + Kind.Name + "/sub/deep.txt", 3);
    const std::string Mounted = FDir.MakeDir(std::string("victim-") + Kind.Name + "/sub/mnt");
    if (const std::string Failure = MountWithFile(Kind, Mounted); !Failure.empty()) {
      GTEST_SKIP() << Failure;
    }

    TProblem Failure;
    EXPECT_FALSE(DeletePermanently(Victim, &Failure));
    EXPECT_NE(Failure.Text.find("mounted inside"), std::string::npos) << Failure.Text;
    EXPECT_EQ(ReadText(Mounted + "/keep.txt"), "keep");
    EXPECT_FALSE(EntryExists(Victim + "/own.txt"));
    EXPECT_FALSE(EntryExists(Victim + "/sub/deep.txt"));
  }
}

TEST_F(RemovalMountTest, AMountPointItselfIsRefusedBeforeAnythingIsTouched) {
  for (const TMountKind& Kind : kMountKinds) {
    SCOPED_TRACE(Kind.Name);
    const std::string Mounted = FDir.MakeDir(std::string("mnt-") + Kind.Name);
    if (const std::string Failure = MountWithFile(Kind, Mounted); !Failure.empty()) {
      GTEST_SKIP() << Failure;
    }

    for (const std::string& Path : {Mounted, Mounted + "/", Mounted + "//"}) {
      TProblem Failure;
      EXPECT_FALSE(DeletePermanently(Path, &Failure)) << Path;
      EXPECT_NE(Failure.Text.find("mount point"), std::string::npos) << Failure.Text;
      EXPECT_EQ(ReadText(Mounted + "/keep.txt"), "keep") << Path;
    }
  }
}

TEST_F(RemovalMountTest, AFileBoundOverAnotherIsAMountToo) {
  const TTempDir Data;
  const TScopedEnvironment DataHome("XDG_DATA_HOME", Data.Path());
  const std::string Source = FDir.MakeFile("source.txt");
  WriteText(Source, "keep");
  const std::string Bound = FDir.MakeFile("folder/bound.txt");
  if (const std::string Failure = Mount(Source, Bound); !Failure.empty()) {
    GTEST_SKIP() << Failure;
  }
  for (const TRemoval& Removal : kRemovals) {
    SCOPED_TRACE(Removal.Name);
    TProblem Failure;
    EXPECT_FALSE(Removal.Remove(Bound, &Failure));
    EXPECT_NE(Failure.Text.find("mount point"), std::string::npos) << Failure.Text;
  }
  TProblem Failure;
  EXPECT_FALSE(DeletePermanently(FDir / "folder", &Failure));
  EXPECT_NE(Failure.Text.find("mounted inside"), std::string::npos) << Failure.Text;
  EXPECT_EQ(ReadText(Bound), "keep");
  EXPECT_EQ(ReadText(Source), "keep");
}

// A folder swapped for a file and back while it is deleted: the removal either takes what it
// finds or says that the entry changed, never a bare "Not a directory", and never touches
// anything beside it.
TEST(FileRemovalTest, AFolderSwappedDuringTheDeleteIsReportedAsSuch) {
  const TTempDir Dir;
  const std::string Victim = Dir / "victim";
  const std::string Other = Dir / "other";
  const std::string Keep = Dir.MakeFile("keep/keep.txt", 4);
  std::set<std::string> Failures;
  for (int Round = 0; Round < 300; ++Round) {
    fs::remove_all(Victim);
    fs::remove_all(Other);
    Dir.MakeFile("victim/a/b.txt", 1);
    Dir.MakeFile("other", 1);
    std::atomic<bool> Stop = false;
    std::thread Swapper([&] {
      while (!Stop) {
        renameat2(AT_FDCWD, Victim.c_str(), AT_FDCWD, Other.c_str(), RENAME_EXCHANGE);
      }
    });
    TProblem Failure;
    if (!DeletePermanently(Victim, &Failure)) {
      Failures.insert(Failure.Text);
    }
    Stop = true;
    Swapper.join();
  }
  for (const std::string& Failure : Failures) {
    EXPECT_EQ(Failure.find("Not a directory"), std::string::npos) << Failure;
    EXPECT_EQ(Failure.find("Is a directory"), std::string::npos) << Failure;
  }
  EXPECT_TRUE(EntryExists(Keep));
}

// Runs Check in a child process whose root is a fresh temporary folder, so that a removal of "/"
// that went wrong could only empty that folder. Returns what the child reported, or why it could
// not run.
std::string InChangedRoot(const std::function<std::string()>& Check) {
  const TTempDir Root;
  Root.MakeFile("keep.txt", 4);
  Root.MakeDir("sub");
  int Pipe[2];
  if (pipe(Pipe) != 0) {
    return "no pipe";
  }
  const pid_t Child = fork();
  if (Child == 0) {
    close(Pipe[0]);
    const std::string Report = chroot(Root.Path().c_str()) != 0 || chdir("/") != 0
                                   ? std::string("skip: ") + std::strerror(errno)
                                   : Check();
    (void)!write(Pipe[1], Report.data(), Report.size());
    _exit(0);
  }
  close(Pipe[1]);
  std::string Report;
  char Buffer[256];
  for (ssize_t Read; (Read = read(Pipe[0], Buffer, sizeof Buffer)) > 0;) {
    Report.append(Buffer, static_cast<size_t>(Read));
  }
  close(Pipe[0]);
  int Status = 0;
  waitpid(Child, &Status, 0);
  if (!EntryExists(Root / "keep.txt")) {
    Report += "keep.txt was deleted; ";
  }
  return Report;
}

TEST(FileRemovalTest, TheRootFolderIsRefusedBeforeAnythingIsTouched) {
  const std::string Report = InChangedRoot([] {
    std::string Faults;
    const struct {
      const char* Path;
      const char* Reason;
    } Cases[] = {{"/", "root"},
                 {"//", "root"},
                 {"/.", "\"..\""},
                 {"/sub/..", "\"..\""},
                 {"/sub/../", "\"..\""}};
    for (const auto& Case : Cases) {
      TProblem Failure;
      if (DeletePermanently(Case.Path, &Failure) ||
          Failure.Text.find(Case.Reason) == std::string::npos) {
        Faults += std::string(Case.Path) + " answered \"" + Failure.Text + "\"; ";
      }
    }
    return Faults;
  });
  if (Report.starts_with("skip: ")) {
    GTEST_SKIP() << "skipped: the test changes its root folder, which the machine refused: "
                 << Report.substr(6);
  }
  EXPECT_EQ(Report, "");
}

TEST(FileRemovalTest, AChainDeeperThanTheOpenFileLimitIsRemovedWhole) {
  const TTempDir Dir;
  // Thousands of folders are made and removed much faster in memory, where the machine allows.
  std::optional<testing::TScopedMount> InMemory;
  if (testing::EnterPrivateMountNamespace().empty()) {
    InMemory.emplace("", Dir.Path());
  }
  const std::string Top = Dir / "chain";

  // 16 open files, the standard three among them, leave the removal a dozen at most.
  for (const uint64_t OpenFiles : {256, 16}) {
    SCOPED_TRACE(OpenFiles);
    fs::create_directory(Top);
    ASSERT_TRUE(testing::MakeFolderChain(Top, 3000, 100));
    const testing::TScopedFileLimit Limit(OpenFiles);
    TProblem Failure;
    EXPECT_TRUE(DeletePermanently(Top, &Failure)) << Failure.Text;
    EXPECT_FALSE(EntryExists(Top));
  }
}

class TrashTest : public ::testing::Test {
 protected:
  TTempDir FData;
  TTempDir FItems;
  TScopedEnvironment FDataHome{"XDG_DATA_HOME", FData.Path()};

  std::string Trash(const std::string& Relative) const { return FData / ("Trash/" + Relative); }
};

TEST_F(TrashTest, MovesAnItemWithItsInfoFileAndNameBytesIntact) {
  // A name that is not valid UTF-8, with a blank and a percent sign that must be encoded.
  const std::string Name = "odd \xE9 50%.txt";
  const std::string File = FItems.MakeFile(Name);
  WriteText(File, "content");

  ASSERT_TRUE(MoveToTrash(File));
  EXPECT_FALSE(EntryExists(File));
  EXPECT_EQ(ReadText(Trash("files/" + Name)), "content");
  const std::string Info = ReadText(Trash("info/" + Name + ".trashinfo"));
  const std::regex Expected("\\[Trash Info\\]\nPath=" + FItems.Path() +
                            "/odd%20%E9%2050%25\\.txt\n"
                            "DeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n");
  EXPECT_TRUE(std::regex_match(Info, Expected)) << Info;
  EXPECT_EQ(fs::status(Trash("files")).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(TrashTest, SecondItemOfTheSameNameGetsANewNameAndFoldersKeepTheirLinks) {
  const std::string First = FItems.MakeFile("a/report.txt");
  WriteText(First, "first");
  const std::string Second = FItems.MakeFile("b/report.txt");
  WriteText(Second, "second");
  const std::string Folder = FItems.MakeDir("c/folder");
  const std::string Outside = FItems.MakeFile("outside.txt", 4);
  ASSERT_EQ(symlink(Outside.c_str(), (Folder + "/link").c_str()), 0);

  ASSERT_TRUE(MoveToTrash(First));
  ASSERT_TRUE(MoveToTrash(Second));
  ASSERT_TRUE(MoveToTrash(Folder));
  EXPECT_EQ(ReadText(Trash("files/report.txt")), "first");
  EXPECT_EQ(ReadText(Trash("files/report.txt.2")), "second");
  EXPECT_NE(ReadText(Trash("info/report.txt.2.trashinfo")).find("Path=" + Second + "\n"),
            std::string::npos);
  EXPECT_TRUE(fs::is_symlink(Trash("files/folder/link")));
  EXPECT_EQ(fs::file_size(Outside), 4u);
}

TEST_F(TrashTest, LongNamesAreCutAtACharacterBoundaryWhenTheyAreUtf8) {
  // 254 bytes each; the trash has room for 245 (243 once ".2" is added) before ".trashinfo".
  std::string Accented;
  for (int I = 0; I < 127; ++I) {
    Accented += "\xC3\xA9";
  }
  const std::string Latin1(254, '\xE9');
  const struct {
    const char* Kind;
    std::string Name;
    size_t First;
    size_t Second;
  } kCases[] = {{"UTF-8", Accented, 244, 242}, {"not UTF-8", Latin1, 245, 243}};
  for (const auto& Case : kCases) {
    SCOPED_TRACE(Case.Kind);
    ASSERT_TRUE(MoveToTrash(FItems.MakeFile("1/" + Case.Name)));
    ASSERT_TRUE(MoveToTrash(FItems.MakeFile("2/" + Case.Name)));
    EXPECT_TRUE(EntryExists(Trash("files/" + Case.Name.substr(0, Case.First))));
    EXPECT_TRUE(EntryExists(Trash("files/" + Case.Name.substr(0, Case.Second) + ".2")));
  }
}

TEST_F(TrashTest, TheRecordedPathIsAbsoluteWithoutRepeatedDelimiters) {
  const std::string File = FItems.MakeFile("b/report.txt");
  ASSERT_TRUE(MoveToTrash(FItems.Path() + "//b///report.txt"));
  EXPECT_FALSE(EntryExists(File));
  EXPECT_NE(ReadText(Trash("info/report.txt.trashinfo")).find("\nPath=" + File + "\n"),
            std::string::npos)
      << ReadText(Trash("info/report.txt.trashinfo"));
}

TEST_F(TrashTest, AnItemThatCannotBeMovedSaysWhyAndLeavesNoTraceInTheTrash) {
  TProblem Failure;
  EXPECT_FALSE(MoveToTrash(FItems / "missing.txt", &Failure));
  EXPECT_EQ(Failure.Kind, TProblemKind::NotFound);
  EXPECT_FALSE(MoveToTrash("", &Failure));
  EXPECT_FALSE(MoveToTrash("/", &Failure));
  EXPECT_NE(Failure.Text.find("root"), std::string::npos) << Failure.Text;
  EXPECT_TRUE(!fs::exists(Trash("info")) || fs::is_empty(Trash("info")));
}

// The trash of a file system of its own (a tmpfs mounted for the test), beside the home trash of
// the test's temporary data folder.
class VolumeTrashTest : public TMountTest {
 protected:
  void SetUp() override {
    TMountTest::SetUp();
    if (IsSkipped()) {
      return;
    }
    if (const std::string Failure = Mount("", FDir.MakeDir("vol")); !Failure.empty()) {
      GTEST_SKIP() << Failure;
    }
  }

  std::string Vol(const std::string& Relative) const { return FDir / ("vol/" + Relative); }
  std::string OwnTrash() const { return ".Trash-" + std::to_string(getuid()); }

  TTempDir FData;
  TScopedEnvironment FDataHome{"XDG_DATA_HOME", FData.Path()};
};

TEST_F(VolumeTrashTest, AnItemOnAnotherFileSystemGoesToThatFileSystemsTrash) {
  // A name with a newline, a leading dash, a blank, a percent sign and a byte that is not UTF-8.
  const std::string Name = "-n\nx 5%\xE9";
  fs::create_directories(Vol("sub"));
  WriteText(Vol("sub/" + Name), "content");

  TProblem Failure;
  ASSERT_TRUE(MoveToTrash(Vol("sub/" + Name), &Failure)) << Failure.Text;
  EXPECT_FALSE(EntryExists(Vol("sub/" + Name)));
  EXPECT_EQ(ReadText(Vol(OwnTrash() + "/files/" + Name)), "content");
  // Relative to the top of its file system, as the trash standard has it there.
  const std::string Info = ReadText(Vol(OwnTrash() + "/info/" + Name + ".trashinfo"));
  EXPECT_TRUE(Info.starts_with("[Trash Info]\nPath=sub/-n%0Ax%205%25%E9\nDeletionDate=")) << Info;
  EXPECT_EQ(fs::status(Vol(OwnTrash())).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_FALSE(fs::exists(FData / "Trash/files")) << "the home trash is not used";

  // A second item of the same name keeps the first.
  WriteText(Vol(Name), "second");
  ASSERT_TRUE(MoveToTrash(Vol(Name), &Failure)) << Failure.Text;
  EXPECT_EQ(ReadText(Vol(OwnTrash() + "/files/" + Name)), "content");
  EXPECT_EQ(ReadText(Vol(OwnTrash() + "/files/" + Name + ".2")), "second");
}

TEST_F(VolumeTrashTest, TheSharedTrashIsUsedOnlyWithTheStickyBitAndNeverThroughALink) {
  const std::string Uid = std::to_string(getuid());
  const std::string Elsewhere = FDir.MakeDir("elsewhere");
  const struct {
    const char* What;
    std::function<void()> Prepare;
    std::string Expected;
  } kCases[] = {
      {"a shared trash with the sticky bit",
       [&] {
         fs::create_directory(Vol(".Trash"));
         chmod(Vol(".Trash").c_str(), 01777);
       },
       ".Trash/" + Uid},
      {"a shared trash without the sticky bit", [&] { fs::create_directory(Vol(".Trash")); },
       OwnTrash()},
      {"a shared trash that is a link",
       [&] {
         chmod(Elsewhere.c_str(), 01777);
         fs::create_directory_symlink(Elsewhere, Vol(".Trash"));
       },
       OwnTrash()},
  };
  for (const auto& Case : kCases) {
    SCOPED_TRACE(Case.What);
    fs::remove_all(Vol(".Trash"));
    fs::remove_all(Vol(OwnTrash()));
    Case.Prepare();
    WriteText(Vol("item"), "x");
    TProblem Failure;
    ASSERT_TRUE(MoveToTrash(Vol("item"), &Failure)) << Failure.Text;
    EXPECT_EQ(ReadText(Vol(Case.Expected + "/files/item")), "x");
    EXPECT_TRUE(EntryExists(Vol(Case.Expected + "/info/item.trashinfo")));
  }
  EXPECT_TRUE(fs::is_empty(Elsewhere)) << "nothing was made through the link";
}

TEST_F(VolumeTrashTest, WithoutATrashFolderTheItemStaysAndTheFailureSaysWhy) {
  // A link planted where the user's trash would be made is never followed.
  const std::string Elsewhere = FDir.MakeDir("elsewhere");
  fs::create_directory_symlink(Elsewhere, Vol(OwnTrash()));
  WriteText(Vol("item"), "stays");

  TProblem Failure;
  EXPECT_FALSE(MoveToTrash(Vol("item"), &Failure));
  // Said where: the top of the file system that has no trash.
  EXPECT_EQ(Failure.Path, fs::canonical(FDir / "vol").string()) << Failure.Text;
  EXPECT_FALSE(Failure.Text.empty());
  EXPECT_EQ(ReadText(Vol("item")), "stays");
  EXPECT_TRUE(fs::is_empty(Elsewhere));
  EXPECT_FALSE(fs::exists(FData / "Trash/files/item")) << "never copied to the home trash";

  // The top folder of the file system itself is never moved.
  EXPECT_FALSE(MoveToTrash(FDir / "vol", &Failure));
  EXPECT_NE(Failure.Text.find("mount point"), std::string::npos) << Failure.Text;
  EXPECT_EQ(ReadText(Vol("item")), "stays");
}

}  // namespace
}  // namespace dunstrel::platform
