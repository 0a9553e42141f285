#include "net/qt/QtKyrelTransport.h"

#include <QHostAddress>

namespace qx {

TQtKyrelTransport::TQtKyrelTransport(QObject* parent) : QObject(parent) {}

TQtKyrelTransport::~TQtKyrelTransport() {
    if (Socket_) {
        Socket_->disconnect(this);
        Socket_->abort();
        delete Socket_;
    }
}

void TQtKyrelTransport::Open(const std::string& host, bool numeric, int port) {
    Close();
    Socket_ = new QTcpSocket(this);
    WasConnected_ = false;
    Reported_ = false;
    Socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(Socket_, &QTcpSocket::connected, this, &TQtKyrelTransport::Connected);
    connect(Socket_, &QTcpSocket::disconnected, this, &TQtKyrelTransport::Disconnected);
    connect(Socket_, &QTcpSocket::readyRead, this, &TQtKyrelTransport::ReadyRead);
    connect(Socket_, &QTcpSocket::errorOccurred, this, &TQtKyrelTransport::Failed);
    const QString name = QString::fromStdString(host);
    if (numeric)
        Socket_->connectToHost(QHostAddress(name), static_cast<quint16>(port));
    else
        Socket_->connectToHost(name, static_cast<quint16>(port));
}

void TQtKyrelTransport::Close() {
    if (!Socket_) return;
    // A close of our own reports nothing; what is still buffered is sent
    // before the socket goes.
    QTcpSocket* socket = Socket_;
    Socket_ = nullptr;
    socket->disconnect(this);
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        socket->deleteLater();
        return;
    }
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::errorOccurred, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
}

void TQtKyrelTransport::Write(std::string_view bytes) {
    if (Socket_ && Socket_->state() == QAbstractSocket::ConnectedState)
        Socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

qint64 TQtKyrelTransport::Unsent() const { return Socket_ ? Socket_->bytesToWrite() : 0; }

bool TQtKyrelTransport::Flush(int ms) {
    if (!Socket_) return true;
    while (Socket_ && Socket_->bytesToWrite() > 0)
        if (!Socket_->waitForBytesWritten(ms)) return false;
    return true;
}

void TQtKyrelTransport::Connected() {
    WasConnected_ = true;
    if (Events_.Connected) Events_.Connected();
}

void TQtKyrelTransport::Disconnected() {
    if (Reported_) return;
    Reported_ = true;
    if (Events_.Disconnected) Events_.Disconnected();
}

void TQtKyrelTransport::ReadyRead() {
    if (!Socket_) return;
    const QByteArray bytes = Socket_->readAll();
    if (Events_.Received) Events_.Received(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

void TQtKyrelTransport::Failed(QAbstractSocket::SocketError error) {
    if (!Socket_) return;
    // The peer closing is no error worth a message; the disconnection says it.
    if (error != QAbstractSocket::RemoteHostClosedError && Events_.Error)
        Events_.Error(static_cast<int>(error), Socket_->errorString().toStdString());
    // A connection that never came up reports no disconnection of its own.
    if (!WasConnected_ || (Socket_ && Socket_->state() == QAbstractSocket::UnconnectedState)) Disconnected();
}

} // namespace qx
