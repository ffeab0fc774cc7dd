#include <windows.h>

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
