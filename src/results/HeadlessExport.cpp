#include "results/HeadlessExport.h"

#include <new>

#include "localisation/TextFormat.h"
#include "localisation/translation.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "results/ScanExport.h"
#include "scan/DiskScanner.h"

namespace dunstrel {

int ExportScanOfFolder(const std::string& File, const std::string& Folder, std::FILE* Progress,
                       std::FILE* Errors) {
  std::string Path = Folder;
  if (Path.starts_with('~') || !platform::IsAbsolutePath(Path)) {
    Path = platform::ResolveUserFolderPath(Path);
  }
  switch (platform::EntryKindOf(Path)) {
    case platform::EEntryKind::Folder:
      break;
    case platform::EEntryKind::Missing:
      std::fprintf(Errors, "dunstrel: %s\n",
                   FormatText(Translate("%s: folder does not exist"), {Folder}).c_str());
      return 1;
    case platform::EEntryKind::Unknown:
      std::fprintf(Errors, "dunstrel: %s\n",
                   FormatText(Translate("%s: folder cannot be looked at"), {Folder}).c_str());
      return 1;
    case platform::EEntryKind::File:
    case platform::EEntryKind::Other:
      std::fprintf(Errors, "dunstrel: %s\n",
                   FormatText(Translate("%s: is not a folder"), {Folder}).c_str());
      return 1;
  }
  const TScanContext Everything;  // no filter: what another disk analyser would count
  TDiskScanner Scanner(Everything);
  if (Progress != nullptr) {
    Scanner.OnProgress = [Progress](std::string_view, int64_t Files, int64_t Dirs) {
      std::fprintf(Progress, "\r%s",
                   FormatText(Translate("Scanning: %d files, %d folders"), {Files, Dirs}).c_str());
      std::fflush(Progress);
    };
  }
  try {
    const std::unique_ptr<TDirNode> Root = Scanner.Scan(Path);
    if (Progress != nullptr) {
      std::fprintf(Progress, "\r%s\n",
                   FormatText(Translate("Scanned: %d files, %d folders; saving..."),
                              {Scanner.FilesScanned(), Scanner.DirsScanned()})
                       .c_str());
    }
    SaveScanFile(*Root, File);
  } catch (const std::bad_alloc&) {
    std::fprintf(Errors, "dunstrel: %s\n",
                 Translate("Not enough memory to finish the scan.").c_str());
    return 1;
  } catch (const std::exception& Error) {
    std::fprintf(Errors, "dunstrel: %s\n", Error.what());
    return 1;
  }
  return 0;
}

}  // namespace dunstrel
