#include "results/NextResults.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "results/ResultsBuilder.h"
#include "results/TreeOrder.h"

namespace dunstrel {

std::optional<TResultsChange> TResultsChange::Prepare(const TScanResults& Previous,
                                                      TTreeChange Change,
                                                      std::vector<const TDirNode*> Changed,
                                                      const TDupProgress& Progress) {
  TResultsChange Next(std::move(Change), std::move(Changed));
  if (!NextFileArrays(Previous.AllFiles, Previous.AllTotalBytes, Previous.Duplicates, Next.FChange,
                      TScanResults::kLargestFilesShown, Previous.Count, Next.FNext, Progress)) {
    return std::nullopt;
  }
  Next.FExtensions = ExtensionsAfter(Previous, Next.FChange);
  // The stores of the files are those of the previous results and of any that come.
  std::vector<const TScanStore*> Stores;
  for (const auto& [Store, Rows] : Previous.ExtensionRowOfKey) {
    Stores.push_back(Store);
  }
  for (const TFileLeaf* File : Next.FChange.AddedFiles()) {
    if (std::find(Stores.begin(), Stores.end(), &File->Parent().Store()) == Stores.end()) {
      Stores.push_back(&File->Parent().Store());
    }
  }
  Next.FExtensionRows = ExtensionRowsOfKeys(Next.FExtensions, Stores);
  return Next;
}

std::vector<TExtensionRow> TResultsChange::ExtensionsAfter(const TScanResults& Previous,
                                                           const TTreeChange& Change) {
  // The legends' rows less the files that leave, plus those that come: the tree is not counted
  // again.
  std::unordered_map<std::string_view, TExtensionRow> ByKey;
  for (const TExtensionRow& Row : Previous.Extensions) {
    ByKey.emplace(Row.Key, Row);
  }
  const TSizeCount Count = Previous.Count;
  const auto Add = [&ByKey, Count](const TFileLeaf& File, int Sign) {
    const std::string_view Text = File.Parent().Store().ExtensionKeyText(File.ExtKey());
    TExtensionRow& Row = ByKey[Text];
    if (Row.Key.empty()) {
      Row.Key = Text;
    }
    Row.Bytes += Sign * File.SizeIn(Count);
    Row.Files += Sign;
  };
  Change.GoneFiles().ForEach([&Add](const TFileLeaf* File) { Add(*File, -1); });
  for (const TFileLeaf* File : Change.AddedFiles()) {
    Add(*File, +1);
  }
  std::vector<TExtensionRow> Rows;
  Rows.reserve(ByKey.size());
  for (auto& [Text, Row] : ByKey) {
    if (Row.Files > 0) {
      Rows.push_back(std::move(Row));
    }
  }
  // As the build lists them: most bytes first, equal bytes by key.
  std::sort(Rows.begin(), Rows.end(), [](const TExtensionRow& A, const TExtensionRow& B) {
    return A.Bytes != B.Bytes ? A.Bytes > B.Bytes : A.Key < B.Key;
  });
  return Rows;
}

std::shared_ptr<const TScanResults> TResultsChange::Finish(
    const std::shared_ptr<const TScanResults>& Previous, TDetachedFolders& Detached) && {
  // The results are only ever made as changeable objects and shared as constants; their tree
  // passes to the next ones, which the caller hands on in this same turn.
  auto& Shown = const_cast<TScanResults&>(*Previous);
  auto Next = std::make_shared<TScanResults>();
  Next->Count = Shown.Count;
  Next->Root = std::move(Shown.Root);

  // The folders whose totals change: those named and every one above them. Each one's list of
  // folders is ordered again once the totals are in; the lists of files keep their order (a
  // folder walked again comes ordered).
  std::unordered_set<TDirNode*> Reorder;
  for (const TDirNode* Folder : FChanged) {
    for (TDirNode* Node = Folder != nullptr ? Folder->Parent() : nullptr; Node != nullptr;
         Node = Node->Parent()) {
      if (!Reorder.insert(Node).second) {
        break;
      }
    }
    if (Folder != nullptr) {
      Reorder.insert(const_cast<TDirNode*>(Folder));
    }
  }
  Detached = std::move(FChange).Apply(*Next->Root);
  for (const std::unique_ptr<TDirNode>& Gone : Detached) {
    Reorder.erase(Gone.get());
  }
  const TSizeCount Count = Next->Count;
  for (TDirNode* Folder : Reorder) {
    std::stable_sort(
        Folder->Children.begin(), Folder->Children.end(),
        [Count](const std::unique_ptr<TDirNode>& A, const std::unique_ptr<TDirNode>& B) {
          return A->TotalIn(Count) > B->TotalIn(Count);
        });
  }

  Next->AllFiles = std::move(FNext.AllFiles);
  Next->AllTotalBytes = FNext.AllTotalBytes;
  Next->DisplayFiles =
      std::span<TFileLeaf* const>(Next->AllFiles)
          .first(std::min(Next->AllFiles.size(), TScanResults::kLargestFilesShown));
  Next->DisplayTotalBytes = FNext.DisplayTotalBytes;
  Next->Duplicates = std::move(FNext.Duplicates);
  Next->Extensions = std::move(FExtensions);
  Next->ExtensionRowOfKey = std::move(FExtensionRows);
  return Next;
}

TTreeChange ChangeAfterRescan(const TDirNode& Folder, TRescanWalk&& Walk, TSizeCount Count) {
  if (Walk.Outcome == TRescanOutcome::Walked && Walk.Fresh != nullptr) {
    SortFoldersBySize(*Walk.Fresh, Count);
    SortFilesBySize(FoldersOf(*Walk.Fresh), Count);
  }
  return TTreeChange::AfterRescan(Folder, std::move(Walk));
}

std::vector<const TDirNode*> TRemovalOfItems::Changed() const {
  std::vector<const TDirNode*> Parents;
  Parents.reserve(Files.size() + Folders.size());
  for (const TFileLeaf* File : Files) {
    Parents.push_back(&File->Parent());
  }
  for (const TDirNode* Folder : Folders) {
    if (Folder->Parent() != nullptr) {
      Parents.push_back(Folder->Parent());
    }
  }
  std::sort(Parents.begin(), Parents.end());
  Parents.erase(std::unique(Parents.begin(), Parents.end()), Parents.end());
  return Parents;
}

const TDirNode* TSameEntryFinder::Folder(const TDirNode& Old) {
  // The folders from Old up to the first one settled already (or the top), then down again by
  // name: no recursion, whatever the depth.
  std::vector<const TDirNode*> Chain;
  const TDirNode* Now = nullptr;
  for (const TDirNode* Node = &Old;; Node = Node->Parent()) {
    if (Node == nullptr) {
      return nullptr;  // the top of another tree
    }
    if (Node == &FRoot) {
      Now = &FRoot;
      break;
    }
    if (const auto Found = FFolders.find(Node); Found != FFolders.end()) {
      Now = Found->second;
      break;
    }
    Chain.push_back(Node);
  }
  for (auto Node = Chain.rbegin(); Node != Chain.rend(); ++Node) {
    const TDirNode* Parent = Now;
    Now = nullptr;
    if (Parent != nullptr) {
      const std::string_view Name = (*Node)->Name();
      const auto Found = std::find_if(
          Parent->Children.begin(), Parent->Children.end(),
          [Name](const std::unique_ptr<TDirNode>& Child) { return Child->Name() == Name; });
      Now = Found != Parent->Children.end() ? Found->get() : nullptr;
    }
    FFolders.emplace(*Node, Now);
  }
  return Now;
}

const TFileLeaf* TSameEntryFinder::File(const TFileLeaf& Old) {
  const TDirNode* Parent = Folder(Old.Parent());
  if (Parent == nullptr) {
    return nullptr;
  }
  auto [Files, Made] = FFiles.try_emplace(Parent);
  if (Made) {
    Files->second.reserve(Parent->Leaves.size());
    for (const TFileLeaf* Leaf : Parent->Leaves) {
      Files->second.emplace(Leaf->Name(), Leaf);
    }
  }
  const auto Found = Files->second.find(Old.Name());
  return Found != Files->second.end() ? Found->second : nullptr;
}

}  // namespace dunstrel
