#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <random>
#include <utility>

#include "platform/TextCasing.h"
#include "results/DuplicateGroups.h"

namespace dunstrel {
namespace {

struct TFileSpec {
  const char* Folder;
  const char* Name;
  int64_t Size;
  platform::TFileStamp Stamp = 0;
};

// A scan tree below /r with one sub-folder per folder name, and its files in the order given.
class TFixture {
 public:
  explicit TFixture(const std::vector<TFileSpec>& Specs) {
    for (const TFileSpec& Spec : Specs) {
      TDirNode*& Folder = FFolders[Spec.Folder];
      if (Folder == nullptr) {
        Folder = &FRoot.AddChild(std::string("/r/") + Spec.Folder);
      }
      Files.push_back(&Folder->AddLeaf(Spec.Name, "", Spec.Size, Spec.Stamp));
    }
  }

  // The files largest first, equal sizes in the order given: the array the window groups.
  std::vector<TFileLeaf*> LargestFirst() const {
    std::vector<TFileLeaf*> Sorted = Files;
    std::stable_sort(Sorted.begin(), Sorted.end(),
                     [](const TFileLeaf* A, const TFileLeaf* B) { return A->Size() > B->Size(); });
    return Sorted;
  }

  std::vector<TFileLeaf*> Files;

 private:
  TDirNode FRoot{"/r"};
  std::map<std::string, TDirNode*> FFolders;
};

// "NAME size stamp: path path ..." for each group, in order.
std::vector<std::string> Described(const TDuplicates& Duplicates) {
  std::vector<std::string> Lines;
  for (const TDupGroup& Group : Duplicates.Groups) {
    std::string Line = Group.FileName + " " + std::to_string(Group.Size) + " " +
                       std::to_string(Group.ModifiedFT) + ":";
    for (const TFileLeaf* File : Group.Files) {
      Line += " " + File->FullPath();
    }
    Lines.push_back(Line);
  }
  return Lines;
}

// The files of all shown groups.
size_t Members(const TDuplicates& Duplicates) {
  size_t Count = 0;
  for (const TDupGroup& Group : Duplicates.Groups) {
    Count += Group.Files.size();
  }
  return Count;
}

class DuplicateGroupsTest : public ::testing::Test {
 protected:
  const std::unique_ptr<platform::ITextCasing> FEnglish = platform::CreateTextCasing("en_US");
  const platform::TScopedTextCasing FScope{*FEnglish};
};

TEST_F(DuplicateGroupsTest, GroupsFilesOfOneNameApartFromCaseAndOneSize) {
  struct TCase {
    const char* What;
    std::vector<TFileSpec> Files;
    std::vector<std::string> Groups;
  } Cases[] = {
      {"names apart from case",
       {{"a", "Report.pdf", 1024, 7}, {"b", "REPORT.PDF", 1024, 8}},
       {"REPORT.PDF 1024 8: /r/a/Report.pdf /r/b/REPORT.PDF"}},
      {"one byte apart", {{"a", "Report.pdf", 1024}, {"b", "REPORT.PDF", 1025}}, {}},
      {"equal content, other names", {{"a", "one.txt", 10}, {"b", "two.txt", 10}}, {}},
      {"three members: name, size and time of the second",
       {{"x", "data.bin", 5, 1}, {"y", "DATA.bin", 5, 2}, {"z", "Data.BIN", 5, 3}},
       {"DATA.bin 5 2: /r/x/data.bin /r/y/DATA.bin /r/z/Data.BIN"}},
      {"most bytes first, zero bytes last",
       {{"a", "empty", 0},
        {"a", "small", 1},
        {"b", "small", 1},
        {"b", "empty", 0},
        {"c", "empty", 0},
        {"a", "big", 100},
        {"b", "big", 100}},
       {"big 100 0: /r/a/big /r/b/big", "small 1 0: /r/a/small /r/b/small",
        "empty 0 0: /r/a/empty /r/b/empty /r/c/empty"}},
      {"equal bytes in the order they were completed",
       {{"a", "two", 2},
        {"a", "one", 4},
        {"b", "one", 4},
        {"b", "two", 2},
        {"c", "two", 2},
        {"d", "two", 2}},
       {"one 4 0: /r/a/one /r/b/one", "two 2 0: /r/a/two /r/b/two /r/c/two /r/d/two"}},
      {"locale casing beyond ASCII",
       {{"a", "Ärger.txt", 3}, {"b", "äRGER.TXT", 3}, {"a", "straße", 6}, {"b", "STRASSE", 6}},
       {"STRASSE 6 0: /r/a/straße /r/b/STRASSE", "äRGER.TXT 3 0: /r/a/Ärger.txt /r/b/äRGER.TXT"}},
      {"bytes that are not UTF-8 stay themselves",
       {{"a", "caf\xe9", 9}, {"b", "CAF\xe9", 9}, {"c", "CAF\xc9", 9}},
       {"CAF\xe9 9 0: /r/a/caf\xe9 /r/b/CAF\xe9"}},
      {"a name in a run of other names of its size",
       {{"a", "p", 8}, {"a", "q", 8}, {"b", "r", 8}, {"b", "P", 8}, {"c", "s", 8}},
       {"P 8 0: /r/a/p /r/b/P"}},
  };
  for (const TCase& Case : Cases) {
    const TFixture Fixture(Case.Files);
    TDuplicates Duplicates;
    ASSERT_TRUE(GroupDuplicates(Fixture.LargestFirst(), Duplicates)) << Case.What;
    EXPECT_EQ(Described(Duplicates), Case.Groups) << Case.What;
  }
}

TEST_F(DuplicateGroupsTest, AGroupsColourIsThatOfItsKeyWhateverTheSpelling) {
  // Null entries are skipped; the colour is that of the key, whatever the spelling.
  const TFixture Fixture({{"a", "Report.pdf", 1024}, {"b", "report.PDF", 1024}, {"c", "x", 1}});
  std::vector<TFileLeaf*> Files = Fixture.LargestFirst();
  Files.insert(Files.begin() + 1, nullptr);
  TDuplicates Duplicates;
  ASSERT_TRUE(GroupDuplicates(Files, Duplicates));
  ASSERT_EQ(Duplicates.Groups.size(), 1u);
  const TDupGroup& Group = Duplicates.Groups[0];
  EXPECT_EQ(DupGroupKey("report.PDF", 1024), "REPORT.PDF|1024");
  EXPECT_EQ(Group.Color, ColorForKey("REPORT.PDF|1024"));
  EXPECT_EQ(Group.Files.size(), 2u);
}

TEST_F(DuplicateGroupsTest, CaseTwinsOfOneFolderKeepTheirOwnGroups) {
  if constexpr (!kPathKeyIsThePath) {
    GTEST_SKIP() << "one folder cannot hold two names that differ in case alone";
  }
  // Notes (5 bytes) and NOTES (7 bytes) in /r/a are in different groups; their upper-cased
  // paths would be one key.
  const TFixture Fixture({{"a", "Notes", 5},
                          {"b", "notes", 5},
                          {"a", "NOTES", 7},
                          {"c", "notes", 7},
                          {"a", "Makefile", 2},
                          {"a", "makefile", 2}});
  TDuplicates Duplicates;
  ASSERT_TRUE(GroupDuplicates(Fixture.LargestFirst(), Duplicates));
  ASSERT_EQ(Described(Duplicates),
            (std::vector<std::string>{"notes 7 0: /r/a/NOTES /r/c/notes",
                                      "notes 5 0: /r/a/Notes /r/b/notes",
                                      "makefile 2 0: /r/a/Makefile /r/a/makefile"}));
  EXPECT_NE(Duplicates.Groups[0].Color, Duplicates.Groups[1].Color);
}

TEST_F(DuplicateGroupsTest, KeepsTheGroupsWithTheMostBytes) {
  // 2000 groups of 1 to 2000 bytes and one of five empty files: the empty one is cut.
  std::vector<TFileSpec> Specs;
  std::vector<std::string> Names;
  Names.reserve(2000);
  for (int Size = 1; Size <= 2000; ++Size) {
    Names.push_back("g" + std::to_string(Size));
  }
  for (int Size = 1; Size <= 2000; ++Size) {
    Specs.push_back({"a", Names[Size - 1].c_str(), Size});
    Specs.push_back({"b", Names[Size - 1].c_str(), Size});
  }
  for (const char* Folder : {"a", "b", "c", "d", "e"}) {
    Specs.push_back({Folder, "empty", 0});
  }
  const TFixture Fixture(Specs);
  TDuplicates Duplicates;
  ASSERT_TRUE(GroupDuplicates(Fixture.LargestFirst(), Duplicates));
  ASSERT_EQ(Duplicates.Groups.size(), kMaxDupGroups);
  EXPECT_EQ(Duplicates.Groups.front().Size, 2000);
  EXPECT_EQ(Duplicates.Groups.back().Size, 1);
  EXPECT_EQ(Members(Duplicates), 4000u);

  // With one group more of 2 bytes, the smallest is cut.
  Specs.push_back({"c", "x", 2});
  Specs.push_back({"d", "x", 2});
  const TFixture More(Specs);
  ASSERT_TRUE(GroupDuplicates(More.LargestFirst(), Duplicates));
  ASSERT_EQ(Duplicates.Groups.size(), kMaxDupGroups);
  EXPECT_EQ(Duplicates.Groups.back().Size, 2);
}

TEST_F(DuplicateGroupsTest, BytesSaturateInsteadOfOverflowing) {
  constexpr int64_t kHuge = int64_t{1} << 62;
  const TFixture Fixture({{"a", "three", kHuge},
                          {"b", "three", kHuge},
                          {"c", "three", kHuge},
                          {"a", "two", kHuge - 1},
                          {"b", "two", kHuge - 1}});
  TDuplicates Duplicates;
  ASSERT_TRUE(GroupDuplicates(Fixture.LargestFirst(), Duplicates));
  ASSERT_EQ(Duplicates.Groups.size(), 2u);
  EXPECT_EQ(Duplicates.Groups[0].FileName, "three");
  EXPECT_EQ(Duplicates.Groups[0].Bytes(), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(Duplicates.Groups[1].Bytes(), 2 * (kHuge - 1));
}

TEST_F(DuplicateGroupsTest, ReportsProgressAndStopsWhenAsked) {
  // 2000 files, pairs of one name and size: progress after files 1, 801, 1601 and 2000.
  std::vector<std::string> Names;
  for (int I = 0; I < 1000; ++I) {
    Names.push_back("f" + std::to_string(I));
  }
  std::vector<TFileSpec> Specs;
  for (int I = 0; I < 1000; ++I) {
    Specs.push_back({"a", Names[I].c_str(), I});
    Specs.push_back({"b", Names[I].c_str(), I});
  }
  const TFixture Fixture(Specs);
  const std::vector<TFileLeaf*> Files = Fixture.LargestFirst();

  for (const size_t StopAt : {size_t{2}, size_t{4}, size_t{0}}) {
    std::vector<std::pair<size_t, size_t>> Calls;
    TDuplicates Duplicates;
    const bool Done = GroupDuplicates(Files, Duplicates, [&](size_t Count, size_t Total) {
      Calls.emplace_back(Count, Total);
      return Calls.size() != StopAt;
    });
    const std::vector<std::pair<size_t, size_t>> All = {
        {1, 2000}, {801, 2000}, {1601, 2000}, {2000, 2000}};
    if (StopAt == 0) {
      EXPECT_TRUE(Done);
      EXPECT_EQ(Calls, All);
      EXPECT_EQ(Duplicates.Groups.size(), 1000u);
      EXPECT_EQ(Members(Duplicates), 2000u);
      continue;
    }
    EXPECT_FALSE(Done) << StopAt;
    EXPECT_EQ(Calls, std::vector(All.begin(), All.begin() + static_cast<std::ptrdiff_t>(StopAt)));
    // Groups found so far, in the order found.
    EXPECT_LE(Duplicates.Groups.size(), 1000u);
    EXPECT_GE(Duplicates.Groups.size(), StopAt == 2 ? 399u : 999u);
    EXPECT_EQ(Duplicates.Groups.front().Size, 999);
  }
}

// The groups by their definition, without the shortcuts: one dictionary of full key texts.
std::vector<std::string> ReferenceGroups(const std::vector<TFileLeaf*>& Files) {
  struct TEntry {
    std::vector<const TFileLeaf*> Members;
    size_t Second = 0;
  };
  std::map<std::string, TEntry> ByKey;
  for (size_t I = 0; I < Files.size(); ++I) {
    TEntry& Entry = ByKey[DupGroupKey(Files[I]->Name(), Files[I]->Size())];
    Entry.Members.push_back(Files[I]);
    if (Entry.Members.size() == 2) {
      Entry.Second = I;
    }
  }
  std::vector<const TEntry*> Groups;
  for (const auto& [Key, Entry] : ByKey) {
    if (Entry.Members.size() >= 2) {
      Groups.push_back(&Entry);
    }
  }
  std::sort(Groups.begin(), Groups.end(), [](const TEntry* A, const TEntry* B) {
    const int64_t BytesA = static_cast<int64_t>(A->Members.size()) * A->Members[0]->Size();
    const int64_t BytesB = static_cast<int64_t>(B->Members.size()) * B->Members[0]->Size();
    return BytesA != BytesB ? BytesA > BytesB : A->Second < B->Second;
  });
  Groups.resize(std::min(Groups.size(), kMaxDupGroups));
  TDuplicates Shaped;
  for (const TEntry* Entry : Groups) {
    const TFileLeaf& Second = *Entry->Members[1];
    Shaped.Groups.push_back(
        {std::string(Second.Name()), Second.Size(), Second.ModifiedFT(), kGrey, Entry->Members});
  }
  return Described(Shaped);
}

TEST_F(DuplicateGroupsTest, AgreesWithTheDefinitionOnRandomFiles) {
  // Few names in many spellings and few sizes, so that runs of one size hold many names.
  const char* Stems[] = {"a", "A", "ab", "AB", "Ab", "straße", "STRASSE", "é", "É", "x\xff"};
  std::vector<std::string> Names;
  for (const char* Stem : Stems) {
    Names.push_back(Stem);
  }
  std::mt19937 Random(7);
  std::vector<TFileSpec> Specs;
  const char* Folders[] = {"p", "q", "r", "s"};
  for (int I = 0; I < 3000; ++I) {
    Specs.push_back({Folders[Random() % 4], Names[Random() % Names.size()].c_str(),
                     static_cast<int64_t>(Random() % 40), Random() % 1000});
  }
  const TFixture Fixture(Specs);
  const std::vector<TFileLeaf*> Files = Fixture.LargestFirst();
  TDuplicates Duplicates;
  ASSERT_TRUE(GroupDuplicates(Files, Duplicates));
  EXPECT_EQ(Described(Duplicates), ReferenceGroups(Files));
  EXPECT_GT(Duplicates.Groups.size(), 100u);

  // An array out of size order is grouped as the same array sorted, ties kept in their order.
  std::vector<TFileLeaf*> Unsorted = Fixture.Files;
  TDuplicates FromUnsorted;
  ASSERT_TRUE(GroupDuplicates(Unsorted, FromUnsorted));
  EXPECT_EQ(Described(FromUnsorted), Described(Duplicates));
}

TEST(DuplicateGroupsCasingTest, GroupsUnderTheUsersLocale) {
  // In Turkish "file" upper-cases to "FİLE", which "FILE" is not.
  const TFixture Fixture({{"a", "file", 4}, {"b", "FILE", 4}, {"c", "fİle", 4}});
  for (const auto& [Locale, Expected] : std::vector<std::pair<const char*, const char*>>{
           {"en_US", "FILE 4 0: /r/a/file /r/b/FILE"},
           {"tr_TR", "fİle 4 0: /r/a/file /r/c/fİle"}}) {
    const auto Casing = platform::CreateTextCasing(Locale);
    const platform::TScopedTextCasing Scope(*Casing);
    TDuplicates Duplicates;
    ASSERT_TRUE(GroupDuplicates(Fixture.LargestFirst(), Duplicates));
    EXPECT_EQ(Described(Duplicates), std::vector<std::string>{Expected}) << Locale;
  }
}

}  // namespace
}  // namespace dunstrel
