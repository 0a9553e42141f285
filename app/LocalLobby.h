#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace qx {

// A lobby server of this machine's own, for pictures of the lobby and for
// tests: the quorvex-lobby program on free ports of 127.0.0.1, its database
// in a temporary folder and cheap password hashing; its /ip.adr names it
// with its port. It stops (SIGTERM) when this object goes, and with the
// program that started it.
class TLocalLobby {
public:
    // `program` empty: Locate() finds it.
    explicit TLocalLobby(QString program = {});
    ~TLocalLobby();
    TLocalLobby(const TLocalLobby&) = delete;
    TLocalLobby& operator=(const TLocalLobby&) = delete;

    // quorvex-lobby beside this program, in the build tree's server folder
    // beside its app folder, or on the PATH; empty when it is nowhere.
    static QString Locate();

    // Lines added to the server's configuration file ("operators = Ann").
    QStringList Config;

    // Starts the server and waits until it listens; false with the reason.
    bool Start(QString* why = nullptr, int timeoutMs = 10000);
    // Stops it as an operator would (SIGTERM), waiting for the end.
    void Stop();
    // Ends it at once, as a crash or a pulled cable would.
    void Kill();
    bool Running() const { return process_.state() != QProcess::NotRunning; }

    quint16 Port() const { return port_; }
    quint16 HttpPort() const { return httpPort_; }
    // The web host whose /ip.adr names this server ("http://127.0.0.1:N").
    QString WebHost() const;
    // What the server wrote to its log so far.
    QString Log();

private:
    QString program_;
    QTemporaryDir folder_;
    QProcess process_;
    QString log_;
    quint16 port_ = 0;
    quint16 httpPort_ = 0;
};

} // namespace qx
