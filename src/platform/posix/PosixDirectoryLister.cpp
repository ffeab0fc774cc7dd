#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "platform/DirectoryLister.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/StatStamp.h"

namespace dunstrel::platform {

namespace {

class TPosixDirectoryLister final : public IDirectoryLister {
 public:
  TPosixDirectoryLister() : FBuffer(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}

  bool List(const std::string& Folder, TDirListing& Out) override {
    Out.Clear();
    const TFileDescriptor Dir(open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY));
    if (Dir.Get() < 0) {
      return false;
    }
    struct stat DirInfo {};
    if (fstat(Dir.Get(), &DirInfo) != 0) {
      return false;
    }
    for (;;) {
      const ssize_t Read = getdents64(Dir.Get(), FBuffer.get(), kBufferSize);
      if (Read <= 0) {
        // An error part-way keeps what was read, as a listing that ends early would.
        return Read == 0 || Out.Count() > 0;
      }
      for (ssize_t Pos = 0; Pos < Read;) {
        const auto* Raw = reinterpret_cast<const dirent64*>(FBuffer.get() + Pos);
        Pos += Raw->d_reclen;
        AddEntry(Dir.Get(), DirInfo.st_dev, *Raw, Out);
      }
    }
  }

 private:
  static constexpr size_t kBufferSize = 256 * 1024;

  static void AddEntry(int DirFd, dev_t DirDevice, const dirent64& Raw, TDirListing& Out) {
    const char* Name = Raw.d_name;
    if (Name[0] == '.' && (Name[1] == '\0' || (Name[1] == '.' && Name[2] == '\0'))) {
      return;
    }
    const std::string_view NameView(Name, std::strlen(Name));
    if (Raw.d_type == DT_LNK) {
      Out.Add(NameView, false, true, 0, 0);
      return;
    }
    struct stat Info {};
    if (fstatat(DirFd, Name, &Info, AT_SYMLINK_NOFOLLOW) != 0) {
      return;  // gone since the folder was read
    }
    if (S_ISLNK(Info.st_mode)) {
      Out.Add(NameView, false, true, 0, 0);
    } else if (S_ISDIR(Info.st_mode)) {
      Out.Add(NameView, true, Info.st_dev != DirDevice, 0, StampOfStat(Info));
    } else {
      Out.Add(NameView, false, false, static_cast<int64_t>(Info.st_size), StampOfStat(Info));
    }
  }

  std::unique_ptr<char[]> FBuffer;  // left uninitialised: only what the kernel fills is touched
};

}  // namespace

std::unique_ptr<IDirectoryLister> CreateDirectoryLister() {
  return std::make_unique<TPosixDirectoryLister>();
}

}  // namespace dunstrel::platform
