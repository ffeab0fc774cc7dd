#include "platform/FileRead.h"
#include "platform/FileSave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/RemovalTarget.h"
#include "support/TempDir.h"
#ifdef _WIN32
#include "platform/win32/WideText.h"
#endif

namespace dunstrel::platform {
namespace {

namespace fs = std::filesystem;
using testing::TTempDir;

fs::path Native(const std::string& Path) {
#ifdef _WIN32
  return fs::path(win32::ToWide(Path));
#else
  return fs::path(Path);
#endif
}

std::string FileText(const std::string& Path) {
  std::ifstream In(Native(Path), std::ios::binary);
  std::stringstream Text;
  Text << In.rdbuf();
  return Text.str();
}

size_t EntriesIn(const std::string& Folder) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(Native(Folder)), {}));
}

TEST(FileSaveTest, TheTargetChangesOnlyWhenTheSaveIsCommitted) {
  const TTempDir Dir;
  const std::string Target = Dir / "scan.json";
  std::ofstream(Native(Target)) << "old";
  {
    TFileSave Abandoned(Target);
    ASSERT_TRUE(Abandoned.IsOpen()) << Abandoned.Failure().Text;
    EXPECT_TRUE(Abandoned.Write("never seen"));
    EXPECT_EQ(EntriesIn(Dir.Path()), 2u) << "the new file beside the target";
  }
  EXPECT_EQ(FileText(Target), "old");
  EXPECT_EQ(EntriesIn(Dir.Path()), 1u) << "an abandoned save leaves nothing";

  TFileSave Save(Target);
  ASSERT_TRUE(Save.IsOpen()) << Save.Failure().Text;
  EXPECT_TRUE(Save.Write("new "));
  EXPECT_TRUE(Save.Write(std::string(100000, 'x')));
  EXPECT_EQ(FileText(Target), "old");
  EXPECT_TRUE(Save.Commit()) << Save.Failure().Text;
  EXPECT_EQ(FileText(Target), "new " + std::string(100000, 'x'));
  EXPECT_EQ(EntriesIn(Dir.Path()), 1u);
}

TEST(FileSaveTest, ASaveThatCannotStartSaysWhyAndMakesNothing) {
  const TTempDir Dir;
  const struct TCase {
    const char* What;
    std::string Target;
  } Cases[] = {
      {"a missing folder", Dir / "missing/scan.json"},
      {"a path that ends in a delimiter", Dir / "scan.json/"},
      {"a path that ends in ..", Dir / "sub/.."},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.What);
    TFileSave Save(Case.Target);
    EXPECT_FALSE(Save.IsOpen());
    EXPECT_FALSE(Save.Failure().Text.empty());
    EXPECT_FALSE(Save.Write("x"));
    EXPECT_FALSE(Save.Commit());
    EXPECT_EQ(EntriesIn(Dir.Path()), 0u);
  }
}

TEST(FileReadTest, OnlyARegularFileIsOpened) {
  const TTempDir Dir;
  const std::string File = Dir / "scan.json";
  std::ofstream(Native(File)) << "content";
  TFileRead Read(File);
  ASSERT_TRUE(Read.IsOpen()) << Read.Problem().Text;
  char Buffer[16];
  EXPECT_EQ(Read.Read(Buffer, sizeof Buffer), 7);
  EXPECT_EQ(std::string(Buffer, 7), "content");
  EXPECT_EQ(Read.Read(Buffer, sizeof Buffer), 0);

  const TFileRead Folder(Dir.Path());
  EXPECT_FALSE(Folder.IsOpen());
  EXPECT_EQ(Folder.Failure(), TFileRead::EFailure::NotAFile);
  const TFileRead Missing(Dir / "missing.json");
  EXPECT_FALSE(Missing.IsOpen());
  EXPECT_EQ(Missing.Failure(), TFileRead::EFailure::System);
  EXPECT_EQ(Missing.Problem().Kind, TProblemKind::NotFound);
}

TEST(RemovalTargetTest, PathsAreReadWithoutInterpretingThem) {
  const struct TCase {
    const char* Path;
    const char* Parent;  // empty: refused
    const char* Name;
    const char* Reason;
  } Cases[] = {
#ifdef _WIN32
      {"C:\\a\\b", "C:\\a", "b", ""},
      {"C:\\a\\b\\\\", "C:\\a", "b", ""},
      {"C:/a//b/", "C:\\a", "b", ""},
      {"C:\\", "C:\\", "", ""},
      {"C:", "C:\\", "", ""},  // a drive as the scan names it
      {"\\\\server\\share\\x", "\\\\server\\share\\", "x", ""},
      {"\\\\server\\share", "\\\\server\\share\\", "", ""},
      {"a\\b", "", "", "not absolute"},
      {"\\a", "", "", "not absolute"},
      {"C:a", "", "", "not absolute"},
      {"~\\x", "", "", "not absolute"},
      {"C:\\a\\..\\b", "", "", "\"..\""},
      {"C:\\a\\.", "", "", "\"..\""},
      {"\\\\?\\C:\\x", "", "", "not absolute"},
      {"\\\\.\\C:\\x", "", "", "not absolute"},
#else
      {"/a/b", "/a", "b", ""},
      {"/a/b//", "/a", "b", ""},
      {"//a///b", "/a", "b", ""},
      {"/a", "/", "a", ""},
      {"/~", "/", "~", ""},
      {"/", "/", "", ""},
      {"//", "/", "", ""},
      {"~", "", "", "not absolute"},
      {"~/x", "", "", "not absolute"},
      {"a/b", "", "", "not absolute"},
      {"/a/../b", "", "", "\"..\""},
      {"/a/./b", "", "", "\"..\""},
      {"/a/..", "", "", "\"..\""},
      {"/a/.//", "", "", "\"..\""},
#endif
      {"", "", "", "no path"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Path);
    std::string Why;
    const auto Target = ReadRemovalTarget(Case.Path, Why);
    if (*Case.Parent == '\0') {
      EXPECT_FALSE(Target.has_value());
      EXPECT_NE(Why.find(Case.Reason), std::string::npos) << Why;
      continue;
    }
    ASSERT_TRUE(Target.has_value()) << Why;
    EXPECT_EQ(Target->Parent, Case.Parent);
    EXPECT_EQ(Target->Name, Case.Name);
  }
}

}  // namespace
}  // namespace dunstrel::platform
