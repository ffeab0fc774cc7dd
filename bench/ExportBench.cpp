// dunstrel-export-bench [--files N] [--repeat N] [--dir PATH]
// Saves the synthetic scan tree (1,000,000 files in 40,000 folders unless told otherwise) as a
// scan file and opens it again, as File > "Save Scan As..." and "Open Scan..." do, each timed
// from the call to the finished file or tree. Prints one JSON line: the median and fastest times
// of each, the file's size, and whether the opened tree has the saved tree's totals.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "MachineReference.h"
#include "SyntheticTree.h"
#include "results/ScanExport.h"

namespace {

using namespace dunstrel;
using TClock = std::chrono::steady_clock;

double Milliseconds(TClock::duration Duration) {
  return std::chrono::duration<double, std::milli>(Duration).count();
}

double Median(std::vector<double> Values) {
  std::sort(Values.begin(), Values.end());
  return Values[Values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
  bench::TSyntheticTreeShape Shape;
  int Repeat = 3;
  std::string Dir = std::filesystem::temp_directory_path().string();
  for (int I = 1; I + 1 < argc; I += 2) {
    if (std::strcmp(argv[I], "--files") == 0) {
      Shape.Files = std::atoll(argv[I + 1]);
      Shape.Folders = std::max<int64_t>(1, Shape.Files / 25);
    } else if (std::strcmp(argv[I], "--repeat") == 0) {
      Repeat = std::max(1, std::atoi(argv[I + 1]));
    } else if (std::strcmp(argv[I], "--dir") == 0) {
      Dir = argv[I + 1];
    }
  }
  const std::unique_ptr<TDirNode> Tree =
      bench::BuildScanTree(bench::GenerateSyntheticTree(Shape), "/bench/root");
  const std::string File = Dir + "/dunstrel-export-bench.json";
  std::vector<double> Saves;
  std::vector<double> Loads;
  bool Same = true;
  try {
    for (int Run = 0; Run < Repeat; ++Run) {
      const auto SaveStart = TClock::now();
      SaveScanFile(*Tree, File);
      Saves.push_back(Milliseconds(TClock::now() - SaveStart));
      const auto LoadStart = TClock::now();
      std::unique_ptr<TDirNode> Loaded = LoadScanFile(File);
      Loads.push_back(Milliseconds(TClock::now() - LoadStart));
      Same = Same && Loaded->TotalFiles == Tree->TotalFiles &&
             Loaded->TotalDirs == Tree->TotalDirs && Loaded->TotalSize == Tree->TotalSize;
    }
  } catch (const std::exception& Error) {
    std::fprintf(stderr, "dunstrel-export-bench: %s\n", Error.what());
    return 1;
  }
  const auto Bytes = std::filesystem::file_size(File);
  std::filesystem::remove(File);
  std::printf(
      "{\"files\":%lld,\"folders\":%lld,\"file_bytes\":%llu,\"save_ms_median\":%.1f,"
      "\"save_ms_best\":%.1f,\"load_ms_median\":%.1f,\"load_ms_best\":%.1f,\"same_totals\":%s,"
      "\"machine_ref_ms\":%.1f}\n",
      static_cast<long long>(Tree->TotalFiles), static_cast<long long>(Tree->TotalDirs),
      static_cast<unsigned long long>(Bytes), Median(Saves),
      *std::min_element(Saves.begin(), Saves.end()), Median(Loads),
      *std::min_element(Loads.begin(), Loads.end()), Same ? "true" : "false",
      dunstrel::bench::MachineReferenceMs());
  return Same ? 0 : 1;
}
