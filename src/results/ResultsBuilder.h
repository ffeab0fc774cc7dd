#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "localisation/TextFormat.h"
#include "results/ScanResults.h"
#include "scan/ScanContext.h"
#include "scan/ScanTree.h"
#include "scan/SizeCount.h"

namespace dunstrel {

// What a build is doing: the status line's text, and how far it is (Maximum 0: no measure).
struct TBuildStatus {
  std::string Text;
  int64_t Position = 0;
  int64_t Maximum = 0;
};
using TBuildReport = std::function<void(const TBuildStatus& Status)>;

// Fills the legends' rows of Results from its tree, most bytes first (equal bytes by key), and
// the row of every extension key of the stores the files are kept in.
void ListExtensions(TScanResults& Results);
// The row of Extensions of every extension key of each of Stores.
std::vector<std::pair<const TScanStore*, std::vector<uint32_t>>> ExtensionRowsOfKeys(
    const std::vector<TExtensionRow>& Extensions, std::span<const TScanStore* const> Stores);

// Turns a finished scan tree into its results, one announced step after another: the list of
// all files and of the largest, the folders ordered largest first, the duplicate groups, the files
// of each folder ordered, the extensions. Each step is reported through Report in the user's
// language (texts filled with Settings) before it runs, and steps that take long report their
// progress now and then. Cancelling the context stops the build between and inside the steps:
// the tree is released and nothing is returned. Meant for a thread of its own: nothing else may
// touch the tree meanwhile, and the results are shared only once they are done.
std::shared_ptr<const TScanResults> BuildScanResults(std::unique_ptr<TDirNode> Root,
                                                     TSizeCount Count, const TScanContext& Context,
                                                     const TFormatSettings& Settings,
                                                     const TBuildReport& Report = {});

}  // namespace dunstrel
