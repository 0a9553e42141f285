#include "app/LocalLobby.h"

#include <sys/prctl.h>

#include <algorithm>
#include <csignal>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTcpServer>

namespace qx {

TLocalLobby::TLocalLobby(QString program) : program_(std::move(program)) {
    if (program_.isEmpty()) program_ = Locate();
}

TLocalLobby::~TLocalLobby() { Stop(); }

QString TLocalLobby::Locate() {
    const QString here = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {here + "/quorvex-lobby", here + "/../server/quorvex-lobby"})
        if (QFileInfo(candidate).isExecutable()) return QFileInfo(candidate).canonicalFilePath();
    return QStandardPaths::findExecutable("quorvex-lobby");
}

QString TLocalLobby::WebHost() const { return QString("http://127.0.0.1:%1").arg(httpPort_); }

bool TLocalLobby::Start(QString* why, int timeoutMs) {
    const auto fail = [why](const QString& text) {
        if (why) *why = text;
        return false;
    };
    if (program_.isEmpty()) return fail("quorvex-lobby was not found beside the game or on the PATH");
    if (!folder_.isValid()) return fail("no temporary folder for the lobby's database");
    QFile config(folder_.filePath("lobby.conf"));
    if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail("cannot write " + config.fileName());
    config.write("listen-address = 127.0.0.1\npassword-cost = minimum\n");
    for (const QString& line : Config) config.write((line + "\n").toUtf8());
    config.close();

    // The server ends with whoever started it, even one that crashed.
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    // The port is chosen here so /ip.adr can name it; another program may
    // take it in between, so a server that cannot have it is tried again.
    QString said;
    for (int attempt = 0; attempt < 3; ++attempt) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0)) return fail("no free port on 127.0.0.1");
        const quint16 port = probe.serverPort();
        probe.close();
        const QString address = QString("127.0.0.1:%1").arg(port);
        process_.start(program_, {"--port", QString::number(port), "--http-port", "0", "--database",
                                  folder_.filePath("lobby.sqlite"), "--advertise", address, "--config",
                                  config.fileName()});
        if (!process_.waitForStarted(timeoutMs))
            return fail("quorvex-lobby did not start: " + process_.errorString());
        // "quorvex-lobby listening on port N, http port M"
        const QDeadlineTimer deadline(timeoutMs);
        while (!process_.canReadLine() && process_.state() != QProcess::NotRunning && !deadline.hasExpired())
            process_.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
        if (!process_.canReadLine()) {
            said = Log();
            process_.waitForFinished(1000);
            if (process_.state() != QProcess::NotRunning) return fail("quorvex-lobby did not get ready: " + said);
            continue;  // the port was gone: another one
        }
        const QStringList words = QString::fromUtf8(process_.readLine()).trimmed().split(' ');
        if (words.size() != 8 || words[1] != "listening") return fail("quorvex-lobby said: " + words.join(' '));
        port_ = static_cast<quint16>(words[4].chopped(1).toUInt());
        httpPort_ = static_cast<quint16>(words[7].toUInt());
        if (port_ == 0 || httpPort_ == 0) return fail("quorvex-lobby named no ports: " + words.join(' '));
        return true;
    }
    return fail("quorvex-lobby could not listen: " + said);
}

void TLocalLobby::Stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

void TLocalLobby::Kill() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(2000);
}

QString TLocalLobby::Log() {
    log_ += QString::fromUtf8(process_.readAllStandardError());
    return log_;
}

} // namespace qx
