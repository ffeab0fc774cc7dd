#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace dunstrel::testing {

// How the test server answers one path.
struct TServedReply {
  enum class TKind {
    Sized,     // Content-Length and the whole body
    Chunked,   // Transfer-Encoding: chunked, in pieces of 1000 bytes
    Unsized,   // neither; the end of the connection ends the body
    Silent,    // reads the request and never answers
    Stalling,  // Content-Length, half of the body, then nothing more
    Dropping,  // Content-Length, half of the body, then the connection is closed
  };
  TKind Kind = TKind::Sized;
  int Status = 200;
  QByteArray Reason = "OK";
  QByteArray Body;
  QList<QPair<QByteArray, QByteArray>> Headers;
};

inline TServedReply Sent(TServedReply::TKind Kind, QByteArray Body) {
  TServedReply Reply;
  Reply.Kind = Kind;
  Reply.Body = std::move(Body);
  return Reply;
}

// A status other than 200 with a short body, and the headers given.
inline TServedReply Answered(int Status, QByteArray Reason,
                             QList<QPair<QByteArray, QByteArray>> Headers = {}) {
  TServedReply Reply;
  Reply.Status = Status;
  Reply.Reason = std::move(Reason);
  Reply.Body = "none";
  Reply.Headers = std::move(Headers);
  return Reply;
}

// A small HTTP/1.1 server on the loopback address, running on the test's own event loop.
class TLocalHttpServer final : public QObject {
 public:
  TLocalHttpServer() {
    connect(&FServer, &QTcpServer::newConnection, this, &TLocalHttpServer::Accept);
    FServer.listen(QHostAddress::LocalHost);
  }

  QString BaseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(FServer.serverPort());
  }
  void Serve(const QByteArray& Path, TServedReply Reply) { FReplies[Path] = std::move(Reply); }
  void ServeText(const QByteArray& Path, const QByteArray& Body) {
    Serve(Path, Sent(TServedReply::TKind::Sized, Body));
  }
  void Redirect(const QByteArray& Path, const QByteArray& Location) {
    Serve(Path, Answered(302, "Found", {{"Location", Location}}));
  }

  // The request lines and User-Agent headers received, in order.
  QList<QByteArray> Requests;
  QList<QByteArray> UserAgents;

 private:
  void Accept() {
    while (QTcpSocket* Socket = FServer.nextPendingConnection()) {
      connect(Socket, &QTcpSocket::disconnected, Socket, &QObject::deleteLater);
      connect(Socket, &QTcpSocket::readyRead, this, [this, Socket] { Read(Socket); });
    }
  }

  void Read(QTcpSocket* Socket) {
    QByteArray& Pending = FPending[Socket];
    Pending += Socket->readAll();
    const qsizetype End = Pending.indexOf("\r\n\r\n");
    if (End < 0) {
      return;
    }
    const QList<QByteArray> Lines = Pending.left(End).split('\n');
    FPending.remove(Socket);
    Requests.append(Lines.value(0).trimmed());
    for (const QByteArray& Line : Lines) {
      if (Line.toLower().startsWith("user-agent:")) {
        UserAgents.append(Line.mid(11).trimmed());
      }
    }
    const QByteArray Path = Lines.value(0).split(' ').value(1);
    Answer(Socket, FReplies.value(Path, Answered(404, "Not Found")));
  }

  static void Answer(QTcpSocket* Socket, const TServedReply& Reply) {
    using TKind = TServedReply::TKind;
    if (Reply.Kind == TKind::Silent) {
      return;
    }
    QByteArray Head = "HTTP/1.1 " + QByteArray::number(Reply.Status) + " " + Reply.Reason + "\r\n";
    for (const auto& [Name, Value] : Reply.Headers) {
      Head += Name + ": " + Value + "\r\n";
    }
    if (Reply.Kind == TKind::Chunked) {
      Head += "Transfer-Encoding: chunked\r\n";
    } else if (Reply.Kind != TKind::Unsized) {
      Head += "Content-Length: " + QByteArray::number(Reply.Body.size()) + "\r\n";
    }
    Head += "Connection: close\r\n\r\n";
    Socket->write(Head);
    switch (Reply.Kind) {
      case TKind::Chunked:
        for (qsizetype At = 0; At < Reply.Body.size(); At += 1000) {
          const QByteArray Piece = Reply.Body.mid(At, 1000);
          Socket->write(QByteArray::number(Piece.size(), 16) + "\r\n" + Piece + "\r\n");
        }
        Socket->write("0\r\n\r\n");
        Socket->disconnectFromHost();
        break;
      case TKind::Stalling:
        Socket->write(Reply.Body.left(Reply.Body.size() / 2));
        break;
      case TKind::Dropping:
        Socket->write(Reply.Body.left(Reply.Body.size() / 2));
        Socket->flush();
        Socket->abort();
        break;
      default:
        Socket->write(Reply.Body);
        Socket->disconnectFromHost();
        break;
    }
  }

  QTcpServer FServer;
  QMap<QByteArray, TServedReply> FReplies;
  QMap<QTcpSocket*, QByteArray> FPending;
};

}  // namespace dunstrel::testing
