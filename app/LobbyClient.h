#pragma once

#include <optional>

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include "net/KyrelConnection.h"
#include "net/StringEncryptor.h"
#include "net/qt/QtKyrelTransport.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace qx {

// Where and how to log in, as the login window leaves it.
struct TLoginRequest {
    QString UserName;
    QString Password;
    // The text form of a new user's record; empty to log in an existing user.
    QString NewUserRecord;
    // False: our lobby, whose host the web host's /ip.adr names.
    bool AnotherServer = false;
    QString Host;
    int Port = 4000;
};

// The game's connection to a lobby server: the lobby client `kyrel` over a
// Qt socket, scrambled with the game's key, and the way in: the server's
// address (typed, or fetched from /ip.adr with QNetworkAccessManager), the
// connection, and the login of an existing or a new user. Every way the
// attempt or the session can end (a refused login, a connection that cannot
// be made or is lost, no answer in time) is reported once through Ended,
// after the client has closed the connection; the window then shows the
// title screen.
class TLobbyClient : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultPort = 4000;
    // The web host when the settings name none: a lobby on this machine
    // (quorvex-lobby serves /ip.adr on its HTTP port, 4080 by default).
    static constexpr const char* DefaultWebHost = "http://localhost:4080";
    // The settings value that names the web host.
    static constexpr const char* WebHostSetting = "WebHost";

    explicit TLobbyClient(QObject* parent = nullptr);
    ~TLobbyClient() override;

    TKyrelConnection& Kyrel() { return kyrel_; }
    const TStringEncryptor& Encryptor() const { return encryptor_; }

    // The web server whose /ip.adr document names our lobby.
    QString WebHost = DefaultWebHost;
    // The longest wait for the address, for the connection and for the
    // answer to the login, each.
    int TimeoutMs = 15000;

    // Adds the client's handlers to the connection's events, behind any set
    // before (the network game's, which stops a running game first).
    void Install();

    // Starts the way in; the outcome is LoginSucceeded or Ended.
    void LogIn(const TLoginRequest& request);
    // The player leaves the lobby: the connection closes and nothing is reported.
    void LogOut();
    bool Busy() const { return busy_; }
    bool LoggedIn() const { return kyrel_.LoggedIn(); }
    // "host:port" of the server connected to (or being connected to).
    QString ServerName() const;

    // Where a lobby server listens.
    struct TAddress {
        QString Host;
        int Port = DefaultPort;
    };
    // The lobby named by an /ip.adr body, scrambled with the game's key: a
    // host name or address, on port 4000 unless ":port" follows it (a
    // numeric IPv6 address takes brackets then). None when the body does not
    // unscramble into such an address.
    static std::optional<TAddress> AddressFromDocument(const QByteArray& body);
    // The address document's location under a web host ("http://host:port").
    static QString AddressDocumentUrl(const QString& webHost);

signals:
    // What the way in is doing ("Connecting to ...").
    void Progress(const QString& text);
    void LoginSucceeded();
    // The attempt failed or the session is over, with the message to show.
    void Ended(const QString& message);

private:
    void AddressFetched(QNetworkReply* reply);
    void Open(const QString& host, int port);
    void Connected();
    void Disconnected();
    // Closes the connection and reports `message` once.
    void End(const QString& message);

    TQtKyrelTransport transport_;
    TKyrelConnection kyrel_{transport_};
    TStringEncryptor encryptor_{kGameKey};
    QNetworkAccessManager* web_ = nullptr;
    QPointer<QNetworkReply> reply_;
    QTimer deadline_;
    TLoginRequest request_;
    bool busy_ = false;
    bool ended_ = true;
    bool sessionStarted_ = false;
};

} // namespace qx
