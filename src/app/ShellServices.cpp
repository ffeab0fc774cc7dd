#include "app/ShellServices.h"

#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QHash>
#include <QMimeDatabase>
#include <QPointer>
#include <QStyle>
#include <QWidget>

#include "app/PropertiesDialog.h"
#include "platform/FileRemoval.h"
#include "platform/Paths.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

constexpr int kFileManagerTimeoutMs = 5000;

QString UrlText(const std::string& Path) {
  return QString::fromLatin1(LocalFileUrl(Path).toEncoded());
}

class TDesktopShellServices final : public IShellServices {
 public:
  explicit TDesktopShellServices(const TFormatSettings& Settings) : FSettings(Settings) {}

  void OpenPath(const std::string& Path) override { QDesktopServices::openUrl(LocalFileUrl(Path)); }

  void OpenAddress(const QUrl& Address) override { QDesktopServices::openUrl(Address); }

  bool ShowInFolder(const std::string& Path) override {
    if (Path.empty()) {
      return false;
    }
    const std::string Parent = platform::ParentPath(Path);
    AskFileManager("ShowItems", Path, [this, Parent] {
      if (!Parent.empty()) {
        OpenPath(Parent);
      }
    });
    return true;
  }

  void ShowProperties(const std::string& Path, QWidget* Owner) override {
    QPointer<QWidget> Guard(Owner);
    AskFileManager("ShowItemProperties", Path, [this, Path, Guard] {
      if (!Guard.isNull()) {
        ShowPropertiesDialog(Path, Guard.data(), FSettings);
      }
    });
  }

  std::vector<TRemovalFailure> DeletePaths(const std::vector<std::string>& Paths,
                                           bool ToTrash) override {
    std::vector<TRemovalFailure> Failures;
    for (const std::string& Path : Paths) {
      if (Path.empty()) {
        continue;
      }
      platform::TProblem Why;
      const bool Gone =
          ToTrash ? platform::MoveToTrash(Path, &Why) : platform::DeletePermanently(Path, &Why);
      if (!Gone) {
        Failures.push_back({Path, Why});
      }
    }
    return Failures;
  }

  void SetClipboardText(const QString& Text) override {
    QGuiApplication::clipboard()->setText(Text);
  }

  QIcon SmallIcon(const std::string& Path, bool IsFolder) override {
    const QMimeType Type =
        IsFolder ? FMimeTypes.mimeTypeForName(QStringLiteral("inode/directory"))
                 : FMimeTypes.mimeTypeForFile(ShownText(platform::LastComponent(Path)),
                                              QMimeDatabase::MatchExtension);
    const QString IconName = IsFolder ? QStringLiteral("folder") : Type.iconName();
    if (const auto Cached = FIcons.constFind(IconName); Cached != FIcons.constEnd()) {
      return *Cached;
    }
    // The style's icons come with every size drawn at once, so every type that falls back to
    // one shares the same two.
    QIcon& StyleIcon = IsFolder ? FStyleFolderIcon : FStyleFileIcon;
    if (StyleIcon.isNull()) {
      StyleIcon =
          QApplication::style()->standardIcon(IsFolder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    }
    const QIcon Icon =
        QIcon::fromTheme(IconName, QIcon::fromTheme(Type.genericIconName(), StyleIcon));
    FIcons.insert(IconName, Icon);
    return Icon;
  }

 private:
  // Calls Method of the desktop's file manager with the item; runs Fallback when no file
  // manager answers.
  template <typename TFallback>
  void AskFileManager(const char* Method, const std::string& Path, TFallback Fallback) {
    QDBusConnection Bus = QDBusConnection::sessionBus();
    if (!Bus.isConnected()) {
      Fallback();
      return;
    }
    QDBusMessage Call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QString::fromLatin1(Method));
    Call << QStringList{UrlText(Path)} << QString();
    auto* Watcher =
        new QDBusPendingCallWatcher(Bus.asyncCall(Call, kFileManagerTimeoutMs), &FWatchers);
    QObject::connect(Watcher, &QDBusPendingCallWatcher::finished, &FWatchers,
                     [Fallback](QDBusPendingCallWatcher* Finished) {
                       if (Finished->isError()) {
                         Fallback();
                       }
                       Finished->deleteLater();
                     });
  }

  const TFormatSettings FSettings;
  QMimeDatabase FMimeTypes;
  QHash<QString, QIcon> FIcons;
  QIcon FStyleFolderIcon;
  QIcon FStyleFileIcon;
  QObject FWatchers;  // owns the pending file manager requests; they end with the service
};

}  // namespace

QUrl LocalFileUrl(const std::string& Path) {
  const QByteArray Bytes = QByteArray::fromStdString(Path);
  return QUrl::fromEncoded("file://" + Bytes.toPercentEncoding("/"), QUrl::StrictMode);
}

std::unique_ptr<IShellServices> CreateDesktopShellServices(const TFormatSettings& Settings) {
  return std::make_unique<TDesktopShellServices>(Settings);
}

}  // namespace dunstrel
