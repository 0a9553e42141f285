#include "app/LobbyClient.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include "net/ServerAddress.h"

namespace qx {

namespace {

// Runs `body` once the event that is being handled is over: the connection
// never sees a dialog open in the middle of one of its lines.
template <typename Body>
void Later(QObject* context, Body body) {
    QMetaObject::invokeMethod(context, std::move(body), Qt::QueuedConnection);
}

} // namespace

TLobbyClient::TLobbyClient(QObject* parent) : QObject(parent), transport_(this) {
    kyrel_.UseEncryptor(&encryptor_);
    kyrel_.SetSubjectCode("Quorvex");
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        if (busy_) End("KyrelServer connection failed: KyrelServer did not answer in time");
    });
}

TLobbyClient::~TLobbyClient() {
    ended_ = true;
    if (reply_) reply_->abort();
    kyrel_.SetActive(false);
}

void TLobbyClient::Install() {
    kyrel_.OnConnected = [this, previous = kyrel_.OnConnected](TObject* sender) {
        if (previous) previous(sender);
        Connected();
    };
    kyrel_.OnDisconnected = [this, previous = kyrel_.OnDisconnected](TObject* sender) {
        if (previous) previous(sender);
        Disconnected();
    };
    kyrel_.OnLoginSuccess = [this, previous = kyrel_.OnLoginSuccess](TObject* sender, TKyrelUser* user) {
        if (previous) previous(sender, user);
        if (ended_) return;
        busy_ = false;
        sessionStarted_ = true;
        deadline_.stop();
        emit LoginSucceeded();
    };
    kyrel_.OnLoginFailed = [this, previous = kyrel_.OnLoginFailed](TObject* sender, const std::string& text) {
        if (previous) previous(sender, text);
        End("Login Failure: " + QString::fromStdString(text));
    };
    kyrel_.OnSocketError = [this, previous = kyrel_.OnSocketError](TObject* sender, const std::string& text) {
        if (previous) previous(sender, text);
        End("KyrelServer connection failed: " + QString::fromStdString(text));
    };
}

QString TLobbyClient::AddressDocumentUrl(const QString& webHost) {
    QString base = webHost.trimmed();
    while (base.endsWith('/')) base.chop(1);
    if (!base.contains("://")) base = "http://" + base;
    return base + "/ip.adr";
}

std::optional<TLobbyClient::TAddress> TLobbyClient::AddressFromDocument(const QByteArray& body) {
    std::string text(body.constData(), static_cast<size_t>(body.size()));
    TStringEncryptor(kGameKey).Decrypt(text);
    const std::optional<TServerAddress> address = TServerAddress::Parse(text, DefaultPort);
    if (!address) return std::nullopt;
    return TAddress{QString::fromStdString(address->Host), address->Port};
}

QString TLobbyClient::ServerName() const {
    return QString::fromStdString(kyrel_.Host()) + ":" + QString::number(kyrel_.Port());
}

void TLobbyClient::LogIn(const TLoginRequest& request) {
    if (busy_ || kyrel_.Active()) return;
    request_ = request;
    busy_ = true;
    ended_ = false;
    sessionStarted_ = false;
    if (request.AnotherServer) {
        Open(request.Host.trimmed(), request.Port);
        return;
    }
    if (!web_) web_ = new QNetworkAccessManager(this);
    const QUrl url(AddressDocumentUrl(WebHost));
    emit Progress("Asking " + url.toString() + " for the address of KyrelServer ...");
    QNetworkRequest get(url);
    get.setTransferTimeout(TimeoutMs);
    reply_ = web_->get(get);
    connect(reply_, &QNetworkReply::finished, this, [this, reply = reply_.data()] { AddressFetched(reply); });
}

void TLobbyClient::AddressFetched(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply != reply_ || ended_) return;
    reply_ = nullptr;
    const QString url = reply->url().toString();
    if (reply->error() != QNetworkReply::NoError) {
        End("KyrelServer connection failed: the address of KyrelServer could not be fetched from " + url + ": " +
            reply->errorString());
        return;
    }
    const std::optional<TAddress> address = AddressFromDocument(reply->readAll());
    if (!address) {
        End("KyrelServer connection failed: " + url + " does not name a KyrelServer");
        return;
    }
    Open(address->Host, address->Port);
}

void TLobbyClient::Open(const QString& host, int port) {
    emit Progress(QString("Connecting to KyrelServer at %1:%2 ...").arg(host).arg(port));
    kyrel_.SetHost(host.toStdString());
    kyrel_.SetPort(port);
    deadline_.start(TimeoutMs);
    kyrel_.SetActive(true);
}

void TLobbyClient::Connected() {
    if (ended_) return;
    emit Progress("Logging in as " + request_.UserName + " ...");
    deadline_.start(TimeoutMs);
    if (request_.NewUserRecord.isEmpty())
        kyrel_.Login(request_.UserName.toStdString(), request_.Password.toStdString());
    else
        kyrel_.LoginNew(request_.UserName.toStdString(), request_.NewUserRecord.toStdString());
}

void TLobbyClient::Disconnected() {
    if (ended_) return;
    End(sessionStarted_ ? QString("You have been disconnected from KyrelServer")
                        : QString("KyrelServer connection failed: KyrelServer closed the connection"));
}

void TLobbyClient::LogOut() {
    ended_ = true;
    busy_ = false;
    sessionStarted_ = false;
    deadline_.stop();
    if (reply_) reply_->abort();
    kyrel_.SetActive(false);
}

void TLobbyClient::End(const QString& message) {
    if (ended_) return;
    ended_ = true;
    busy_ = false;
    sessionStarted_ = false;
    deadline_.stop();
    if (reply_) {
        QNetworkReply* reply = reply_;
        reply_ = nullptr;
        reply->abort();
    }
    // Closing from this side reports no disconnection of its own.
    kyrel_.SetActive(false);
    Later(this, [this, message] { emit Ended(message); });
}

} // namespace qx
