#include <gtest/gtest.h>

#include "results/FileOperations.h"

namespace dunstrel {
namespace {

using TPaths = std::vector<std::string>;

TEST(FileOperationsTest, RemovalsDropRepeatsAndPathsInsideAListedFolder) {
  const struct {
    const char* What;
    TPaths Selected;
    TPaths Removed;
  } kCases[] = {
      {"kept as given", {"/b/two", "/a/one"}, {"/b/two", "/a/one"}},
      {"a group with one of its own files", {"/a/f", "/b/f", "/a/f"}, {"/a/f", "/b/f"}},
      {"a file under a listed folder, either order",
       {"/a/deep/f", "/a", "/c", "/a/x/y"},
       {"/a", "/c"}},
      {"a sibling that only starts alike",
       {"/a/b", "/a/bc", "/a/b.txt"},
       {"/a/b", "/a/bc", "/a/b.txt"}},
      {"a folder written with a trailing delimiter", {"/a/", "/a/f", "/a"}, {"/a/"}},
      {"everything under the root", {"/x/y", "/", "/z"}, {"/"}},
      {"names with a newline and invalid bytes",
       {"/n\nl/\xE9", "/n\nl", "/n\nl2"},
       {"/n\nl", "/n\nl2"}},
      {"empty paths", {"", "/a", ""}, {"/a"}},
      {"nothing", {}, {}},
  };
  for (const auto& Case : kCases) {
    SCOPED_TRACE(Case.What);
    EXPECT_EQ(PathsToRemove(Case.Selected), Case.Removed);
  }
}

TEST(FileOperationsTest, ClipboardTextHasOneLineBreakBetweenPathsAndNoneAfterTheLast) {
  EXPECT_EQ(JoinPathsForClipboard({"/a/one", "/b/t\nwo", "/c/\xFF"}), "/a/one\n/b/t\nwo\n/c/\xFF");
  EXPECT_EQ(JoinPathsForClipboard({"/only"}), "/only");
  EXPECT_EQ(JoinPathsForClipboard({}), "");
}

TEST(FileOperationsTest, QuestionsCountTheItems) {
  EXPECT_EQ(RemovalQuestion(true, 3, {}), "Move 3 item(s) to Recycle Bin?");
  EXPECT_EQ(RemovalQuestion(false, 1, {}), "Permanently delete 1 item(s)? (This cannot be undone)");
}

TEST(FileOperationsTest, FailureTextListsTenItemsWithReasonsThenCountsTheRest) {
  std::vector<TRemovalFailure> Failures;
  for (int I = 1; I <= 13; ++I) {
    Failures.push_back({"/d/f" + std::to_string(I), "Permission denied"});
  }
  const std::string Text = RemovalFailureText(false, Failures, {});
  EXPECT_TRUE(Text.starts_with("Failed to delete.\n\n/d/f1: Permission denied\n")) << Text;
  EXPECT_NE(Text.find("\n/d/f10: Permission denied\nand 3 more"), std::string::npos) << Text;
  EXPECT_TRUE(Text.ends_with("and 3 more")) << Text;
  EXPECT_EQ(Text.find("/d/f11"), std::string::npos);

  Failures.resize(kMaxListedFailures);
  EXPECT_EQ(RemovalFailureText(true, Failures, {}).find("more"), std::string::npos);
  EXPECT_EQ(RemovalFailureText(true, {{"/x", "gone"}}, {}),
            "Failed to remove to Recycle Bin.\n\n/x: gone");
  EXPECT_EQ(RemovalFailureText(true, {}, {}), "Failed to remove to Recycle Bin.");
}

}  // namespace
}  // namespace dunstrel
