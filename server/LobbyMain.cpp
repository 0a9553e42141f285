// quorvex-lobby: the lobby server for network games of Quorvex.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHostInfo>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "server/LobbyConfig.h"
#include "server/LobbyHttp.h"
#include "server/LobbyServer.h"
#include "server/LobbyStore.h"

using namespace qx::lobby;

namespace {

const char* const kHelp =
    "Usage: quorvex-lobby [--port N] [--http-port N] [--database FILE] [--advertise HOST] [--config FILE]\n"
    "The lobby server of Quorvex: players log in, chat, create and join games, and play them across\n"
    "machines through it. It logs to standard error and stops cleanly on SIGTERM.\n"
    "Options:\n"
    "  --port N          the port of the lobby's line protocol (default 4000; 0 picks a free one)\n"
    "  --http-port N     the port of /ip.adr and the status page (default 4080; 0 picks a free one)\n"
    "  --database FILE   the SQLite database of accounts, games, schedules and totals\n"
    "                    (default $XDG_DATA_HOME/quorvex/lobby.sqlite, ~/.local/share/... without it)\n"
    "  --advertise HOST  the host name /ip.adr gives to the game (default this machine's name)\n"
    "  --config FILE     \"key = value\" lines: the options above without dashes, and\n"
    "                      listen-address (default any), operators (users who may SHOUT, \",\"-separated),\n"
    "                      newest-version, newest-build (the QXVERSION notice), password-cost\n"
    "                      (interactive or minimum), max-line, max-data-line, login-deadline,\n"
    "                      silent-timeout, ping-interval, connections-per-address,\n"
    "                      failed-logins-per-address, failed-logins-per-account, failure-window,\n"
    "                      lines-per-second, line-burst, bytes-per-second, byte-burst, pending-logins\n"
    "                    command line options win over the file\n"
    "  --help            this text\n"
    "  --version         the version\n"
    "When ready it prints \"quorvex-lobby listening on port N, http port M\".\n";

int SignalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    (void)!::write(SignalPipe[1], &byte, 1);
}

[[noreturn]] void Usage(const std::string& message) {
    std::cerr << "quorvex-lobby: " << message << " (see quorvex-lobby --help)\n";
    std::exit(2);
}

std::string DefaultDatabase() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.local/share";
    else
        base = ".";
    return base + "/quorvex/lobby.sqlite";
}

} // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> command;
    std::string configPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kHelp;
            return 0;
        }
        if (arg == "--version") {
            std::cout << "quorvex-lobby " << QX_VERSION << "\n";
            return 0;
        }
        if (arg == "--port" || arg == "--http-port" || arg == "--database" || arg == "--advertise" ||
            arg == "--config") {
            if (i + 1 >= argc) Usage("option " + arg + " needs a value");
            const std::string value = argv[++i];
            if (arg == "--config")
                configPath = value;
            else
                command[arg.substr(2)] = value;
            continue;
        }
        Usage("unknown option '" + arg + "'");
    }

    TConfigFile config;
    if (!configPath.empty()) {
        std::ifstream in(configPath, std::ios::binary);
        if (!in) Usage("cannot read the configuration file " + configPath);
        std::stringstream text;
        text << in.rdbuf();
        try {
            config = TConfigFile::Parse(text.str());
        } catch (const std::exception& error) {
            Usage(configPath + ": " + error.what());
        }
    }
    for (const auto& [key, value] : command) config.Values[key] = value;

    TLobbyOptions options;
    quint16 httpPort = 4080;
    std::string database, advertise;
    QCoreApplication app(argc, argv);
    try {
        options.Port = static_cast<quint16>(config.Int("port", 4000, 0, 65535));
        httpPort = static_cast<quint16>(config.Int("http-port", 4080, 0, 65535));
        database = config.Text("database", DefaultDatabase());
        advertise = config.Text("advertise", QHostInfo::localHostName().toStdString());
        const std::string listen = config.Text("listen-address", "");
        if (!listen.empty() && !options.ListenAddress.setAddress(QString::fromStdString(listen)))
            throw std::runtime_error("listen-address is no address: " + listen);
        const std::string cost = config.Text("password-cost", "interactive");
        if (cost != "interactive" && cost != "minimum")
            throw std::runtime_error("password-cost is interactive or minimum, not " + cost);
        options.HashCost = cost == "minimum" ? TPasswordHasher::TCost::Minimum : TPasswordHasher::TCost::Interactive;
        std::stringstream operators(config.Text("operators", ""));
        for (std::string name; std::getline(operators, name, ',');) {
            while (!name.empty() && name.front() == ' ') name.erase(0, 1);
            while (!name.empty() && name.back() == ' ') name.pop_back();
            if (!name.empty()) options.Operators.insert(NameKey(name));
        }
        options.NewestVersion = static_cast<int>(config.Int("newest-version", 4, 0, 1000000));
        options.NewestBuild = static_cast<int>(config.Int("newest-build", 17, 0, 1000000));
        TLobbyLimits& l = options.Limits;
        l.MaxLine = static_cast<size_t>(config.Int("max-line", static_cast<long long>(l.MaxLine), 256, 1 << 20));
        l.MaxDataLine =
            static_cast<size_t>(config.Int("max-data-line", static_cast<long long>(l.MaxDataLine), 1024, 1 << 30));
        l.LoginDeadlineSeconds = static_cast<int>(config.Int("login-deadline", l.LoginDeadlineSeconds, 1, 3600));
        l.SilentSeconds = static_cast<int>(config.Int("silent-timeout", l.SilentSeconds, 2, 86400));
        l.PingSeconds = static_cast<int>(config.Int("ping-interval", l.PingSeconds, 1, 3600));
        l.ConnectionsPerAddress =
            static_cast<int>(config.Int("connections-per-address", l.ConnectionsPerAddress, 1, 100000));
        l.FailedLoginsPerAddress =
            static_cast<int>(config.Int("failed-logins-per-address", l.FailedLoginsPerAddress, 1, 100000));
        l.FailedLoginsPerAccount =
            static_cast<int>(config.Int("failed-logins-per-account", l.FailedLoginsPerAccount, 1, 100000));
        l.FailureWindowSeconds = static_cast<int>(config.Int("failure-window", l.FailureWindowSeconds, 1, 86400));
        l.LinesPerSecond = config.Real("lines-per-second", l.LinesPerSecond, 0.1, 1e9);
        l.LineBurst = config.Real("line-burst", l.LineBurst, 1, 1e9);
        l.BytesPerSecond = config.Real("bytes-per-second", l.BytesPerSecond, 64, 1e12);
        l.ByteBurst = config.Real("byte-burst", l.ByteBurst, static_cast<double>(l.MaxDataLine), 1e12);
        l.PendingLogins = static_cast<int>(config.Int("pending-logins", l.PendingLogins, 1, 100000));
    } catch (const std::exception& error) {
        Usage(error.what());
    }

    const QFileInfo file(QString::fromStdString(database));
    if (!QDir().mkpath(file.absolutePath())) {
        std::cerr << "quorvex-lobby: cannot make the folder " << file.absolutePath().toStdString() << "\n";
        return 1;
    }
    std::unique_ptr<TLobbyStore> store;
    try {
        store = std::make_unique<TLobbyStore>(file.absoluteFilePath());
    } catch (const std::exception& error) {
        std::cerr << "quorvex-lobby: " << error.what() << "\n";
        return 1;
    }

    TLobbyServer lobby(options, *store);
    std::string why;
    if (!lobby.Listen(&why)) {
        std::cerr << "quorvex-lobby: cannot listen on port " << options.Port << ": " << why << "\n";
        return 1;
    }
    TLobbyHttp http(lobby, advertise);
    const quint16 actualHttp = http.Listen(options.ListenAddress, httpPort);
    if (actualHttp == 0) {
        std::cerr << "quorvex-lobby: cannot listen on http port " << httpPort << "\n";
        return 1;
    }

    // SIGTERM and SIGINT end the event loop from inside it.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, SignalPipe) != 0) {
        std::cerr << "quorvex-lobby: cannot set up the signal handler\n";
        return 1;
    }
    QSocketNotifier notifier(SignalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char byte;
        (void)!::read(SignalPipe[0], &byte, 1);
        lobby.Log("stopping");
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    lobby.Log("database " + file.absoluteFilePath().toStdString() + ", " + std::to_string(store->UserCount()) +
              " users");
    std::cout << "quorvex-lobby listening on port " << lobby.Port() << ", http port " << actualHttp << std::endl;
    const int status = app.exec();
    lobby.Shutdown();
    lobby.Log("stopped");
    return status;
}
