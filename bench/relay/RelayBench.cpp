// Relay benchmark: N clients in one subject (quorvex-lobby) or one channel
// (ngircd, PRIVMSG), every client sending its chat lines as fast as it can.
// Measures deliveries per second (lines received by the other N - 1 clients,
// from the first send to the last delivery) and the 99th percentile of the
// delivery latency (send to receipt, one clock for both). Both servers run
// on 127.0.0.1 as children of this program and stop with it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "bench/common/ChildProcess.h"
#include "net/KyrelUser.h"
#include "net/StringEncryptor.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using qx::bench::Spawn;
using qx::bench::Stop;

const char* const kHelp =
    "Usage: relay_bench [--lobby PATH] [--ngircd PATH] [--clients N,N,...] [--lines TOTAL] [--only lobby|ngircd]\n"
    "Starts quorvex-lobby and ngircd on 127.0.0.1, puts N clients in one subject or channel, lets every\n"
    "client send its share of TOTAL chat lines (default 10000 per N) as fast as it can, and prints for each\n"
    "server and N the deliveries per second and the 99th percentile delivery latency.\n"
    "Defaults: --lobby build/release/server/quorvex-lobby, --ngircd /usr/sbin/ngircd, --clients 10,100,1000.\n";

int64_t Now() { return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count(); }

[[noreturn]] void Fail(const std::string& message) {
    std::cerr << "relay_bench: " << message << std::endl;
    std::exit(1);
}

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) Fail("no free port");
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

int Connect(int port) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
            int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            return fd;
        }
        ::close(fd);
        ::usleep(50000);
    }
    Fail("cannot connect to port " + std::to_string(port));
}

struct Client {
    int Fd = -1;
    std::string In;
    std::string Out;
    bool Ready = false;
    int Sent = 0;
};

// One protocol's view of the run.
struct Protocol {
    virtual ~Protocol() = default;
    virtual std::string Login(int i) = 0;
    virtual std::string Enter(int i) = 0;  // join the subject or channel
    // Handles one received line: a delivery (payload out), a sign of being in
    // (ready), or nothing.
    virtual bool Line(std::string& line, bool& ready, std::string& payload) = 0;
    virtual std::string Message(const std::string& payload) = 0;
    virtual std::string Name() const = 0;
};

struct LobbyProtocol : Protocol {
    qx::TStringEncryptor Encryptor{qx::kGameKey};
    int Count;
    explicit LobbyProtocol(int count) : Count(count) {}
    std::string Wrap(std::string line) {
        Encryptor.EncryptLine(line);
        return line + "\n";
    }
    std::string Login(int i) override {
        qx::TKyrelUser user("bench" + std::to_string(i));
        user.Password = "pw";
        return Wrap("LOGINNEW|" + user.UserId + "|Quorvex|" + user.ToText());
    }
    std::string Enter(int i) override {
        return Wrap(i == 0 ? "CREATESUBJECT|Bench|0|" : "JOINSUBJECT|Bench");
    }
    bool Line(std::string& line, bool& ready, std::string& payload) override {
        Encryptor.DecryptLine(line);
        if (line.rfind("SEND|", 0) == 0) {
            const size_t chat = line.find("|CHAT|");
            if (chat == std::string::npos) return false;
            payload = line.substr(chat + 6);
            return true;
        }
        if (line.rfind("JOINSUBJECT|Bench|", 0) == 0) ready = true;
        if (line.rfind("LOGIN|FAILURE", 0) == 0 || line.rfind("ERROR|", 0) == 0) std::cerr << "lobby: " << line << "\n";
        return false;
    }
    std::string Message(const std::string& payload) override { return Wrap("SEND|CHAT|" + payload); }
    std::string Name() const override { return "quorvex-lobby"; }
};

struct IrcProtocol : Protocol {
    std::string Login(int i) override {
        const std::string nick = "bench" + std::to_string(i);
        return "NICK " + nick + "\r\nUSER " + nick + " 0 * :bench\r\n";
    }
    std::string Enter(int) override { return "JOIN #bench\r\n"; }
    bool Line(std::string& line, bool& ready, std::string& payload) override {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t msg = line.find(" PRIVMSG #bench :");
        if (msg != std::string::npos) {
            payload = line.substr(msg + 17);
            return true;
        }
        if (line.find(" 366 ") != std::string::npos) ready = true;  // end of the channel's names
        return false;
    }
    std::string Message(const std::string& payload) override { return "PRIVMSG #bench :" + payload + "\r\n"; }
    std::string Name() const override { return "ngircd"; }
};

struct Result {
    double DeliveriesPerSecond = 0;
    double P99Ms = 0;
    double P50Ms = 0;
    int64_t Deliveries = 0;
};

bool Flush(Client& c) {
    while (!c.Out.empty()) {
        const ssize_t n = ::send(c.Fd, c.Out.data(), c.Out.size(), MSG_NOSIGNAL);
        if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
        c.Out.erase(0, static_cast<size_t>(n));
    }
    return true;
}

Result Run(Protocol& protocol, int port, int count, int linesEach, bool irc) {
    std::vector<Client> clients(static_cast<size_t>(count));
    const int epoll = ::epoll_create1(0);
    for (int i = 0; i < count; ++i) {
        Client& c = clients[static_cast<size_t>(i)];
        c.Fd = Connect(port);
        c.Out = protocol.Login(i);
        if (irc) c.Out += protocol.Enter(i);
        epoll_event e{};
        e.events = EPOLLIN;
        e.data.u32 = static_cast<uint32_t>(i);
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, c.Fd, &e);
        Flush(c);
    }
    const int64_t expected = static_cast<int64_t>(count) * linesEach * (count - 1);
    std::vector<int64_t> latencies;
    latencies.reserve(static_cast<size_t>(expected));
    int ready = 0;
    int entered = 0;
    bool sending = false;
    int64_t firstSend = 0, lastDelivery = 0;
    const int64_t deadline = Now() + 300'000'000'000LL;
    std::vector<epoll_event> events(256);
    char buffer[65536];
    auto handle = [&](Client& c, int index) {
        size_t start = 0;
        for (size_t end; (end = c.In.find('\n', start)) != std::string::npos; start = end + 1) {
            std::string line = c.In.substr(start, end - start);
            bool becameReady = false;
            std::string payload;
            if (protocol.Line(line, becameReady, payload)) {
                const size_t colon = payload.rfind(':');
                if (colon != std::string::npos) {
                    const int64_t sent = std::strtoll(payload.c_str() + colon + 1, nullptr, 10);
                    const int64_t now = Now();
                    latencies.push_back(now - sent);
                    lastDelivery = now;
                }
            } else if (becameReady && !c.Ready) {
                c.Ready = true;
                ++ready;
            }
            // The lobby: the subject's creator is in before the others join.
            if (!irc && line.rfind("JOINSUBJECT|Lobby Chat|", 0) == 0 && (index == 0 || entered > 0)) {
                c.Out += protocol.Enter(index);
                if (index == 0) entered = 1;
                Flush(c);
            }
        }
        c.In.erase(0, start);
    };
    std::vector<int> waiting;  // lobby clients logged in before the subject existed
    while (static_cast<int64_t>(latencies.size()) < expected && Now() < deadline) {
        if (!sending && ready == count) {
            sending = true;
            firstSend = Now();
        }
        if (!irc && entered == 1 && clients[0].Ready) {
            entered = 2;
            for (int i = 1; i < count; ++i) {
                clients[static_cast<size_t>(i)].Out += protocol.Enter(i);
                Flush(clients[static_cast<size_t>(i)]);
            }
        }
        if (sending) {
            // Round robin: one line per client per pass, as fast as the sockets take them.
            for (int i = 0; i < count; ++i) {
                Client& c = clients[static_cast<size_t>(i)];
                if (c.Sent < linesEach && c.Out.size() < 4096) {
                    c.Out += protocol.Message("bench" + std::to_string(i) + ":" + std::to_string(c.Sent) + ":" +
                                              std::to_string(Now()));
                    ++c.Sent;
                }
                Flush(c);
            }
        }
        const int n = ::epoll_wait(epoll, events.data(), static_cast<int>(events.size()), sending ? 0 : 10);
        for (int k = 0; k < n; ++k) {
            const int index = static_cast<int>(events[static_cast<size_t>(k)].data.u32);
            Client& c = clients[static_cast<size_t>(index)];
            const ssize_t got = ::recv(c.Fd, buffer, sizeof buffer, 0);
            if (got <= 0) Fail(protocol.Name() + ": client " + std::to_string(index) + " was disconnected");
            c.In.append(buffer, static_cast<size_t>(got));
            handle(c, index);
        }
    }
    if (static_cast<int64_t>(latencies.size()) < expected)
        Fail(protocol.Name() + ": only " + std::to_string(latencies.size()) + " of " + std::to_string(expected) +
             " deliveries in time (" + std::to_string(ready) + " of " + std::to_string(count) + " clients ready)");
    for (Client& c : clients) ::close(c.Fd);
    ::close(epoll);
    std::sort(latencies.begin(), latencies.end());
    Result result;
    result.Deliveries = expected;
    result.DeliveriesPerSecond = static_cast<double>(expected) / (static_cast<double>(lastDelivery - firstSend) / 1e9);
    result.P99Ms = static_cast<double>(latencies[static_cast<size_t>(static_cast<double>(latencies.size() - 1) * 0.99)]) / 1e6;
    result.P50Ms = static_cast<double>(latencies[latencies.size() / 2]) / 1e6;
    return result;
}

} // namespace

int main(int argc, char** argv) {
    std::string lobbyPath = "build/release/server/quorvex-lobby";
    std::string ngircdPath = "/usr/sbin/ngircd";
    std::vector<int> counts = {10, 100, 1000};
    int totalLines = 0;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) Fail("option " + arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--help") {
            std::cout << kHelp;
            return 0;
        } else if (arg == "--lobby") {
            lobbyPath = value();
        } else if (arg == "--ngircd") {
            ngircdPath = value();
        } else if (arg == "--lines") {
            totalLines = std::atoi(value().c_str());
        } else if (arg == "--only") {
            only = value();
        } else if (arg == "--clients") {
            counts.clear();
            std::string list = value();
            for (size_t at = 0; at <= list.size();) {
                const size_t comma = list.find(',', at);
                counts.push_back(std::atoi(list.substr(at, comma - at).c_str()));
                if (comma == std::string::npos) break;
                at = comma + 1;
            }
        } else {
            std::cerr << kHelp;
            return 2;
        }
    }
    // Every client is a socket here and one at each server.
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &files);

    const fs::path dir = fs::temp_directory_path() / ("relay-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::printf("%-14s %6s %12s %14s %10s %10s\n", "server", "N", "deliveries", "deliveries/s", "p50 ms", "p99 ms");
    for (int count : counts) {
        const int linesEach = std::max(1, (totalLines > 0 ? totalLines : 10000) / count);
        for (const std::string server : {"quorvex-lobby", "ngircd"}) {
            if (!only.empty() && server.find(only) == std::string::npos) continue;
            const int port = FreePort();
            pid_t pid;
            std::unique_ptr<Protocol> protocol;
            if (server == "quorvex-lobby") {
                const fs::path conf = dir / "lobby.conf";
                std::ofstream(conf) << "listen-address = 127.0.0.1\npassword-cost = minimum\nping-interval = 3600\n"
                                       "silent-timeout = 3600\nconnections-per-address = 100000\n"
                                       "lines-per-second = 1000000\nline-burst = 1000000\n"
                                       "bytes-per-second = 1000000000000\npending-logins = 100000\n";
                fs::remove(dir / "lobby.sqlite");
                pid = Spawn({lobbyPath, "--port", std::to_string(port), "--http-port", "0", "--database",
                             (dir / "lobby.sqlite").string(), "--config", conf.string()},
                            dir / "lobby.log");
                protocol = std::make_unique<LobbyProtocol>(count);
            } else {
                const fs::path conf = dir / "ngircd.conf";
                std::ofstream(conf) << "[Global]\nName = bench.local\nInfo = bench\nListen = 127.0.0.1\nPorts = " << port
                                    << "\nPidFile = " << (dir / "ngircd.pid").string()
                                    << "\n[Limits]\nMaxConnections = 0\nMaxConnectionsIP = 0\nMaxJoins = 0\n"
                                       "MaxPenaltyTime = 0\nPingTimeout = 3600\nPongTimeout = 3600\n"
                                       "[Options]\nDNS = no\nIdent = no\nPAM = no\n";
                pid = Spawn({ngircdPath, "--nodaemon", "--config", conf.string()}, dir / "ngircd.log");
                protocol = std::make_unique<IrcProtocol>();
            }
            const Result result = Run(*protocol, port, count, linesEach, server == "ngircd");
            Stop(pid);
            std::printf("%-14s %6d %12lld %14.0f %10.2f %10.2f\n", server.c_str(), count,
                        static_cast<long long>(result.Deliveries), result.DeliveriesPerSecond, result.P50Ms,
                        result.P99Ms);
            std::fflush(stdout);
        }
    }
    fs::remove_all(dir);
    return 0;
}
