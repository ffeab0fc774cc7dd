#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace dunstrel::testing {
namespace {

using TAction = TCommandLine::TAction;

TEST(CommandLineTest, ArgumentsAsked) {
  const struct {
    std::vector<std::string> Arguments;
    TAction Action;
    std::string ScanPath;
    std::string ScanFile = {};
    std::string CompareWith = {};
  } Cases[] = {
      {{}, TAction::ShowWindow, ""},
      {{"/srv/data"}, TAction::ShowWindow, "/srv/data"},
      {{"caf\xe9 folder"}, TAction::ShowWindow, "caf\xe9 folder"},  // not UTF-8: bytes kept
      {{"--", "-odd-name"}, TAction::ShowWindow, "-odd-name"},
      {{"--version"}, TAction::PrintVersion, ""},
      {{"/srv", "--help"}, TAction::PrintHelp, ""},
      {{"-h"}, TAction::PrintHelp, ""},
      {{"--frobnicate"}, TAction::Refuse, ""},
      {{"/one", "/two"}, TAction::Refuse, ""},
      {{""}, TAction::Refuse, ""},
      {{"--open", "scan.json"}, TAction::ShowWindow, "", "scan.json"},
      {{"--open", "-x.json"}, TAction::ShowWindow, "", "-x.json"},  // the file as given
      {{"--open"}, TAction::Refuse, ""},
      {{"--open", "a.json", "/srv"}, TAction::Refuse, ""},
      {{"--export", "out.json", "/srv"}, TAction::ExportScan, "/srv", "out.json"},
      {{"--export", "out.json", "--", "-dir"}, TAction::ExportScan, "-dir", "out.json"},
      {{"--export", "out.json"}, TAction::Refuse, ""},
      {{"--export", "out.json", "/a", "/b"}, TAction::Refuse, ""},
      {{"--export", "a.json", "--open", "b.json"}, TAction::Refuse, ""},
      {{"--compare", "old.json", "/srv"}, TAction::ShowWindow, "/srv", "", "old.json"},
      {{"--open", "new.json", "--compare", "old.json"},
       TAction::ShowWindow,
       "",
       "new.json",
       "old.json"},
      {{"--compare", "old.json"}, TAction::Refuse, ""},  // nothing to compare
      {{"--compare"}, TAction::Refuse, ""},
      {{"--compare", "a.json", "--compare", "b.json", "/srv"}, TAction::Refuse, ""},
      {{"--compare", "a.json", "--export", "b.json", "/srv"}, TAction::Refuse, ""},
  };
  for (const auto& Case : Cases) {
    const TCommandLine Command = ParseCommandLine(Case.Arguments);
    EXPECT_EQ(Command.Action, Case.Action) << ::testing::PrintToString(Case.Arguments);
    EXPECT_EQ(Command.ScanPath, Case.ScanPath) << ::testing::PrintToString(Case.Arguments);
    EXPECT_EQ(Command.ScanFile, Case.ScanFile) << ::testing::PrintToString(Case.Arguments);
    EXPECT_EQ(Command.CompareWith, Case.CompareWith) << ::testing::PrintToString(Case.Arguments);
    EXPECT_EQ(Command.Problem.empty(), Case.Action != TAction::Refuse);
  }
}

}  // namespace
}  // namespace dunstrel::testing
