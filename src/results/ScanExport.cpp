#include "results/ScanExport.h"

#include <charconv>
#include <cstring>
#include <ctime>
#include <functional>
#include <istream>
#include <limits>
#include <ostream>
#include <streambuf>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/SaturatingSum.h"
#include "platform/FileRead.h"
#include "platform/FileSave.h"
#include "platform/Paths.h"
#include "platform/TextCasing.h"
#include "update/ProductVersion.h"

namespace dunstrel {

namespace {

constexpr int kMajorVersion = 1;
// Minor 2 is the current revision of the format; this program writes a subset of its fields.
constexpr int kMinorVersion = 2;
constexpr int kMaxVersion = 10000;
constexpr size_t kBufferBytes = 1 << 20;
// Texts this program does not use (metadata, keys and values of other tools) are still bounded.
constexpr size_t kMaxOtherTextBytes = 65536;
constexpr size_t kMaxSkippedDepth = 64;

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

// Where the written bytes go, a buffer at a time; throws EScanFileError when they cannot.
using TExportSink = std::function<void(std::string_view Bytes)>;

class TExportWriter {
 public:
  explicit TExportWriter(const TExportSink& Sink) : FSink(Sink) {
    FBuffer.reserve(kBufferBytes + 1024);
  }

  void Raw(std::string_view Text) {
    FBuffer.append(Text);
    FlushIfFull();
  }

  void Number(int64_t Value) {
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
    FSink(FBuffer);
    FBuffer.clear();
  }

 private:
  void FlushIfFull() {
    if (FBuffer.size() >= kBufferBytes) {
      Flush();
    }
  }

  const TExportSink& FSink;
  std::string FBuffer;
};

void WriteFileEntry(TExportWriter& Writer, const TFileLeaf& Leaf) {
  Writer.Raw(",\n{\"name\":");
  Writer.Text(Leaf.Name());
  Writer.Raw(",\"asize\":");
  Writer.Number(Leaf.Size);
  if (Leaf.ModifiedFT != 0) {
    Writer.Raw(",\"mtime\":");
    Writer.Number(StampToUnixSeconds(Leaf.ModifiedFT));
  }
  Writer.Raw("}");
}

void WriteExport(const TDirNode& Root, const TExportSink& Sink) {
  TExportWriter Writer(Sink);
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
  };
  std::vector<TFrame> Stack;
  const auto Open = [&](const TDirNode& Node, bool IsRoot) {
    // The top folder is named by its whole path, every other entry by its own name. The drives
    // under the root of a scan of every drive have no own name but their path.
    const bool ByPath = IsRoot || Node.Parent()->FullPath().empty();
    Writer.Raw("[{\"name\":");
    Writer.Text(ByPath && !Node.FullPath().empty() ? Node.FullPath() : Node.Name());
    Writer.Raw("}");
    for (const TFileLeaf* Leaf : Node.Leaves) {
      WriteFileEntry(Writer, *Leaf);
    }
    Stack.push_back({&Node, 0});
  };
  Open(Root, true);
  while (!Stack.empty()) {
    TFrame& Top = Stack.back();
    if (Top.NextChild == Top.Node->Children.size()) {
      Writer.Raw("]");
      Stack.pop_back();
      continue;
    }
    const TDirNode& Child = *Top.Node->Children[Top.NextChild++];
    Writer.Raw(",\n");
    Open(Child, false);
  }
  Writer.Raw("]\n");
  Writer.Flush();
}

}  // namespace

void WriteScanExport(const TDirNode& Root, std::ostream& Out) {
  WriteExport(Root, [&Out](std::string_view Bytes) {
    Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    if (!Out) {
      throw EScanFileError("The scan file could not be written.");
    }
  });
  Out.flush();
  if (!Out) {
    throw EScanFileError("The scan file could not be written.");
  }
}

void SaveScanFile(const TDirNode& Root, const std::string& Path) {
  platform::TFileSave File(Path);
  const auto Fail = [&] { throw EScanFileError("Cannot save " + Path + ": " + File.Failure()); };
  if (!File.IsOpen()) {
    Fail();
  }
  WriteExport(Root, [&](std::string_view Bytes) {
    if (!File.Write(Bytes)) {
      Fail();
    }
  });
  if (!File.Commit()) {
    Fail();
  }
}

// ---------------------------------------------------------------------------------------------
// Reading

namespace {

struct TNumber {
  bool Negative = false;
  bool Integer = true;
  bool Overflow = false;  // an integer whose magnitude does not fit 64 bits
  uint64_t Magnitude = 0;
};

struct TEntryInfo {
  bool HasName = false;
  std::string Name;
  int64_t Size = 0;
  int64_t Mtime = 0;
  bool HasMtime = false;
  bool Excluded = false;
};

class TExportReader {
 public:
  TExportReader(std::istream& In, const TScanFileProgress& OnProgress)
      : FIn(In), FOnProgress(OnProgress), FBuffer(kBufferBytes) {}

  std::unique_ptr<TDirNode> Read();

 private:
  [[noreturn]] void Fail(const std::string& What) const {
    throw EScanFileError(What + " (at byte " + std::to_string(Offset()) + ").");
  }
  int64_t Offset() const { return FConsumed + static_cast<int64_t>(FPos); }

  bool Fill() {
    if (FEnd) {
      return false;
    }
    FConsumed += static_cast<int64_t>(FLen);
    FIn.read(FBuffer.data(), static_cast<std::streamsize>(FBuffer.size()));
    FLen = static_cast<size_t>(FIn.gcount());
    FPos = 0;
    if (FLen == 0) {
      FEnd = true;
      if (FIn.bad()) {
        Fail("The file could not be read");
      }
      return false;
    }
    if (FOnProgress) {
      FOnProgress(FConsumed);
    }
    return true;
  }
  int Peek() {
    if (FPos == FLen && !Fill()) {
      return -1;
    }
    return static_cast<unsigned char>(FBuffer[FPos]);
  }
  int Get() {
    const int Char = Peek();
    if (Char >= 0) {
      ++FPos;
    }
    return Char;
  }
  int NextToken() {
    for (;;) {
      const int Char = Get();
      if (Char != ' ' && Char != '\t' && Char != '\n' && Char != '\r') {
        return Char;
      }
    }
  }
  void Expect(int Wanted, const char* What) {
    const int Char = NextToken();
    if (Char != Wanted) {
      Unexpected(Char, What);
    }
  }
  [[noreturn]] void Unexpected(int Char, const char* Wanted) const {
    if (Char < 0) {
      Fail(std::string("The file ends early: ") + Wanted + " expected");
    }
    Fail(std::string("Not a scan file of this format: ") + Wanted + " expected");
  }

  void ReadText(std::string& Out, size_t MaxBytes);
  void ReadEscape(std::string& Out);
  unsigned ReadHex4();
  TNumber ReadNumber(int First);
  void ReadLiteral(int First);
  void SkipValue(int First);
  // Reads a key and its colon; returns the first character of the value.
  int ReadKey(int First);
  int64_t ReadSize(int First, const char* Key);
  void ReadEntryInfo(TEntryInfo& Info);
  void CheckName(const std::string& Name) const;
  void CheckDrivePath(const std::string& Name) const;
  int ReadVersion(const char* Which);

  std::istream& FIn;
  const TScanFileProgress& FOnProgress;
  std::vector<char> FBuffer;
  size_t FPos = 0;
  size_t FLen = 0;
  int64_t FConsumed = 0;
  bool FEnd = false;
  std::string FKey;
};

void TExportReader::ReadText(std::string& Out, size_t MaxBytes) {
  Out.clear();
  for (;;) {
    if (FPos == FLen && !Fill()) {
      Fail("The file ends inside a text");
    }
    // Plain bytes are copied in runs; bytes that are not UTF-8 are names' own bytes and kept.
    size_t Run = FPos;
    while (Run < FLen) {
      const auto Byte = static_cast<unsigned char>(FBuffer[Run]);
      if (Byte == '"' || Byte == '\\' || Byte < 0x20) {
        break;
      }
      ++Run;
    }
    if (Out.size() + (Run - FPos) > MaxBytes) {
      Fail("A text longer than " + std::to_string(MaxBytes) + " bytes");
    }
    Out.append(FBuffer.data() + FPos, Run - FPos);
    FPos = Run;
    if (FPos == FLen) {
      continue;
    }
    const int Char = Get();
    if (Char == '"') {
      return;
    }
    if (Char != '\\') {
      Fail("A control character inside a text");
    }
    ReadEscape(Out);
    if (Out.size() > MaxBytes) {
      Fail("A text longer than " + std::to_string(MaxBytes) + " bytes");
    }
  }
}

unsigned TExportReader::ReadHex4() {
  unsigned Value = 0;
  for (int I = 0; I < 4; ++I) {
    const int Char = Get();
    unsigned Digit = 0;
    if (Char >= '0' && Char <= '9') {
      Digit = static_cast<unsigned>(Char - '0');
    } else if (Char >= 'a' && Char <= 'f') {
      Digit = static_cast<unsigned>(Char - 'a' + 10);
    } else if (Char >= 'A' && Char <= 'F') {
      Digit = static_cast<unsigned>(Char - 'A' + 10);
    } else {
      Fail("An invalid \\u escape");
    }
    Value = Value * 16 + Digit;
  }
  return Value;
}

void TExportReader::ReadEscape(std::string& Out) {
  const int Char = Get();
  switch (Char) {
    case '"':
      Out.push_back('"');
      return;
    case '\\':
      Out.push_back('\\');
      return;
    case '/':
      Out.push_back('/');
      return;
    case 'b':
      Out.push_back('\b');
      return;
    case 'f':
      Out.push_back('\f');
      return;
    case 'n':
      Out.push_back('\n');
      return;
    case 'r':
      Out.push_back('\r');
      return;
    case 't':
      Out.push_back('\t');
      return;
    case 'u':
      break;
    default:
      Fail("An invalid escape in a text");
  }
  unsigned Code = ReadHex4();
  if (Code >= 0xDC00 && Code <= 0xDFFF) {
    Fail("An invalid \\u escape");
  }
  if (Code >= 0xD800 && Code <= 0xDBFF) {
    if (Get() != '\\' || Get() != 'u') {
      Fail("An invalid \\u escape");
    }
    const unsigned Low = ReadHex4();
    if (Low < 0xDC00 || Low > 0xDFFF) {
      Fail("An invalid \\u escape");
    }
    Code = 0x10000 + ((Code - 0xD800) << 10) + (Low - 0xDC00);
  }
  if (Code < 0x80) {
    Out.push_back(static_cast<char>(Code));
  } else if (Code < 0x800) {
    Out.push_back(static_cast<char>(0xC0 | (Code >> 6)));
    Out.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
  } else if (Code < 0x10000) {
    Out.push_back(static_cast<char>(0xE0 | (Code >> 12)));
    Out.push_back(static_cast<char>(0x80 | ((Code >> 6) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
  } else {
    Out.push_back(static_cast<char>(0xF0 | (Code >> 18)));
    Out.push_back(static_cast<char>(0x80 | ((Code >> 12) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | ((Code >> 6) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
  }
}

TNumber TExportReader::ReadNumber(int First) {
  TNumber Number;
  int Char = First;
  if (Char == '-') {
    Number.Negative = true;
    Char = Get();
  }
  if (Char < '0' || Char > '9') {
    Unexpected(Char, "a number");
  }
  size_t Digits = 0;
  for (;;) {
    const auto Digit = static_cast<uint64_t>(Char - '0');
    if (Number.Magnitude > (std::numeric_limits<uint64_t>::max() - Digit) / 10) {
      Number.Overflow = true;
    } else {
      Number.Magnitude = Number.Magnitude * 10 + Digit;
    }
    ++Digits;
    Char = Peek();
    if (Char < '0' || Char > '9') {
      break;
    }
    ++FPos;
    if (Digits > 400) {
      Fail("A number too long");
    }
  }
  if (Char == '.') {
    ++FPos;
    Number.Integer = false;
    while ((Char = Peek()) >= '0' && Char <= '9') {
      ++FPos;
    }
  }
  if (Char == 'e' || Char == 'E') {
    ++FPos;
    Number.Integer = false;
    Char = Peek();
    if (Char == '+' || Char == '-') {
      ++FPos;
    }
    if ((Char = Peek()) < '0' || Char > '9') {
      Fail("A malformed number");
    }
    while ((Char = Peek()) >= '0' && Char <= '9') {
      ++FPos;
    }
  }
  return Number;
}

void TExportReader::ReadLiteral(int First) {
  const char* Rest = First == 't' ? "rue" : First == 'f' ? "alse" : First == 'n' ? "ull" : nullptr;
  if (Rest == nullptr) {
    Unexpected(First, "a value");
  }
  for (; *Rest != 0; ++Rest) {
    if (Get() != *Rest) {
      Fail("A malformed value");
    }
  }
}

// Passes over a value this program does not use, keeping its own count of open brackets.
void TExportReader::SkipValue(int Char) {
  std::vector<char> Open;
  for (;;) {
    // Char starts a value.
    if (Char == '[' || Char == '{') {
      if (Open.size() == kMaxSkippedDepth) {
        Fail("Values nested too deeply");
      }
      Open.push_back(Char == '[' ? ']' : '}');
      Char = NextToken();
      if (Char != Open.back()) {
        if (Open.back() == '}') {
          Char = ReadKey(Char);
        }
        continue;  // Char starts the first element
      }
      Open.pop_back();  // an empty array or object
    } else if (Char == '"') {
      ReadText(FKey, kMaxOtherTextBytes);
    } else if (Char == '-' || (Char >= '0' && Char <= '9')) {
      ReadNumber(Char);
    } else {
      ReadLiteral(Char);
    }
    // A value is complete: close what ends here, then go on to the next element.
    for (;;) {
      if (Open.empty()) {
        return;
      }
      Char = NextToken();
      if (Char == Open.back()) {
        Open.pop_back();
        continue;
      }
      if (Char != ',') {
        Unexpected(Char, "',' or a closing bracket");
      }
      Char = NextToken();
      if (Open.back() == '}') {
        Char = ReadKey(Char);
      }
      break;
    }
  }
}

int TExportReader::ReadKey(int Char) {
  if (Char != '"') {
    Unexpected(Char, "a key");
  }
  ReadText(FKey, kMaxOtherTextBytes);
  Expect(':', "':'");
  return NextToken();
}

int64_t TExportReader::ReadSize(int First, const char* Key) {
  const TNumber Number = ReadNumber(First);
  if (!Number.Integer || Number.Negative || Number.Overflow ||
      Number.Magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
    Fail(std::string("\"") + Key + "\" is not a size from 0 to 2^63-1");
  }
  return static_cast<int64_t>(Number.Magnitude);
}

void TExportReader::ReadEntryInfo(TEntryInfo& Info) {
  Info = {};
  int Char = NextToken();
  if (Char != '}') {
    for (;;) {
      Char = ReadKey(Char);
      if (FKey == "name") {
        if (Char != '"') {
          Fail("\"name\" is not a text");
        }
        ReadText(Info.Name, kScanFileMaxNameBytes);
        Info.HasName = true;
      } else if (FKey == "asize") {
        Info.Size = ReadSize(Char, "asize");
      } else if (FKey == "dsize") {
        ReadSize(Char, "dsize");  // checked, but the apparent size is what this program counts
      } else if (FKey == "mtime") {
        const TNumber Number = ReadNumber(Char);
        const uint64_t Limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
        if (!Number.Integer || Number.Overflow || Number.Magnitude > Limit) {
          Fail("\"mtime\" is not a time in seconds");
        }
        const auto Magnitude = static_cast<int64_t>(Number.Magnitude);
        Info.Mtime = Number.Negative ? -Magnitude : Magnitude;
        Info.HasMtime = true;
      } else if (FKey == "excluded") {
        // A reason in later versions ("pattern", "otherfs", ...), true in some writers.
        if (Char == '"') {
          ReadText(FKey, kMaxOtherTextBytes);
          Info.Excluded = !FKey.empty();
        } else {
          Info.Excluded = Char == 't';
          SkipValue(Char);
        }
      } else {
        SkipValue(Char);  // hard-link, error and ownership fields, and other tools' own keys
      }
      Char = NextToken();
      if (Char == '}') {
        break;
      }
      if (Char != ',') {
        Unexpected(Char, "',' or '}'");
      }
      Char = NextToken();
    }
  }
  if (!Info.HasName) {
    Fail("An entry without a name");
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
  const TNumber Number = ReadNumber(NextToken());
  if (!Number.Integer || Number.Negative || Number.Overflow || Number.Magnitude > kMaxVersion) {
    Fail(std::string("An invalid ") + Which + " version");
  }
  return static_cast<int>(Number.Magnitude);
}

std::unique_ptr<TDirNode> TExportReader::Read() {
  Expect('[', "'['");
  const int Major = ReadVersion("major");
  if (Major != kMajorVersion) {
    Fail("Format version " + std::to_string(Major) + " is not supported, only version 1");
  }
  Expect(',', "','");
  ReadVersion("minor");
  Expect(',', "','");
  int Char = NextToken();
  if (Char != '{') {
    Unexpected(Char, "the metadata object");
  }
  SkipValue(Char);
  Expect(',', "','");
  Expect('[', "the top folder");
  Expect('{', "the top folder's information");

  TEntryInfo Info;
  ReadEntryInfo(Info);
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
  if (Root->FullPath().size() > kScanFileMaxPathBytes) {
    Fail("A path longer than " + std::to_string(kScanFileMaxPathBytes) + " bytes");
  }

  TExtStatsAccumulator Sums;
  std::unordered_map<std::string, TExtKey> ExtKeys;  // raw extension -> key
  std::vector<TDirNode*> Stack{Root.get()};
  std::string Path;
  while (!Stack.empty()) {
    TDirNode& Folder = *Stack.back();
    Char = NextToken();
    if (Char == ']') {
      // The folder is complete: its statistics, then its totals into its parent's, as a scan
      // does when it leaves a folder.
      TScanStore& Store = Folder.Store();
      for (const TFileLeaf* Leaf : Folder.Leaves) {
        const TExtKey Key = Leaf->ExtKey();
        Sums.Add(Key == Store.EmptyExt ? Store.NoExt : Key, Leaf->Size, 1);
      }
      for (const auto& Child : Folder.Children) {
        Sums.AddAll(Child->ExtStats);
      }
      Sums.MoveInto(Folder.ExtStats);
      Folder.Leaves.shrink_to_fit();
      Stack.pop_back();
      if (!Stack.empty()) {
        TDirNode& Parent = *Stack.back();
        Parent.TotalSize = SaturatingAdd(Parent.TotalSize, Folder.TotalSize);
        Parent.TotalFiles += Folder.TotalFiles;
        Parent.TotalDirs += Folder.TotalDirs;
      }
      continue;
    }
    if (Char != ',') {
      Unexpected(Char, "',' or ']'");
    }
    Char = NextToken();
    if (Char == '[') {
      Expect('{', "a folder's information");
      ReadEntryInfo(Info);
      if (Stack.size() >= kScanFileMaxDepth) {
        Fail("Folders nested deeper than " + std::to_string(kScanFileMaxDepth) + " levels");
      }
      Path.clear();
      if (DrivesRoot && Stack.size() == 1) {
        CheckDrivePath(Info.Name);
        Path = platform::StripTrailingDelimiter(Info.Name);
      } else {
        CheckName(Info.Name);
        platform::AppendChildPath(Folder.FullPath(), Info.Name, Path);
      }
      if (Path.size() > kScanFileMaxPathBytes) {
        Fail("A path longer than " + std::to_string(kScanFileMaxPathBytes) + " bytes");
      }
      // An excluded folder's contents were not counted; it stays an empty folder.
      TDirNode& Child = Folder.AddChild(Path);
      Child.TotalDirs = 1;
      Stack.push_back(&Child);
      continue;
    }
    if (Char != '{') {
      Unexpected(Char, "a folder or an entry");
    }
    ReadEntryInfo(Info);
    CheckName(Info.Name);
    if (Info.Excluded) {
      continue;  // left out by the tool that scanned: nothing of it was counted
    }
    const size_t Dot = Info.Name.rfind('.');
    TScanStore& Store = Folder.Store();
    TExtKey Ext = Store.EmptyExt;
    if (Dot != std::string::npos) {
      const std::string Raw = Info.Name.substr(Dot);
      auto Found = ExtKeys.find(Raw);
      if (Found == ExtKeys.end()) {
        if (ExtKeys.size() > 1'000'000) {
          ExtKeys.clear();  // a bound on the cache, not on the extensions
        }
        Found =
            ExtKeys.emplace(Raw, Store.Exts.Intern(platform::UserTextCasing().ToLower(Raw))).first;
      }
      Ext = Found->second;
    }
    const platform::TFileStamp Stamp = Info.HasMtime ? UnixSecondsToStamp(Info.Mtime) : 0;
    Folder.AddLeafWithKey(Info.Name, Ext, Info.Size, Stamp);
    Folder.TotalSize = SaturatingAdd(Folder.TotalSize, Info.Size);
    Folder.TotalFiles += 1;
  }
  Root->TotalDirs += 1;
  Expect(']', "the end of the file's array");
  Char = NextToken();
  if (Char >= 0) {
    Fail("Data after the end of the scan");
  }
  return Root;
}

}  // namespace

std::unique_ptr<TDirNode> ReadScanExport(std::istream& In, const TScanFileProgress& OnProgress) {
  TExportReader Reader(In, OnProgress);
  return Reader.Read();
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
  platform::TFileRead File(Path);
  if (!File.IsOpen()) {
    throw EScanFileError(File.Failure() == platform::TFileRead::EFailure::NotAFile
                             ? Path + " is not a file"
                             : "Cannot open " + Path + ": " + File.Reason());
  }
  TFileReadBuffer Buffer(File, Path);
  std::istream In(&Buffer);
  In.exceptions(std::ios::badbit);  // a failed read ends the reading with its own message
  return ReadScanExport(In, OnProgress);
}

}  // namespace dunstrel
