#include "app/NewVersionForm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include "app/AppInfo.h"
#include "app/ShellServices.h"
#include "app/UpdateHttp.h"
#include "app/UserDialogs.h"
#include "views/ShownText.h"

// The resources live in a static library, so they are registered explicitly before first use.
static void RegisterUpdateIconResources() {
  Q_INIT_RESOURCE(UpdateIcon);
}

namespace dunstrel {

namespace {

constexpr int kClientWidth = 414;
constexpr int kClientHeight = 180;
constexpr const char* kAbortCaption = "Abort";
constexpr const char* kCancelledMessage = "Download is cancelled. Please download manually.";

// Texts of the program keep CR LF line ends; a label breaks lines at LF alone.
QString ShownLines(const QString& Text) {
  QString Lines = Text;
  return Lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QPixmap UpdatePicture(QSize Size, qreal PixelRatio) {
  static const bool Registered = (RegisterUpdateIconResources(), true);
  (void)Registered;
  QPixmap Picture(Size * PixelRatio);
  Picture.setDevicePixelRatio(PixelRatio);
  Picture.fill(Qt::transparent);
  QSvgRenderer Renderer(QStringLiteral(":/update/update-icon.svg"));
  QPainter Painter(&Picture);
  Painter.setRenderHint(QPainter::Antialiasing);
  Renderer.setAspectRatioMode(Qt::KeepAspectRatio);
  Renderer.render(&Painter, QRectF(QPointF(0, 0), QSizeF(Size)));
  return Picture;
}

}  // namespace

TfrmNewVersion::TfrmNewVersion(const TUpdateOffer& Offer, QUrl InstallerAddress,
                               IShellServices& Shell, IUserDialogs& Dialogs,
                               QNetworkAccessManager& Network, QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      FShell(Shell),
      FDialogs(Dialogs),
      FNetwork(Network),
      FInstallerAddress(std::move(InstallerAddress)),
      UpdateRequired(Offer.UpdateRequired),
      UpdateMessage(ShownText(Offer.UpdateMessage)),
      Label1(new QLabel(this)),
      VirtualImage1(new QLabel(this)),
      ProgressBar1(new QProgressBar(this)),
      btUpdateNow(new QPushButton(this)),
      btCancel(new QPushButton(this)) {
  setObjectName(QStringLiteral("frmNewVersion"));
  setFixedSize(kClientWidth, kClientHeight);

  Label1->setObjectName(QStringLiteral("Label1"));
  // The message and the progress bar end inside the window and above the buttons.
  Label1->setGeometry(90, 11, 316, 108);
  Label1->setWordWrap(true);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label1->setTextFormat(Qt::PlainText);

  VirtualImage1->setObjectName(QStringLiteral("VirtualImage1"));
  VirtualImage1->setGeometry(9, 15, 70, 75);
  VirtualImage1->setPixmap(UpdatePicture(VirtualImage1->size(), devicePixelRatio()));

  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setGeometry(8, 123, 398, 17);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->hide();

  btUpdateNow->setObjectName(QStringLiteral("btUpdateNow"));
  btUpdateNow->setGeometry(209, 144, 100, 25);
  btUpdateNow->setAutoDefault(false);
  connect(btUpdateNow, &QPushButton::clicked, this, &TfrmNewVersion::btUpdateNowClick);

  btCancel->setObjectName(QStringLiteral("btCancel"));
  btCancel->setGeometry(322, 144, 75, 25);
  btCancel->setAutoDefault(false);
  connect(btCancel, &QPushButton::clicked, this, &TfrmNewVersion::btCancelClick);
}

TfrmNewVersion::~TfrmNewVersion() = default;

QString TfrmNewVersion::LocalInstallerName(const QString& InstallerPath) {
  const QString Extension = QFileInfo(InstallerPath).suffix();
  if (Extension.isEmpty()) {
    return QStringLiteral("vrn_update");
  }
  return QStringLiteral("vrn_update.") + Extension;
}

void TfrmNewVersion::showEvent(QShowEvent* Event) {
  if (!FShown) {
    FShown = true;
    FormShow();
  }
  QDialog::showEvent(Event);
}

void TfrmNewVersion::FormShow() {
  FTag = 1;
  setWindowTitle(QLatin1Char(' ') + QLatin1String(kApplicationTitle));
  btUpdateNow->setText(TranslatedText("Update Now"));
  btCancel->setText(TranslatedText(UpdateRequired ? "Exit" : "Skip"));
  Label1->setText(ShownLines(UpdateMessage));
  if (const QScreen* Screen = screen()) {
    QRect Frame = frameGeometry();
    Frame.moveCenter(Screen->availableGeometry().center());
    move(Frame.topLeft());
  }
}

void TfrmNewVersion::done(int Result) {
  if (FDownload && !FDownload->IsFinished()) {
    // Closing by the title bar or Escape while the installer comes in stops the download; the
    // dialog closes once its failure has been reported.
    btCancelClick();
    return;
  }
  if (UpdateRequired) {
    FTag = 0;
  }
  QDialog::done(Result);
}

void TfrmNewVersion::btCancelClick() {
  if (!FDownload || FDownload->IsFinished()) {
    close();
    return;
  }
  DownloadCancelled = true;
  // The same path as a progress report takes, at once: a stalled server sends none.
  DownloadWork(FDownload->BytesReceived());
}

void TfrmNewVersion::btUpdateNowClick() {
  UpdateRequired = true;
  DownloadCancelled = false;
  btCancel->setText(TranslatedText(kAbortCaption));
  btUpdateNow->setEnabled(false);
  ProgressBar1->setValue(0);
  ProgressBar1->show();

  // A new folder only this user can enter, and a file created there afresh: nobody can have
  // put a file or a link of their own under the installer's name.
  FDownloadFolder = std::make_unique<QTemporaryDir>();
  FDownloadFolder->setAutoRemove(false);
  if (!FDownloadFolder->isValid()) {
    DownloadFailed(
        QStringLiteral("Cannot create a temporary folder: %1").arg(FDownloadFolder->errorString()));
    return;
  }
  FInstallerFile = FDownloadFolder->filePath(LocalInstallerName(FInstallerAddress.path()));
  FInstaller = std::make_unique<QFile>(FInstallerFile);
  if (!FInstaller->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
    DownloadFailed(QStringLiteral("Cannot create %1: %2")
                       .arg(QDir::toNativeSeparators(FInstallerFile), FInstaller->errorString()));
    return;
  }
  FDownload =
      std::make_unique<THttpGet>(FNetwork, FInstallerAddress, THttpGetOptions{}, FInstaller.get());
  connect(FDownload.get(), &THttpGet::Progress, this, &TfrmNewVersion::DownloadWork);
  connect(FDownload.get(), &THttpGet::Finished, this, &TfrmNewVersion::DownloadFinished);
  FDownload->Start();
}

void TfrmNewVersion::DownloadWork(qint64 BytesSoFar) {
  if (!FDownload || FDownload->IsFinished()) {
    return;
  }
  if (DownloadCancelled) {
    FDownload->Abort(TranslatedText(kCancelledMessage));
    return;
  }
  const qint64 Length = FDownload->ContentLength();
  if (!FDownload->IsChunked() && Length > 0) {
    ProgressBar1->setValue(BytesSoFar >= Length ? 100
                                                : static_cast<int>(BytesSoFar * 100 / Length));
  }
}

void TfrmNewVersion::DownloadFinished() {
  FInstaller->close();
  if (!FDownload->Succeeded()) {
    DownloadFailed(FDownload->Error());
    return;
  }
  if (FInstaller->error() != QFileDevice::NoError) {
    DownloadFailed(
        QStringLiteral("Cannot write the downloaded file: %1").arg(FInstaller->errorString()));
    return;
  }
  if (!QFileInfo::exists(FInstallerFile)) {
    DownloadFailed(TranslatedText("Cannot find downloaded file."));
    return;
  }
  FShell.OpenPath(QFile::encodeName(FInstallerFile).toStdString());
  // Not close(): the download may have ended inside a close request of the title bar.
  done(QDialog::Accepted);
}

void TfrmNewVersion::DownloadFailed(const QString& Reason) {
  if (FDownloadFolder && FDownloadFolder->isValid()) {
    FDownloadFolder->remove();
  }
  // The sentence is translated without its line breaks, which no row of the translation file
  // can hold.
  FDialogs.ShowError(
      this, TranslatedText("Failed to download update. Please download manually on website.") +
                QStringLiteral("\n\n") + Reason);
  FShell.OpenAddress(QUrl(QLatin1String(kSiteUrl)));
  done(QDialog::Rejected);
}

}  // namespace dunstrel
