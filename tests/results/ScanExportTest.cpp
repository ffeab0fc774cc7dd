#include "results/ScanExport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "results/HeadlessExport.h"
#include "scan/ScanModel.h"
#include "support/PrivateMounts.h"
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
    EXPECT_EQ(A->TotalDiskUsage, B->TotalDiskUsage) << A->FullPath();
    EXPECT_EQ(A->OwnDiskUsage, B->OwnDiskUsage) << A->FullPath();
    EXPECT_EQ(A->UnreadableFolders, B->UnreadableFolders) << A->FullPath();
    if (A == &Want) {
      const std::vector<TExtStatPair>& Want = ExtensionTotalsOf(*A).Rows();
      const std::vector<TExtStatPair>& Got = ExtensionTotalsOf(*B).Rows();
      ASSERT_EQ(Got.size(), Want.size());
      for (size_t I = 0; I < Want.size(); ++I) {
        EXPECT_EQ(Got[I].Ext, Want[I].Ext);
        EXPECT_EQ(Got[I].Bytes, Want[I].Bytes);
        EXPECT_EQ(Got[I].Files, Want[I].Files);
      }
    }
    ASSERT_EQ(A->Leaves.size(), B->Leaves.size()) << A->FullPath();
    for (size_t I = 0; I < A->Leaves.size(); ++I) {
      const TFileLeaf& L = *A->Leaves[I];
      const TFileLeaf& R = *B->Leaves[I];
      EXPECT_EQ(L.Name(), R.Name());
      EXPECT_EQ(L.Size(), R.Size());
      EXPECT_EQ(L.Ext(), R.Ext());
      EXPECT_EQ(L.Allocated(), R.Allocated()) << L.FullPath();
      EXPECT_EQ(L.IsHardLinkRepeat(), R.IsHardLinkRepeat()) << L.FullPath();
      EXPECT_EQ(L.ModifiedFT() / platform::kStampTicksPerSecond,
                R.ModifiedFT() / platform::kStampTicksPerSecond);
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

// A tree with what the format carries beside names and sizes: sparse and written files, hard
// links within and across folders, an empty folder.
void MakeRichTree(const TTempDir& Dir) {
  Dir.MakeFile("sparse.img", 10'000'000);
  const std::string Written = Dir.MakeDir("data") + "/written.bin";
  std::ofstream(Written) << std::string(30'000, 'x');
  ASSERT_EQ(link(Written.c_str(), (Dir / "data/again.bin").c_str()), 0);
  Dir.MakeDir("other/deeper");
  ASSERT_EQ(link(Written.c_str(), (Dir / "other/deeper/third.bin").c_str()), 0);
  Dir.MakeFile("other/plain.txt", 12);
  Dir.MakeDir("empty");
}

std::string Exported(const TDirNode& Root, TCompression Packing = TCompression::None) {
  std::ostringstream Out;
  WriteScanExport(Root, Out, Packing);
  // The time of writing is the one thing two exports of one tree differ in.
  return std::regex_replace(Out.str(), std::regex(R"("timestamp":\d+)"), R"("timestamp":0)");
}

TEST(ScanExportTest, AnExportOpenedAndExportedAgainIsTheSameFile) {
  TTempDir Dir;
  MakeRichTree(Dir);
  TScanContext Context;
  const std::unique_ptr<TDirNode> Scanned = TDiskScanner(Context).Scan(Dir.Path());
  const std::string First = Exported(*Scanned);
  EXPECT_NE(First.find("\"hlnkc\":true"), std::string::npos);
  EXPECT_NE(First.find("\"dev\":"), std::string::npos);
  for (const TCompression Packing : {TCompression::None, TCompression::Gzip, TCompression::Zstd}) {
    SCOPED_TRACE(static_cast<int>(Packing));
    const std::string Packed = Exported(*Scanned, Packing);
    EXPECT_EQ(Packing == TCompression::None, Packed == First);
    const auto Loaded = ReadText(Packed);
    ExpectSameTree(*Scanned, *Loaded);
    EXPECT_EQ(Exported(*Loaded), First);
  }
  // By name: the suffix chooses the packing; reading finds it by the first bytes.
  for (const char* Name : {"scan.json", "scan.json.gz", "scan.json.zst"}) {
    SaveScanFile(*Scanned, Dir / Name);
    EXPECT_EQ(Exported(*LoadScanFile(Dir / Name)), First) << Name;
  }
  std::ifstream Gz(Dir / "scan.json.gz", std::ios::binary);
  EXPECT_EQ(Gz.get(), 0x1f);
}

TEST(ScanExportTest, DamagedOrBombedPackedFilesAreRefused) {
  TDirNode Root("/r");
  Root.AddLeaf("a", "", 5, 0);
  for (const TCompression Packing : {TCompression::Gzip, TCompression::Zstd}) {
    const std::string Packed = Exported(Root, Packing);
    EXPECT_THROW(ReadText(Packed.substr(0, Packed.size() / 2)), EScanFileError);
  }
  // A few kilobytes that unpack to hundreds of megabytes of spaces.
  std::ostringstream Bomb;
  {
    const std::unique_ptr<IByteSink> Sink = NewScanFileSink(Bomb, TCompression::Zstd);
    const std::string Spaces(1 << 20, ' ');
    for (int I = 0; I < 256; ++I) {
      Sink->Write(Spaces.data(), Spaces.size());
    }
    Sink->Finish();
  }
  ASSERT_LT(Bomb.str().size(), 1u << 20);
  try {
    ReadText(Bomb.str());
    ADD_FAILURE() << "accepted";
  } catch (const EScanFileError& Error) {
    EXPECT_NE(std::string(Error.what()).find("far more"), std::string::npos) << Error.what();
  }
}

// Replaces one of the standard streams with a file for the lifetime of the object.
class TScopedStandardStream {
 public:
  TScopedStandardStream(int Fd, const std::string& File, int Flags) : FFd(Fd), FSaved(dup(Fd)) {
    const int New = open(File.c_str(), Flags, 0644);
    dup2(New, Fd);
    close(New);
  }
  ~TScopedStandardStream() {
    dup2(FSaved, FFd);
    close(FSaved);
  }

 private:
  int FFd;
  int FSaved;
};

TEST(ScanExportTest, DashWritesStandardOutputAndReadsStandardInput) {
  TTempDir Dir;
  MakeRichTree(Dir);
  TScanContext Context;
  const std::unique_ptr<TDirNode> Scanned = TDiskScanner(Context).Scan(Dir.Path());
  const std::string File = Dir / "piped.json";
  {
    const TScopedStandardStream Out(STDOUT_FILENO, File, O_WRONLY | O_CREAT | O_TRUNC);
    SaveScanFile(*Scanned, "-");
    std::fflush(stdout);
  }
  std::ifstream Written(File);
  EXPECT_EQ(Written.get(), '[');
  std::unique_ptr<TDirNode> Loaded;
  {
    const TScopedStandardStream In(STDIN_FILENO, File, O_RDONLY);
    Loaded = LoadScanFile("-");
  }
  ExpectSameTree(*Scanned, *Loaded);
}

// The output of a command; empty when it failed.
std::string OutputOf(const std::string& Command) {
  std::string Out;
  FILE* Pipe = popen(Command.c_str(), "r");
  if (Pipe == nullptr) {
    return Out;
  }
  char Buffer[4096];
  for (size_t Got; (Got = std::fread(Buffer, 1, sizeof Buffer, Pipe)) > 0;) {
    Out.append(Buffer, Got);
  }
  return pclose(Pipe) == 0 ? Out : std::string();
}

// Both ways with ncdu, the tool that defined the format: its export of a tree opens with the
// files and both totals of a scan here, and ours survives its reading and writing unchanged.
TEST(ScanExportTest, NcduAndThisProgramReadEachOthersFiles) {
  if (OutputOf("ncdu -v").empty()) {
    GTEST_SKIP() << "ncdu is not installed (scripts/setup.sh installs it)";
  }
  TTempDir Dir;
  MakeRichTree(Dir);
  TScanContext Context;
  const std::unique_ptr<TDirNode> Scanned = TDiskScanner(Context).Scan(Dir.Path());

  const std::string Theirs = Dir / "../ncdu-of-tree.json";
  ASSERT_FALSE(OutputOf("ncdu -0 -x -o '" + Theirs + "' '" + Dir.Path() + "' && echo ok").empty());
  const auto FromNcdu = LoadScanFile(Theirs);
  std::remove(Theirs.c_str());
  EXPECT_EQ(FromNcdu->TotalFiles, Scanned->TotalFiles);
  EXPECT_EQ(FromNcdu->TotalDirs, Scanned->TotalDirs);
  EXPECT_EQ(FromNcdu->TotalSize, Scanned->TotalSize);
  EXPECT_EQ(FromNcdu->TotalDiskUsage, Scanned->TotalDiskUsage);

  const std::string Ours = Dir / "ours.json";
  const std::string Again = Dir / "through-ncdu.json";
  SaveScanFile(*Scanned, Ours);
  ASSERT_FALSE(OutputOf("ncdu -0 -e -f '" + Ours + "' -o '" + Again + "' && echo ok").empty());
  const auto ThroughNcdu = LoadScanFile(Again);
  ExpectSameTree(*Scanned, *ThroughNcdu);
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
  EXPECT_EQ(Root->Leaves[0]->Size(), 1000000);
  EXPECT_EQ(Root->Leaves[0]->ModifiedFT(),
            (1577836800 + platform::kSecondsFrom1601To1970) * platform::kStampTicksPerSecond);
  EXPECT_EQ(Root->Leaves[1]->ModifiedFT(), 0u);
  // Entries that are no regular files, and excluded ones with all they hold, stay out.
  ASSERT_EQ(Root->Children.size(), 1u);
  const TDirNode& Sub = *Root->Children[0];
  EXPECT_EQ(Sub.FullPath(), "/srv/data/sub");
  ASSERT_EQ(Sub.Leaves.size(), 2u);
  EXPECT_EQ(Sub.Leaves[1]->Name(), "\xc3\xa9t\xc3\xa9 \xf0\x9f\x98\x80 \"q\"\\");
  EXPECT_EQ(Sub.ReadProblem, platform::TListProblem::Other);
  EXPECT_EQ(Root->UnreadableFolders, 1);
  EXPECT_EQ(Root->TotalFiles, 4);
  EXPECT_EQ(Root->TotalDirs, 2);
  EXPECT_EQ(Root->TotalSize, 1000000 + 10 + 10 + 1);
  // The second name of inode 13 adds nothing to the disk usage; a file without "dsize" takes
  // none.
  EXPECT_FALSE(Root->Leaves[1]->IsHardLinkRepeat());
  EXPECT_TRUE(Sub.Leaves[0]->IsHardLinkRepeat());
  EXPECT_EQ(Root->TotalDiskUsage, 4096 + 1003520 + 4096);
  EXPECT_EQ(Sub.TotalDiskUsage, 0);
  EXPECT_EQ(ExtensionTotalsOf(*Root).Find(".iso")->Files, 1);
  EXPECT_EQ(ExtensionTotalsOf(*Root).Find("(none)")->Files, 3);
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
      {"dot dot in the top folder", R"([1,0,{},[{"name":"/a/../b"}]])", "top folder"},
      {"dot in the top folder", R"([1,0,{},[{"name":"/a/./b"}]])", "top folder"},
      {"top folder ending in dot dot", R"([1,0,{},[{"name":"/a/.."}]])", "top folder"},
      {"top folder ending in dot", R"([1,0,{},[{"name":"/a/./"}]])", "top folder"},
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
      {"two files of one name", Head + R"(,{"name":"a"},{"name":"b"},{"name":"a"}]])", "same name"},
      {"a file and a folder of one name", Head + R"(,{"name":"a"},[{"name":"a"}]]])", "same name"},
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

std::string FileText(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  std::stringstream Text;
  Text << In.rdbuf();
  return Text.str();
}

// The names in a folder, sorted.
std::vector<std::string> Listing(const std::string& Folder) {
  std::vector<std::string> Names;
  for (const auto& Entry : std::filesystem::directory_iterator(Folder)) {
    Names.push_back(Entry.path().filename().string());
  }
  std::sort(Names.begin(), Names.end());
  return Names;
}

// A save never writes through a link planted in its folder, at the target's name or at any name
// it might take for its new file, and leaves nothing behind but the saved file.
TEST(ScanExportTest, ASaveNeverWritesThroughAPlantedLink) {
  TDirNode Root("/x");
  Root.AddLeaf("a.txt", ".txt", 5, 0);
  const struct TCase {
    const char* What;
    const char* LinkName;
  } Cases[] = {
      {"a link at the target's name", "scan.json"},
      {"a link at the target's name with .part", "scan.json.part"},
      {"a link at the target's name with .tmp", "scan.json.tmp"},
      {"a link at a hidden temporary name", ".scan.json.tmp"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.What);
    TTempDir Dir;
    const std::string Victim = Dir.MakeFile("victim.txt");
    std::ofstream(Victim) << "precious";
    const std::string Folder = Dir.MakeDir("saves");
    ASSERT_EQ(symlink(Victim.c_str(), (Folder + "/" + Case.LinkName).c_str()), 0);

    SaveScanFile(Root, Folder + "/scan.json");
    EXPECT_EQ(FileText(Victim), "precious");
    EXPECT_EQ(ReadText(FileText(Folder + "/scan.json"))->TotalSize, 5);
    std::vector<std::string> Expected{"scan.json"};
    if (std::string(Case.LinkName) != "scan.json") {
      Expected.push_back(Case.LinkName);  // left as it was
      std::sort(Expected.begin(), Expected.end());
    }
    EXPECT_EQ(Listing(Folder), Expected);
  }
}

// A save that fails names the file and why, leaves an existing file as it was and removes the
// new file it made.
TEST(ScanExportTest, AFailedSaveSaysWhyAndLeavesTheFolderAsItWas) {
  TDirNode Root("/x");
  const struct TCase {
    const char* What;
    const char* Target;  // in the test's folder, which holds old.json and a folder full/
    const char* Reason;
  } Cases[] = {
      {"a missing folder", "missing/scan.json", "No such file or directory"},
      {"a path that ends in a delimiter", "old.json/", "folder"},
      {"a folder in the target's place", "full", "cannot be replaced"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.What);
    TTempDir Dir;
    std::ofstream(Dir / "old.json") << "old";
    Dir.MakeFile("full/inside.txt");
    const std::string Target = Dir / Case.Target;
    try {
      SaveScanFile(Root, Target);
      ADD_FAILURE() << "saved";
    } catch (const EScanFileError& Error) {
      const std::string Message = Error.what();
      EXPECT_NE(Message.find("Cannot save " + Target + ": "), std::string::npos) << Message;
      EXPECT_NE(Message.find(Case.Reason), std::string::npos) << Message;
    }
    EXPECT_EQ(FileText(Dir / "old.json"), "old");
    EXPECT_EQ(Listing(Dir.Path()), (std::vector<std::string>{"full", "old.json"}));
    EXPECT_EQ(Listing(Dir / "full"), std::vector<std::string>{"inside.txt"});
  }
  EXPECT_THROW(LoadScanFile(TTempDir() / "missing.json"), EScanFileError);
}

// Only a regular file is read as a scan: a FIFO without a writer, a folder or a device is refused
// at once, never waited on, and the message names it.
TEST(ScanExportTest, OnlyARegularFileIsReadAsAScan) {
  TTempDir Dir;
  const std::string Fifo = Dir / "fifo.json";
  ASSERT_EQ(mkfifo(Fifo.c_str(), 0600), 0);
  const struct TCase {
    const char* What;
    std::string Path;
    std::string Message;
  } Cases[] = {
      {"a FIFO", Fifo, Fifo + " is not a file"},
      {"a folder", Dir.MakeDir("folder.json"), Dir / "folder.json is not a file"},
      {"a device", "/dev/null", "/dev/null is not a file"},
      {"a missing file", Dir / "missing.json",
       "Cannot open " + (Dir / "missing.json") + ": No such file or directory"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.What);
    std::promise<std::string> Outcome;
    std::future<std::string> Said = Outcome.get_future();
    std::thread([&Outcome, Path = Case.Path] {
      try {
        LoadScanFile(Path);
        Outcome.set_value("read");
      } catch (const EScanFileError& Error) {
        Outcome.set_value(Error.what());
      }
    }).detach();
    if (Said.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      ADD_FAILURE() << "still waiting after 10 s";
      close(open(Fifo.c_str(), O_WRONLY | O_NONBLOCK));  // lets a blocked open go on
      Said.wait();
      continue;
    }
    EXPECT_EQ(Said.get(), Case.Message);
  }
}

// --export names what is wrong with the folder it was given, and writes nothing.
TEST(ScanExportTest, AnExportOfWhatIsNoFolderSaysSo) {
  TTempDir Dir;
  const std::string Fifo = Dir / "fifo";
  ASSERT_EQ(mkfifo(Fifo.c_str(), 0600), 0);
  const struct TCase {
    const char* What;
    std::string Folder;
    const char* Message;
  } Cases[] = {
      {"a file", Dir.MakeFile("file.txt", 3), "is not a folder"},
      {"a FIFO", Fifo, "is not a folder"},
      {"a missing folder", Dir / "missing", "folder does not exist"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.What);
    char* Text = nullptr;
    size_t Size = 0;
    FILE* Errors = open_memstream(&Text, &Size);
    EXPECT_EQ(ExportScanOfFolder(Dir / "out.json", Case.Folder, nullptr, Errors), 1);
    std::fclose(Errors);
    EXPECT_EQ(std::string(Text, Size), "dunstrel: " + Case.Folder + ": " + Case.Message + "\n");
    std::free(Text);
    EXPECT_FALSE(std::filesystem::exists(Dir / "out.json"));
  }
}

// A disk that fills up while the file is written: the old file stays and nothing else is left.
class ScanSaveMountTest : public testing::TMountTest {};

TEST_F(ScanSaveMountTest, ADiskThatFillsUpKeepsTheOldFile) {
  const std::string Folder = FDir.MakeDir("small");
  if (const std::string Failure = Mount("", Folder); !Failure.empty()) {
    GTEST_SKIP() << Failure;
  }
  std::ofstream(Folder + "/scan.json") << "old";
  TDirNode Root("/x");
  for (int I = 0; I < 400000; ++I) {
    Root.AddLeaf("a-file-with-a-long-name-" + std::to_string(I) + ".txt", ".txt", I, 0);
  }
  try {
    SaveScanFile(Root, Folder + "/scan.json");
    ADD_FAILURE() << "a 16 MB file system took the whole scan";
  } catch (const EScanFileError& Error) {
    EXPECT_NE(std::string(Error.what()).find("No space left on device"), std::string::npos)
        << Error.what();
  }
  EXPECT_EQ(FileText(Folder + "/scan.json"), "old");
  EXPECT_EQ(Listing(Folder), std::vector<std::string>{"scan.json"});
}

}  // namespace
}  // namespace dunstrel
