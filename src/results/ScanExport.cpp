#include "results/ScanExport.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <ctime>
#include <iostream>
#include <istream>
#include <limits>
#include <new>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/ProductVersion.h"
#include "common/SaturatingSum.h"
#include "localisation/translation.h"
#include "platform/FileRead.h"
#include "platform/FileSave.h"
#include "platform/Paths.h"
#include "platform/TextCasing.h"
#include "results/JsonReader.h"

namespace dunstrel {

namespace {

constexpr int kMajorVersion = 1;
// Minor 2 is the current revision of the format (the one with "nlink").
constexpr int kMinorVersion = 2;
constexpr int kMaxVersion = 10000;
constexpr size_t kBufferBytes = 1 << 20;

// Unix seconds from a stamp, and back; stamps before 1601 or beyond the stamp's range are none.
int64_t StampToUnixSeconds(platform::TFileStamp Stamp) {
  return static_cast<int64_t>(Stamp / platform::kStampTicksPerSecond) -
         platform::kSecondsFrom1601To1970;
}

platform::TFileStamp UnixSecondsToStamp(int64_t Seconds) {
  constexpr int64_t kLast = static_cast<int64_t>(std::numeric_limits<platform::TFileStamp>::max() /
                                                 platform::kStampTicksPerSecond) -
                            platform::kSecondsFrom1601To1970;
  if (Seconds <= -platform::kSecondsFrom1601To1970 || Seconds > kLast) {
    return 0;
  }
  return static_cast<platform::TFileStamp>(Seconds + platform::kSecondsFrom1601To1970) *
         platform::kStampTicksPerSecond;
}

// ---------------------------------------------------------------------------------------------
// Writing

class TExportWriter {
 public:
  explicit TExportWriter(IByteSink& Out) : FOut(Out) { FBuffer.reserve(kBufferBytes + 1024); }

  void Raw(std::string_view Text) {
    FBuffer.append(Text);
    FlushIfFull();
  }

  void Number(int64_t Value) {
    char Digits[24];
    const auto Result = std::to_chars(Digits, Digits + sizeof Digits, Value);
    FBuffer.append(Digits, Result.ptr);
  }

  void Unsigned(uint64_t Value) {
    char Digits[24];
    const auto Result = std::to_chars(Digits, Digits + sizeof Digits, Value);
    FBuffer.append(Digits, Result.ptr);
  }

  // A JSON string of the name's own bytes: bytes that are not UTF-8 stay as they are, as the
  // format asks, and only what JSON cannot hold literally is escaped.
  void Text(std::string_view Value) {
    FBuffer.push_back('"');
    for (const char Char : Value) {
      const auto Byte = static_cast<unsigned char>(Char);
      if (Char == '"' || Char == '\\') {
        FBuffer.push_back('\\');
        FBuffer.push_back(Char);
      } else if (Byte < 0x20 || Byte == 0x7f) {
        static constexpr char kHex[] = "0123456789abcdef";
        FBuffer.append("\\u00");
        FBuffer.push_back(kHex[Byte >> 4]);
        FBuffer.push_back(kHex[Byte & 15]);
      } else {
        FBuffer.push_back(Char);
      }
    }
    FBuffer.push_back('"');
    FlushIfFull();
  }

  void Flush() {
    FOut.Write(FBuffer.data(), FBuffer.size());
    FBuffer.clear();
  }

 private:
  void FlushIfFull() {
    if (FBuffer.size() >= kBufferBytes) {
      Flush();
    }
  }

  IByteSink& FOut;
  std::string FBuffer;
};

void WriteFileEntry(TExportWriter& Writer, const TFileLeaf& Leaf, uint64_t FolderVolume) {
  Writer.Raw(",\n{\"name\":");
  Writer.Text(Leaf.Name());
  Writer.Raw(",\"asize\":");
  Writer.Number(Leaf.Size());
  Writer.Raw(",\"dsize\":");
  Writer.Number(Leaf.Allocated());
  if (Leaf.IsHardLinked()) {
    if (const THardLink* Link = HardLinkOf(Leaf)) {
      if (Link->Volume != FolderVolume) {
        Writer.Raw(",\"dev\":");
        Writer.Unsigned(Link->Volume);
      }
      Writer.Raw(",\"ino\":");
      Writer.Unsigned(Link->FileId);
      Writer.Raw(",\"hlnkc\":true");
      if (Link->Links > 1) {
        Writer.Raw(",\"nlink\":");
        Writer.Unsigned(Link->Links);
      }
    }
  }
  if (Leaf.ModifiedFT() != 0) {
    Writer.Raw(",\"mtime\":");
    Writer.Number(StampToUnixSeconds(Leaf.ModifiedFT()));
  }
  Writer.Raw("}");
}

}  // namespace

void WriteScanExport(const TDirNode& Root, IByteSink& Out) {
  TExportWriter Writer(Out);
  Writer.Raw("[");
  Writer.Number(kMajorVersion);
  Writer.Raw(",");
  Writer.Number(kMinorVersion);
  Writer.Raw(",{\"progname\":\"dunstrel\",\"progver\":");
  Writer.Text(kVersionText);
  Writer.Raw(",\"timestamp\":");
  Writer.Number(static_cast<int64_t>(std::time(nullptr)));
  Writer.Raw("},\n");

  struct TFrame {
    const TDirNode* Node;
    size_t NextChild;
    uint64_t Volume;  // the folder's file system; 0 where not known
  };
  std::vector<TFrame> Stack;
  const auto Open = [&](const TDirNode& Node, uint64_t ParentVolume) {
    // The top folder and the drives under the root of a scan of every drive are named by their
    // paths, every other entry by its own name.
    Writer.Raw("[{\"name\":");
    Writer.Text(Node.NameIsPath() && !Node.FullPath().empty() ? Node.FullPath() : Node.Name());
    uint64_t Volume = ParentVolume;
    if (const std::optional<uint64_t> Own = Node.Store().OwnVolume(Node);
        Own && *Own != ParentVolume) {
      Volume = *Own;
      Writer.Raw(",\"dev\":");
      Writer.Unsigned(Volume);
    }
    if (Node.OwnDiskUsage != 0) {
      Writer.Raw(",\"dsize\":");
      Writer.Number(Node.OwnDiskUsage);
    }
    if (Node.ReadProblem != platform::TListProblem::None) {
      Writer.Raw(",\"read_error\":true");
    }
    Writer.Raw("}");
    for (const TFileLeaf* Leaf : Node.Leaves) {
      WriteFileEntry(Writer, *Leaf, Volume);
    }
    Stack.push_back({&Node, 0, Volume});
  };
  Open(Root, 0);
  while (!Stack.empty()) {
    TFrame& Top = Stack.back();
    if (Top.NextChild == Top.Node->Children.size()) {
      Writer.Raw("]");
      Stack.pop_back();
      continue;
    }
    const TDirNode& Child = *Top.Node->Children[Top.NextChild++];
    Writer.Raw(",\n");
    Open(Child, Top.Volume);
  }
  Writer.Raw("]\n");
  Writer.Flush();
  Out.Finish();
}

void WriteScanExport(const TDirNode& Root, std::ostream& Out, TCompression Packing) {
  const std::unique_ptr<IByteSink> Sink = NewScanFileSink(Out, Packing);
  WriteScanExport(Root, *Sink);
}

namespace {

// The bytes of a save, passed on to the new file that replaces the target once complete.
class TFileSaveBuffer : public std::streambuf {
 public:
  TFileSaveBuffer(platform::TFileSave& File, const std::string& Path) : FFile(File), FPath(Path) {}

 protected:
  std::streamsize xsputn(const char* Data, std::streamsize Size) override {
    if (!FFile.Write(std::string_view(Data, static_cast<size_t>(Size)))) {
      throw EScanFileError("Cannot save " + FPath + ": " + FFile.Failure());
    }
    return Size;
  }
  int_type overflow(int_type Char) override {
    if (!traits_type::eq_int_type(Char, traits_type::eof())) {
      const char Byte = traits_type::to_char_type(Char);
      xsputn(&Byte, 1);
    }
    return traits_type::not_eof(Char);
  }

 private:
  platform::TFileSave& FFile;
  const std::string& FPath;
};

}  // namespace

void SaveScanFile(const TDirNode& Root, const std::string& Path) {
  try {
    if (Path == "-") {
      WriteScanExport(Root, std::cout, TCompression::None);
      return;
    }
    platform::TFileSave File(Path);
    const auto Fail = [&] { throw EScanFileError("Cannot save " + Path + ": " + File.Failure()); };
    if (!File.IsOpen()) {
      Fail();
    }
    TFileSaveBuffer Buffer(File, Path);
    std::ostream Out(&Buffer);
    Out.exceptions(std::ios::badbit);  // a failed write ends the save with its own message
    WriteScanExport(Root, Out, CompressionOfName(Path));
    if (!File.Commit()) {
      Fail();
    }
  } catch (const std::bad_alloc&) {
    throw EScanFileError(Translate("Not enough memory to save the scan file."));
  }
}

// ---------------------------------------------------------------------------------------------
// Reading

namespace {

struct TEntryInfo {
  bool HasName = false;
  std::string Name;
  int64_t Size = 0;
  std::optional<int64_t> Allocated;
  int64_t Mtime = 0;
  bool HasMtime = false;
  bool Excluded = false;
  bool NotRegular = false;
  bool ReadError = false;
  bool LinkCounted = false;  // "hlnkc": more than one link
  uint32_t Links = 0;
  std::optional<uint64_t> FileId;
  std::optional<uint64_t> Volume;
};

// An open folder of the file. Node is none for one left out (excluded, or inside one).
struct TOpenFolder {
  TDirNode* Node;
  uint64_t Volume;
  size_t PathBytes;
};

// What the tree takes per folder and per file beyond their names: the node or leaf, its place
// in its parent's list (which may be half empty), and the allocator's own share.
constexpr int64_t kFolderCost = sizeof(TDirNode) + 16 + 16;
constexpr int64_t kLeafCost = sizeof(TFileLeaf) + 2 + 16;

class TExportReader {
 public:
  TExportReader(IByteSource& Source, const TScanFileProgress& OnProgress)
      : FJson(Source, OnProgress) {}

  std::unique_ptr<TDirNode> Read();

 private:
  [[noreturn]] void Fail(const std::string& What) const { FJson.Fail(What); }
  int64_t ReadSize(int First, const char* Key);
  uint64_t ReadUnsigned(int First, const char* Key);
  bool ReadFlag(int First);
  void ReadEntryInfo(TEntryInfo& Info);
  // The metadata object; only the writer's name is of use.
  void ReadMetadata();
  void CheckName(const std::string& Name) const;
  void CheckDrivePath(const std::string& Name) const;
  int ReadVersion(const char* Which);
  // Counts Bytes more of tree, and refuses the file when its tree outgrows what its size allows.
  void Spend(int64_t Bytes);
  void CloseFolder(TDirNode& Folder);
  TExtKey ExtKeyOf(TScanStore& Store, const std::string& Name);

  TJsonReader FJson;
  std::string FKey;
  bool FWrittenHere = false;  // by this program
  int64_t FTreeBytes = 0;
  std::unordered_map<std::string, TExtKey> FExtKeys;  // raw extension -> key
  std::vector<THardLink> FHardLinks;
  std::vector<std::string_view> FNames;
};

int64_t TExportReader::ReadSize(int First, const char* Key) {
  const TJsonNumber Number = FJson.ReadNumber(First);
  if (!Number.Integer || Number.Negative || Number.Overflow ||
      Number.Magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
    Fail(std::string("\"") + Key + "\" is not a size from 0 to 2^63-1");
  }
  return static_cast<int64_t>(Number.Magnitude);
}

uint64_t TExportReader::ReadUnsigned(int First, const char* Key) {
  const TJsonNumber Number = FJson.ReadNumber(First);
  if (!Number.Integer || Number.Negative || Number.Overflow) {
    Fail(std::string("\"") + Key + "\" is not a number from 0 to 2^64-1");
  }
  return Number.Magnitude;
}

bool TExportReader::ReadFlag(int First) {
  FJson.SkipValue(First);
  return First == 't';
}

void TExportReader::ReadEntryInfo(TEntryInfo& Info) {
  Info = {};
  int Char = FJson.NextToken();
  if (Char != '}') {
    for (;;) {
      Char = FJson.ReadKey(Char, FKey);
      if (FKey == "name") {
        if (Char != '"') {
          Fail("\"name\" is not a text");
        }
        FJson.ReadText(Info.Name, kScanFileMaxNameBytes);
        Info.HasName = true;
      } else if (FKey == "asize") {
        Info.Size = ReadSize(Char, "asize");
      } else if (FKey == "dsize") {
        Info.Allocated = ReadSize(Char, "dsize");
      } else if (FKey == "mtime") {
        const TJsonNumber Number = FJson.ReadNumber(Char);
        const uint64_t Limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
        if (!Number.Integer || Number.Overflow || Number.Magnitude > Limit) {
          Fail("\"mtime\" is not a time in seconds");
        }
        const auto Magnitude = static_cast<int64_t>(Number.Magnitude);
        Info.Mtime = Number.Negative ? -Magnitude : Magnitude;
        Info.HasMtime = true;
      } else if (FKey == "ino") {
        Info.FileId = ReadUnsigned(Char, "ino");
      } else if (FKey == "dev") {
        Info.Volume = ReadUnsigned(Char, "dev");
      } else if (FKey == "nlink") {
        Info.Links = static_cast<uint32_t>(
            std::min<uint64_t>(ReadUnsigned(Char, "nlink"), std::numeric_limits<uint32_t>::max()));
      } else if (FKey == "hlnkc") {
        Info.LinkCounted = ReadFlag(Char);
      } else if (FKey == "notreg") {
        Info.NotRegular = ReadFlag(Char);
      } else if (FKey == "read_error") {
        Info.ReadError = ReadFlag(Char);
      } else if (FKey == "excluded") {
        // A reason in later versions ("pattern", "otherfs", ...), true in some writers.
        if (Char == '"') {
          FJson.ReadText(FKey, TJsonReader::kMaxOtherTextBytes);
          Info.Excluded = !FKey.empty();
        } else {
          Info.Excluded = ReadFlag(Char);
        }
      } else {
        FJson.SkipValue(Char);  // ownership, modes and other tools' own keys
      }
      Char = FJson.NextToken();
      if (Char == '}') {
        break;
      }
      if (Char != ',') {
        FJson.Unexpected(Char, "',' or '}'");
      }
      Char = FJson.NextToken();
    }
  }
  if (!Info.HasName) {
    Fail("An entry without a name");
  }
}

void TExportReader::ReadMetadata() {
  int Char = FJson.NextToken();
  if (Char != '{') {
    FJson.Unexpected(Char, "the metadata object");
  }
  Char = FJson.NextToken();
  if (Char == '}') {
    return;
  }
  for (;;) {
    Char = FJson.ReadKey(Char, FKey);
    if (FKey == "progname" && Char == '"') {
      FJson.ReadText(FKey, TJsonReader::kMaxOtherTextBytes);
      FWrittenHere = FKey == "dunstrel";
    } else {
      FJson.SkipValue(Char);
    }
    Char = FJson.NextToken();
    if (Char == '}') {
      return;
    }
    if (Char != ',') {
      FJson.Unexpected(Char, "',' or '}'");
    }
    Char = FJson.NextToken();
  }
}

void TExportReader::CheckName(const std::string& Name) const {
  const bool Unusable = Name.empty() || Name == "." || Name == ".." ||
                        Name.find('/') != std::string::npos || Name.find('\0') != std::string::npos
#ifdef _WIN32
                        || Name.find('\\') != std::string::npos
#endif
      ;
  if (Unusable) {
    Fail("An entry whose name is not a single path component");
  }
}

// A "." or ".." component would make the path name another folder than the one the tree shows,
// and a removal refuses such a path.
bool HasDotComponent(std::string_view Path) {
  for (size_t Start = 0; Start <= Path.size();) {
    size_t End = Start;
    while (End < Path.size() && Path[End] != '/' && Path[End] != platform::kPathDelimiter) {
      ++End;
    }
    const std::string_view Part = Path.substr(Start, End - Start);
    if (Part == "." || Part == "..") {
      return true;
    }
    Start = End + 1;
  }
  return false;
}

void TExportReader::CheckDrivePath(const std::string& Name) const {
  if (!platform::IsAbsolutePath(Name) || Name.find('\0') != std::string::npos ||
      HasDotComponent(Name)) {
    Fail("A drive whose name is not a usable path");
  }
}

int TExportReader::ReadVersion(const char* Which) {
  const TJsonNumber Number = FJson.ReadNumber(FJson.NextToken());
  if (!Number.Integer || Number.Negative || Number.Overflow || Number.Magnitude > kMaxVersion) {
    Fail(std::string("An invalid ") + Which + " version");
  }
  return static_cast<int>(Number.Magnitude);
}

void TExportReader::Spend(int64_t Bytes) {
  FTreeBytes += Bytes;
  const int64_t Allowed = std::min(
      kScanFileTreeCeiling, kScanFileTreeAllowance + kScanFileTreeBytesPerByte * FJson.Offset());
  if (FTreeBytes > Allowed) {
    Fail(FTreeBytes > kScanFileTreeCeiling
             ? "Refused: the scan would need more than " +
                   std::to_string(kScanFileTreeCeiling >> 30) + " GiB of memory"
             : "Refused: the scan would need more memory than " +
                   std::to_string(kScanFileTreeBytesPerByte) +
                   " bytes for each byte of the file, far more than any saved scan");
  }
}

TExtKey TExportReader::ExtKeyOf(TScanStore& Store, const std::string& Name) {
  const size_t Dot = Name.rfind('.');
  if (Dot == std::string::npos) {
    return Store.EmptyExt;
  }
  const std::string Raw = Name.substr(Dot);
  auto Found = FExtKeys.find(Raw);
  if (Found == FExtKeys.end()) {
    if (FExtKeys.size() > 1'000'000) {
      FExtKeys.clear();  // a bound on the cache, not on the extensions
    }
    Found = FExtKeys.emplace(Raw, Store.Exts.Intern(platform::UserTextCasing().ToLower(Raw))).first;
  }
  return Found->second;
}

// The folder is complete: its names must differ, and its list of files takes no more room than
// they need.
void TExportReader::CloseFolder(TDirNode& Folder) {
  FNames.clear();
  FNames.reserve(Folder.Leaves.size() + Folder.Children.size());
  for (const TFileLeaf* Leaf : Folder.Leaves) {
    FNames.push_back(Leaf->Name());
  }
  for (const auto& Child : Folder.Children) {
    FNames.push_back(Child->Name());
  }
  std::sort(FNames.begin(), FNames.end());
  if (std::adjacent_find(FNames.begin(), FNames.end()) != FNames.end()) {
    Fail("Two entries of one folder have the same name");
  }
  Folder.Leaves.shrink_to_fit();
  Folder.TotalDiskUsage = SaturatingAdd(Folder.TotalDiskUsage, Folder.OwnDiskUsage);
  Folder.UnreadableFolders += Folder.ReadProblem != platform::TListProblem::None ? 1 : 0;
}

std::unique_ptr<TDirNode> TExportReader::Read() {
  FJson.Expect('[', "'['");
  const int Major = ReadVersion("major");
  if (Major != kMajorVersion) {
    Fail("Format version " + std::to_string(Major) + " is not supported, only version 1");
  }
  FJson.Expect(',', "','");
  ReadVersion("minor");
  FJson.Expect(',', "','");
  ReadMetadata();
  FJson.Expect(',', "','");
  FJson.Expect('[', "the top folder");
  FJson.Expect('{', "the top folder's information");

  TEntryInfo Info;
  ReadEntryInfo(Info);
  int Char = 0;
  if (Info.Name.empty() || Info.Name.find('\0') != std::string::npos) {
    Fail("The top folder has no usable path");
  }
  // A top folder named by no absolute path is the root of a scan of every drive, and the folders
  // right under it are drives named by their paths.
  const bool DrivesRoot = !platform::IsAbsolutePath(Info.Name);
  if (!DrivesRoot && HasDotComponent(Info.Name)) {
    Fail("The top folder's path holds a \".\" or \"..\" component");
  }
  auto Root = DrivesRoot ? std::make_unique<TDirNode>(std::string(), Info.Name)
                         : std::make_unique<TDirNode>(platform::StripTrailingDelimiter(Info.Name));
  const size_t RootPathBytes = DrivesRoot ? 0 : Root->FullPath().size();
  if (RootPathBytes > kScanFileMaxPathBytes) {
    Fail("A path longer than " + std::to_string(kScanFileMaxPathBytes) + " bytes");
  }
  Root->OwnDiskUsage = Info.Allocated.value_or(0);
  Root->ReadProblem = Info.ReadError ? platform::TListProblem::Other : platform::TListProblem::None;
  if (Info.Volume) {
    Root->Store().SetVolume(*Root, *Info.Volume);
  }
  Spend(kFolderCost + static_cast<int64_t>(Info.Name.size()));

  std::vector<TOpenFolder> Stack{{Root.get(), Info.Volume.value_or(0), RootPathBytes}};
  while (!Stack.empty()) {
    const TOpenFolder Open = Stack.back();
    Char = FJson.NextToken();
    if (Char == ']') {
      Stack.pop_back();
      if (Open.Node == nullptr) {
        continue;  // left out with all it held
      }
      CloseFolder(*Open.Node);
      if (!Stack.empty()) {
        TDirNode& Parent = *Stack.back().Node;
        Parent.TotalSize = SaturatingAdd(Parent.TotalSize, Open.Node->TotalSize);
        Parent.TotalDiskUsage = SaturatingAdd(Parent.TotalDiskUsage, Open.Node->TotalDiskUsage);
        Parent.TotalFiles += Open.Node->TotalFiles;
        Parent.TotalDirs += Open.Node->TotalDirs;
        Parent.UnreadableFolders += Open.Node->UnreadableFolders;
      }
      continue;
    }
    if (Char != ',') {
      FJson.Unexpected(Char, "',' or ']'");
    }
    Char = FJson.NextToken();
    const bool IsFolder = Char == '[';
    if (IsFolder) {
      FJson.Expect('{', "a folder's information");
    } else if (Char != '{') {
      FJson.Unexpected(Char, "a folder or an entry");
    }
    ReadEntryInfo(Info);
    const bool IsDrive = DrivesRoot && Stack.size() == 1;
    if (IsDrive && IsFolder) {
      CheckDrivePath(Info.Name);
    } else {
      CheckName(Info.Name);
    }
    const uint64_t Volume = Info.Volume.value_or(Open.Volume);
    // Left out by the tool that scanned, or not a file a scan counts: nothing of it is taken.
    const bool LeftOut = Open.Node == nullptr || Info.Excluded || Info.NotRegular;
    if (IsFolder) {
      if (Stack.size() >= kScanFileMaxDepth) {
        Fail("Folders nested deeper than " + std::to_string(kScanFileMaxDepth) + " levels");
      }
      const std::string Name = IsDrive ? platform::StripTrailingDelimiter(Info.Name) : Info.Name;
      const size_t PathBytes = IsDrive ? Name.size() : Open.PathBytes + 1 + Name.size();
      if (PathBytes > kScanFileMaxPathBytes) {
        Fail("A path longer than " + std::to_string(kScanFileMaxPathBytes) + " bytes");
      }
      if (LeftOut) {
        Stack.push_back({nullptr, Volume, PathBytes});
        continue;
      }
      Spend(kFolderCost + static_cast<int64_t>(Name.size()));
      TDirNode& Child = Open.Node->AddNamedChild(Name);
      Child.TotalDirs = 1;
      Child.OwnDiskUsage = Info.Allocated.value_or(0);
      if (Info.ReadError) {
        Child.ReadProblem = platform::TListProblem::Other;
      }
      if (Volume != Open.Volume) {
        Child.Store().SetVolume(Child, Volume);
      }
      Stack.push_back({&Child, Volume, PathBytes});
      continue;
    }
    if (LeftOut) {
      continue;
    }
    Spend(kLeafCost + static_cast<int64_t>(Info.Name.size()));
    TDirNode& Folder = *Open.Node;
    TScanStore& Store = Folder.Store();
    const platform::TFileStamp Stamp = Info.HasMtime ? UnixSecondsToStamp(Info.Mtime) : 0;
    // No "dsize" means none allocated, except in the files of earlier versions of this program,
    // which wrote none: there a file takes the space its size says.
    const int64_t Allocated = Info.Allocated.value_or(FWrittenHere ? Info.Size : 0);
    TFileLeaf& Leaf =
        Folder.AddLeafWithKey(Info.Name, ExtKeyOf(Store, Info.Name), Info.Size, Allocated, Stamp);
    if ((Info.LinkCounted || Info.Links > 1) && Info.FileId) {
      Spend(sizeof(THardLink));
      Store.NoteHardLink(Leaf, Volume, *Info.FileId, Info.Links, FHardLinks);
    }
    Folder.TotalSize = SaturatingAdd(Folder.TotalSize, Info.Size);
    Folder.TotalDiskUsage = SaturatingAdd(Folder.TotalDiskUsage, Leaf.Allocated());
    Folder.TotalFiles += 1;
  }
  Root->TotalDirs += 1;
  FJson.Expect(']', "the end of the file's array");
  Char = FJson.NextToken();
  if (Char >= 0) {
    Fail("Data after the end of the scan");
  }
  Root->Store().AddHardLinks(FHardLinks);
  CountHardLinksOnce(*Root);
  return Root;
}

std::unique_ptr<TDirNode> ReadFrom(std::istream& In, const TScanFileProgress& OnProgress) {
  try {
    const std::unique_ptr<IByteSource> Source = NewScanFileSource(In);
    TExportReader Reader(*Source, OnProgress);
    return Reader.Read();
  } catch (const EJsonError& Error) {
    throw EScanFileError(Error.what());
  } catch (const std::bad_alloc&) {
    throw EScanFileError(Translate("Not enough memory to read the scan file."));
  }
}

}  // namespace

std::unique_ptr<TDirNode> ReadScanExport(std::istream& In, const TScanFileProgress& OnProgress) {
  return ReadFrom(In, OnProgress);
}

namespace {

// Feeds the reader from a file the platform opened, which refuses anything but a regular file
// without waiting on it (a FIFO would otherwise block the reading for ever).
class TFileReadBuffer : public std::streambuf {
 public:
  TFileReadBuffer(platform::TFileRead& File, const std::string& Path)
      : FFile(File), FPath(Path), FBuffer(kBufferBytes) {}

 protected:
  int_type underflow() override {
    const int64_t Got = FFile.Read(FBuffer.data(), FBuffer.size());
    if (Got < 0) {
      throw EScanFileError("Cannot read " + FPath + ": " + FFile.Reason());
    }
    if (Got == 0) {
      return traits_type::eof();
    }
    setg(FBuffer.data(), FBuffer.data(), FBuffer.data() + Got);
    return traits_type::to_int_type(FBuffer[0]);
  }

 private:
  platform::TFileRead& FFile;
  const std::string& FPath;
  std::vector<char> FBuffer;
};

}  // namespace

std::unique_ptr<TDirNode> LoadScanFile(const std::string& Path,
                                       const TScanFileProgress& OnProgress) {
  if (Path == "-") {
    return ReadFrom(std::cin, OnProgress);
  }
  platform::TFileRead File(Path);
  if (!File.IsOpen()) {
    throw EScanFileError(File.Failure() == platform::TFileRead::EFailure::NotAFile
                             ? Path + " is not a file"
                             : "Cannot open " + Path + ": " + File.Reason());
  }
  TFileReadBuffer Buffer(File, Path);
  std::istream In(&Buffer);
  In.exceptions(std::ios::badbit);  // a failed read ends the reading with its own message
  return ReadFrom(In, OnProgress);
}

}  // namespace dunstrel
