#include "results/ResultsBuilder.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <thread>
#include <unordered_map>

#include "localisation/translation.h"
#include "results/FileArrays.h"
#include "results/TreeOrder.h"
#include "scan/ExtensionTotals.h"

namespace dunstrel {

namespace {

// Folders sorted between two looks at the cancel flag and the clock.
constexpr int64_t kFoldersPerCheck = 200;
// Progress within a step is reported at most this often (and always first and last).
constexpr std::chrono::milliseconds kProgressInterval(40);

// Reports a counted step: the first count at once, then no more often than the interval.
class TCountedStep {
 public:
  TCountedStep(const TBuildReport& Report, const char* Format, int64_t Total,
               const TFormatSettings& Settings)
      : FReport(Report), FFormat(Translate(Format)), FTotal(Total), FSettings(Settings) {}

  void Show(int64_t Done, bool Always) {
    const auto Now = std::chrono::steady_clock::now();
    if (!FReport || (!Always && Now - FLast < kProgressInterval)) {
      return;
    }
    FLast = Now;
    FReport({FormatText(FFormat, {Done, FTotal}, FSettings), Done, FTotal});
  }

 private:
  const TBuildReport& FReport;
  const std::string FFormat;
  const int64_t FTotal;
  const TFormatSettings& FSettings;
  std::chrono::steady_clock::time_point FLast;
};

// The stores that hold files of the tree: one for a folder scan, one per drive for every drive.
std::vector<const TScanStore*> StoresOfFiles(const TDirNode& Root) {
  std::vector<const TScanStore*> Stores;
  ForEachFolder(Root, [&Stores](const TDirNode& Folder) {
    if (!Folder.Leaves.empty() &&
        std::find(Stores.begin(), Stores.end(), &Folder.Store()) == Stores.end()) {
      Stores.push_back(&Folder.Store());
    }
  });
  return Stores;
}

}  // namespace

void ListExtensions(TScanResults& Results) {
  const TExtensionTotals Totals = ExtensionTotalsOf(*Results.Root, Results.Count);
  Results.Extensions.reserve(Totals.Rows().size());
  for (const TExtStatPair& Stat : Totals.Rows()) {
    Results.Extensions.push_back({Stat.Ext, Stat.Bytes, Stat.Files});
  }
  Results.ExtensionRowOfKey = ExtensionRowsOfKeys(Results.Extensions, StoresOfFiles(*Results.Root));
}

std::vector<std::pair<const TScanStore*, std::vector<uint32_t>>> ExtensionRowsOfKeys(
    const std::vector<TExtensionRow>& Extensions, std::span<const TScanStore* const> Stores) {
  std::unordered_map<std::string_view, uint32_t> RowOfText;
  for (size_t Row = 0; Row < Extensions.size(); ++Row) {
    RowOfText.emplace(Extensions[Row].Key, static_cast<uint32_t>(Row));
  }
  std::vector<std::pair<const TScanStore*, std::vector<uint32_t>>> RowsOfStores;
  for (const TScanStore* Store : Stores) {
    std::vector<uint32_t> Rows(Store->Exts.Count(),
                               static_cast<uint32_t>(TScanResults::kNoExtensionRow));
    for (TExtKey Key = 0; Key < Rows.size(); ++Key) {
      if (const auto Found = RowOfText.find(Store->ExtensionKeyText(Key));
          Found != RowOfText.end()) {
        Rows[Key] = Found->second;
      }
    }
    RowsOfStores.emplace_back(Store, std::move(Rows));
  }
  return RowsOfStores;
}

std::shared_ptr<const TScanResults> BuildScanResults(std::unique_ptr<TDirNode> Root,
                                                     TSizeCount Count, const TScanContext& Context,
                                                     const TFormatSettings& Settings,
                                                     const TBuildReport& Report) {
  auto Results = std::make_shared<TScanResults>();
  Results->Count = Count;
  Results->Root = std::move(Root);
  // A step is announced unless the build is stopped already, and runs unless it was stopped
  // meanwhile.
  const auto Announce = [&](const char* Text) {
    if (Report && !Context.IsCancelled()) {
      Report({Translate(Text)});
    }
    return !Context.IsCancelled();
  };
  // A stopped build gives nothing back: the shared pointer frees the tree here, on this thread.
  if (!Announce("Building file list...")) {
    return nullptr;
  }
  FlattenAllFiles(Results->Root.get(), Count, Results->AllFiles, Results->AllTotalBytes);

  if (!Announce("Building Largest Files list...")) {
    return nullptr;
  }
  Results->DisplayFiles = TakeLargestFiles(Results->AllFiles, TScanResults::kLargestFilesShown,
                                           Count, Results->DisplayTotalBytes);
  if (Results->Root != nullptr) {
    ListExtensions(*Results);
  }

  // The files of each folder are ordered on a thread of their own while the folders are ordered
  // and the duplicates grouped here: none of the three reads what another changes. The thread
  // is joined before the tree can go.
  const std::vector<TDirNode*> Folders =
      Results->Root != nullptr ? FoldersOf(*Results->Root) : std::vector<TDirNode*>{};
  bool FilesSorted = false;
  std::exception_ptr FilesSortError;
  std::jthread FilesSorter([&] {
    try {
      FilesSorted = SortFilesBySize(Folders, Count, kFoldersPerCheck,
                                    [&](int64_t) { return !Context.IsCancelled(); });
    } catch (...) {
      FilesSortError = std::current_exception();
    }
  });

  if (!Announce("Building folders tree...")) {
    return nullptr;
  }
  if (Results->Root != nullptr) {
    const int64_t Folders = CountFoldersBelow(Results->Root.get());
    TCountedStep Step(Report, "Building folders tree... %d / %d", Folders, Settings);
    Step.Show(0, true);
    if (!SortFoldersBySize(*Results->Root, Count, kFoldersPerCheck,
                           [&](int64_t Done) {
                             Step.Show(Done, false);
                             return !Context.IsCancelled();
                           }) ||
        Context.IsCancelled()) {
      return nullptr;
    }
    if (Report) {
      Report({FormatText(Translate("Folders tree built (%d folders)."), {Folders}, Settings),
              Folders, std::max<int64_t>(Folders, 1)});
    }
  }

  if (!Announce("Building duplicates...")) {
    return nullptr;
  }
  const auto Files = static_cast<int64_t>(Results->AllFiles.size());
  if (Files > 0) {
    TCountedStep Step(Report, "Building duplicates... %d / %d", Files, Settings);
    Step.Show(0, true);
    if (!GroupDuplicates(Results->AllFiles, Results->Duplicates,
                         [&](size_t Done, size_t) {
                           Step.Show(static_cast<int64_t>(Done),
                                     Done == 1 || static_cast<int64_t>(Done) == Files);
                           return !Context.IsCancelled();
                         }) ||
        Context.IsCancelled()) {
      return nullptr;
    }
    if (Report) {
      Report({FormatText(Translate("Duplicates ready. Groups shown: %d"),
                         {static_cast<int64_t>(Results->Duplicates.Groups.size())}, Settings)});
    }
  }

  if (!Announce("Building folders/files tree...")) {
    return nullptr;
  }
  FilesSorter.join();
  if (FilesSortError) {
    std::rethrow_exception(FilesSortError);
  }
  return FilesSorted && !Context.IsCancelled() ? std::move(Results) : nullptr;
}

}  // namespace dunstrel
