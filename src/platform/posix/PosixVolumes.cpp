#include <sys/statvfs.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/Volumes.h"

namespace dunstrel::platform {

namespace {

// /proc/self/mountinfo escapes blanks, tabs, newlines and backslashes as octal.
std::string UnescapeMountField(std::string_view Field) {
  std::string Result;
  Result.reserve(Field.size());
  for (size_t I = 0; I < Field.size(); ++I) {
    if (Field[I] == '\\' && I + 3 < Field.size() && Field[I + 1] >= '0' && Field[I + 1] <= '3' &&
        Field[I + 2] >= '0' && Field[I + 2] <= '7' && Field[I + 3] >= '0' && Field[I + 3] <= '7') {
      Result.push_back(static_cast<char>((Field[I + 1] - '0') * 64 + (Field[I + 2] - '0') * 8 +
                                         (Field[I + 3] - '0')));
      I += 3;
    } else {
      Result.push_back(Field[I]);
    }
  }
  return Result;
}

std::vector<std::string_view> SplitBlanks(std::string_view Line) {
  std::vector<std::string_view> Fields;
  size_t Pos = 0;
  while (Pos < Line.size()) {
    const size_t End = std::min(Line.find(' ', Pos), Line.size());
    if (End > Pos) {
      Fields.push_back(Line.substr(Pos, End - Pos));
    }
    Pos = End + 1;
  }
  return Fields;
}

bool IsLocalDiskType(std::string_view Type) {
  static constexpr std::array<std::string_view, 20> kDiskTypes = {
      "ext2",  "ext3",     "ext4",  "xfs",     "btrfs",   "f2fs",    "vfat",
      "exfat", "ntfs",     "ntfs3", "fuseblk", "iso9660", "udf",     "zfs",
      "jfs",   "reiserfs", "hfs",   "hfsplus", "nilfs2",  "bcachefs"};
  return std::find(kDiskTypes.begin(), kDiskTypes.end(), Type) != kDiskTypes.end();
}

class TProcVolumes final : public IVolumes {
 public:
  std::vector<std::string> LocalDriveRoots() const override {
    std::ifstream File("/proc/self/mountinfo");
    std::stringstream Text;
    Text << File.rdbuf();
    return SelectLocalDriveRoots(ParseMountInfo(Text.str()));
  }

  std::optional<int64_t> UsedBytes(const std::string& Root) const override {
    struct statvfs Info {};
    if (statvfs(Root.c_str(), &Info) != 0 || Info.f_blocks < Info.f_bfree) {
      return std::nullopt;
    }
    return static_cast<int64_t>((Info.f_blocks - Info.f_bfree) * Info.f_frsize);
  }

  std::optional<int64_t> UsedEntries(const std::string& Root) const override {
    struct statvfs Info {};
    // A file system that allocates inodes as it goes (btrfs) reports none at all.
    if (statvfs(Root.c_str(), &Info) != 0 || Info.f_files == 0 || Info.f_files < Info.f_ffree) {
      return std::nullopt;
    }
    return static_cast<int64_t>(Info.f_files - Info.f_ffree);
  }
};

}  // namespace

std::vector<TMountEntry> ParseMountInfo(std::string_view Text) {
  std::vector<TMountEntry> Mounts;
  while (!Text.empty()) {
    const size_t End = std::min(Text.find('\n'), Text.size());
    const std::string_view Line = Text.substr(0, End);
    Text.remove_prefix(std::min(End + 1, Text.size()));
    // id parent major:minor root mount-point options [optional...] - type source super-options
    const std::vector<std::string_view> Fields = SplitBlanks(Line);
    const auto Separator = std::find(Fields.begin(), Fields.end(), "-");
    if (Fields.size() < 6 || Separator == Fields.end() || Fields.end() - Separator < 3 ||
        Separator - Fields.begin() < 6) {
      continue;
    }
    TMountEntry Entry;
    Entry.DeviceId = std::string(Fields[2]);
    Entry.Root = UnescapeMountField(Fields[3]);
    Entry.MountPoint = UnescapeMountField(Fields[4]);
    Entry.FileSystemType = UnescapeMountField(Separator[1]);
    Entry.Source = UnescapeMountField(Separator[2]);
    Mounts.push_back(std::move(Entry));
  }
  return Mounts;
}

std::vector<std::string> SelectLocalDriveRoots(const std::vector<TMountEntry>& Mounts) {
  // The root file system is walked whatever its type (an overlay or a RAM disk in containers);
  // of stacked mounts on "/" the last one is the visible one.
  const TMountEntry* RootMount = nullptr;
  for (const TMountEntry& Mount : Mounts) {
    if (Mount.MountPoint == "/") {
      RootMount = &Mount;
    }
  }
  // Each device is walked once (bind mounts and second mounts would count it twice), preferably
  // through a mount of its whole file system rather than of a sub-folder.
  std::map<std::string, const TMountEntry*> ByDevice;
  if (RootMount != nullptr) {
    ByDevice[RootMount->DeviceId] = RootMount;
  }
  for (const TMountEntry& Mount : Mounts) {
    if (!IsLocalDiskType(Mount.FileSystemType)) {
      continue;
    }
    const TMountEntry*& Chosen = ByDevice[Mount.DeviceId];
    if (Chosen == nullptr || (Chosen != RootMount && Chosen->Root != "/" && Mount.Root == "/")) {
      Chosen = &Mount;
    }
  }
  std::vector<std::string> Roots;
  if (RootMount != nullptr) {
    Roots.push_back("/");
  }
  for (const TMountEntry& Mount : Mounts) {
    const auto Found = ByDevice.find(Mount.DeviceId);
    if (&Mount != RootMount && Found != ByDevice.end() && Found->second == &Mount) {
      Roots.push_back(Mount.MountPoint);
    }
  }
  return Roots;
}

const IVolumes& SystemVolumes() {
  static const TProcVolumes Volumes;
  return Volumes;
}

}  // namespace dunstrel::platform
