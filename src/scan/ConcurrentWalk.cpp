#include "scan/ConcurrentWalk.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/Memory.h"
#include "platform/Paths.h"

namespace dunstrel {

namespace {

// A folder not yet summed: its own reading and each of its sub-folders hold one count.
struct TFolderWork {
  TFolderWork(TDirNode& ANode, TFolderWork* AParent) : Node(&ANode), Parent(AParent) {}
  TDirNode* Node;
  TFolderWork* Parent;
  std::atomic<int64_t> Pending{1};
};

// A folder waiting to be read, with the reader of its parent, which it is opened in.
struct TFolderTask {
  TFolderWork* Work = nullptr;
  platform::TDirEntry Seen;                         // its entry in the parent's listing
  std::shared_ptr<platform::IFolderReader> Parent;  // none for the scan root
  int Retries = 0;  // times it could not be opened for want of descriptors
};

// A folder that cannot be opened for want of descriptors waits until another folder's reading
// ends; when no other is being read, it is tried again this often, this many times, before it
// counts as a folder that cannot be read.
constexpr auto kRetryPause = std::chrono::milliseconds(10);
constexpr int kMostRetries = 200;

class TConcurrentWalk {
 public:
  TConcurrentWalk(TWalkShared& Shared, TDirNode& Root, const platform::TDirEntry* RootSeen)
      : FShared(Shared), FRoot(Root), FRootSeen(RootSeen) {}

  void Run(size_t Threads) {
    std::vector<std::thread> Helpers;
    {
      const std::lock_guard Lock(FLock);
      FWorks.resize(Threads);
      FTasks.push_back({&FWorks[0].emplace_back(FRoot, nullptr),
                        FRootSeen != nullptr ? *FRootSeen : platform::TDirEntry{}, nullptr});
      FOutstanding = 1;
    }
    Threads = std::max<size_t>(1, std::min(Threads, FShared.Lister.ConcurrentFolderLimit()));
    try {
      Helpers.reserve(Threads - 1);
      for (size_t I = 1; I < Threads; ++I) {
        Helpers.emplace_back([this, I] { Work(I); });
      }
    } catch (...) {
      // Fewer threads than asked for (none could be started, or no memory for more) still
      // finish the walk.
    }
    Work(0);
    for (std::thread& Helper : Helpers) {
      Helper.join();
    }
    // What the threads used only while walking (listing buffers, task lists) need not stay with
    // the process as free space of their allocator arenas.
    platform::ReleaseFreedMemory();
    if (FError) {
      std::rethrow_exception(FError);
    }
  }

 private:
  // Takes tasks until none are left. Nothing may leave it: an error (no memory) is kept for the
  // caller, and the tasks are still counted off, so that every thread ends.
  void Work(size_t Index) noexcept {
    TScanStore& Store = FRoot.Store();
    std::optional<TFolderWalker> Walker;
    try {
      Walker.emplace(FShared, Store, Index == 0 ? Store.MainArena() : Store.NewArena());
    } catch (...) {
      NoteError();
    }
    platform::TDirListing Batch;
    std::vector<TFolderTask> Found;
    TFolderTask Task;
    bool Pause = false;
    while (Pop(Task, Pause)) {
      if (Pause) {
        std::this_thread::sleep_for(kRetryPause);
      }
      bool Deferred = false;
      try {
        if (Walker && !FStop.load(std::memory_order_relaxed) && !FShared.Context.IsCancelled()) {
          Deferred = !Read(*Walker, Index, Task, Batch, Found);
        }
        if (Deferred) {
          Defer(std::move(Task));
          continue;
        }
      } catch (...) {
        NoteError();
      }
      Found.clear();
      Task.Parent = nullptr;
      if (Walker) {
        try {
          Complete(*Walker, Task.Work);
        } catch (...) {
          NoteError();
        }
      }
      Finished();
    }
    try {
      if (Walker) {
        Walker->HandOverHardLinks();
      }
    } catch (...) {
      NoteError();
    }
  }

  void NoteError() {
    const std::lock_guard Lock(FLock);
    if (!FError) {
      FError = std::current_exception();
    }
    FStop = true;
  }

  // Reads one folder batch by batch: files become leaves, sub-folders new tasks. False when the
  // folder is to be tried again later, for want of descriptors.
  bool Read(TFolderWalker& Walker, size_t Index, TFolderTask& Task, platform::TDirListing& Batch,
            std::vector<TFolderTask>& Found) {
    TDirNode& Node = *Task.Work->Node;
    std::shared_ptr<platform::IFolderReader> Reader;
    platform::TListProblem Problem = Node.ReadProblem;
    if (Problem == platform::TListProblem::None) {  // else its information was refused
      // Only the root has no parent reader: it is checked against its entry when it has one.
      const bool Seen = Task.Parent != nullptr || FRootSeen != nullptr;
      Reader = FShared.Lister.OpenFolder(platform::WithTrailingDelimiter(Node.FullPath()),
                                         Task.Parent, Seen ? &Task.Seen : nullptr, Problem);
      if (Reader == nullptr && Problem == platform::TListProblem::TooManyOpen &&
          Task.Retries < kMostRetries) {
        return false;
      }
    }
    Walker.EnterFolder(Node);
    Task.Parent = nullptr;  // opened: the parent's descriptor is not needed for this one
    if (Reader == nullptr) {
      TFolderWalker::NoteProblem(Node, Problem);
      return true;
    }
    while (Reader->Next(Batch)) {
      if (Batch.Problem != platform::TListProblem::None) {
        TFolderWalker::NoteProblem(Node, Batch.Problem);
      }
      TFolderWalker::MakeRoom(Node, Batch);
      for (size_t I = 0; I < Batch.Count(); ++I) {
        if (FShared.Context.IsCancelled() || FStop.load(std::memory_order_relaxed)) {
          Push(Found);
          return true;
        }
        const platform::TDirEntry& Entry = Batch.Entry(I);
        const std::string_view Name = Batch.Name(I);
        if (Entry.IsReparse || Name == "." || Name == "..") {
          continue;
        }
        if (!Entry.IsDirectory) {
          Walker.TakeFile(Node, Name, Entry);
          continue;
        }
        TDirNode& Child = Walker.AddChild(Node, Name, Entry);
        Task.Work->Pending.fetch_add(1, std::memory_order_relaxed);
        Found.push_back({&FWorks[Index].emplace_back(Child, Task.Work), Entry, Reader});
      }
      // Handed over batch by batch, so that idle threads start on them while this one reads on.
      Push(Found);
      Walker.Flush();
    }
    return true;
  }

  // Counts down Work and, when it is done, sums its folder and counts down its parent.
  void Complete(TFolderWalker& Walker, TFolderWork* Work) {
    while (Work != nullptr && Work->Pending.fetch_sub(1, std::memory_order_acq_rel) == 1) {
      Walker.FinishFolder(*Work->Node);
      Work = Work->Parent;
    }
  }

  void Push(std::vector<TFolderTask>& Found) {
    if (Found.empty()) {
      return;
    }
    {
      const std::lock_guard Lock(FLock);
      FTasks.reserve(FTasks.size() + Found.size());  // may fail, before anything is counted
      FOutstanding += Found.size();
      // Reversed, so that the first sub-folder is taken first: the walk stays close to
      // depth-first, which keeps few folders open at once.
      for (auto Task = Found.rbegin(); Task != Found.rend(); ++Task) {
        FTasks.push_back(std::move(*Task));
      }
    }
    Found.clear();
    FWake.notify_all();
  }

  // The next task; Pause tells that it is a folder tried again while no other is being read,
  // which is worth a short wait first.
  bool Pop(TFolderTask& Task, bool& Pause) {
    std::unique_lock Lock(FLock);
    FWake.wait(Lock, [this] {
      return !FTasks.empty() || FOutstanding == 0 || (FReading == 0 && !FDeferred.empty());
    });
    Pause = false;
    if (FTasks.empty()) {
      if (FDeferred.empty()) {
        return false;
      }
      Task = std::move(FDeferred.back());
      FDeferred.pop_back();
      ++Task.Retries;
      Pause = true;
    } else {
      Task = std::move(FTasks.back());
      FTasks.pop_back();
    }
    ++FReading;
    return true;
  }

  // Task waits until another folder's reading ends and gives back its descriptors.
  void Defer(TFolderTask&& Task) {
    {
      const std::lock_guard Lock(FLock);
      FDeferred.push_back(std::move(Task));  // no memory: the task goes on as not deferred
      --FReading;
    }
    FWake.notify_all();
  }

  void Finished() {
    bool Wake = false;
    {
      const std::lock_guard Lock(FLock);
      --FReading;
      Wake = --FOutstanding == 0 || !FDeferred.empty();
      // A folder read to its end may have freed the descriptors the waiting ones need. Without
      // memory to move them, they wait on until no folder is being read.
      try {
        FTasks.reserve(FTasks.size() + FDeferred.size());
        for (TFolderTask& Waiting : FDeferred) {
          FTasks.push_back(std::move(Waiting));
        }
        FDeferred.clear();
      } catch (...) {
      }
    }
    if (Wake) {
      FWake.notify_all();
    }
  }

  TWalkShared& FShared;
  TDirNode& FRoot;
  const platform::TDirEntry* FRootSeen;
  std::atomic<bool> FStop{false};

  std::mutex FLock;  // guards the members below
  std::condition_variable FWake;
  std::vector<TFolderTask> FTasks;     // taken from the back
  std::vector<TFolderTask> FDeferred;  // waiting for descriptors
  size_t FOutstanding = 0;             // tasks queued, waiting or being read
  size_t FReading = 0;                 // tasks being read
  std::exception_ptr FError;
  // Per thread, the works it created; they live until the walk ends.
  std::vector<std::deque<TFolderWork>> FWorks;
};

}  // namespace

void WalkConcurrently(TWalkShared& Shared, TDirNode& Root, size_t Threads,
                      const platform::TDirEntry* RootSeen) {
  TConcurrentWalk(Shared, Root, RootSeen).Run(Threads);
}

}  // namespace dunstrel
