#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "support/TempDir.h"
#ifdef _WIN32
#include "platform/win32/WideText.h"
#endif

namespace dunstrel::platform {
namespace {

TEST(PathsTest, FolderPathForms) {
  struct TCase {
    const char* Path;
    const char* Stripped;
    const char* Last;
    const char* Child;  // of "f"
  } Cases[] = {
#ifdef _WIN32
      {"C:\\", "C:", "", "C:\\f"},  // a drive root is named without its delimiter
      {"C:\\Users\\", "C:\\Users", "Users", "C:\\Users\\f"},
      {"C:\\a\\\\", "C:\\a\\", "", "C:\\a\\f"},   // only one delimiter is removed
      {"C:\\a/b", "C:\\a/b", "b", "C:\\a/b\\f"},  // "/" delimits too
      {"\\\\server\\share\\", "\\\\server\\share", "share", "\\\\server\\share\\f"},
#else
      {"/", "/", "/", "/f"},
      {"/home/", "/home", "home", "/home/f"},
      {"/home//", "/home/", "", "/home/f"},  // only one delimiter is removed
      {"/a/b", "/a/b", "b", "/a/b/f"},
#endif
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(StripTrailingDelimiter(Case.Path), Case.Stripped);
    const std::string Stripped = StripTrailingDelimiter(Case.Path);
    EXPECT_EQ(LastComponent(Stripped), Case.Last) << Case.Path;
    std::string Child;
    AppendChildPath(Stripped, "f", Child);
    EXPECT_EQ(Child, Case.Child);
  }
#ifdef _WIN32
  EXPECT_EQ(ParentPath("C:\\a\\b"), "C:\\a");
  EXPECT_EQ(ParentPath("C:\\a"), "C:");
  EXPECT_EQ(ParentPath("C:"), "");
  EXPECT_TRUE(IsAbsolutePath("C:\\a"));
  EXPECT_TRUE(IsAbsolutePath("\\\\server\\share"));
  EXPECT_FALSE(IsAbsolutePath("C:a"));  // relative to the current folder of drive C
  EXPECT_FALSE(IsAbsolutePath("\\a"));
#else
  EXPECT_EQ(ParentPath("/a/b"), "/a");
  EXPECT_EQ(ParentPath("/a"), "/");
  EXPECT_EQ(ParentPath("/"), "");
#endif
}

#ifdef _WIN32
TEST(PathsTest, TypedFolderPathsBecomeAbsolute) {
  const testing::TTempDir Dir;
  wchar_t SavedProfile[MAX_PATH] = {};
  const bool HadProfile = GetEnvironmentVariableW(L"USERPROFILE", SavedProfile, MAX_PATH) != 0;
  SetEnvironmentVariableW(L"USERPROFILE", L"C:\\Users\\ann\\");
  const std::string SavedCwd = CurrentDirectory();
  ASSERT_TRUE(SetCurrentDirectoryW(win32::ToWide(Dir.Path()).c_str()));
  struct TCase {
    std::string Typed;
    std::string Resolved;
  } Cases[] = {
      {"~", "C:\\Users\\ann"},
      {"~\\music\\", "C:\\Users\\ann\\music"},
      {"~/music", "C:\\Users\\ann\\music"},
      {"~other", Dir.Path() + "\\~other"},  // only the user's own home is meant
      {"sub\\..\\x", Dir.Path() + "\\x"},
      {".", Dir.Path()},
      {"C:/Windows//.\\System32\\", "C:\\Windows\\System32"},
      {"C:\\..", "C:\\"},  // a drive root keeps its delimiter
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(ResolveUserFolderPath(Case.Typed), Case.Resolved) << Case.Typed;
  }
  ASSERT_TRUE(SetCurrentDirectoryW(win32::ToWide(SavedCwd).c_str()));
  SetEnvironmentVariableW(L"USERPROFILE", HadProfile ? SavedProfile : nullptr);
}
#else
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
#endif

TEST(PathsTest, ExistenceChecks) {
  const testing::TTempDir Dir;
  const std::string File = Dir.MakeFile("f.txt", 1);
  EXPECT_TRUE(DirectoryExists(Dir.Path()));
#ifndef _WIN32
  ASSERT_EQ(symlink(Dir.Path().c_str(), (Dir / "link").c_str()), 0);
  EXPECT_TRUE(DirectoryExists(Dir / "link"));  // links are followed
#endif
  EXPECT_FALSE(DirectoryExists(File));
  EXPECT_FALSE(DirectoryExists(Dir / "missing"));
  EXPECT_FALSE(DirectoryExists(""));
  EXPECT_TRUE(FileExists(File));
  EXPECT_FALSE(FileExists(Dir.Path()));
  EXPECT_FALSE(ExecutableDirectory().empty());
}

}  // namespace
}  // namespace dunstrel::platform
