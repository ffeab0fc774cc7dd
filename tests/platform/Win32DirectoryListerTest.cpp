#include <windows.h>

#include <winioctl.h>  // after windows.h, which it needs

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "platform/DirectoryLister.h"
#include "platform/win32/WideText.h"
#include "scan/ScanModel.h"
#include "support/TempDir.h"

namespace dunstrel::platform {
namespace {

using testing::TTempDir;

TEST(Win32DirectoryListerTest, ListsEntriesWithSizesAndStampsButNoDotEntries) {
  const TTempDir Dir;
  const std::string Unicode =
      "Gr\xC3\xBC\xC3\x9F"
      "e \xF0\x9F\x98\x80.txt";  // UTF-8
  Dir.MakeFile(Unicode, 1234);
  Dir.MakeFile("sub/inner.txt", 5);
  const auto Lister = CreateDirectoryLister();
  for (const std::string& Folder : {Dir.Path(), Dir.Path() + "\\"}) {
    SCOPED_TRACE(Folder);
    TDirListing Listing;
    ASSERT_TRUE(Lister->List(Folder, Listing));
    std::map<std::string, TDirEntry> Seen;
    for (size_t I = 0; I < Listing.Count(); ++I) {
      Seen[std::string(Listing.Name(I))] = Listing.Entry(I);
    }
    ASSERT_EQ(Seen.size(), 2u);
    ASSERT_TRUE(Seen.contains(Unicode));
    EXPECT_FALSE(Seen[Unicode].IsDirectory);
    EXPECT_EQ(Seen[Unicode].Size, 1234);
    EXPECT_NE(Seen[Unicode].Stamp, 0u);
    EXPECT_TRUE(Seen["sub"].IsDirectory);
    EXPECT_FALSE(Seen["sub"].IsReparse);
  }
  TDirListing Listing;
  EXPECT_FALSE(Lister->List(Dir / "missing", Listing));
}

// The allocated size comes with the listing: a sparse file takes less than its size, a small
// file at least its size.
TEST(Win32DirectoryListerTest, ListsTheAllocatedSizeBesideTheSize) {
  const TTempDir Dir;
  Dir.MakeFile("small.txt", 5);
  const std::wstring Sparse = win32::ToWide(Dir / "sparse.img");
  const HANDLE File = CreateFileW(Sparse.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(File, INVALID_HANDLE_VALUE);
  DWORD Returned = 0;
  DeviceIoControl(File, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &Returned, nullptr);
  LARGE_INTEGER End{};
  End.QuadPart = 64LL * 1024 * 1024;
  ASSERT_TRUE(SetFilePointerEx(File, End, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(File));
  CloseHandle(File);

  TDirListing Listing;
  ASSERT_TRUE(CreateDirectoryLister()->List(Dir.Path(), Listing));
  std::map<std::string, TDirEntry> Seen;
  for (size_t I = 0; I < Listing.Count(); ++I) {
    Seen[std::string(Listing.Name(I))] = Listing.Entry(I);
  }
  ASSERT_EQ(Seen.size(), 2u);
  EXPECT_EQ(Seen["sparse.img"].Size, End.QuadPart);
  EXPECT_LT(Seen["sparse.img"].Allocated, End.QuadPart / 2);
  EXPECT_EQ(Seen["small.txt"].Size, 5);
  EXPECT_GE(Seen["small.txt"].Allocated, 5);
}

TEST(Win32DirectoryListerTest, ScansARealTreeWithWindowsPaths) {
  const TTempDir Dir;
  Dir.MakeFile("a.txt", 10);
  Dir.MakeFile("d1/b.TXT", 20);
  Dir.MakeFile("d1/d2/c.bin", 30);
  TScanContext Context;
  TDiskScanner Scanner(Context);
  const auto Root = Scanner.Scan(Dir.Path() + "\\");
  ASSERT_NE(Root, nullptr);
  EXPECT_EQ(Root->FullPath(), Dir.Path());
  EXPECT_EQ(Root->TotalFiles, 3);
  EXPECT_EQ(Root->TotalDirs, 3);
  EXPECT_EQ(Root->TotalSize, 60);
  ASSERT_EQ(Root->Children.size(), 1u);
  EXPECT_EQ(Root->Children[0]->FullPath(), Dir / "d1");
  ASSERT_EQ(Root->Children[0]->Leaves.size(), 1u);
  EXPECT_EQ(Root->Children[0]->Leaves[0]->FullPath(), Dir / "d1/b.TXT");
  EXPECT_EQ(ExtensionTotalsOf(*Root).Find(".txt")->Bytes, 30);
}

}  // namespace
}  // namespace dunstrel::platform
