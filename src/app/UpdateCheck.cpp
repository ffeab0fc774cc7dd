#include "app/UpdateCheck.h"

#include <QEventLoop>
#include <QTimer>
#include <array>

#include "app/UpdateHttp.h"

namespace dunstrel {

namespace {

constexpr int kMaxRedirects = 10;
constexpr int kReadTimeoutMs = 10000;

}  // namespace

QUrl UpdateAddress(const QString& BaseUrl, const QString& Path) {
  QString Base = BaseUrl;
  while (Base.endsWith(QLatin1Char('/'))) {
    Base.chop(1);
  }
  return QUrl(Base + Path, QUrl::StrictMode);
}

std::optional<TUpdateOffer> CheckNewVersion(QNetworkAccessManager& Network, const QString& BaseUrl,
                                            std::chrono::milliseconds Limit) {
  if (BaseUrl.isEmpty()) {
    return std::nullopt;
  }
  const THttpGetOptions Options{kMaxRedirects, kReadTimeoutMs,
                                static_cast<qint64>(kMaxUpdateDocumentBytes)};
  THttpGet Version(Network, UpdateAddress(BaseUrl, QLatin1String(kVersionDocumentPath)), Options);
  THttpGet Changes(Network, UpdateAddress(BaseUrl, QLatin1String(kChangesDocumentPath)), Options);
  const std::array<THttpGet*, 2> Requests{&Version, &Changes};

  // Both documents are asked for at once; the loop ends when both are in or the time is up.
  QEventLoop Loop;
  QTimer Deadline;
  Deadline.setSingleShot(true);
  Deadline.setTimerType(Qt::PreciseTimer);
  QObject::connect(&Deadline, &QTimer::timeout, &Loop, &QEventLoop::quit);
  for (THttpGet* Request : Requests) {
    QObject::connect(Request, &THttpGet::Finished, &Loop, [&Loop, &Requests] {
      if (Requests[0]->IsFinished() && Requests[1]->IsFinished()) {
        Loop.quit();
      }
    });
  }
  for (THttpGet* Request : Requests) {
    Request->Start();
  }
  if (!Version.IsFinished() || !Changes.IsFinished()) {
    Deadline.start(Limit);
    Loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  if (!Version.Succeeded() || !Changes.Succeeded()) {
    return std::nullopt;
  }
  return EvaluateUpdate(
      std::string_view(Version.Body().constData(), static_cast<std::size_t>(Version.Body().size())),
      std::string_view(Changes.Body().constData(),
                       static_cast<std::size_t>(Changes.Body().size())));
}

}  // namespace dunstrel
