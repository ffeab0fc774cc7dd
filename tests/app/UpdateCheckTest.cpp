#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QNetworkAccessManager>

#include "LocalHttpServer.h"
#include "app/UpdateCheck.h"
#include "app/UpdateHttp.h"

namespace dunstrel::testing {
namespace {

using namespace std::chrono_literals;

const QByteArray kVersionPath = "/download/version/dunstrel-version.html";
const QByteArray kChangesPath = "/download/version/dunstrel-changes.html";

class UpdateCheckTest : public ::testing::Test {
 protected:
  std::optional<TUpdateOffer> Check(std::chrono::milliseconds Limit = kUpdateCheckLimit) {
    return CheckNewVersion(FNetwork, FServer.BaseUrl(), Limit);
  }

  TLocalHttpServer FServer;
  QNetworkAccessManager FNetwork;
};

TEST_F(UpdateCheckTest, ReadsBothDocumentsWithTheUpdateUserAgent) {
  struct TCase {
    QByteArray Version;
    bool Offered;
    bool Required;
    const char* Headline;
  } Cases[] = {
      {"25/20\r\n", false, false, ""},
      {"26/20\r\n", true, false, "The new version 2.6 is available"},
      {"26/26", true, true,
       "This version of the software is out of date. You must download the current version 2.6 "
       "to continue using the software."},
      {"100/20", true, false, "The new version 10.0 is available"},
      {"26", false, false, ""},
      {"99999999999/1", false, false, ""},
  };
  FServer.ServeText(kChangesPath, "Faster scans\r\n\r\n\r\nFewer clicks\n");
  for (const TCase& Case : Cases) {
    FServer.ServeText(kVersionPath, Case.Version);
    const std::optional<TUpdateOffer> Offer = Check();
    ASSERT_EQ(Offer.has_value(), Case.Offered) << Case.Version.constData();
    if (Offer) {
      EXPECT_EQ(Offer->UpdateRequired, Case.Required);
      EXPECT_EQ(
          Offer->UpdateMessage,
          std::string(Case.Headline) + "\r\n\r\nWhat's new:\r\nFaster scans\r\nFewer clicks\r\n");
    }
  }
  ASSERT_EQ(FServer.UserAgents.size(), 2 * std::size(Cases));
  for (const QByteArray& Agent : FServer.UserAgents) {
    EXPECT_EQ(Agent, "Mozilla/4.0 (compatible; MyApp)");
  }
}

TEST_F(UpdateCheckTest, FollowsRedirectsOnlyToSafeAddressesAndAtMostTen) {
  FServer.ServeText(kChangesPath, "Faster scans");
  FServer.ServeText("/moved/version", "26/20");
  FServer.Redirect(kVersionPath, "/moved/version");
  EXPECT_TRUE(Check()) << "a redirect on the same loopback server is followed";

  for (int Hop = 0; Hop < 11; ++Hop) {
    FServer.Redirect("/hop" + QByteArray::number(Hop), "/hop" + QByteArray::number(Hop + 1));
  }
  FServer.ServeText("/hop11", "26/20");
  FServer.Redirect(kVersionPath, "/hop2");  // ten redirects in all
  FServer.Requests.clear();
  EXPECT_TRUE(Check()) << FServer.Requests.join(", ").constData();
  FServer.Redirect(kVersionPath, "/hop1");  // eleven
  EXPECT_FALSE(Check());

  FServer.Requests.clear();
  FServer.Redirect(kVersionPath, "http://updates.example.invalid/version");
  EXPECT_FALSE(Check()) << "plain HTTP beyond the loopback address is refused";
  FServer.Redirect(kVersionPath, "ftp://127.0.0.1/version");
  EXPECT_FALSE(Check());
}

TEST_F(UpdateCheckTest, EveryFailureIsNoUpdate) {
  FServer.ServeText(kVersionPath, "26/20");
  FServer.Serve(kChangesPath, Answered(500, "Internal Server Error"));
  EXPECT_FALSE(Check()) << "an HTTP error reply";

  FServer.ServeText(kChangesPath, QByteArray(64 * 1024 + 1, 'x'));
  EXPECT_FALSE(Check()) << "a document over 64 KiB";
  FServer.Serve(kChangesPath, Sent(TServedReply::TKind::Chunked, QByteArray(200000, 'x')));
  EXPECT_FALSE(Check()) << "a long document of unannounced length";
  FServer.ServeText(kChangesPath, QByteArray(64 * 1024, 'x'));
  EXPECT_TRUE(Check()) << "64 KiB is still a document";

  FServer.Serve(kChangesPath, Sent(TServedReply::TKind::Dropping, "Faster scans"));
  EXPECT_FALSE(Check()) << "a dropped connection";
}

TEST_F(UpdateCheckTest, ASilentServerHoldsTheCheckOnlyUntilItsLimit) {
  FServer.ServeText(kVersionPath, "26/20");
  FServer.Serve(kChangesPath, Sent(TServedReply::TKind::Silent, {}));
  QElapsedTimer Clock;
  Clock.start();
  EXPECT_FALSE(Check(300ms));
  EXPECT_GE(Clock.elapsed(), 300);
  EXPECT_LT(Clock.elapsed(), 3000);
  EXPECT_EQ(kUpdateCheckLimit, 5000ms);
}

TEST_F(UpdateCheckTest, NeverAsksAnUnsafeOrEmptyAddress) {
  EXPECT_FALSE(CheckNewVersion(FNetwork, QString()));
  EXPECT_FALSE(CheckNewVersion(FNetwork, QStringLiteral("http://updates.example.invalid")));
  EXPECT_FALSE(CheckNewVersion(FNetwork, QStringLiteral("http://localhost:1")))
      << "only a literal loopback address may use plain HTTP";
  EXPECT_TRUE(FServer.Requests.isEmpty());

  struct TCase {
    const char* Address;
    bool Safe;
  } Cases[] = {
      {"https://updates.example.org/x", true},
      {"HTTPS://updates.example.org", true},
      {"http://127.0.0.1:8080/x", true},
      {"http://127.1.2.3/x", true},
      {"http://[::1]:8080/x", true},
      {"http://localhost/x", false},
      {"http://10.0.0.1/x", false},
      {"http://updates.example.org/x", false},
      {"file:///etc/passwd", false},
      {"https:///x", false},
      {"", false},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(IsSafeUpdateAddress(QUrl(QLatin1String(Case.Address))), Case.Safe) << Case.Address;
  }
}

}  // namespace
}  // namespace dunstrel::testing
