#pragma once

#include <QIcon>
#include <QString>
#include <QUrl>
#include <memory>
#include <string>
#include <vector>

#include "localisation/TextFormat.h"
#include "results/FileOperations.h"

class QWidget;

namespace dunstrel {

// What the program asks of the desktop around it. Paths are the file system's own bytes. Tests
// replace the whole service with a recording fake.
class IShellServices {
 public:
  virtual ~IShellServices() = default;
  // A document, folder or program file handed to the desktop's default handler.
  virtual void OpenPath(const std::string& Path) = 0;
  // A web address opened in the default browser.
  virtual void OpenAddress(const QUrl& Address) = 0;
  // The file manager showing the item selected in its folder. True when the request went out.
  virtual bool ShowInFolder(const std::string& Path) = 0;
  // A properties window of the item, owned by Owner.
  virtual void ShowProperties(const std::string& Path, QWidget* Owner) = 0;
  // Removes every non-empty path, into the trash or permanently, without asking; whatever can go,
  // goes. The items that are left, each with why; none when every path is gone.
  virtual std::vector<TRemovalFailure> DeletePaths(const std::vector<std::string>& Paths,
                                                   bool ToTrash) = 0;
  virtual void SetClipboardText(const QString& Text) = 0;
  // The desktop's small icon for an item, judged by its name alone; the same icon object for
  // every item of one icon name.
  virtual QIcon SmallIcon(const std::string& Path, bool IsFolder) = 0;
};

std::unique_ptr<IShellServices> CreateDesktopShellServices(const TFormatSettings& Settings);

// A file URL that keeps every byte of the path, also bytes that are not UTF-8.
QUrl LocalFileUrl(const std::string& Path);

}  // namespace dunstrel
