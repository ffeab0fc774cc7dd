#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/FileRemoval.h"
#include "platform/FileSystem.h"
#include "platform/win32/WideText.h"
#include "support/TempDir.h"

namespace dunstrel::platform {
namespace {

using testing::TTempDir;

std::wstring Wide(const std::string& Path) {
  return win32::ToWide(Path);
}

bool EntryExists(const std::string& Path) {
  return GetFileAttributesW((L"\\\\?\\" + Wide(Path)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A junction (a folder reparse point) at Link to the folder Target, made as the system's own
// tools make one. Empty when made, otherwise why not.
std::string MakeJunction(const std::string& Target, const std::string& Link) {
  if (!CreateDirectoryW(Wide(Link).c_str(), nullptr)) {
    return "cannot create the folder for a junction";
  }
  const std::wstring Substitute = L"\\??\\" + Wide(Target);
  const std::wstring Print = Wide(Target);
  const size_t PathBytes = (Substitute.size() + 1 + Print.size() + 1) * sizeof(wchar_t);
  // The mount point layout of a reparse buffer: tag, lengths, then both names.
  std::vector<BYTE> Buffer(8 + 8 + PathBytes);
  auto Put16 = [&](size_t Offset, size_t Value) {
    const auto V = static_cast<WORD>(Value);
    std::memcpy(Buffer.data() + Offset, &V, sizeof V);
  };
  const DWORD Tag = IO_REPARSE_TAG_MOUNT_POINT;
  std::memcpy(Buffer.data(), &Tag, sizeof Tag);
  Put16(4, 8 + PathBytes);
  Put16(8, 0);
  Put16(10, Substitute.size() * sizeof(wchar_t));
  Put16(12, (Substitute.size() + 1) * sizeof(wchar_t));
  Put16(14, Print.size() * sizeof(wchar_t));
  std::memcpy(Buffer.data() + 16, Substitute.c_str(), (Substitute.size() + 1) * sizeof(wchar_t));
  std::memcpy(Buffer.data() + 16 + (Substitute.size() + 1) * sizeof(wchar_t), Print.c_str(),
              (Print.size() + 1) * sizeof(wchar_t));
  const HANDLE Folder =
      CreateFileW(Wide(Link).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  DWORD Returned = 0;
  const bool Made =
      Folder != INVALID_HANDLE_VALUE &&
      DeviceIoControl(Folder, FSCTL_SET_REPARSE_POINT, Buffer.data(),
                      static_cast<DWORD>(Buffer.size()), nullptr, 0, &Returned, nullptr);
  const DWORD Error = GetLastError();
  if (Folder != INVALID_HANDLE_VALUE) {
    CloseHandle(Folder);
  }
  const DWORD Attributes = GetFileAttributesW(Wide(Link).c_str());
  if (Made && Attributes != INVALID_FILE_ATTRIBUTES &&
      (Attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return {};
  }
  RemoveDirectoryW(Wide(Link).c_str());
  return "the file system made no junction (error " + std::to_string(Made ? 0 : Error) + ")";
}

// A symbolic link at Link to Target, where the system lets an ordinary user make one.
std::string MakeSymbolicLink(const std::string& Target, const std::string& Link, bool Folder) {
  const DWORD Flags =
      SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE | (Folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0);
  const bool Made = CreateSymbolicLinkW(Wide(Link).c_str(), Wide(Target).c_str(), Flags) != 0;
  const DWORD Attributes = GetFileAttributesW(Wide(Link).c_str());
  if (Made && Attributes != INVALID_FILE_ATTRIBUTES &&
      (Attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return {};
  }
  return "the file system made no symbolic link";
}

TEST(Win32FileRemovalTest, DeletesFilesAndWholeFoldersReadOnlyOnesToo) {
  const TTempDir Dir;
  const std::string File = Dir.MakeFile("single.txt", 10);
  const std::string ReadOnly = Dir.MakeFile("read-only.txt", 3);
  ASSERT_TRUE(SetFileAttributesW(Wide(ReadOnly).c_str(), FILE_ATTRIBUTE_READONLY));
  Dir.MakeFile("tree/a/b/c/deep.bin", 5);
  Dir.MakeFile(
      "tree/a/Gr\xC3\xBC\xC3\x9F"
      "e \xE2\x9C\x93.txt",
      5);  // names are UTF-8
  const std::string LockedDown = Dir.MakeFile("tree/a/fixed.txt", 5);
  ASSERT_TRUE(SetFileAttributesW(Wide(LockedDown).c_str(), FILE_ATTRIBUTE_READONLY));
  Dir.MakeDir("tree/empty");
  for (int I = 0; I < 300; ++I) {
    Dir.MakeFile("tree/many/f" + std::to_string(I));
  }

  for (const std::string& Path : {File, ReadOnly, Dir / "tree"}) {
    TProblem Failure;
    EXPECT_TRUE(DeletePermanently(Path, &Failure)) << Path << ": " << Failure.Text;
    EXPECT_FALSE(EntryExists(Path)) << Path;
  }
  TProblem Failure;
  EXPECT_FALSE(DeletePermanently(Dir / "tree", &Failure)) << "a path that is gone";
  EXPECT_FALSE(Failure.Text.empty());
  EXPECT_FALSE(DeletePermanently("", &Failure));
  EXPECT_EQ(Failure.Text, "no path was given");
}

TEST(Win32FileRemovalTest, PathsBeyondTheClassicLengthLimitAreRemovedWhole) {
  const TTempDir Dir;
  // 40 levels of 20 characters: about 850 characters, far past MAX_PATH.
  std::wstring Path = L"\\\\?\\" + Wide(Dir / "chain");
  ASSERT_TRUE(CreateDirectoryW(Path.c_str(), nullptr));
  for (int Level = 0; Level < 40; ++Level) {
    Path += L"\\level-of-twenty-ch";
    ASSERT_TRUE(CreateDirectoryW(Path.c_str(), nullptr)) << Level;
    const HANDLE File = CreateFileW((Path + L"\\file").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(File, INVALID_HANDLE_VALUE);
    CloseHandle(File);
  }

  TProblem Failure;
  EXPECT_TRUE(DeletePermanently(Dir / "chain", &Failure)) << Failure.Text;
  EXPECT_FALSE(EntryExists(Dir / "chain"));
}

TEST(Win32FileRemovalTest, WhatCannotBeRemovedStaysAndTheRestGoes) {
  const TTempDir Dir;
  const std::string Busy = Dir.MakeFile("tree/busy.txt", 4);
  Dir.MakeFile("tree/free.txt", 4);
  Dir.MakeFile("tree/sub/free.txt", 4);
  // Held open without leave to delete it, as a program that has it open would.
  const HANDLE Holder = CreateFileW(Wide(Busy).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(Holder, INVALID_HANDLE_VALUE);

  TProblem Failure;
  EXPECT_FALSE(DeletePermanently(Dir / "tree", &Failure));
  CloseHandle(Holder);
  EXPECT_FALSE(Failure.Text.empty());
  EXPECT_TRUE(EntryExists(Busy));
  EXPECT_FALSE(EntryExists(Dir / "tree/free.txt"));
  EXPECT_FALSE(EntryExists(Dir / "tree/sub"));
}

// Drive roots, also the forms that name one indirectly, are refused before anything is touched.
// The drive deleted is a letter made for the test on a temporary folder (as `subst` makes one),
// so that a removal that went wrong could only empty that folder.
TEST(Win32FileRemovalTest, ADriveRootIsRefusedBeforeAnythingIsTouched) {
  const TTempDir Dir;
  const std::string Keep = Dir.MakeFile("keep.txt", 4);
  Dir.MakeDir("sub");
  std::wstring Letter;
  const DWORD Used = GetLogicalDrives();
  for (wchar_t Drive = L'Z'; Drive > L'D' && Letter.empty(); --Drive) {
    if ((Used & (1u << (Drive - L'A'))) == 0) {
      Letter = std::wstring(1, Drive) + L":";
    }
  }
  if (Letter.empty() || !DefineDosDeviceW(0, Letter.c_str(), Wide(Dir.Path()).c_str())) {
    GTEST_SKIP() << "skipped: no drive letter could be made for a temporary folder";
  }
  const std::string Drive = win32::FromWide(Letter);
  const struct {
    std::string Path;
    const char* Reason;
  } Cases[] = {{Drive, "root folder of a drive"},       {Drive + "\\", "root folder of a drive"},
               {Drive + "/", "root folder of a drive"}, {Drive + "\\\\", "root folder of a drive"},
               {Drive + "\\sub\\..", "\"..\""},         {Drive + "\\.\\", "\"..\""}};
  for (const auto& Case : Cases) {
    TProblem Failure;
    EXPECT_FALSE(DeletePermanently(Case.Path, &Failure)) << Case.Path;
    EXPECT_NE(Failure.Text.find(Case.Reason), std::string::npos)
        << Case.Path << ": " << Failure.Text;
    EXPECT_FALSE(MoveToTrash(Case.Path, &Failure)) << Case.Path;
    EXPECT_NE(Failure.Text.find(Case.Reason), std::string::npos)
        << Case.Path << ": " << Failure.Text;
  }
  DefineDosDeviceW(DDD_REMOVE_DEFINITION, Letter.c_str(), nullptr);
  EXPECT_TRUE(EntryExists(Keep));
  EXPECT_TRUE(EntryExists(Dir / "sub"));
}

TEST(Win32FileRemovalTest, LinksInsideAreRemovedAsLinksAndNeverEntered) {
  const TTempDir Dir;
  const std::string Outside = Dir.MakeDir("outside");
  const std::string OutsideFile = Dir.MakeFile("outside/keep.txt", 7);
  const std::string Victim = Dir.MakeDir("victim");
  Dir.MakeFile("victim/own.txt", 3);
  if (const std::string Why = MakeJunction(Outside, Victim + "\\junction"); !Why.empty()) {
    GTEST_SKIP() << "skipped: " << Why;
  }
  // Symbolic links need a privilege or developer mode; the junction alone shows the rule.
  const bool Symbolic = MakeSymbolicLink(Outside, Victim + "\\folder-link", true).empty() &&
                        MakeSymbolicLink(OutsideFile, Victim + "\\file-link", false).empty();

  TProblem Failure;
  EXPECT_TRUE(DeletePermanently(Victim, &Failure)) << Failure.Text;
  EXPECT_FALSE(EntryExists(Victim));
  EXPECT_TRUE(EntryExists(OutsideFile)) << (Symbolic ? "with symbolic links" : "junction only");

  // A link given itself is removed as a link, its target stays, also when its path ends in
  // delimiters, which would make a path lead into the folder it points to.
  for (const char* Ending : {"", "\\", "\\\\", "/"}) {
    ASSERT_EQ(MakeJunction(Outside, Dir / "link"), "");
    EXPECT_TRUE(DeletePermanently(Dir / "link" + Ending, &Failure))
        << Ending << ": " << Failure.Text;
    EXPECT_FALSE(EntryExists(Dir / "link"));
    EXPECT_TRUE(EntryExists(OutsideFile));
  }
}

// A path that only a textual reading would resolve is refused before anything is touched.
TEST(Win32FileRemovalTest, RelativePathsAndDotComponentsAreRefused) {
  const TTempDir Dir;
  const std::string Victim = Dir.MakeFile("victim.txt", 3);
  Dir.MakeDir("sub");
  const struct {
    std::string Path;
    const char* Reason;
  } Cases[] = {{"victim.txt", "not absolute"},
               {"~\\victim.txt", "not absolute"},
               {Dir / "sub\\..\\victim.txt", "\"..\""},
               {Dir / ".\\victim.txt", "\"..\""}};
  SetCurrentDirectoryW(Wide(Dir.Path()).c_str());
  for (const auto& Case : Cases) {
    TProblem Failure;
    EXPECT_FALSE(DeletePermanently(Case.Path, &Failure)) << Case.Path;
    EXPECT_NE(Failure.Text.find(Case.Reason), std::string::npos)
        << Case.Path << ": " << Failure.Text;
    EXPECT_FALSE(MoveToTrash(Case.Path, &Failure)) << Case.Path;
    EXPECT_NE(Failure.Text.find(Case.Reason), std::string::npos)
        << Case.Path << ": " << Failure.Text;
    EXPECT_TRUE(EntryExists(Victim));
  }
  SetCurrentDirectoryW(Wide(platform::TempDirectory()).c_str());
}

TEST(Win32FileRemovalTest, MovesFilesAndFoldersToTheRecycleBin) {
  const TTempDir Dir;
  const std::string File = Dir.MakeFile("report.txt", 5);
  Dir.MakeFile("folder/inner.txt", 5);
  EXPECT_TRUE(MoveToTrash(File));
  EXPECT_TRUE(MoveToTrash(Dir / "folder"));
  EXPECT_FALSE(EntryExists(File));
  EXPECT_FALSE(EntryExists(Dir / "folder"));
  EXPECT_FALSE(MoveToTrash(Dir / "missing.txt"));
  EXPECT_FALSE(MoveToTrash(""));
}

}  // namespace
}  // namespace dunstrel::platform
