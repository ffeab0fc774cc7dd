#include "results/ScanExport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "scan/ScanModel.h"
#include "support/TempDir.h"

namespace dunstrel {
namespace {

using testing::TTempDir;

// Two trees agree node by node: names as bytes, sizes, stamps to the second, order, totals and
// extension statistics.
void ExpectSameTree(const TDirNode& Want, const TDirNode& Got) {
  std::vector<std::pair<const TDirNode*, const TDirNode*>> Pending{{&Want, &Got}};
  while (!Pending.empty()) {
    const auto [A, B] = Pending.back();
    Pending.pop_back();
    ASSERT_EQ(A->FullPath(), B->FullPath());
    ASSERT_EQ(A->Name(), B->Name());
    EXPECT_EQ(A->TotalSize, B->TotalSize) << A->FullPath();
    EXPECT_EQ(A->TotalFiles, B->TotalFiles) << A->FullPath();
    EXPECT_EQ(A->TotalDirs, B->TotalDirs) << A->FullPath();
    const auto WantExts = A->ExtStats.ToSortedArrayByBytesDesc();
    for (const TExtStatPair& Ext : WantExts) {
      const auto Found = B->ExtStats.Find(Ext.Ext);
      ASSERT_TRUE(Found.has_value()) << Ext.Ext;
      EXPECT_EQ(Found->Bytes, Ext.Bytes);
      EXPECT_EQ(Found->Files, Ext.Files);
    }
    EXPECT_EQ(B->ExtStats.Count(), WantExts.size());
    ASSERT_EQ(A->Leaves.size(), B->Leaves.size()) << A->FullPath();
    for (size_t I = 0; I < A->Leaves.size(); ++I) {
      const TFileLeaf& L = *A->Leaves[I];
      const TFileLeaf& R = *B->Leaves[I];
      EXPECT_EQ(L.Name(), R.Name());
      EXPECT_EQ(L.Size, R.Size);
      EXPECT_EQ(L.Ext(), R.Ext());
      EXPECT_EQ(L.ModifiedFT / platform::kStampTicksPerSecond,
                R.ModifiedFT / platform::kStampTicksPerSecond);
    }
    ASSERT_EQ(A->Children.size(), B->Children.size()) << A->FullPath();
    for (size_t I = 0; I < A->Children.size(); ++I) {
      Pending.emplace_back(A->Children[I].get(), B->Children[I].get());
    }
  }
}

std::unique_ptr<TDirNode> ReadText(const std::string& Text) {
  std::istringstream In(Text);
  return ReadScanExport(In);
}

TEST(ScanExportTest, ScannedTreeSurvivesSaveAndOpen) {
  TTempDir Dir;
  Dir.MakeFile("a.TXT", 1234);
  Dir.MakeFile("noext", 7);
  Dir.MakeFile("sub/deeper/\"quoted\\back\tslash\".bin", 99);
  Dir.MakeFile("sub/\xff\xfe latin1 \xe9.dat", 5);  // not UTF-8
  Dir.MakeFile("sub/\xc3\xa9t\xc3\xa9.Dat", 6);     // UTF-8
  Dir.MakeDir("empty");
  TScanContext Context;
  TDiskScanner Scanner(Context);
  const std::unique_ptr<TDirNode> Scanned = Scanner.Scan(Dir.Path());
  ASSERT_NE(Scanned, nullptr);

  const std::string File = Dir / "scan.json";
  SaveScanFile(*Scanned, File);
  const std::unique_ptr<TDirNode> Loaded = LoadScanFile(File);
  ExpectSameTree(*Scanned, *Loaded);
  EXPECT_EQ(Loaded->TotalFiles, 5);
  EXPECT_EQ(Loaded->TotalDirs, 4);
}

TEST(ScanExportTest, EveryDriveRootKeepsItsDrives) {
  TDirNode Root(std::string(), "(All Drives)");
  TDirNode& Drive = Root.AddChild("/");
  Drive.AddChild("/home").AddLeaf("x.c", ".c", 3, 0);
  Root.AddChild("/mnt/data");
  std::ostringstream Out;
  WriteScanExport(Root, Out);
  const auto Loaded = ReadText(Out.str());
  ASSERT_EQ(Loaded->Children.size(), 2u);
  EXPECT_EQ(Loaded->Name(), "(All Drives)");
  EXPECT_EQ(Loaded->Children[0]->FullPath(), "/");
  EXPECT_EQ(Loaded->Children[0]->Children[0]->FullPath(), "/home");
  EXPECT_EQ(Loaded->Children[1]->FullPath(), "/mnt/data");
  EXPECT_EQ(Loaded->TotalSize, 3);
}

// Written by hand from the format's description, as another tool writes it: hard-link fields,
// excluded entries, error flags, extended fields, escapes and keys this program does not know.
TEST(ScanExportTest, ReadsAnotherToolsFile) {
  const auto Root = ReadText(R"([1,2,{"progname":"ncdu","progver":"1.16","timestamp":1600000000,
    "extra":[1,{"a":null}]},
  [{"name":"/srv/data","asize":4096,"dsize":4096,"dev":2049,"ino":2,"mtime":1600000000},
    {"name":"big.iso","asize":1000000,"dsize":1003520,"ino":12,"mtime":1577836800,"uid":1000,
     "gid":1000,"mode":33188},
    {"name":"link1","asize":10,"dsize":4096,"ino":13,"hlnkc":true,"nlink":2},
    [{"name":"sub","asize":4096,"read_error":true},
      {"name":"link2","asize":10,"dsize":4096,"ino":13,"hlnkc":true,"nlink":2},
      {"name":"sock","notreg":true},
      {"name":"skipped.tmp","excluded":"pattern"},
      {"name":"\u00e9t\u00e9 \ud83d\ude00 \"q\"\\","asize":1,"future_key":{"x":[1.5e3,-2]}}
    ],
    [{"name":"other","excluded":"otherfs"}],
    {"name":"nfs","excluded":"otherfs"}
  ]
])");
  EXPECT_EQ(Root->FullPath(), "/srv/data");
  ASSERT_EQ(Root->Leaves.size(), 2u);
  EXPECT_EQ(Root->Leaves[0]->Name(), "big.iso");
  EXPECT_EQ(Root->Leaves[0]->Size, 1000000);
  EXPECT_EQ(Root->Leaves[0]->ModifiedFT,
            (1577836800 + platform::kSecondsFrom1601To1970) * platform::kStampTicksPerSecond);
  EXPECT_EQ(Root->Leaves[1]->ModifiedFT, 0u);
  ASSERT_EQ(Root->Children.size(), 2u);
  const TDirNode& Sub = *Root->Children[0];
  EXPECT_EQ(Sub.FullPath(), "/srv/data/sub");
  ASSERT_EQ(Sub.Leaves.size(), 3u);  // the excluded entry is not counted
  EXPECT_EQ(Sub.Leaves[2]->Name(), "\xc3\xa9t\xc3\xa9 \xf0\x9f\x98\x80 \"q\"\\");
  EXPECT_EQ(Root->Children[1]->TotalFiles, 0);
  EXPECT_EQ(Root->TotalFiles, 5);
  EXPECT_EQ(Root->TotalDirs, 3);
  EXPECT_EQ(Root->TotalSize, 1000000 + 10 + 10 + 0 + 1);
  EXPECT_EQ(Root->ExtStats.Find(".iso")->Files, 1);
  EXPECT_EQ(Root->ExtStats.Find("(none)")->Files, 4);
}

std::string Repeat(const std::string& Part, size_t Count) {
  std::string Out;
  Out.reserve(Part.size() * Count);
  for (size_t I = 0; I < Count; ++I) {
    Out += Part;
  }
  return Out;
}

TEST(ScanExportTest, RefusesMalformedAndHostileFiles) {
  const std::string Head = R"([1,0,{},[{"name":"/r"})";
  struct TCase {
    const char* What;
    std::string Text;
    const char* Message;
  };
  const TCase Cases[] = {
      {"empty", "", "ends early"},
      {"not an array", "{}", "'[' expected"},
      {"major version 2", R"([2,0,{},[{"name":"/r"}]])", "version 2 is not supported"},
      {"minor beyond range", R"([1,10001,{},[{"name":"/r"}]])", "invalid minor version"},
      {"truncated", Head + R"(,{"name":"a","asiz)", "ends inside a text"},
      {"truncated after entry", Head + R"(,{"name":"a"})", "ends early"},
      {"unclosed top", Head + "]", "ends early"},
      {"wrong nesting", Head + R"(,{"name":"a"]]})", "expected"},
      {"file before info", R"([1,0,{},[[{"name":"a"}]]])", "information"},
      {"entry without name", Head + R"(,{"asize":1}]])", "without a name"},
      {"name not a text", Head + R"(,{"name":5}]])", "not a text"},
      {"slash in name", Head + R"(,{"name":"a/b"}]])", "single path component"},
      {"dot dot", Head + R"(,[{"name":".."}]]])", "single path component"},
      {"size beyond 2^63-1", Head + R"(,{"name":"a","asize":9223372036854775808}]])", "2^63-1"},
      {"size beyond 2^64", Head + R"(,{"name":"a","asize":99999999999999999999999}]])", "2^63-1"},
      {"negative size", Head + R"(,{"name":"a","asize":-1}]])", "2^63-1"},
      {"fractional size", Head + R"(,{"name":"a","asize":1.5}]])", "2^63-1"},
      {"name too long",
       Head + ",{\"name\":\"" + std::string(kScanFileMaxNameBytes + 1, 'x') + "\"}]]",
       "longer than"},
      {"huge unknown text",
       Head + ",{\"name\":\"a\",\"x\":\"" + std::string(1 << 20, 'x') + "\"}]]", "longer than"},
      {"depth of 100,000", Head + Repeat(R"(,[{"name":"d"})", 100000) + Repeat("]", 100001) + "]",
       "nested deeper"},
      {"deep metadata", "[1,0,{\"a\":" + Repeat("[", 100000), "nested too deeply"},
      {"raw control character", Head + ",{\"name\":\"a\nb\"}]]", "control character"},
      {"lone surrogate", Head + R"(,{"name":"\udc00"}]])", "\\u escape"},
      {"trailing data", Head + "]] x", "after the end"},
  };
  for (const TCase& Case : Cases) {
    try {
      ReadText(Case.Text);
      ADD_FAILURE() << Case.What << ": accepted";
    } catch (const EScanFileError& Error) {
      EXPECT_NE(std::string(Error.what()).find(Case.Message), std::string::npos)
          << Case.What << ": " << Error.what();
    }
  }
}

TEST(ScanExportTest, FailedSaveLeavesTheOldFile) {
  TTempDir Dir;
  const std::string File = Dir / "scan.json";
  std::ofstream(File) << "old";
  Dir.MakeDir("scan.json.part");  // the temporary file cannot be made
  TDirNode Root("/x");
  EXPECT_THROW(SaveScanFile(Root, File), EScanFileError);
  EXPECT_THROW(LoadScanFile(Dir / "missing.json"), EScanFileError);
  std::ifstream In(File);
  std::string Text;
  In >> Text;
  EXPECT_EQ(Text, "old");
}

}  // namespace
}  // namespace dunstrel
