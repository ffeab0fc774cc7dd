#pragma once

#include "app/UpdateCheck.h"

class QNetworkAccessManager;

namespace dunstrel {

class IShellServices;
class IUserDialogs;

// The update step of start-up: asks the update server and, when there is an update, shows the
// update dialog. False when the program must end here.
bool RunUpdateCheck(const TUpdateSource& Source, QNetworkAccessManager& Network,
                    IShellServices& Shell, IUserDialogs& Dialogs);

}  // namespace dunstrel
