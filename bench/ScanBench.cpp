// dunstrel-scan-bench [--repeat N] [--threads N] [--pattern MASKS] PATH...
// Walks each PATH in turn, N times, as a scan does (no filters, or only the name masks given) on N
// threads (the scan's default when not given), then collects every file and sorts them by size, and
// prints one JSON line per run with the counts, the times and the process's resident memory, also
// after the tree was freed.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "MachineReference.h"
#include "TreeParts.h"
#include "platform/Memory.h"
#include "scan/ScanModel.h"

namespace {

using namespace dunstrel;
using TClock = std::chrono::steady_clock;

int64_t ResidentBytes() {
  std::ifstream Statm("/proc/self/statm");
  int64_t Size = 0;
  int64_t Resident = 0;
  Statm >> Size >> Resident;
  return Resident * 4096;
}

// A figure of /proc/self/status, in bytes.
int64_t StatusBytes(const std::string& Field) {
  std::ifstream Status("/proc/self/status");
  std::string Line;
  while (std::getline(Status, Line)) {
    if (Line.rfind(Field + ":", 0) == 0) {
      return std::atoll(Line.c_str() + Field.size() + 1) * 1024;
    }
  }
  return 0;
}

std::string JsonString(const std::string& Text) {
  std::string Result = "\"";
  for (const char C : Text) {
    const auto Byte = static_cast<unsigned char>(C);
    if (C == '"' || C == '\\') {
      Result += '\\';
      Result += C;
    } else if (Byte < 0x20) {
      char Escaped[8];
      std::snprintf(Escaped, sizeof(Escaped), "\\u%04x", Byte);
      Result += Escaped;
    } else {
      Result += C;
    }
  }
  return Result + "\"";
}

std::vector<TFileLeaf*> AllFiles(TDirNode& Root) {
  std::vector<TFileLeaf*> Files;
  Files.reserve(static_cast<size_t>(Root.TotalFiles));
  std::vector<TDirNode*> Pending{&Root};
  while (!Pending.empty()) {
    TDirNode* Node = Pending.back();
    Pending.pop_back();
    Files.insert(Files.end(), Node->Leaves.begin(), Node->Leaves.end());
    for (const auto& Child : Node->Children) {
      Pending.push_back(Child.get());
    }
  }
  return Files;
}

double Seconds(TClock::time_point From, TClock::time_point To) {
  return std::chrono::duration<double>(To - From).count();
}

}  // namespace

int main(int Argc, char** Argv) {
  int Repeat = 1;
  int Threads = TScanContext::kDefaultWalkThreads;
  int StopAfterMs = -1;
  std::vector<std::string> Paths;
  std::string Pattern;
  for (int I = 1; I < Argc; ++I) {
    if (std::strcmp(Argv[I], "--repeat") == 0 && I + 1 < Argc) {
      Repeat = std::max(1, std::atoi(Argv[++I]));
    } else if (std::strcmp(Argv[I], "--threads") == 0 && I + 1 < Argc) {
      Threads = std::max(1, std::atoi(Argv[++I]));
    } else if (std::strcmp(Argv[I], "--stop-after") == 0 && I + 1 < Argc) {
      StopAfterMs = std::max(0, std::atoi(Argv[++I]));
    } else if (std::strcmp(Argv[I], "--pattern") == 0 && I + 1 < Argc) {
      Pattern = Argv[++I];
    } else if (Argv[I][0] != '-') {
      Paths.emplace_back(Argv[I]);
    } else {
      Paths.clear();
      break;
    }
  }
  if (Paths.empty()) {
    std::cerr << "usage: dunstrel-scan-bench [--repeat N] [--threads N] [--stop-after MS] "
                 "[--pattern MASKS] PATH...\n";
    return 2;
  }
  const double MachineRef = dunstrel::bench::MachineReferenceMs();
  for (const std::string& Path : Paths) {
    for (int Run = 0; Run < Repeat; ++Run) {
      const int64_t Before = ResidentBytes();
      TScanContext Context;
      Context.WalkThreads = Threads;
      if (!Pattern.empty()) {
        TFilterInputs Inputs;
        Inputs.PatternChecked = true;
        Inputs.PatternText = Pattern;
        ApplyFiltersToContext(Inputs, ".", Context);
      }
      std::unique_ptr<TDirNode> Root;
      const auto WalkStart = TClock::now();
      auto LastProgress = WalkStart;
      double LongestGap = 0;
      std::atomic<TClock::rep> StoppedAt{0};
      std::mutex Waiting;
      std::condition_variable WalkEnded;
      bool Ended = false;
      std::thread Stopper;
      if (StopAfterMs >= 0) {
        // Presses Stop after the given time, as the window would.
        Stopper = std::thread([&] {
          std::unique_lock Lock(Waiting);
          if (!WalkEnded.wait_for(Lock, std::chrono::milliseconds(StopAfterMs),
                                  [&] { return Ended; })) {
            StoppedAt = TClock::now().time_since_epoch().count();
            Context.Cancel();
          }
        });
      }
      {
        // As in the program, the scanner and its buffers end with the walk; the tree remains.
        TDiskScanner Scanner(Context);
        Scanner.OnProgress = [&](std::string_view, int64_t, int64_t) {
          const auto Now = TClock::now();
          LongestGap = std::max(LongestGap, Seconds(LastProgress, Now));
          LastProgress = Now;
        };
        Root = Scanner.Scan(Path);
      }
      const auto WalkEnd = TClock::now();
      if (Root == nullptr) {
        Root = std::make_unique<TDirNode>(Path);  // stopped before the walk began
      }
      if (Stopper.joinable()) {
        {
          const std::lock_guard Lock(Waiting);
          Ended = true;
        }
        WalkEnded.notify_all();
        Stopper.join();
      }
      const double StopSeconds =
          StoppedAt == 0 ? -1.0
                         : Seconds(TClock::time_point(TClock::duration(StoppedAt.load())), WalkEnd);
      LongestGap = std::max(LongestGap, Seconds(LastProgress, WalkEnd));
      const int64_t After = ResidentBytes();
      const dunstrel::bench::TTreeParts Parts = dunstrel::bench::TreePartsOf(*Root);
      std::vector<TFileLeaf*> Files = AllFiles(*Root);
      std::sort(Files.begin(), Files.end(),
                [](const TFileLeaf* A, const TFileLeaf* B) { return A->Size() > B->Size(); });
      const auto SortEnd = TClock::now();
      const int64_t Entries = Root->TotalFiles + Root->TotalDirs;
      const long long TotalFiles = Root->TotalFiles;
      const long long TotalDirs = Root->TotalDirs;
      const long long TotalSize = Root->TotalSize;
      Files = {};
      Root.reset();
      platform::ReleaseFreedMemory();  // as the window does after clearing its results
      const int64_t Released = ResidentBytes();
      // Without the pages of mapped files (the text casing's data among them), which the system
      // may drop at will.
      const int64_t ReleasedAnon = StatusBytes("RssAnon");
      std::printf(
          "{\"path\":%s,\"run\":%d,\"threads\":%d,\"files\":%lld,\"dirs\":%lld,"
          "\"bytes\":%lld,\"walk_seconds\":%.3f,\"sort_seconds\":%.3f,"
          "\"rss_bytes_before_walk\":%lld,\"rss_bytes_after_walk\":%lld,"
          "\"bytes_per_entry\":%.1f,\"parts_bytes_per_entry\":{\"leaves_with_names\":%.1f,"
          "\"leaf_lists\":%.1f,\"folder_lists\":%.1f,\"folders\":%.1f},\"rss_bytes_after_release\":"
          "%lld,"
          "\"anon_rss_bytes_after_release\":%lld,\"peak_rss_bytes\":%lld,"
          "\"longest_progress_gap_seconds\":%.3f,\"stop_seconds\":%.3f,\"machine_ref_ms\":%.1f}\n",
          JsonString(Path).c_str(), Run + 1, Threads, TotalFiles, TotalDirs, TotalSize,
          Seconds(WalkStart, WalkEnd), Seconds(WalkEnd, SortEnd), static_cast<long long>(Before),
          static_cast<long long>(After),
          Entries > 0 ? static_cast<double>(After - Before) / static_cast<double>(Entries) : 0.0,
          Parts.Leaves, Parts.LeafLists, Parts.ChildLists, Parts.Folders,
          static_cast<long long>(Released), static_cast<long long>(ReleasedAnon),
          static_cast<long long>(StatusBytes("VmHWM")), LongestGap, StopSeconds, MachineRef);
      std::fflush(stdout);
    }
  }
  return 0;
}
