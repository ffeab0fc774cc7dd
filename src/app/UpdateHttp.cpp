#include "app/UpdateHttp.h"

#include <QHostAddress>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#if QT_CONFIG(ssl)
#include <QSslConfiguration>
#include <QSslSocket>
#endif
#include <algorithm>
#include <iterator>

#include "update/uNewVersionCheck.h"

namespace dunstrel {

bool IsSafeUpdateAddress(const QUrl& Address) {
  if (!Address.isValid() || Address.host().isEmpty()) {
    return false;
  }
  const QString Scheme = Address.scheme().toLower();
  if (Scheme == QLatin1String("https")) {
    return true;
  }
  // A literal loopback address only: a name could be made to point elsewhere.
  return Scheme == QLatin1String("http") && QHostAddress(Address.host()).isLoopback();
}

THttpGet::THttpGet(QNetworkAccessManager& Network, QUrl Address, THttpGetOptions Options,
                   QIODevice* Sink)
    : FNetwork(Network), FAddress(std::move(Address)), FOptions(Options), FSink(Sink) {}

THttpGet::~THttpGet() {
  if (FReply != nullptr) {
    FReply->disconnect(this);
    FReply->abort();
    FReply->deleteLater();
  }
}

void THttpGet::Start() {
  if (!IsSafeUpdateAddress(FAddress)) {
    Finish(false, QStringLiteral("Refused to download from %1: only HTTPS addresses are allowed.")
                      .arg(FAddress.toDisplayString()));
    return;
  }
  Send(FAddress);
}

void THttpGet::Send(const QUrl& Address) {
  // Redirects are followed here rather than by the network layer, so that every hop is
  // checked before anything is sent to it.
  QNetworkRequest Request(Address);
  Request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(kUpdateUserAgent));
  Request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::ManualRedirectPolicy);
  if (FOptions.ReadTimeoutMs > 0) {
    Request.setTransferTimeout(FOptions.ReadTimeoutMs);
  }
#if QT_CONFIG(ssl)
  // The server's certificate and name are always checked, whatever the defaults say.
  QSslConfiguration Tls = Request.sslConfiguration();
  Tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
  Request.setSslConfiguration(Tls);
#endif
  FReply = FNetwork.get(Request);
  connect(FReply, &QNetworkReply::metaDataChanged, this, &THttpGet::TakeHeaders);
  connect(FReply, &QNetworkReply::readyRead, this, &THttpGet::TakeData);
  connect(FReply, &QNetworkReply::finished, this, &THttpGet::ReplyFinished);
}

void THttpGet::Abort(const QString& Message) {
  if (FFinished) {
    return;
  }
  if (FReply != nullptr) {
    FReply->disconnect(this);
    FReply->abort();
  }
  Finish(false, Message);
}

void THttpGet::TakeHeaders() {
  const QVariant Length = FReply->header(QNetworkRequest::ContentLengthHeader);
  FContentLength = Length.isValid() ? Length.toLongLong() : -1;
  FChunked = FReply->rawHeader("Transfer-Encoding").toLower().contains("chunked");
}

qint64 THttpGet::ContentLength() const {
  return FContentLength;
}

bool THttpGet::IsChunked() const {
  return FChunked;
}

void THttpGet::TakeData() {
  const QByteArray Piece = FReply->readAll();
  const int Status = FReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (Piece.isEmpty() || Status < 200 || Status > 299) {
    return;  // an error page or a redirect's body; the reply's end reports the status
  }
  FReceived += Piece.size();
  if (FOptions.MaxBytes >= 0 && FReceived > FOptions.MaxBytes) {
    Abort(QStringLiteral("The server's answer is larger than %1 bytes.").arg(FOptions.MaxBytes));
    return;
  }
  if (FSink.isNull()) {
    FBody.append(Piece);
  } else if (FSink->write(Piece) != Piece.size()) {
    Abort(QStringLiteral("Cannot write the downloaded file: %1").arg(FSink->errorString()));
    return;
  }
  Q_EMIT Progress(FReceived);
}

bool THttpGet::FollowRedirect(int Status) {
  constexpr int kRedirects[] = {301, 302, 303, 307, 308};
  if (FOptions.MaxRedirects <= 0 ||
      std::find(std::begin(kRedirects), std::end(kRedirects), Status) == std::end(kRedirects)) {
    return false;
  }
  const QByteArray Location = FReply->rawHeader("Location");
  if (Location.isEmpty()) {
    return false;
  }
  const QUrl Target = FReply->url().resolved(QUrl::fromEncoded(Location));
  if (FRedirects >= FOptions.MaxRedirects) {
    Finish(false, QStringLiteral("More than %1 redirects.").arg(FOptions.MaxRedirects));
  } else if (!IsSafeUpdateAddress(Target)) {
    Finish(false, QStringLiteral("Refused to follow a redirect to %1: only HTTPS addresses are "
                                 "allowed.")
                      .arg(Target.toDisplayString()));
  } else {
    ++FRedirects;
    FReply->disconnect(this);
    FReply->deleteLater();
    Send(Target);
  }
  return true;
}

void THttpGet::ReplyFinished() {
  const QVariant StatusValue = FReply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  const int Status = StatusValue.toInt();
  if (FollowRedirect(Status)) {
    return;
  }
  if (StatusValue.isValid() && (Status < 200 || Status > 299)) {
    const QString Reason = QString::fromUtf8(
        FReply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
    Finish(false, QStringLiteral("HTTP %1 %2").arg(Status).arg(Reason).trimmed());
    return;
  }
  if (FReply->error() != QNetworkReply::NoError) {
    const QString Reason = FReply->errorString();
    Finish(false, Reason.isEmpty() ? QStringLiteral("The transfer failed.") : Reason);
    return;
  }
  TakeData();
  if (!FFinished) {
    Finish(true, {});
  }
}

void THttpGet::Finish(bool Success, const QString& Error) {
  FFinished = true;
  FSucceeded = Success;
  FError = Error;
  if (FReply != nullptr) {
    FReply->disconnect(this);
    FReply->deleteLater();
    FReply = nullptr;
  }
  Q_EMIT Finished();
}

}  // namespace dunstrel
