#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>
#include <memory>

#include "update/uNewVersionCheck.h"

class QFile;
class QLabel;
class QNetworkAccessManager;
class QProgressBar;
class QPushButton;
class QTemporaryDir;

namespace dunstrel {

class IShellServices;
class IUserDialogs;
class THttpGet;

// The update dialog: offers the update, or requires it, and downloads the installer into a
// private folder and hands it to the desktop. Its Tag tells start-up whether to go on (1) or to
// end the program (0).
class TfrmNewVersion final : public QDialog {
  Q_OBJECT

 public:
  TfrmNewVersion(const TUpdateOffer& Offer, QUrl InstallerAddress, IShellServices& Shell,
                 IUserDialogs& Dialogs, QNetworkAccessManager& Network, QWidget* Parent = nullptr);
  ~TfrmNewVersion() override;

  int Tag() const { return FTag; }
  // Where the last download was written; empty before one started.
  const QString& DownloadedFile() const { return FInstallerFile; }

  void done(int Result) override;

  // The name the installer is saved under in its private folder: "vrn_update" with the
  // extension of the installer on the server.
  static QString LocalInstallerName(const QString& InstallerPath);

 protected:
  void showEvent(QShowEvent* Event) override;

 private:
  void FormShow();
  void btUpdateNowClick();
  void btCancelClick();
  void DownloadWork(qint64 BytesSoFar);
  void DownloadFinished();
  void DownloadFailed(const QString& Reason);

  IShellServices& FShell;
  IUserDialogs& FDialogs;
  QNetworkAccessManager& FNetwork;
  QUrl FInstallerAddress;

  bool UpdateRequired = false;
  bool DownloadCancelled = false;
  QString UpdateMessage;
  int FTag = 0;
  bool FShown = false;

  QLabel* Label1;
  QLabel* VirtualImage1;
  QProgressBar* ProgressBar1;
  QPushButton* btUpdateNow;
  QPushButton* btCancel;

  std::unique_ptr<QTemporaryDir> FDownloadFolder;
  std::unique_ptr<QFile> FInstaller;
  std::unique_ptr<THttpGet> FDownload;
  QString FInstallerFile;
};

}  // namespace dunstrel
