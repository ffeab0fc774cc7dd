#pragma once

#include <QString>
#include <QUrl>
#include <chrono>
#include <optional>

#include "update/uNewVersionCheck.h"

class QNetworkAccessManager;

namespace dunstrel {

// Where updates come from, as the build sets it.
struct TUpdateSource {
  // The update server's address without a trailing "/"; empty means never to ask.
  QString BaseUrl;
  // The installer's path on the server.
  QString InstallerPath;
};

// The check never holds start-up back longer than this, whatever the network does.
inline constexpr std::chrono::milliseconds kUpdateCheckLimit{5000};

// The address of Path on the update server at BaseUrl.
QUrl UpdateAddress(const QString& BaseUrl, const QString& Path);

// Asks the update server for the newest version and what is new, waiting on an event loop of
// its own for at most Limit. Nothing when there is no update, and on every failure.
std::optional<TUpdateOffer> CheckNewVersion(QNetworkAccessManager& Network, const QString& BaseUrl,
                                            std::chrono::milliseconds Limit = kUpdateCheckLimit);

}  // namespace dunstrel
