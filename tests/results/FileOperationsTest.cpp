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
    std::vector<TRemovalItem> Items;
    for (const std::string& Path : Case.Selected) {
      Items.push_back({Path, static_cast<int64_t>(Items.size())});
    }
    TPaths Removed;
    for (const TRemovalItem& Item : ItemsToRemove(Items)) {
      Removed.push_back(Item.Path);
      // Each kept path keeps its own size.
      EXPECT_EQ(Items[static_cast<size_t>(Item.Bytes)].Path, Item.Path);
    }
    EXPECT_EQ(Removed, Case.Removed);
  }
}

TEST(FileOperationsTest, ClipboardTextHasOneLineBreakBetweenPathsAndNoneAfterTheLast) {
  EXPECT_EQ(JoinPathsForClipboard({"/a/one", "/b/t\nwo", "/c/\xFF"}), "/a/one\n/b/t\nwo\n/c/\xFF");
  EXPECT_EQ(JoinPathsForClipboard({"/only"}), "/only");
  EXPECT_EQ(JoinPathsForClipboard({}), "");
}

TEST(FileOperationsTest, QuestionsNameTheItemsCountThemAndGiveTheirSize) {
  std::vector<TRemovalItem> Many;
  for (int I = 1; I <= 25; ++I) {
    Many.push_back({"/d/f" + std::to_string(I), 1024 * 1024});
  }
  const struct {
    bool ToTrash;
    std::vector<TRemovalItem> Items;
    std::string Expected;
  } kCases[] = {
      {false,
       {{"/d/one file", 1536}},
       "Permanently delete 1 item(s)? (This cannot be undone)\n\n/d/one file\n\nTotal size: 1.5 "
       "KB"},
      // A line break in a name shows as its symbol, so that every path keeps to its line; bytes
      // that are no UTF-8 stay as they are, for the display to decode.
      {true,
       {{"/d/new\nline", 100}, {"/d/bad\xE9", 200}, {"/d/sub", 3 * 1048576}},
       "Move 3 item(s) to Trash?\n\n/d/new\u240Aline\n/d/bad\xE9\n/d/sub\n\nTotal size: "
       "3.0 MB"},
      {true, Many,
       "Move 25 item(s) to Trash?\n\n/d/f1\n/d/f2\n/d/f3\n/d/f4\n/d/f5\n/d/f6\n/d/f7\n/d/"
       "f8\n/d/f9\n/d/f10\nand 15 more\n\nTotal size: 25.0 MB"},
  };
  for (const auto& Case : kCases) {
    SCOPED_TRACE(Case.Items.size());
    EXPECT_EQ(RemovalQuestion(Case.ToTrash, Case.Items, {}), Case.Expected);
  }
}

TEST(FileOperationsTest, FailureTextListsTenItemsWithReasonsThenCountsTheRest) {
  std::vector<TRemovalFailure> Failures;
  for (int I = 1; I <= 13; ++I) {
    Failures.push_back({"/d/f" + std::to_string(I),
                        {platform::TProblemKind::PermissionDenied, "Permission denied"}});
  }
  const std::string Text = RemovalFailureText(false, Failures, {});
  EXPECT_TRUE(Text.starts_with("Failed to delete.\n\n/d/f1: permission denied\n")) << Text;
  EXPECT_NE(Text.find("\n/d/f10: permission denied\nand 3 more"), std::string::npos) << Text;
  EXPECT_TRUE(Text.ends_with("and 3 more")) << Text;
  EXPECT_EQ(Text.find("/d/f11"), std::string::npos);

  Failures.resize(kMaxListedFailures);
  EXPECT_EQ(RemovalFailureText(true, Failures, {}).find("more"), std::string::npos);
  EXPECT_EQ(RemovalFailureText(true, {{"/x", {platform::TProblemKind::Other, "gone"}}}, {}),
            "Failed to move to Trash.\n\n/x: gone");
  EXPECT_EQ(RemovalFailureText(true, {{"/a\tb\x7F", {platform::TProblemKind::Other, "gone"}}}, {}),
            "Failed to move to Trash.\n\n/a\u2409b\u2421: gone");
  EXPECT_EQ(RemovalFailureText(true, {}, {}), "Failed to move to Trash.");
}

}  // namespace
}  // namespace dunstrel
