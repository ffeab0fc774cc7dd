#include "scan/TreeChange.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace dunstrel {

namespace {

// What one folder's totals change by.
struct TDelta {
  int64_t Size = 0;
  int64_t DiskUsage = 0;
  int64_t Files = 0;
  int64_t Dirs = 0;
  int64_t Unreadable = 0;
  size_t Depth = 0;

  void AddTotalsOf(const TDirNode& Folder, int Sign) {
    Size += Sign * Folder.TotalSize;
    DiskUsage += Sign * Folder.TotalDiskUsage;
    Files += Sign * Folder.TotalFiles;
    Dirs += Sign * Folder.TotalDirs;
    Unreadable += Sign * Folder.UnreadableFolders;
  }
};

// One folder's new figures, worked out before anything changes.
struct TUpdate {
  TDirNode* Folder;
  TDelta Delta;
};

size_t DepthOf(const TDirNode& Folder, const TDirNode& Top) {
  size_t Depth = 0;
  const TDirNode* Node = &Folder;
  for (; Node->Parent() != nullptr; Node = Node->Parent()) {
    ++Depth;
  }
  if (Node != &Top) {
    throw std::invalid_argument("a change applied to another tree than its own");
  }
  return Depth;
}

// Merges the changes of every folder named into their ancestors, deepest first, and works out
// each one's new figures: each ancestor is visited once, whatever the number of changes below.
std::vector<TUpdate> Propagate(std::unordered_map<TDirNode*, TDelta> Deltas, const TDirNode& Top) {
  std::vector<TDirNode*> Order;
  Order.reserve(Deltas.size());
  for (auto& [Folder, Delta] : Deltas) {
    Delta.Depth = DepthOf(*Folder, Top);
    Order.push_back(Folder);
  }
  // Each ancestor joins once; the order is settled after.
  for (size_t I = 0; I < Order.size(); ++I) {
    TDirNode* Parent = Order[I]->Parent();
    if (Parent != nullptr && !Deltas.contains(Parent)) {
      Deltas[Parent].Depth = Deltas.at(Order[I]).Depth - 1;
      Order.push_back(Parent);
    }
  }
  std::sort(Order.begin(), Order.end(), [&Deltas](TDirNode* A, TDirNode* B) {
    return Deltas.at(A).Depth > Deltas.at(B).Depth;
  });
  std::vector<TUpdate> Updates;
  Updates.reserve(Order.size());
  for (TDirNode* Folder : Order) {
    TDelta& Delta = Deltas.at(Folder);
    TUpdate& Update = Updates.emplace_back(TUpdate{Folder, {}});
    if (TDirNode* Parent = Folder->Parent()) {
      TDelta& Up = Deltas.at(Parent);
      Up.Size += Delta.Size;
      Up.DiskUsage += Delta.DiskUsage;
      Up.Files += Delta.Files;
      Up.Dirs += Delta.Dirs;
      Up.Unreadable += Delta.Unreadable;
    }
    Update.Delta = Delta;
  }
  return Updates;
}

}  // namespace

TTreeChange::~TTreeChange() = default;

void TTreeChange::NoteGoneHardLink(const TFileLeaf& Leaf) {
  if (const THardLink* Link = HardLinkOf(Leaf)) {
    FLinks.push_back({Link->Volume, Link->FileId, FNamesDeleted ? 1u : 0u, 0});
  }
}

void TTreeChange::SettleHardLinks() {
  // One entry per file: the names deleted summed, the link count read now kept.
  std::sort(FLinks.begin(), FLinks.end(), [](const THardLinkChange& A, const THardLinkChange& B) {
    return std::pair(A.Volume, A.FileId) < std::pair(B.Volume, B.FileId);
  });
  size_t Kept = 0;
  for (size_t I = 0; I < FLinks.size(); ++I) {
    if (Kept > 0 && FLinks[Kept - 1].Volume == FLinks[I].Volume &&
        FLinks[Kept - 1].FileId == FLinks[I].FileId) {
      FLinks[Kept - 1].NamesDeleted += FLinks[I].NamesDeleted;
      FLinks[Kept - 1].LinksNow = std::max(FLinks[Kept - 1].LinksNow, FLinks[I].LinksNow);
    } else {
      FLinks[Kept++] = FLinks[I];
    }
  }
  FLinks.resize(Kept);
}

void TTreeChange::CollectGone(const TDirNode& Folder) {
  ForEachFolder(Folder, [this](const TDirNode& Node) {
    for (const TFileLeaf* Leaf : Node.Leaves) {
      FGone.Insert(Leaf);
      if (Leaf->IsHardLinked()) {
        NoteGoneHardLink(*Leaf);
      }
    }
  });
}

TTreeChange TTreeChange::Removal(std::span<const TFileLeaf* const> Files,
                                 std::span<const TDirNode* const> Folders, bool NamesDeleted) {
  TTreeChange Change;
  Change.FNamesDeleted = NamesDeleted;
  std::unordered_set<const TDirNode*> Named;
  for (const TDirNode* Folder : Folders) {
    if (Folder != nullptr && Folder->Parent() != nullptr) {
      Named.insert(Folder);
    }
  }
  // Inside a folder taken out: covered by it.
  const auto Covered = [&Named](const TDirNode* Folder) {
    for (; Folder != nullptr; Folder = Folder->Parent()) {
      if (Named.contains(Folder)) {
        return true;
      }
    }
    return false;
  };
  for (const TDirNode* Folder : Named) {
    if (!Covered(Folder->Parent())) {
      Change.FFolders.push_back(Folder);
    }
  }
  for (const TDirNode* Folder : Change.FFolders) {
    Change.CollectGone(*Folder);
  }
  for (const TFileLeaf* File : Files) {
    if (File != nullptr && (Named.empty() || !Covered(&File->Parent())) &&
        Change.FGone.Insert(File)) {
      Change.FFiles.push_back(File);
      if (File->IsHardLinked()) {
        Change.NoteGoneHardLink(*File);
      }
    }
  }
  Change.SettleHardLinks();
  return Change;
}

TTreeChange TTreeChange::Replacement(const TDirNode& Folder, std::unique_ptr<TDirNode> Fresh) {
  if (Folder.Parent() == nullptr || Fresh == nullptr) {
    throw std::invalid_argument("only a folder below the top is replaced, by a tree");
  }
  TTreeChange Change;
  Change.FReplaced = &Folder;
  Change.CollectGone(Folder);
  ForEachFolder(*Fresh, [&Change](const TDirNode& Node) {
    for (TFileLeaf* Leaf : Node.Leaves) {
      Change.FAdded.push_back(Leaf);
      if (!Leaf->IsHardLinked()) {
        continue;
      }
      // The walk read its link count just now: every name of it, here or elsewhere, has it.
      if (const THardLink* Link = Leaf->Parent().Store().HardLinkOf(*Leaf)) {
        Change.FLinks.push_back({Link->Volume, Link->FileId, 0, Link->Links});
      }
    }
  });
  Change.FFresh = std::move(Fresh);
  Change.SettleHardLinks();
  return Change;
}

TTreeChange TTreeChange::AfterRescan(const TDirNode& Folder, TRescanWalk&& Walk) {
  switch (Walk.Outcome) {
    case TRescanOutcome::Walked:
      return Replacement(Folder, std::move(Walk.Fresh));
    case TRescanOutcome::Gone: {
      // Most likely deleted, with the names of its hard-linked files.
      const TDirNode* const Gone[] = {&Folder};
      return Removal({}, Gone, true);
    }
    case TRescanOutcome::Cancelled:
      break;
  }
  return TTreeChange();
}

TDetachedFolders TTreeChange::Apply(TDirNode& Top) && {
  // The items are of the tree of Top, which the caller may change: so may this.
  const auto Mutable = [](const TDirNode* Folder) { return const_cast<TDirNode*>(Folder); };

  // First every figure that changes, while nothing has changed yet.
  std::unordered_map<TDirNode*, TDelta> Deltas;
  for (const TDirNode* Folder : FFolders) {
    TDirNode* Parent = Folder->Parent();
    TDelta& Delta = Deltas[Parent];
    Delta.AddTotalsOf(*Folder, -1);
  }
  for (const TFileLeaf* File : FFiles) {
    TDelta& Delta = Deltas[Mutable(&File->Parent())];
    Delta.Size -= File->Size();
    Delta.DiskUsage -= File->SizeIn(TSizeCount::DiskUsage);
    Delta.Files -= 1;
  }
  if (FReplaced != nullptr) {
    TDirNode* Parent = FReplaced->Parent();
    TDelta& Delta = Deltas[Parent];
    Delta.AddTotalsOf(*FReplaced, -1);
    Delta.AddTotalsOf(*FFresh, +1);
  }
  if (Deltas.empty()) {
    return {};
  }
  std::vector<TUpdate> Updates = Propagate(std::move(Deltas), Top);
  TDetachedFolders Detached;
  Detached.reserve(FFolders.size() + (FReplaced != nullptr ? 1 : 0));

  // Then the tree: the folders and files leave their parents' lists, which keep their order.
  std::unordered_map<TDirNode*, std::vector<const TDirNode*>> FoldersByParent;
  for (const TDirNode* Folder : FFolders) {
    FoldersByParent[Folder->Parent()].push_back(Folder);
  }
  for (auto& [Parent, Leaving] : FoldersByParent) {
    const std::unordered_set<const TDirNode*> Out(Leaving.begin(), Leaving.end());
    size_t Kept = 0;
    for (std::unique_ptr<TDirNode>& Child : Parent->Children) {
      if (Out.contains(Child.get())) {
        Detached.push_back(std::move(Child));
      } else {
        Parent->Children[Kept++] = std::move(Child);
      }
    }
    Parent->Children.resize(Kept);
  }
  std::unordered_set<TDirNode*> FileParents;
  for (const TFileLeaf* File : FFiles) {
    FileParents.insert(Mutable(&File->Parent()));
  }
  for (TDirNode* Parent : FileParents) {
    Parent->Leaves.EraseIf([this](const TFileLeaf* Leaf) { return FGone.Contains(Leaf); });
  }
  if (FReplaced != nullptr) {
    Detached.push_back(FReplaced->Parent()->ReplaceChild(*FReplaced, std::move(FFresh)));
  }
  for (TUpdate& Update : Updates) {
    TDirNode& Folder = *Update.Folder;
    Folder.TotalSize += Update.Delta.Size;
    Folder.TotalDiskUsage += Update.Delta.DiskUsage;
    Folder.TotalFiles += Update.Delta.Files;
    Folder.TotalDirs += Update.Delta.Dirs;
    Folder.UnreadableFolders += Update.Delta.Unreadable;
  }

  // Last the hard links whose names left or came: each counted again where a scan would.
  Top.Store().ForgetHardLinks(FGone);
  RecountHardLinks(Top, FLinks);
  return Detached;
}

}  // namespace dunstrel
