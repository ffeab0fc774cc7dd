#include "SyntheticTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <stdexcept>
#include <unordered_set>

namespace dunstrel::bench {

namespace {

constexpr int64_t kMaxFilesPerFolder = 10'000;
constexpr int64_t kGiB = 1LL << 30;

// Real extensions first, most frequent first; synthetic ones fill the list up to 250.
std::vector<std::string> Extensions() {
  std::vector<std::string> List = {
      ".h",     ".c",    ".js",    ".png",    ".py",  ".txt",  ".so",   ".html", ".json",  ".jpg",
      ".svg",   ".gz",   ".xml",   ".md",     ".cpp", ".go",   ".rs",   ".java", ".class", ".o",
      ".pyc",   ".css",  ".ts",    ".log",    ".mo",  ".pdf",  ".zip",  ".mp3",  ".mp4",   ".dll",
      ".exe",   ".ini",  ".cfg",   ".conf",   ".yml", ".yaml", ".sh",   ".pl",   ".rb",    ".php",
      ".gif",   ".ico",  ".ttf",   ".woff",   ".wav", ".ogg",  ".flac", ".mkv",  ".avi",   ".mov",
      ".doc",   ".docx", ".xls",   ".xlsx",   ".ppt", ".odt",  ".tar",  ".xz",   ".bz2",   ".7z",
      ".iso",   ".img",  ".db",    ".sqlite", ".csv", ".tsv",  ".dat",  ".bin",  ".pak",   ".deb",
      ".rpm",   ".jar",  ".war",   ".a",      ".lib", ".hpp",  ".cc",   ".hh",   ".m",     ".mm",
      ".swift", ".kt",   ".scala", ".lua",    ".tcl", ".el",   ".vim",  ".tex",  ".bib",   ".rst",
  };
  for (int I = static_cast<int>(List.size()); I < 250; ++I) {
    List.push_back(".x" + std::to_string(I));
  }
  return List;
}

std::string Base36(size_t Value) {
  std::string Digits;
  do {
    Digits.insert(Digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[Value % 36]);
    Value /= 36;
  } while (Value != 0);
  return Digits;
}

class TGenerator {
 public:
  explicit TGenerator(uint64_t Seed) : FRandom(Seed) {}

  double Uniform() { return std::uniform_real_distribution<double>(0.0, 1.0)(FRandom); }
  int64_t Between(int64_t Low, int64_t High) {
    return std::uniform_int_distribution<int64_t>(Low, High)(FRandom);
  }
  double Normal(double Mean, double Deviation) {
    return std::normal_distribution<double>(Mean, Deviation)(FRandom);
  }

  std::string Stem(int64_t Length) {
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789_-";
    static constexpr std::array<std::string_view, 6> kNonAscii = {"é", "ü", "ß", "日本", "ø", "ж"};
    std::string Text;
    const bool NonAscii = Uniform() < 0.03;
    const bool NotUtf8 = Uniform() < 0.001;
    for (int64_t I = 0; I < Length; ++I) {
      if (NonAscii && I == Length / 2) {
        Text += kNonAscii[static_cast<size_t>(Between(0, kNonAscii.size() - 1))];
      } else if (NotUtf8 && I == Length / 3) {
        Text.push_back('\xe9');  // Latin-1, invalid as UTF-8
      } else {
        Text.push_back(kLetters[static_cast<size_t>(Between(0, kLetters.size() - 1))]);
      }
    }
    return Text;
  }

  // Zipf-like rank: rank r is chosen with weight 1 / (r + 1)^1.1.
  size_t SkewedIndex(const std::vector<double>& Cumulative) {
    const double Pick = Uniform() * Cumulative.back();
    return static_cast<size_t>(std::lower_bound(Cumulative.begin(), Cumulative.end(), Pick) -
                               Cumulative.begin());
  }

 private:
  std::mt19937_64 FRandom;
};

void MakeFolders(TGenerator& Gen, int64_t Count, TSyntheticTree& Tree) {
  std::vector<std::string>& Paths = Tree.FolderPaths;
  Paths = {""};
  Tree.FolderParents = {0};
  std::vector<std::vector<uint32_t>> ByDepth(21);
  ByDepth[0].push_back(0);
  const auto Add = [&](uint32_t Parent, size_t Depth) {
    const std::string Name = Gen.Stem(Gen.Between(2, 8)) + "." + Base36(Paths.size());
    Paths.push_back(Paths[Parent].empty() ? Name : Paths[Parent] + "/" + Name);
    Tree.FolderParents.push_back(Parent);
    ByDepth[Depth].push_back(static_cast<uint32_t>(Paths.size() - 1));
  };
  for (size_t Depth = 1; Depth <= 20 && static_cast<int64_t>(Paths.size()) < Count; ++Depth) {
    Add(ByDepth[Depth - 1].back(), Depth);  // one chain down to depth 20
  }
  while (static_cast<int64_t>(Paths.size()) < Count) {
    const double Kind = Gen.Uniform();
    const size_t Depth = static_cast<size_t>(Kind < 0.10   ? Gen.Between(1, 2)
                                             : Kind < 0.95 ? Gen.Between(3, 10)
                                                           : Gen.Between(11, 20));
    const std::vector<uint32_t>& Parents = ByDepth[Depth - 1];
    Add(Parents[static_cast<size_t>(Gen.Between(0, static_cast<int64_t>(Parents.size()) - 1))],
        Depth);
  }
}

// Files per folder: log-normal with a median of 2, capped at 10,000, then evened out to the
// wanted total.
std::vector<int64_t> FilesPerFolder(TGenerator& Gen, size_t Folders, int64_t Files) {
  std::vector<int64_t> Counts(Folders);
  int64_t Sum = 0;
  for (int64_t& Count : Counts) {
    Count = std::min<int64_t>(kMaxFilesPerFolder,
                              std::llround(std::exp(Gen.Normal(std::log(2.0), 2.3))));
    Sum += Count;
  }
  std::vector<double> Cumulative(Folders);
  double Running = 0;
  for (size_t I = 0; I < Folders; ++I) {
    Running += static_cast<double>(Counts[I]) + 0.05;
    Cumulative[I] = Running;
  }
  while (Sum != Files) {
    int64_t& Count = Counts[Gen.SkewedIndex(Cumulative)];
    if (Sum < Files && Count < kMaxFilesPerFolder) {
      ++Count;
      ++Sum;
    } else if (Sum > Files && Count > 0) {
      --Count;
      --Sum;
    }
  }
  return Counts;
}

int64_t FileSize(TGenerator& Gen) {
  const double Kind = Gen.Uniform();
  if (Kind < 0.03) {
    return 0;
  }
  if (Kind < 0.0302) {
    return Gen.Between(1 * kGiB, 6 * kGiB);
  }
  return std::min<int64_t>(4 * kGiB,
                           static_cast<int64_t>(std::exp(Gen.Normal(std::log(8192.0), 2.5))) + 1);
}

}  // namespace

TSyntheticTree GenerateSyntheticTree(const TSyntheticTreeShape& Shape) {
  TGenerator Gen(Shape.Seed);
  TSyntheticTree Tree;
  MakeFolders(Gen, std::max<int64_t>(1, Shape.Folders), Tree);
  const std::vector<int64_t> Counts = FilesPerFolder(Gen, Tree.FolderPaths.size(), Shape.Files);

  const std::vector<std::string> Exts = Extensions();
  std::vector<double> ExtCumulative(Exts.size());
  double Running = 0;
  for (size_t I = 0; I < Exts.size(); ++I) {
    Running += 1.0 / std::pow(static_cast<double>(I + 1), 1.1);
    ExtCumulative[I] = Running;
  }

  Tree.Files.reserve(static_cast<size_t>(Shape.Files));
  std::unordered_set<std::string> CopiedHere;  // names of one folder never repeat
  for (size_t Folder = 0; Folder < Counts.size(); ++Folder) {
    CopiedHere.clear();
    for (int64_t I = 0; I < Counts[Folder]; ++I) {
      TSyntheticFile File;
      File.Folder = static_cast<uint32_t>(Folder);
      File.Stamp = 133'000'000'000'000'000ULL +
                   static_cast<uint64_t>(Gen.Between(0, 3'150'000'000LL)) * 10'000'000ULL;
      const double Kind = Gen.Uniform();
      if (Kind < 0.03 && !Tree.Files.empty()) {
        // A same-name same-size copy of a file elsewhere.
        const auto& Original = Tree.Files[static_cast<size_t>(
            Gen.Between(0, static_cast<int64_t>(Tree.Files.size()) - 1))];
        if (Original.Folder != Folder && CopiedHere.insert(Original.Name).second) {
          File.Name = Original.Name;
          File.Size = Original.Size;
          Tree.Files.push_back(std::move(File));
          continue;
        }
      }
      if (Kind > 0.999 && !Tree.Files.empty()) {
        File.HardLinkOf = Gen.Between(0, static_cast<int64_t>(Tree.Files.size()) - 1);
        File.Size = Tree.Files[static_cast<size_t>(File.HardLinkOf)].Size;
      } else {
        File.Size = FileSize(Gen);
      }
      // A unique suffix per folder keeps names distinct without a lookup.
      std::string Name = Gen.Stem(Gen.Between(2, 30)) + "~" + Base36(static_cast<size_t>(I));
      const double Form = Gen.Uniform();
      if (Form < 0.08) {
        // no extension
      } else if (Form < 0.10) {
        Name = "." + Name;  // a dot-file
      } else {
        std::string Ext = Exts[Gen.SkewedIndex(ExtCumulative)];
        if (Gen.Uniform() < 0.05) {
          std::transform(Ext.begin(), Ext.end(), Ext.begin(),
                         [](char C) { return static_cast<char>(std::toupper(C)); });
        }
        Name += Ext;
      }
      File.Name = std::move(Name);
      Tree.Files.push_back(std::move(File));
    }
  }

  const int64_t Links = std::max<int64_t>(4, Shape.Files / 1000);
  for (int64_t I = 0; I < Links; ++I) {
    TSyntheticLink Link;
    Link.Folder =
        static_cast<uint32_t>(Gen.Between(0, static_cast<int64_t>(Tree.FolderPaths.size()) - 1));
    Link.Name = "link~" + std::to_string(I);
    Link.Kind = static_cast<ELinkKind>(I % 4);
    switch (Link.Kind) {
      case ELinkKind::ToFile:
        if (!Tree.Files.empty()) {
          const auto& Target = Tree.Files[static_cast<size_t>(
              Gen.Between(0, static_cast<int64_t>(Tree.Files.size()) - 1))];
          Link.Target = Tree.FolderPaths[Target.Folder] + "/" + Target.Name;
        }
        break;
      case ELinkKind::ToFolder:
        Link.Target = Tree.FolderPaths[static_cast<size_t>(
            Gen.Between(0, static_cast<int64_t>(Tree.FolderPaths.size()) - 1))];
        break;
      case ELinkKind::Loop:
        Link.Target = ".";
        break;
      case ELinkKind::Dangling:
        Link.Target = "no-such-target";
        break;
    }
    Tree.Links.push_back(std::move(Link));
  }
  return Tree;
}

std::unique_ptr<TDirNode> BuildScanTree(const TSyntheticTree& Tree, const std::string& RootPath) {
  auto Root = std::make_unique<TDirNode>(RootPath);
  std::vector<TDirNode*> Nodes(Tree.FolderPaths.size(), nullptr);
  Nodes[0] = Root.get();
  for (size_t I = 1; I < Tree.FolderPaths.size(); ++I) {
    // Folders are generated parents first.
    Nodes[I] = &Nodes[Tree.FolderParents[I]]->AddChild(RootPath + "/" + Tree.FolderPaths[I]);
    Nodes[I]->TotalDirs = 1;
  }
  for (const TSyntheticFile& File : Tree.Files) {
    TDirNode& Node = *Nodes[File.Folder];
    const size_t Dot = File.Name.rfind('.');
    const std::string Ext = Dot == std::string::npos ? "" : File.Name.substr(Dot);
    Node.AddLeaf(File.Name, Ext, File.Size, File.Stamp);
    Node.TotalSize += File.Size;
    Node.TotalFiles += 1;
  }
  // Totals bottom-up: children always come after their parent in Nodes.
  for (size_t I = Nodes.size(); I-- > 1;) {
    TDirNode& Node = *Nodes[I];
    TDirNode& Parent = *Node.Parent();
    Parent.TotalSize += Node.TotalSize;
    Parent.TotalFiles += Node.TotalFiles;
    Parent.TotalDirs += Node.TotalDirs;
  }
  Root->TotalDirs += 1;
  return Root;
}

void WriteSyntheticTree(const TSyntheticTree& Tree, const std::string& Root) {
  const auto Fail = [](const std::string& What) {
    throw std::runtime_error("cannot create " + What);
  };
  if (mkdir(Root.c_str(), 0755) != 0) {
    Fail(Root);
  }
  for (size_t I = 1; I < Tree.FolderPaths.size(); ++I) {
    const std::string Path = Root + "/" + Tree.FolderPaths[I];
    if (mkdir(Path.c_str(), 0755) != 0) {
      Fail(Path);
    }
  }
  std::vector<std::string> Written(Tree.Files.size());
  for (size_t I = 0; I < Tree.Files.size(); ++I) {
    const TSyntheticFile& File = Tree.Files[I];
    const std::string& Folder = Tree.FolderPaths[File.Folder];
    const std::string Path = Root + (Folder.empty() ? "" : "/" + Folder) + "/" + File.Name;
    if (File.HardLinkOf >= 0) {
      if (link(Written[static_cast<size_t>(File.HardLinkOf)].c_str(), Path.c_str()) != 0) {
        Fail(Path);
      }
    } else {
      const int Fd = open(Path.c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
      if (Fd < 0 || (File.Size > 0 && ftruncate(Fd, File.Size) != 0)) {
        Fail(Path);
      }
      close(Fd);
    }
    Written[I] = Path;
  }
  for (const TSyntheticLink& Link : Tree.Links) {
    const std::string& Folder = Tree.FolderPaths[Link.Folder];
    const std::string Path = Root + (Folder.empty() ? "" : "/" + Folder) + "/" + Link.Name;
    const std::string Target = Link.Kind == ELinkKind::ToFile || Link.Kind == ELinkKind::ToFolder
                                   ? Root + "/" + Link.Target
                                   : Link.Target;
    if (symlink(Target.c_str(), Path.c_str()) != 0) {
      Fail(Path);
    }
  }
}

}  // namespace dunstrel::bench
