#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "support/TempDir.h"

namespace dunstrel::platform {
namespace {

TEST(PathsTest, FolderPathForms) {
  struct TCase {
    const char* Path;
    const char* Stripped;
    const char* Last;
    const char* Child;  // of "f"
  } Cases[] = {
      {"/", "/", "/", "/f"},
      {"/home/", "/home", "home", "/home/f"},
      {"/home//", "/home/", "", "/home/f"},  // only one delimiter is removed
      {"/a/b", "/a/b", "b", "/a/b/f"},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(StripTrailingDelimiter(Case.Path), Case.Stripped);
    const std::string Stripped = StripTrailingDelimiter(Case.Path);
    EXPECT_EQ(LastComponent(Stripped), Case.Last) << Case.Path;
    std::string Child;
    AppendChildPath(Stripped, "f", Child);
    EXPECT_EQ(Child, Case.Child);
  }
  EXPECT_EQ(ParentPath("/a/b"), "/a");
  EXPECT_EQ(ParentPath("/a"), "/");
  EXPECT_EQ(ParentPath("/"), "");
}

TEST(PathsTest, TypedFolderPathsBecomeAbsolute) {
  const testing::TTempDir Dir;
  const char* OldHome = std::getenv("HOME");
  const std::string SavedHome = OldHome != nullptr ? OldHome : "";
  setenv("HOME", "/home/ann/", 1);
  const std::string SavedCwd = CurrentDirectory();
  ASSERT_EQ(chdir(Dir.Path().c_str()), 0);
  struct TCase {
    std::string Typed;
    std::string Resolved;
  } Cases[] = {
      {"~", "/home/ann"},
      {"~/music/", "/home/ann/music"},
      {"~other", Dir.Path() + "/~other"},  // only the user's own home is meant
      {"sub/../x", Dir.Path() + "/x"},
      {".", Dir.Path()},
      {"/usr//share/./doc/", "/usr/share/doc"},
      {"/..", "/"},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(ResolveUserFolderPath(Case.Typed), Case.Resolved) << Case.Typed;
  }
  ASSERT_EQ(chdir(SavedCwd.c_str()), 0);
  setenv("HOME", SavedHome.c_str(), 1);
}

TEST(PathsTest, ExistenceChecks) {
  const testing::TTempDir Dir;
  const std::string File = Dir.MakeFile("f.txt", 1);
  ASSERT_EQ(symlink(Dir.Path().c_str(), (Dir / "link").c_str()), 0);
  EXPECT_TRUE(DirectoryExists(Dir.Path()));
  EXPECT_TRUE(DirectoryExists(Dir / "link"));  // links are followed
  EXPECT_FALSE(DirectoryExists(File));
  EXPECT_FALSE(DirectoryExists(Dir / "missing"));
  EXPECT_FALSE(DirectoryExists(""));
  EXPECT_TRUE(FileExists(File));
  EXPECT_FALSE(FileExists(Dir.Path()));
  EXPECT_FALSE(ExecutableDirectory().empty());
}

}  // namespace
}  // namespace dunstrel::platform
