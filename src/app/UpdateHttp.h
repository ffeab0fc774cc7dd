#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QIODevice;
class QNetworkAccessManager;
class QNetworkReply;

namespace dunstrel {

// Whether the update may be fetched from Address: HTTPS only, except plain HTTP to a loopback
// address, which nobody on the network can interpose on.
bool IsSafeUpdateAddress(const QUrl& Address);

struct THttpGetOptions {
  // Redirects followed, each only to a safe address; with 0 a redirect reply is an error.
  int MaxRedirects = 0;
  // Longest wait for the next data; 0 waits as long as the connection lives.
  int ReadTimeoutMs = 0;
  // Largest answer accepted; a longer one is an error. Negative: no limit.
  qint64 MaxBytes = -1;
};

// One GET request with the update's User-Agent, on the event loop of the calling thread, so the
// interface stays responsive. The answer goes into memory, or into Sink when one is given. Every
// HTTP error reply, and every status other than 2xx, is an error. Finished is emitted exactly
// once; the object must not be deleted from a slot connected to one of its own signals.
class THttpGet final : public QObject {
  Q_OBJECT

 public:
  THttpGet(QNetworkAccessManager& Network, QUrl Address, THttpGetOptions Options,
           QIODevice* Sink = nullptr);
  ~THttpGet() override;

  // Sends the request; an unsafe address finishes at once with an error.
  void Start();
  // Ends a running transfer with Message as its error.
  void Abort(const QString& Message);

  bool IsFinished() const { return FFinished; }
  bool Succeeded() const { return FSucceeded; }
  // Why the transfer failed.
  const QString& Error() const { return FError; }
  // The answer when no Sink was given.
  const QByteArray& Body() const { return FBody; }
  qint64 BytesReceived() const { return FReceived; }
  // The announced length of the answer, -1 when none was sent.
  qint64 ContentLength() const;
  // True when the answer comes in chunks of unannounced total length.
  bool IsChunked() const;

 Q_SIGNALS:
  // After every piece of the answer that arrived; the total received so far.
  void Progress(qint64 BytesSoFar);
  void Finished();

 private:
  void TakeHeaders();
  void TakeData();
  void Send(const QUrl& Address);
  // Sends the request again to the redirect's target, or ends with an error; false when the
  // reply is no redirect to follow.
  bool FollowRedirect(int Status);
  void ReplyFinished();
  void Finish(bool Success, const QString& Error);

  QNetworkAccessManager& FNetwork;
  QUrl FAddress;
  THttpGetOptions FOptions;
  QPointer<QIODevice> FSink;
  QNetworkReply* FReply = nullptr;  // owned; deleted once finished
  QByteArray FBody;
  qint64 FReceived = 0;
  int FRedirects = 0;
  qint64 FContentLength = -1;
  bool FChunked = false;
  bool FFinished = false;
  bool FSucceeded = false;
  QString FError;
};

}  // namespace dunstrel
