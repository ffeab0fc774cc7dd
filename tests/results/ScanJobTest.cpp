#include <gtest/gtest.h>

#include "results/ScanJob.h"
#include "scan/FakeDirectoryLister.h"

namespace dunstrel {
namespace {

using testing::FakeDir;
using testing::FakeFile;
using testing::TFakeDirectoryLister;

// A tick that only moves when the test moves it.
class TManualTick : public platform::ITickSource {
 public:
  uint32_t NowMs() const override { return Now; }
  uint32_t Now = 0;
};

// The lister lives as long as the job; the test keeps a pointer to change its table.
struct TJobFixture {
  std::shared_ptr<TScanContext> Context = std::make_shared<TScanContext>();
  std::shared_ptr<TScanProgress> Progress = std::make_shared<TScanProgress>();
  TFakeDirectoryLister* Lister = nullptr;
  std::unique_ptr<TScanJob> Job;

  explicit TJobFixture(TScanSource Source,
                       const platform::ITickSource& Tick = platform::SystemTick()) {
    auto OwnedLister = std::make_unique<TFakeDirectoryLister>();
    Lister = OwnedLister.get();
    Job = std::make_unique<TScanJob>(Context, Progress, std::move(OwnedLister), std::move(Source),
                                     Tick);
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
  // When the second drive is listed, the stored progress names the first with its counts.
  std::vector<TProgressValues> SeenAtSecondDrive;
  F.Lister->OnList = [&](const std::string& Folder) {
    if (Folder == "/d2/") {
      SeenAtSecondDrive.push_back(F.Progress->Read());
    }
  };
  F.Job->Run();
  ASSERT_TRUE(F.Job->WaitFinished(std::chrono::milliseconds(0)));

  TScanOutcome Outcome = F.Job->TakeOutcome();
  EXPECT_TRUE(Outcome.Ok);
  EXPECT_EQ(Outcome.Err, "");
  ASSERT_NE(Outcome.Root, nullptr);
  const TDirNode& Root = *Outcome.Root;
  EXPECT_EQ(Root.Name(), "(All Drives)");
  EXPECT_EQ(Root.FullPath(), "");
  ASSERT_EQ(Root.Children.size(), 2u);
  EXPECT_EQ(Root.Children[0]->FullPath(), "/d1");
  EXPECT_EQ(Root.Children[0]->Parent(), &Root);
  EXPECT_EQ(Root.TotalSize, 115);
  EXPECT_EQ(Root.TotalFiles, 3);
  EXPECT_EQ(Root.TotalDirs, 3);
  ASSERT_TRUE(Root.ExtStats.Find(".txt").has_value());
  EXPECT_EQ(Root.ExtStats.Find(".txt")->Files, 2);
  EXPECT_EQ(Root.ExtStats.Find(".bin").value().Bytes, 100);

  ASSERT_EQ(SeenAtSecondDrive.size(), 1u);
  EXPECT_EQ(SeenAtSecondDrive[0].Path, "/d1");
  EXPECT_EQ(SeenAtSecondDrive[0].Files, 2);
  EXPECT_EQ(SeenAtSecondDrive[0].Dirs, 2);
  EXPECT_EQ(SeenAtSecondDrive[0].Bytes, 15);
  const TProgressValues Last = F.Progress->Read();
  EXPECT_EQ(Last.Path, "/d2");
  EXPECT_EQ(Last.Files, 3);
  EXPECT_EQ(Last.Bytes, 115);
  EXPECT_EQ(F.Job->TakeOutcome().Root, nullptr) << "the outcome is handed over once";
}

TEST(ScanJobTest, AllDrivesSumsStopAtTheLargestSize) {
  TJobFixture F(Drives({"/d1", "/d2"}));
  F.Lister->Folders["/d1/"] = {FakeFile("a.img", INT64_MAX)};
  F.Lister->Folders["/d2/"] = {FakeFile("b.img", INT64_MAX), FakeFile("c.txt", 1)};
  F.Job->Run();
  const TScanOutcome Outcome = F.Job->TakeOutcome();
  ASSERT_NE(Outcome.Root, nullptr);
  EXPECT_EQ(Outcome.Root->TotalSize, INT64_MAX);
  EXPECT_EQ(Outcome.Root->ExtStats.Find(".img")->Bytes, INT64_MAX);
  EXPECT_EQ(F.Progress->Read().Bytes, INT64_MAX);
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
  TScanOutcome Outcome = F.Job->TakeOutcome();
  EXPECT_FALSE(Outcome.Ok);
  EXPECT_EQ(Outcome.Err, "");
  ASSERT_NE(Outcome.Root, nullptr);
  ASSERT_EQ(Outcome.Root->Children.size(), 1u);
  EXPECT_EQ(Outcome.Root->Children[0]->FullPath(), "/d1");
  EXPECT_EQ(F.Lister->Listed, (std::vector<std::string>{"/d1/", "/d1/sub/", "/d2/"}));
}

TEST(ScanJobTest, AnErrorInTheWalkBecomesTheErrorText) {
  TJobFixture F({false, "/d1", {}});
  AddTwoDrives(*F.Lister);
  F.Context->ExcludePattern = true;
  F.Context->PatternMasks = {"[abc"};
  F.Job->Run();
  const TScanOutcome Outcome = F.Job->TakeOutcome();
  EXPECT_FALSE(Outcome.Ok);
  EXPECT_EQ(Outcome.Err, "EInvalidMask: '[ABC' is an invalid mask at (5)");
  EXPECT_EQ(Outcome.Root, nullptr);
}

TEST(ScanJobTest, AFolderScanIsStoredAtMostEvery90Ms) {
  // The walker reports every 85 ms here (each listing takes 85 ms); every second report is
  // stored.
  TManualTick Tick;
  TJobFixture F({false, "/r", {}}, Tick);
  // Counted in the one-thread walk's order: with several threads the listings, and so the
  // ticks, interleave with the reports as the threads happen to run.
  F.Context->WalkThreads = 1;
  for (int I = 0; I < 4; ++I) {
    F.Lister->Folders["/r/"].push_back(FakeDir("sub" + std::to_string(I)));
    F.Lister->Folders["/r/sub" + std::to_string(I) + "/"] = {};
  }
  std::vector<int64_t> StoredDirs;
  F.Lister->OnList = [&](const std::string&) {
    StoredDirs.push_back(F.Progress->Read().Dirs);
    Tick.Now += 85;
  };
  F.Job->Run();
  EXPECT_EQ(StoredDirs, (std::vector<int64_t>{0, 0, 3, 3, 5}));
  const TScanOutcome Outcome = F.Job->TakeOutcome();
  EXPECT_TRUE(Outcome.Ok);
  EXPECT_EQ(Outcome.Root->FullPath(), "/r");
}

TEST(ScanJobTest, TheCompletionNoticeComesOnceAndNeverAfterDetaching) {
  int Notices = 0;
  TJobFixture Attached({false, "/none", {}});
  Attached.Job->SetCompletionNotice([&] { ++Notices; });
  Attached.Job->Run();
  EXPECT_EQ(Notices, 1);

  TJobFixture Detached({false, "/none", {}});
  Detached.Job->SetCompletionNotice([&] { ++Notices; });
  Detached.Job->DetachCompletionNotice();
  EXPECT_FALSE(Detached.Job->WaitFinished(std::chrono::milliseconds(1)));
  Detached.Job->Run();
  EXPECT_EQ(Notices, 1);
  EXPECT_TRUE(Detached.Job->WaitFinished(std::chrono::milliseconds(0)));
}

}  // namespace
}  // namespace dunstrel
