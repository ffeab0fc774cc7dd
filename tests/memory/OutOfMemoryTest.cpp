// Running out of memory at any allocation while a scan file is read or a folder is scanned ends
// in an error the program reports, never in a crash: this program replaces the allocator with
// one that fails from a chosen allocation on.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <sstream>
#include <string>

#include "results/ScanExport.h"
#include "scan/ScanModel.h"
#include "support/TempDir.h"

namespace {

// Allocations left before one fails; negative: none does. Only that one fails, as when memory
// runs out and what the failure unwinds frees some again. Each allocation asked counts, also
// the failing ones.
std::atomic<int64_t> AllocationsLeft{-1};

void* Allocate(size_t Size) {
  if (AllocationsLeft.load(std::memory_order_relaxed) >= 0 &&
      AllocationsLeft.fetch_sub(1, std::memory_order_relaxed) == 0) {
    throw std::bad_alloc();
  }
  if (void* Memory = std::malloc(Size == 0 ? 1 : Size)) {
    return Memory;
  }
  throw std::bad_alloc();
}

}  // namespace

void* operator new(size_t Size) {
  return Allocate(Size);
}
void* operator new[](size_t Size) {
  return Allocate(Size);
}
void operator delete(void* Memory) noexcept {
  std::free(Memory);
}
void operator delete[](void* Memory) noexcept {
  std::free(Memory);
}
void operator delete(void* Memory, size_t) noexcept {
  std::free(Memory);
}
void operator delete[](void* Memory, size_t) noexcept {
  std::free(Memory);
}

namespace dunstrel {
namespace {

// Runs Body with allocations failing after Budget of them; what it threw, or "" when it was done.
template <typename TBody>
std::string FailingAfter(int64_t Budget, TBody&& Body) {
  std::string Outcome;
  AllocationsLeft = Budget;
  try {
    Body();
  } catch (const std::bad_alloc&) {
    AllocationsLeft = -1;
    Outcome = "bad_alloc";
  } catch (const std::exception& Error) {
    AllocationsLeft = -1;
    Outcome = Error.what();
  }
  AllocationsLeft = -1;
  return Outcome;
}

TEST(OutOfMemoryTest, ATreeIsFreedWithoutAllocating) {
  auto Root = std::make_unique<TDirNode>("/r");
  TDirNode* Folder = Root.get();
  for (int Level = 0; Level < 1000; ++Level) {
    Folder->AddNamedChild("side").AddLeaf("f", "", 1, 0);
    Folder = &Folder->AddNamedChild("d");
  }
  // Every allocation fails from here on: freeing may not need one.
  AllocationsLeft = 0;
  Root.reset();
  const bool NoneAsked = AllocationsLeft.load() == 0;
  AllocationsLeft = -1;
  EXPECT_TRUE(NoneAsked);
}

TEST(OutOfMemoryTest, ReadingAScanFileFailsWithAClearMessageAtEveryAllocation) {
  TDirNode Root("/r");
  for (int Folder = 0; Folder < 20; ++Folder) {
    TDirNode& Child = Root.AddChild("/r/f" + std::to_string(Folder));
    for (int File = 0; File < 10; ++File) {
      Child.AddLeaf("file" + std::to_string(File) + ".e" + std::to_string(File), ".x", 100, 0);
    }
  }
  std::ostringstream Out;
  WriteScanExport(Root, Out);
  const std::string Text = Out.str();
  int Succeeded = 0;
  for (int64_t Budget = 0; Budget < 2000; Budget += Budget < 100 ? 1 : 37) {
    std::istringstream In(Text);
    const std::string Outcome = FailingAfter(Budget, [&] { ReadScanExport(In); });
    if (Outcome.empty()) {
      ++Succeeded;
    } else {
      EXPECT_EQ(Outcome, "Not enough memory to read the scan file.") << Budget;
    }
  }
  EXPECT_GT(Succeeded, 0) << "the budgets reach a whole reading";
}

TEST(OutOfMemoryTest, ScanningFailsWithBadAllocOnlyAtEveryAllocation) {
  const testing::TTempDir Dir;
  for (int I = 0; I < 60; ++I) {
    Dir.MakeFile("d" + std::to_string(I % 6) + "/e" + std::to_string(I % 3) + "/f" +
                     std::to_string(I) + ".txt",
                 I);
  }
  for (const int Threads : {1, 4}) {
    int Succeeded = 0;
    for (int64_t Budget = 0; Budget < 3000; Budget += Budget < 100 ? 1 : 41) {
      const std::string Outcome = FailingAfter(Budget, [&] {
        TScanContext Context;
        Context.WalkThreads = Threads;
        TDiskScanner Scanner(Context);
        Scanner.Scan(Dir.Path());
      });
      if (Outcome.empty()) {
        ++Succeeded;
      } else {
        // What the scan task turns into "Not enough memory to finish the scan."
        EXPECT_EQ(Outcome, "bad_alloc") << Budget << " on " << Threads;
      }
    }
    EXPECT_GT(Succeeded, 0) << Threads;
  }
}

}  // namespace
}  // namespace dunstrel
