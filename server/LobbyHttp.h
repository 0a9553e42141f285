#pragma once

#include <string>

#include <QHostAddress>
#include <QObject>

class QHttpServer;

namespace qx::lobby {

class TLobbyServer;

// The lobby's read-only documents beside its line protocol: /ip.adr (the
// host name the game connects to, scrambled with the game's key) and a small
// status page at /.
class TLobbyHttp : public QObject {
public:
    TLobbyHttp(TLobbyServer& lobby, std::string advertise, QObject* parent = nullptr);
    ~TLobbyHttp() override;

    // 0 when the port cannot be had.
    quint16 Listen(const QHostAddress& address, quint16 port);

    // The body of /ip.adr.
    static std::string AddressDocument(const std::string& host);
    std::string StatusPage() const;

private:
    TLobbyServer& Lobby_;
    std::string Advertise_;
    QHttpServer* Http_;
};

} // namespace qx::lobby
