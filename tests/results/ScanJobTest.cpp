#include <gtest/gtest.h>

#include <fstream>

#include "results/ScanJob.h"
#include "scan/ExtensionTotals.h"
#include "scan/FakeDirectoryLister.h"
#include "support/TempDir.h"

namespace dunstrel {
namespace {

using testing::FakeDir;
using testing::FakeFile;
using testing::TFakeDirectoryLister;
using TEnd = TScanOutcome::TEnd;

// A tick that only moves when the test moves it.
class TManualTick : public platform::ITickSource {
 public:
  uint32_t NowMs() const override { return Now; }
  uint32_t Now = 0;
};

// A job walking a table of folders; the test keeps a pointer to the table to change it, and sees
// what the job tells.
struct TJobFixture {
  std::shared_ptr<TScanContext> Context = std::make_shared<TScanContext>();
  TFakeDirectoryLister* Lister = nullptr;
  std::unique_ptr<TScanJob> Job;
  std::vector<TWalkProgress> Walked;
  std::vector<std::string> Building;
  int Ended = 0;

  explicit TJobFixture(TScanSource Source,
                       const platform::ITickSource& Tick = platform::SystemTick()) {
    auto OwnedLister = std::make_unique<TFakeDirectoryLister>();
    Lister = OwnedLister.get();
    Job = std::make_unique<TScanJob>(Context,
                                     WalkSource(std::move(Source), std::move(OwnedLister), Tick),
                                     TSizeCount::ApparentSize, TFormatSettings{});
    Job->SetNotices({[this](const TWalkProgress& Progress) { Walked.push_back(Progress); },
                     [this](const TBuildStatus& Status) { Building.push_back(Status.Text); },
                     [this] { ++Ended; }});
  }
};

TScanSource Drives(std::vector<std::string> Roots) {
  return {true, {}, std::move(Roots)};
}

void AddTwoDrives(TFakeDirectoryLister& Lister) {
  Lister.Folders["/d1/"] = {FakeFile("a.txt", 10), FakeDir("sub")};
  Lister.Folders["/d1/sub/"] = {FakeFile("b.TXT", 5)};
  Lister.Folders["/d2/"] = {FakeFile("c.bin", 100)};
}

TEST(ScanJobTest, AllDrivesGoUnderOneRootWithSummedTotals) {
  TJobFixture F(Drives({"/d1", "/d2"}));
  AddTwoDrives(*F.Lister);
  F.Job->Run();
  ASSERT_TRUE(F.Job->WaitFinished(std::chrono::milliseconds(0)));

  TScanOutcome Outcome = F.Job->TakeOutcome();
  EXPECT_EQ(Outcome.End, TEnd::Done);
  EXPECT_EQ(Outcome.Err, "");
  ASSERT_NE(Outcome.Results, nullptr);
  const TDirNode& Root = *Outcome.Results->Root;
  EXPECT_EQ(Root.Name(), "(All Drives)");
  EXPECT_EQ(Root.FullPath(), "");
  ASSERT_EQ(Root.Children.size(), 2u);
  EXPECT_EQ(Root.Children[0]->FullPath(), "/d2") << "the larger drive first";
  EXPECT_EQ(Root.Children[1]->Parent(), &Root);
  EXPECT_EQ(Root.TotalSize, 115);
  EXPECT_EQ(Root.TotalFiles, 3);
  EXPECT_EQ(Root.TotalDirs, 3);
  ASSERT_TRUE(ExtensionTotalsOf(Root).Find(".txt").has_value());
  EXPECT_EQ(ExtensionTotalsOf(Root).Find(".txt")->Files, 2);
  EXPECT_EQ(ExtensionTotalsOf(Root).Find(".bin").value().Bytes, 100);
  // Each drive keeps its files in storage of its own: the extensions are told apart all the same.
  const TScanResults& Results = *Outcome.Results;
  ASSERT_EQ(Results.Extensions.size(), 2u);
  for (const TFileLeaf* File : Results.AllFiles) {
    EXPECT_EQ(Results.Extensions[Results.ExtensionOf(*File)].Key,
              File->Name() == "c.bin" ? ".bin" : ".txt")
        << File->Name();
  }

  // After each drive the progress names it with the counts so far.
  ASSERT_EQ(F.Walked.size(), 2u);
  EXPECT_EQ(F.Walked[0].Path, "/d1");
  EXPECT_EQ(F.Walked[0].Files, 2);
  EXPECT_EQ(F.Walked[0].Dirs, 2);
  EXPECT_EQ(F.Walked[0].Bytes, 15);
  EXPECT_EQ(F.Walked[1].Path, "/d2");
  EXPECT_EQ(F.Walked[1].Files, 3);
  EXPECT_EQ(F.Walked[1].Bytes, 115);
  EXPECT_FALSE(F.Building.empty());
  EXPECT_EQ(F.Ended, 1);
  EXPECT_EQ(F.Job->TakeOutcome().Results, nullptr) << "the outcome is handed over once";
}

TEST(ScanJobTest, AllDrivesSumsStopAtTheLargestSize) {
  TJobFixture F(Drives({"/d1", "/d2"}));
  F.Lister->Folders["/d1/"] = {FakeFile("a.img", INT64_MAX)};
  F.Lister->Folders["/d2/"] = {FakeFile("b.img", INT64_MAX), FakeFile("c.txt", 1)};
  F.Job->Run();
  const TScanOutcome Outcome = F.Job->TakeOutcome();
  ASSERT_NE(Outcome.Results, nullptr);
  EXPECT_EQ(Outcome.Results->Root->TotalSize, INT64_MAX);
  EXPECT_EQ(Outcome.Results->AllTotalBytes, INT64_MAX);
  EXPECT_EQ(ExtensionTotalsOf(*Outcome.Results->Root).Find(".img")->Bytes, INT64_MAX);
  EXPECT_EQ(F.Walked.back().Bytes, INT64_MAX);
}

TEST(ScanJobTest, StopDropsTheDriveBeingScannedAndScansNoFurther) {
  TJobFixture F(Drives({"/d1", "/d2", "/d3"}));
  AddTwoDrives(*F.Lister);
  F.Lister->Folders["/d2/"].push_back(FakeDir("deeper"));
  F.Lister->Folders["/d3/"] = {};
  F.Lister->OnList = [&](const std::string& Folder) {
    if (Folder == "/d2/") {
      F.Context->Cancel();
    }
  };
  F.Job->Run();
  const TScanOutcome Outcome = F.Job->TakeOutcome();
  EXPECT_EQ(Outcome.End, TEnd::SourceStopped);
  EXPECT_EQ(Outcome.Err, "");
  EXPECT_EQ(Outcome.Results, nullptr);
  EXPECT_TRUE(F.Building.empty()) << "nothing is built from a stopped walk";
  EXPECT_EQ(F.Lister->Listed, (std::vector<std::string>{"/d1/", "/d1/sub/", "/d2/"}));

  // The walk itself keeps the drives it finished.
  auto Lister = std::make_unique<TFakeDirectoryLister>();
  AddTwoDrives(*Lister);
  TFakeDirectoryLister& Listing = *Lister;
  TScanContext Context;
  Listing.OnList = [&](const std::string& Folder) {
    if (Folder == "/d2/") {
      Context.Cancel();
    }
  };
  const TSourceTree Tree =
      WalkSource(Drives({"/d1", "/d2"}), std::move(Lister))->Load(Context, [](const auto&) {});
  ASSERT_NE(Tree.Root, nullptr);
  ASSERT_EQ(Tree.Root->Children.size(), 1u);
  EXPECT_EQ(Tree.Root->Children[0]->FullPath(), "/d1");
}

TEST(ScanJobTest, AnErrorInTheWalkBecomesTheErrorText) {
  TJobFixture F({false, "/d1", {}});
  AddTwoDrives(*F.Lister);
  F.Context->ExcludePattern = true;
  F.Context->PatternMasks = {"[abc"};
  F.Job->Run();
  const TScanOutcome Outcome = F.Job->TakeOutcome();
  EXPECT_EQ(Outcome.End, TEnd::SourceFailed);
  EXPECT_EQ(Outcome.Err, "EInvalidMask: '[ABC' is an invalid mask at (5)");
  EXPECT_EQ(Outcome.Results, nullptr);
}

TEST(ScanJobTest, AFolderScanIsReportedAtMostEvery90Ms) {
  // The walker reports every 85 ms here (each listing takes 85 ms); every second report is
  // passed on.
  TManualTick Tick;
  TJobFixture F({false, "/r", {}}, Tick);
  // Counted in the one-thread walk's order: with several threads the listings, and so the
  // ticks, interleave with the reports as the threads happen to run.
  F.Context->WalkThreads = 1;
  for (int I = 0; I < 4; ++I) {
    F.Lister->Folders["/r/"].push_back(FakeDir("sub" + std::to_string(I)));
    F.Lister->Folders["/r/sub" + std::to_string(I) + "/"] = {};
  }
  std::vector<int64_t> ReportedDirs;
  F.Lister->OnList = [&](const std::string&) {
    ReportedDirs.push_back(F.Walked.empty() ? 0 : F.Walked.back().Dirs);
    Tick.Now += 85;
  };
  F.Job->Run();
  EXPECT_EQ(ReportedDirs, (std::vector<int64_t>{0, 0, 3, 3, 5}));
  const TScanOutcome Outcome = F.Job->TakeOutcome();
  EXPECT_EQ(Outcome.End, TEnd::Done);
  EXPECT_EQ(Outcome.Results->Root->FullPath(), "/r");
}

TEST(ScanJobTest, NoNoticeComesAfterDetaching) {
  TJobFixture Detached({false, "/none", {}});
  Detached.Job->DetachNotices();
  EXPECT_FALSE(Detached.Job->WaitFinished(std::chrono::milliseconds(1)));
  Detached.Job->Run();
  EXPECT_EQ(Detached.Ended, 0);
  EXPECT_TRUE(Detached.Walked.empty());
  EXPECT_TRUE(Detached.Building.empty());
  EXPECT_TRUE(Detached.Job->WaitFinished(std::chrono::milliseconds(0)));
}

// A saved scan goes through the same job: read, then built; refused, stopped and read files end
// as a walk would.
TEST(ScanJobTest, ASavedScanIsReadAndBuiltLikeAWalk) {
  const testing::TTempDir Dir;
  const std::string Saved = Dir / "saved.json";
  std::ofstream(Saved) << R"([1,2,{},[{"name":"/no/such/root"},{"name":"a.txt","asize":10},)"
                       << R"({"name":"b.txt","asize":30}]])";
  const std::string Bad = Dir / "bad.json";
  std::ofstream(Bad) << R"([1,0,{},[{"name":"/r"},{"name":"x","asize":9223372036854775808}]])";
  const auto Run = [](const std::string& File, bool Stop) {
    auto Context = std::make_shared<TScanContext>();
    if (Stop) {
      Context->Cancel();
    }
    TScanJob Job(Context, SavedScanSource(File), TSizeCount::ApparentSize, {});
    Job.Run();
    return Job.TakeOutcome();
  };

  const TScanOutcome Read = Run(Saved, false);
  ASSERT_EQ(Read.End, TEnd::Done);
  EXPECT_FALSE(Read.FoldersHere) << "its folders are not on this machine";
  EXPECT_EQ(Read.Results->AllTotalBytes, 40);
  EXPECT_EQ(Read.Results->AllFiles.front()->Name(), "b.txt");

  const TScanOutcome Refused = Run(Bad, false);
  EXPECT_EQ(Refused.End, TEnd::SourceFailed);
  EXPECT_TRUE(Refused.Err.starts_with("EScanFileError: ")) << Refused.Err;
  EXPECT_EQ(Refused.Results, nullptr);

  const TScanOutcome Stopped = Run(Saved, true);
  EXPECT_EQ(Stopped.End, TEnd::SourceStopped);
  EXPECT_EQ(Stopped.Err, "");

  const TScanOutcome Missing = Run(Dir / "missing.json", false);
  EXPECT_EQ(Missing.End, TEnd::SourceFailed);
  EXPECT_FALSE(Missing.Err.empty());
}

}  // namespace
}  // namespace dunstrel
