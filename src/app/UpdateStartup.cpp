#include "app/UpdateStartup.h"

#include "app/NewVersionForm.h"

namespace dunstrel {

bool RunUpdateCheck(const TUpdateSource& Source, QNetworkAccessManager& Network,
                    IShellServices& Shell, IUserDialogs& Dialogs) {
  const std::optional<TUpdateOffer> Offer = CheckNewVersion(Network, Source.BaseUrl);
  if (!Offer) {
    return true;
  }
  TfrmNewVersion Dialog(*Offer, UpdateAddress(Source.BaseUrl, Source.InstallerPath), Shell, Dialogs,
                        Network);
  Dialog.exec();
  return Dialog.Tag() != 0;
}

}  // namespace dunstrel
