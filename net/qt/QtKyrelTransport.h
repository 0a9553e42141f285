#pragma once

#include <QObject>
#include <QPointer>
#include <QTcpSocket>

#include "net/KyrelTransport.h"

namespace qx {

// The lobby connection's socket: a QTcpSocket whose notifications arrive on
// the thread that owns it. Writes go into the socket's own buffer, which
// drains as the peer takes the bytes; nothing waits and no events are pumped.
class TQtKyrelTransport : public QObject, public IKyrelTransport {
public:
    explicit TQtKyrelTransport(QObject* parent = nullptr);
    ~TQtKyrelTransport() override;

    void SetEvents(TEvents events) override { Events_ = std::move(events); }
    void Open(const std::string& host, bool numeric, int port) override;
    void Close() override;
    void Write(std::string_view bytes) override;

    // Bytes given to Write and not yet handed to the system.
    qint64 Unsent() const;
    // Waits up to Ms for the unsent bytes to leave (for programs about to exit).
    bool Flush(int ms);

private:
    void Connected();
    void Disconnected();
    void ReadyRead();
    void Failed(QAbstractSocket::SocketError error);

    TEvents Events_;
    QPointer<QTcpSocket> Socket_;
    bool WasConnected_ = false;
    bool Reported_ = false;
};

} // namespace qx
