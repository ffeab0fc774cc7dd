// dunstrel-dup-bench [--files N] [--repeat N] [--seed N]
// Groups the duplicates of a synthetic scan tree (1,000,000 files in 40,000 folders unless told
// otherwise) as the window does after a scan: the files array largest first, then grouping,
// sorting and the cut. Prints one JSON line: the median and fastest
// time and the median processor time, the heap the result keeps and the most the grouping held,
// per file of the tree; and how many files repeat a name and size, checked against a plain
// grouping by key texts.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unordered_map>
#include <vector>

#include "HeapCounter.h"
#include "MachineReference.h"
#include "SyntheticTree.h"
#include "results/DuplicateGroups.h"
#include "results/FileArrays.h"

namespace {

using namespace dunstrel;
using TClock = std::chrono::steady_clock;

double Milliseconds(TClock::duration Duration) {
  return std::chrono::duration<double, std::milli>(Duration).count();
}

struct TReference {
  size_t FilesInGroups = 0;
  size_t Groups = 0;
  bool Agrees = true;
};

// Every group by its definition, one dictionary of key texts, to count the files that repeat
// and to check the groups kept.
TReference CheckAgainstKeys(const std::vector<TFileLeaf*>& Files, const TDuplicates& Result) {
  std::unordered_map<std::string, std::vector<const TFileLeaf*>> ByKey;
  for (const TFileLeaf* File : Files) {
    ByKey[DupGroupKey(File->Name(), File->Size())].push_back(File);
  }
  TReference Reference;
  for (const auto& [Key, Members] : ByKey) {
    if (Members.size() >= 2) {
      ++Reference.Groups;
      Reference.FilesInGroups += Members.size();
    }
  }
  Reference.Agrees = Result.Groups.size() == std::min(Reference.Groups, kMaxDupGroups);
  for (size_t I = 0; I < Result.Groups.size() && Reference.Agrees; ++I) {
    const TDupGroup& Group = Result.Groups[I];
    const auto Found = ByKey.find(DupGroupKey(Group.FileName, Group.Size));
    Reference.Agrees = Found != ByKey.end() && Found->second == Group.Files &&
                       Group.Color == ColorForKey(Found->first) &&
                       (I == 0 || Result.Groups[I - 1].Bytes() >= Group.Bytes());
  }
  // Nothing left out has more bytes than the last group kept.
  if (Reference.Agrees && Result.Groups.size() == kMaxDupGroups) {
    const int64_t Least = Result.Groups.back().Bytes();
    size_t Above = 0;
    for (const auto& [Key, Members] : ByKey) {
      Above += Members.size() >= 2 &&
               static_cast<int64_t>(Members.size()) * Members.front()->Size() > Least;
    }
    Reference.Agrees = Above <= kMaxDupGroups;
  }
  return Reference;
}

}  // namespace

int main(int Argc, char** Argv) {
  bench::TSyntheticTreeShape Shape;
  int Repeat = 7;
  for (int I = 1; I + 1 < Argc; I += 2) {
    if (std::strcmp(Argv[I], "--files") == 0) {
      Shape.Files = std::atoll(Argv[I + 1]);
      Shape.Folders = std::max<int64_t>(1, Shape.Files / 25);
    } else if (std::strcmp(Argv[I], "--repeat") == 0) {
      Repeat = std::max(1, std::atoi(Argv[I + 1]));
    } else if (std::strcmp(Argv[I], "--seed") == 0) {
      Shape.Seed = std::strtoull(Argv[I + 1], nullptr, 10);
    } else {
      std::fprintf(stderr, "usage: dunstrel-dup-bench [--files N] [--repeat N] [--seed N]\n");
      return 2;
    }
  }

  const auto Root = bench::BuildScanTree(bench::GenerateSyntheticTree(Shape), "/bench");
  std::vector<TFileLeaf*> Files;
  int64_t TotalBytes = 0;
  FlattenAllFiles(Root.get(), TSizeCount::ApparentSize, Files, TotalBytes);

  std::vector<double> Times;
  std::vector<double> CpuTimes;  // of this process: apart from other programs on the machine
  size_t ProgressCalls = 0;
  for (int Run = 0; Run < Repeat; ++Run) {
    TDuplicates Result;
    ProgressCalls = 0;
    const std::clock_t CpuStart = std::clock();
    const auto Start = TClock::now();
    const bool Done = GroupDuplicates(Files, Result, [&](size_t, size_t) {
      ++ProgressCalls;
      return true;
    });
    Times.push_back(Milliseconds(TClock::now() - Start));
    CpuTimes.push_back(1000.0 * static_cast<double>(std::clock() - CpuStart) / CLOCKS_PER_SEC);
    if (!Done) {
      return 1;
    }
  }
  std::sort(Times.begin(), Times.end());
  std::sort(CpuTimes.begin(), CpuTimes.end());

  const int64_t Before = bench::LiveHeapBytes();
  bench::ResetPeakHeapBytes();
  auto Result = std::make_unique<TDuplicates>();
  if (!GroupDuplicates(Files, *Result)) {
    return 1;
  }
  const double FileCount = static_cast<double>(Files.size());
  const double HeldPerFile = static_cast<double>(bench::LiveHeapBytes() - Before) / FileCount;
  const double PeakPerFile = static_cast<double>(bench::PeakHeapBytes() - Before) / FileCount;

  size_t Members = 0;
  for (const TDupGroup& Group : Result->Groups) {
    Members += Group.Files.size();
  }
  const TReference Reference = CheckAgainstKeys(Files, *Result);
  std::printf(
      "{\"files\":%zu,\"median_ms\":%.1f,\"min_ms\":%.1f,\"median_cpu_ms\":%.1f,\"progress_calls\":"
      "%zu,"
      "\"groups_found\":%zu,\"files_in_groups\":%zu,\"repeating_share\":%.4f,"
      "\"groups_kept\":%zu,\"files_kept\":%zu,\"held_B_per_file\":%.2f,"
      "\"peak_B_per_file\":%.2f,\"agrees_with_keys\":%s,\"machine_ref_ms\":%.1f}\n",
      Files.size(), Times[Times.size() / 2], Times.front(), CpuTimes[CpuTimes.size() / 2],
      ProgressCalls, Reference.Groups, Reference.FilesInGroups,
      static_cast<double>(Reference.FilesInGroups) / FileCount, Result->Groups.size(), Members,
      HeldPerFile, PeakPerFile, Reference.Agrees ? "true" : "false", bench::MachineReferenceMs());
  return Reference.Agrees ? 0 : 1;
}
