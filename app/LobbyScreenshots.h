#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace qx {

class TfrmMain;

// Pictures of the lobby's windows as a player meets them: the login window
// and the new user's dialog, then, against a lobby server of this machine's
// own with a few other Star Lords in it, the lobby screen, a user's
// information, the server's statistics and the game history.
class TLobbyScreenshots {
public:
    using TSave = std::function<void(QWidget& widget, const QString& name)>;
    // Without a lobby server to start, the lobby's screens are taken as they
    // look before a login, and the reason goes to standard error.
    static void Take(TfrmMain& window, const TSave& save);
};

} // namespace qx
