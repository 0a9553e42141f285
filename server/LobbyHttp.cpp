#include "server/LobbyHttp.h"

#include <QHttpServer>
#include <QHttpServerResponse>

#include "net/StringEncryptor.h"
#include "server/LobbyServer.h"

namespace qx::lobby {

namespace {

std::string Html(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

QByteArray Bytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

TLobbyHttp::TLobbyHttp(TLobbyServer& lobby, std::string advertise, QObject* parent)
    : QObject(parent), Lobby_(lobby), Advertise_(std::move(advertise)), Http_(new QHttpServer(this)) {
    Http_->route("/ip.adr", [this] {
        return QHttpServerResponse("application/octet-stream", Bytes(AddressDocument(Advertise_)));
    });
    Http_->route("/", [this] { return QHttpServerResponse("text/html; charset=utf-8", Bytes(StatusPage())); });
}

TLobbyHttp::~TLobbyHttp() = default;

quint16 TLobbyHttp::Listen(const QHostAddress& address, quint16 port) { return Http_->listen(address, port); }

std::string TLobbyHttp::AddressDocument(const std::string& host) {
    std::string body = host;
    TStringEncryptor(kGameKey).Encrypt(body);
    return body;
}

std::string TLobbyHttp::StatusPage() const {
    const TKyrelServerStats stats = Lobby_.Stats();
    std::string page =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Quorvex lobby</title></head><body>\n"
        "<h1>Quorvex lobby</h1>\n<table>\n";
    auto row = [&page](const std::string& name, const std::string& value) {
        page += "<tr><th align=\"left\">" + Html(name) + "</th><td>" + Html(value) + "</td></tr>\n";
    };
    row("Time Active:", stats.TimeActiveText());
    row("Clients Connected:", std::to_string(stats.CurrentConnections));
    row("Client-Created Subjects:", std::to_string(stats.CurrentSubjects));
    row("Total Connections:", std::to_string(stats.TotalConnections));
    row("Peak Connections:", std::to_string(stats.PeakConnections));
    row("Subjects Created:", std::to_string(stats.TotalSubjects));
    page += "</table>\n<h2>Subjects</h2>\n<ul>\n";
    for (const auto& [name, users] : Lobby_.SubjectList()) {
        // A game's name shows only the part between "~" and the first ";".
        std::string shown = name;
        if (!shown.empty() && shown.front() == '~') shown = shown.substr(1, shown.find(';') - 1);
        page += "<li>" + Html(shown) + " (" + std::to_string(users.size()) + ")";
        if (!users.empty()) {
            page += ": ";
            for (size_t i = 0; i < users.size(); ++i) page += (i ? ", " : "") + Html(users[i]);
        }
        page += "</li>\n";
    }
    page += "</ul>\n<p>Connect with the game to port " + std::to_string(Lobby_.Port()) + ".</p>\n</body></html>\n";
    return page;
}

} // namespace qx::lobby
