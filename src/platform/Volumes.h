#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dunstrel::platform {

// The local "drives" a whole-computer scan walks, and how full each one is.
class IVolumes {
 public:
  virtual ~IVolumes() = default;
  // Root paths of the fixed and removable local file systems, each once, in mount order.
  virtual std::vector<std::string> LocalDriveRoots() const = 0;
  // Used bytes of the file system at Root; empty when it cannot be asked.
  virtual std::optional<int64_t> UsedBytes(const std::string& Root) const = 0;
  // How many files and folders the file system at Root holds (its used inodes, or an estimate
  // where it keeps no count); empty when it cannot tell.
  virtual std::optional<int64_t> UsedEntries(const std::string& Root) const = 0;
};

const IVolumes& SystemVolumes();

#ifndef _WIN32
struct TMountEntry {
  std::string MountPoint;
  std::string Root;  // the part of the source file system that is mounted ("/" for the whole)
  std::string FileSystemType;
  std::string Source;
  std::string DeviceId;  // "major:minor"
};

std::vector<TMountEntry> ParseMountInfo(std::string_view Text);

// Picks the mounts a whole-computer scan walks: block-device file systems plus the root
// file system, each device once, never pseudo, RAM, network or image file systems.
std::vector<std::string> SelectLocalDriveRoots(const std::vector<TMountEntry>& Mounts);
#endif

}  // namespace dunstrel::platform
