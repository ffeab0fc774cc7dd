#include <windows.h>
#include <winioctl.h>

#include <vector>

#include "platform/FileSystem.h"
#include "platform/Volumes.h"
#include "platform/win32/WideText.h"

namespace dunstrel::platform {

namespace {

class TWin32Volumes final : public IVolumes {
 public:
  std::vector<std::string> LocalDriveRoots() const override {
    std::vector<wchar_t> Buffer(GetLogicalDriveStringsW(0, nullptr) + 1);
    const DWORD Length = GetLogicalDriveStringsW(static_cast<DWORD>(Buffer.size()), Buffer.data());
    std::vector<std::string> Roots;
    for (const wchar_t* Root = Buffer.data(); Root < Buffer.data() + Length && *Root != L'\0';
         Root += wcslen(Root) + 1) {
      const UINT Type = GetDriveTypeW(Root);
      const std::string Path = win32::FromWide(Root);
      if ((Type == DRIVE_FIXED || Type == DRIVE_REMOVABLE) && DirectoryExists(Path)) {
        Roots.push_back(Path);
      }
    }
    return Roots;
  }

  std::optional<int64_t> UsedBytes(const std::string& Root) const override {
    DWORD SectorsPerCluster = 0;
    DWORD BytesPerSector = 0;
    DWORD FreeClusters = 0;
    DWORD TotalClusters = 0;
    if (!GetDiskFreeSpaceW(win32::ToWide(Root).c_str(), &SectorsPerCluster, &BytesPerSector,
                           &FreeClusters, &TotalClusters)) {
      return std::nullopt;
    }
    return static_cast<int64_t>(TotalClusters - FreeClusters) * SectorsPerCluster * BytesPerSector;
  }

  // NTFS keeps one record per file and folder in its master file table: the table's valid
  // length over the size of a record estimates how many there are.
  std::optional<int64_t> UsedEntries(const std::string& Root) const override {
    std::wstring Volume = L"\\\\.\\" + win32::ToWide(Root);
    while (!Volume.empty() && (Volume.back() == L'\\' || Volume.back() == L'/')) {
      Volume.pop_back();
    }
    const HANDLE Handle = CreateFileW(Volume.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (Handle == INVALID_HANDLE_VALUE) {
      return std::nullopt;
    }
    NTFS_VOLUME_DATA_BUFFER Data{};
    DWORD Returned = 0;
    const bool Asked = DeviceIoControl(Handle, FSCTL_GET_NTFS_VOLUME_DATA, nullptr, 0, &Data,
                                       sizeof(Data), &Returned, nullptr) != 0;
    CloseHandle(Handle);
    if (!Asked || Data.BytesPerFileRecordSegment == 0) {
      return std::nullopt;
    }
    return static_cast<int64_t>(Data.MftValidDataLength.QuadPart / Data.BytesPerFileRecordSegment);
  }
};

}  // namespace

const IVolumes& SystemVolumes() {
  static const TWin32Volumes Volumes;
  return Volumes;
}

}  // namespace dunstrel::platform
