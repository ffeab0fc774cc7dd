#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <QPixmap>

#include "app/ShellServices.h"
#include "app/UserDialogs.h"
#include "platform/DirectoryLister.h"
#include "platform/Volumes.h"

namespace dunstrel::testing {

// Answers every box at once and remembers what was shown.
class TRecordingDialogs : public IUserDialogs {
 public:
  void ShowError(QWidget*, const QString& Text) override { Errors.push_back(Text); }
  void ShowInformation(QWidget*, const QString& Text) override { Notices.push_back(Text); }
  bool AskYesNo(QWidget*, const QString& Text, bool Warning) override {
    Questions.push_back({Text, Warning});
    return Answer;
  }
  std::optional<QString> PickFolder(QWidget*, const QString& Caption,
                                    const QString& StartFolder) override {
    PickerCaptions.push_back(Caption);
    PickerStarts.push_back(StartFolder);
    return PickerAnswer;
  }
  std::optional<QString> PickSaveFile(QWidget*, const QString& Caption,
                                      const QString& Filter) override {
    PickerCaptions.push_back(Caption);
    PickerFilters.push_back(Filter);
    return FileAnswer;
  }
  std::optional<QString> PickOpenFile(QWidget*, const QString& Caption,
                                      const QString& Filter) override {
    PickerCaptions.push_back(Caption);
    PickerFilters.push_back(Filter);
    return FileAnswer;
  }

  std::vector<QString> Errors;
  std::vector<QString> Notices;
  // Each question with whether it was a warning; every one is answered with Answer.
  std::vector<std::pair<QString, bool>> Questions;
  bool Answer = true;
  std::vector<QString> PickerCaptions;
  std::vector<QString> PickerFilters;
  std::vector<QString> PickerStarts;
  // What the save and open file pickers answer.
  std::optional<QString> FileAnswer;
  std::optional<QString> PickerAnswer;
};

// Remembers every request instead of reaching the desktop. Removals are only recorded, or also
// done on the real files with RemoveForReal.
class TRecordingShell : public IShellServices {
 public:
  void OpenPath(const std::string& Path) override { Opened.push_back(Path); }
  void OpenAddress(const QUrl& Address) override { Addresses.push_back(Address.toString()); }
  bool ShowInFolder(const std::string& Path) override {
    Shown.push_back(Path);
    return true;
  }
  void ShowProperties(const std::string& Path, QWidget*) override { Properties.push_back(Path); }
  std::vector<TRemovalFailure> DeletePaths(const std::vector<std::string>& Paths,
                                           bool ToTrash) override {
    Deleted.push_back({Paths, ToTrash});
    if (!RemoveForReal) {
      return {};
    }
    if (FReal == nullptr) {
      FReal = CreateDesktopShellServices({});
    }
    return FReal->DeletePaths(Paths, ToTrash);
  }
  void SetClipboardText(const QString& Text) override { Clipboard = Text; }
  // A blank icon, the same for every item; each request is remembered.
  QIcon SmallIcon(const std::string& Path, bool) override {
    IconsAsked.push_back(Path);
    if (FIcon.isNull()) {
      QPixmap Blank(16, 16);
      Blank.fill(Qt::transparent);
      FIcon = QIcon(Blank);
    }
    return FIcon;
  }

  std::vector<std::string> Opened;
  std::vector<QString> Addresses;
  std::vector<std::string> Shown;
  std::vector<std::string> Properties;
  std::vector<std::pair<std::vector<std::string>, bool>> Deleted;
  QString Clipboard;
  std::vector<std::string> IconsAsked;
  bool RemoveForReal = false;

 private:
  std::unique_ptr<IShellServices> FReal;
  QIcon FIcon;
};

// Drives that are folders of the test, with made-up used bytes.
class TFakeVolumes : public platform::IVolumes {
 public:
  std::vector<std::string> LocalDriveRoots() const override { return Roots; }
  std::optional<int64_t> UsedBytes(const std::string& Root) const override {
    const auto Found = Used.find(Root);
    return Found == Used.end() ? std::nullopt : std::optional<int64_t>(Found->second);
  }
  std::optional<int64_t> UsedEntries(const std::string& Root) const override {
    const auto Found = Entries.find(Root);
    return Found == Entries.end() ? std::nullopt : std::optional<int64_t>(Found->second);
  }

  std::vector<std::string> Roots;
  std::map<std::string, int64_t> Used;
  std::map<std::string, int64_t> Entries;
};

// The real listing, taking Delay for every folder; a folder named StallFolder takes Stall.
struct TListingPace {
  std::chrono::milliseconds Delay{0};
  std::string StallFolder;
  std::chrono::milliseconds Stall{0};
  // A folder the listing refuses as a folder without rights would be (the tests run as root).
  std::string DeniedFolder;
  std::atomic<int> Listed{0};

  // A scan task may outlive its window; the pace must outlive every listing that uses it.
  bool WaitUntilNoListers(std::chrono::milliseconds Timeout) {
    std::unique_lock Lock(FLock);
    return FListersGone.wait_for(Lock, Timeout, [this] { return FListers == 0; });
  }
  void ListerCreated() {
    const std::lock_guard Lock(FLock);
    ++FListers;
  }
  void ListerGone() {
    const std::lock_guard Lock(FLock);
    --FListers;
    FListersGone.notify_all();
  }

 private:
  std::mutex FLock;
  std::condition_variable FListersGone;
  int FListers = 0;
};

class TPacedLister : public platform::IDirectoryLister {
 public:
  explicit TPacedLister(TListingPace& Pace)
      : FPace(Pace), FReal(platform::CreateDirectoryLister()) {
    FPace.ListerCreated();
  }
  ~TPacedLister() override { FPace.ListerGone(); }
  bool List(const std::string& Folder, platform::TDirListing& Out) override {
    ++FPace.Listed;
    std::this_thread::sleep_for(FPace.Delay);
    if (!FPace.StallFolder.empty() && Folder.ends_with("/" + FPace.StallFolder + "/")) {
      std::this_thread::sleep_for(FPace.Stall);
    }
    if (!FPace.DeniedFolder.empty() && Folder.ends_with("/" + FPace.DeniedFolder + "/")) {
      Out.Clear();
      Out.Problem = platform::TListProblem::AccessDenied;
      return false;
    }
    return FReal->List(Folder, Out);
  }

 private:
  TListingPace& FPace;
  std::unique_ptr<platform::IDirectoryLister> FReal;
};

}  // namespace dunstrel::testing
