// lobby_abuse: a lobby under attack. Starts quorvex-lobby on 127.0.0.1 and, for
// a few minutes, keeps up to a thousand hostile connections busy from many
// loopback addresses (garbage, endless lines, floods, half-open logins,
// password guessing, clients that never read), while three honest users chat
// in a room of their own and three qxtool netplay processes play a game.
// It checks that the server stays up with bounded memory, that the honest
// users lose nothing, and that the abusers are cut off, and prints the figures.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/common/ChildProcess.h"
#include "net/KyrelUser.h"
#include "net/StringEncryptor.h"

namespace {

namespace fs = std::filesystem;
using qx::bench::Alive;
using qx::bench::Spawn;
using qx::bench::Stop;
using Clock = std::chrono::steady_clock;

const char* const kHelp =
    "Usage: lobby_abuse [--seconds N] [--abusers N] [--lobby PATH] [--qxtool PATH] [--data DIR]\n"
    "Runs quorvex-lobby on 127.0.0.1 under N hostile connections (default 1000) for N seconds\n"
    "(default 180) while three honest users chat and three netplay processes play a game, then\n"
    "prints the figures. Exit status 0 when the server stayed up within its memory bound, the\n"
    "honest users lost nothing, the game ended alike on every machine and the abusers were cut off.\n"
    "Defaults: build/release/server/quorvex-lobby, build/release/tools/qxtool, data.\n";

[[noreturn]] void Fail(const std::string& message) {
    std::cerr << "lobby_abuse: " << message << std::endl;
    std::exit(2);
}

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

std::string FileText(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A non-blocking connection to the lobby from a loopback address of our
// choice, so the server's limits per address can be met one by one.
int Connect(const std::string& from, int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, from.c_str(), &local.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        return -1;
    }
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(static_cast<uint16_t>(port));
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0 && errno != EINPROGRESS) {
        ::close(fd);
        return -1;
    }
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

qx::TStringEncryptor gScrambler{qx::kGameKey};

std::string Line(std::string text) {
    gScrambler.EncryptLine(text);
    return text + "\n";
}

std::string Unscramble(std::string line) {
    gScrambler.DecryptLine(line);
    return line;
}

// --- The abusers ---------------------------------------------------------

enum class TAbuse { Garbage, EndlessLine, Flood, Silent, Trickle, Guesser, Deaf, Count };
const char* const kAbuseNames[] = {"garbage", "endless line", "flood", "silent", "trickle login", "password guess",
                                   "never reads"};

struct TAbuser {
    TAbuse Kind = TAbuse::Garbage;
    std::string From;
    int Fd = -1;
    Clock::time_point Opened;
    int Connections = 0;  // made so far
    int CutOff = 0;       // closed by the server
    double CutAfter = 0;  // seconds the last cut-off connection lasted
    int64_t BytesSent = 0;
    bool LoggedIn = false;
};

struct TAbuseStats {
    int Connections = 0;
    int CutOff = 0;
    int Refused = 0;  // connect() failed or the server closed at once
    int Unaccepted = 0;  // open here at the end, but the server never held it
    double LongestLife = 0;
    int64_t BytesSent = 0;
};

class TAttack {
public:
    TAttack(int port, int count, int epoll) : Port_(port), Epoll_(epoll), Random_(7) {
        for (int i = 0; i < count; ++i) {
            TAbuser abuser;
            abuser.Kind = static_cast<TAbuse>(i % static_cast<int>(TAbuse::Count));
            // Four connections an address, and one crowded address that meets
            // the server's limit of connections per address.
            const int host = i < 40 ? 0 : 1 + i / 4;
            abuser.From = "127.0." + std::to_string(10 + host / 250) + "." + std::to_string(1 + host % 250);
            Abusers_.push_back(abuser);
        }
    }

    void Open(size_t index) {
        TAbuser& a = Abusers_[index];
        a.Fd = Connect(a.From, Port_);
        ++a.Connections;
        a.Opened = Clock::now();
        a.LoggedIn = false;
        if (a.Fd < 0) {
            ++Stats_[static_cast<size_t>(a.Kind)].Refused;
            return;
        }
        epoll_event e{};
        e.events = EPOLLIN | EPOLLRDHUP;
        e.data.u64 = index;
        ::epoll_ctl(Epoll_, EPOLL_CTL_ADD, a.Fd, &e);
        if (a.Kind == TAbuse::Deaf) {
            // A real account whose owner never reads: the server must not keep
            // everything it would send it.
            qx::TKyrelUser user("deaf" + std::to_string(index));
            user.Password = "x";
            Send(a, Line("LOGINNEW|" + user.UserId + "|Quorvex|" + user.ToText()));
            int size = 1 << 12;
            ::setsockopt(a.Fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        }
    }

    // One round of mischief for every open connection.
    void Act() {
        for (size_t i = 0; i < Abusers_.size(); ++i) {
            TAbuser& a = Abusers_[i];
            if (a.Fd < 0) {
                if (Seconds(a.Opened) > 1.0) Open(i);  // comes back after a second
                continue;
            }
            switch (a.Kind) {
            case TAbuse::Garbage: {
                std::string junk(200 + Random_() % 300, '\0');
                for (char& c : junk) c = static_cast<char>(Random_());
                junk += '\n';
                Send(a, junk);
                break;
            }
            case TAbuse::EndlessLine: Send(a, std::string(32768, 'A')); break;
            case TAbuse::Flood:
                for (int k = 0; k < 40; ++k) Send(a, Line("PING|"));
                break;
            case TAbuse::Silent:
                break;
            case TAbuse::Trickle:
                if (a.BytesSent == 0) Send(a, "LOG");
                else if (Random_() % 20 == 0) Send(a, "I");
                break;
            case TAbuse::Guesser:
                Send(a, Line("LOGIN|honest" + std::to_string(Random_() % 3) + "|Quorvex|guess" +
                             std::to_string(Random_() % 100000) + "|"));
                break;
            case TAbuse::Deaf: Send(a, Line("SEND|CHAT|" + std::string(2000, 'z'))); break;
            default: break;
            }
        }
    }

    // The server closed a connection (or refused it at once).
    void Closed(TAbuser& a) {
        if (a.Fd < 0) return;
        ::epoll_ctl(Epoll_, EPOLL_CTL_DEL, a.Fd, nullptr);
        ::close(a.Fd);
        a.Fd = -1;
        ++a.CutOff;
        a.CutAfter = Seconds(a.Opened);
        TAbuseStats& s = Stats_[static_cast<size_t>(a.Kind)];
        s.LongestLife = std::max(s.LongestLife, a.CutAfter);
        a.Opened = Clock::now();
    }

    // Reads what the server says; the deaf ones only notice being closed.
    void Readable(size_t index, bool hangUp) {
        TAbuser& a = Abusers_[index];
        if (a.Fd < 0) return;
        if (a.Kind == TAbuse::Deaf) {
            if (hangUp) Closed(a);
            return;
        }
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::recv(a.Fd, buffer, sizeof buffer, 0);
            if (n > 0) continue;
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) Closed(a);
            return;
        }
    }

    int OpenNow() const {
        return static_cast<int>(std::count_if(Abusers_.begin(), Abusers_.end(), [](const TAbuser& a) { return a.Fd >= 0; }));
    }

    // A connect that a full accept queue never handed to the server looks open
    // from here until something is sent on it, and then the server's side
    // answers with a reset. One byte tells those from the sessions it holds.
    void ProbeOpen() {
        for (TAbuser& a : Abusers_)
            if (a.Fd >= 0) ::send(a.Fd, "\n", 1, MSG_NOSIGNAL | MSG_DONTWAIT);
        ::usleep(500000);
        for (TAbuser& a : Abusers_) {
            if (a.Fd < 0) continue;
            char c;
            if (::recv(a.Fd, &c, 1, MSG_PEEK | MSG_DONTWAIT) < 0 && (errno == ECONNRESET || errno == EPIPE)) {
                ++Stats_[static_cast<size_t>(a.Kind)].Unaccepted;
                ::epoll_ctl(Epoll_, EPOLL_CTL_DEL, a.Fd, nullptr);
                ::close(a.Fd);
                a.Fd = -1;
            }
        }
    }

    std::array<TAbuseStats, static_cast<size_t>(TAbuse::Count)> Totals() const {
        auto totals = Stats_;
        for (const TAbuser& a : Abusers_) {
            TAbuseStats& s = totals[static_cast<size_t>(a.Kind)];
            s.Connections += a.Connections;
            s.CutOff += a.CutOff;
            s.BytesSent += a.BytesSent;
            if (a.Fd >= 0) s.LongestLife = std::max(s.LongestLife, Seconds(a.Opened));
        }
        return totals;
    }

private:
    void Send(TAbuser& a, const std::string& bytes) {
        const ssize_t n = ::send(a.Fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) a.BytesSent += n;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != ENOTCONN) Closed(a);
    }

    int Port_;
    int Epoll_;
    std::mt19937 Random_;
    std::vector<TAbuser> Abusers_;
    std::array<TAbuseStats, static_cast<size_t>(TAbuse::Count)> Stats_{};
};

// --- The honest chatters ---------------------------------------------------

struct THonest {
    std::string Name;
    int Fd = -1;
    std::string In;
    bool InRoom = false;
    int Sent = 0;
    std::map<std::string, int> NextFrom;  // the next number expected from each other user
    int Received = 0;
    int OutOfOrder = 0;
    bool Dropped = false;
};

class TChat {
public:
    TChat(int port, int epoll) : Port_(port), Epoll_(epoll) {
        for (int i = 0; i < 3; ++i) {
            THonest h;
            h.Name = "honest" + std::to_string(i);
            h.Fd = Connect("127.0.0.1", port);
            if (h.Fd < 0) Fail("an honest user cannot connect");
            epoll_event e{};
            e.events = EPOLLIN | EPOLLRDHUP;
            e.data.u64 = 1000000 + static_cast<uint64_t>(i);
            ::epoll_ctl(epoll, EPOLL_CTL_ADD, h.Fd, &e);
            qx::TKyrelUser user(h.Name);
            user.Password = "secret" + std::to_string(i);
            Out(h, Line("LOGINNEW|" + h.Name + "|Quorvex|" + user.ToText()));
            Users_.push_back(h);
        }
    }

    // A line from each honest user in the room, about ten a second.
    void Talk() {
        for (THonest& h : Users_)
            if (h.InRoom && !h.Dropped) Out(h, Line("SEND|CHAT|" + h.Name + " " + std::to_string(h.Sent++)));
    }

    void Readable(size_t index) {
        THonest& h = Users_[index];
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::recv(h.Fd, buffer, sizeof buffer, 0);
            if (n > 0) {
                h.In.append(buffer, static_cast<size_t>(n));
                continue;
            }
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) h.Dropped = true;
            break;
        }
        size_t start = 0;
        for (size_t end; (end = h.In.find('\n', start)) != std::string::npos; start = end + 1)
            Handle(index, Unscramble(h.In.substr(start, end - start)));
        h.In.erase(0, start);
    }

    bool AllInRoom() const {
        return std::all_of(Users_.begin(), Users_.end(), [](const THonest& h) { return h.InRoom; });
    }
    const std::vector<THonest>& Users() const { return Users_; }

private:
    void Handle(size_t index, const std::string& line) {
        THonest& h = Users_[index];
        if (line.rfind("PING", 0) == 0) {
            Out(h, Line("PING|"));
        } else if (line.rfind("JOINSUBJECT|Lobby Chat|", 0) == 0 && !RoomMade_ && index == 0) {
            RoomMade_ = true;
            Out(h, Line("CREATESUBJECT|Honest|0|"));
        } else if (line.rfind("JOINSUBJECT|Honest|", 0) == 0) {
            h.InRoom = true;
            if (index == 0)
                for (size_t k = 1; k < Users_.size(); ++k) Out(Users_[k], Line("JOINSUBJECT|Honest"));
        } else if (line.rfind("SEND|", 0) == 0) {
            const size_t chat = line.find("|CHAT|");
            if (chat == std::string::npos) return;
            const std::string text = line.substr(chat + 6);
            const size_t blank = text.find(' ');
            if (blank == std::string::npos) return;
            const std::string from = text.substr(0, blank);
            const int number = std::atoi(text.c_str() + blank + 1);
            int& next = h.NextFrom[from];
            if (number != next) ++h.OutOfOrder;
            next = number + 1;
            ++h.Received;
        } else if (line.rfind("LOGIN|FAILURE", 0) == 0 || line.rfind("ERROR|", 0) == 0) {
            std::cerr << h.Name << ": " << line << "\n";
        }
    }

    void Out(THonest& h, const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::send(h.Fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n > 0) done += static_cast<size_t>(n);
            else if (errno == EAGAIN || errno == EWOULDBLOCK) ::usleep(1000);
            else {
                h.Dropped = true;
                return;
            }
        }
    }

    int Port_;
    int Epoll_;
    std::vector<THonest> Users_;
    bool RoomMade_ = false;
};

} // namespace

int main(int argc, char** argv) {
    double seconds = 180;
    int abusers = 1000;
    std::string lobby = "build/release/server/quorvex-lobby", qxtool = "build/release/tools/qxtool", data = "data";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) Fail(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--seconds") seconds = std::atof(next().c_str());
        else if (arg == "--abusers") abusers = std::atoi(next().c_str());
        else if (arg == "--lobby") lobby = next();
        else if (arg == "--qxtool") qxtool = next();
        else if (arg == "--data") data = next();
        else {
            std::cout << kHelp;
            return arg == "--help" ? 0 : 2;
        }
    }
    ::signal(SIGPIPE, SIG_IGN);
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &files);

    const fs::path dir = fs::temp_directory_path() / ("lobby-abuse-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "lobby.conf") << "listen-address = 127.0.0.1\npassword-cost = minimum\n"
                                         "login-deadline = 10\nsilent-timeout = 20\n";
    const pid_t server = Spawn({lobby, "--port", "0", "--http-port", "0", "--database", (dir / "lobby.sqlite").string(),
                                "--config", (dir / "lobby.conf").string()},
                               dir / "lobby.log");
    if (server < 0) Fail("cannot start " + lobby);
    int port = 0;
    for (int i = 0; i < 200 && !port; ++i) {
        ::usleep(50000);
        const std::string log = FileText(dir / "lobby.log");
        const size_t at = log.find("listening on port ");
        if (at != std::string::npos) port = std::atoi(log.c_str() + at + 18);
    }
    if (!port) Fail("the lobby did not start; see " + (dir / "lobby.log").string());

    const int epoll = ::epoll_create1(0);
    TChat chat(port, epoll);
    TAttack attack(port, abusers, epoll);
    const auto start = Clock::now();
    // The honest game: three machines, a brain in each human's slot.
    std::vector<pid_t> players;
    const std::string server_ = "127.0.0.1:" + std::to_string(port);
    const std::vector<std::string> common = {"--interval", "100", "--max-impulses", "900", "--brain",
                                             data + "/brains/Defender.qxbrain"};
    for (int i = 0; i < 3; ++i) {
        std::vector<std::string> args = {qxtool, "netplay", "--server", server_, "--user", "player" + std::to_string(i),
                                         "--password", "pw", "--new-user"};
        if (i == 0) args.insert(args.end(), {"--host", data + "/scenarios/Duel.qxscen", "--game", "Honest", "--humans",
                                             "3", "--seed", "11"});
        else args.insert(args.end(), {"--join", "Honest"});
        args.insert(args.end(), common.begin(), common.end());
        players.push_back(Spawn(args, dir / ("player" + std::to_string(i) + ".log")));
        ::usleep(300000);  // the host first
    }
    for (size_t i = 0; i < static_cast<size_t>(abusers); ++i) attack.Open(i);

    long peakKb = 0;
    const long startKb = ResidentKb(server);
    auto lastTalk = Clock::now(), lastAct = Clock::now(), lastReport = Clock::now();
    std::vector<epoll_event> events(512);
    bool serverUp = true;
    while (Seconds(start) < seconds) {
        const int n = ::epoll_wait(epoll, events.data(), static_cast<int>(events.size()), 20);
        for (int k = 0; k < n; ++k) {
            const epoll_event& e = events[static_cast<size_t>(k)];
            if (e.data.u64 >= 1000000)
                chat.Readable(static_cast<size_t>(e.data.u64 - 1000000));
            else
                attack.Readable(static_cast<size_t>(e.data.u64), (e.events & (EPOLLRDHUP | EPOLLHUP | EPOLLERR)) != 0);
        }
        if (Seconds(lastAct) > 0.05) {
            attack.Act();
            lastAct = Clock::now();
        }
        if (chat.AllInRoom() && Seconds(lastTalk) > 0.1) {
            chat.Talk();
            lastTalk = Clock::now();
        }
        peakKb = std::max(peakKb, ResidentKb(server));
        if (Seconds(lastReport) > 15) {
            std::cerr << "  " << static_cast<int>(Seconds(start)) << " s: lobby " << ResidentKb(server) / 1024
                      << " MB resident, " << attack.OpenNow() << " hostile connections open\n";
            lastReport = Clock::now();
        }
        if (!Alive(server)) {
            serverUp = false;
            break;
        }
    }
    // Let the last honest lines arrive.
    for (int k = 0; k < 50; ++k) {
        const int n = ::epoll_wait(epoll, events.data(), static_cast<int>(events.size()), 20);
        for (int m = 0; m < n; ++m)
            if (events[static_cast<size_t>(m)].data.u64 >= 1000000)
                chat.Readable(static_cast<size_t>(events[static_cast<size_t>(m)].data.u64 - 1000000));
    }
    const double elapsed = Seconds(start);
    const long endKb = serverUp ? ResidentKb(server) : 0;
    attack.ProbeOpen();
    const auto totals = attack.Totals();

    // The game: every machine ends alike.
    std::vector<std::string> digests;
    for (size_t i = 0; i < players.size(); ++i) {
        for (int k = 0; k < 600 && Alive(players[i]); ++k) ::usleep(100000);
        if (Alive(players[i])) Stop(players[i]);
        const std::string log = FileText(dir / ("player" + std::to_string(i) + ".log"));
        const size_t at = log.rfind("DIGEST ");
        digests.push_back(at == std::string::npos ? "" : log.substr(at + 7, 64));
    }
    if (serverUp) Stop(server);

    std::printf("lobby_abuse: %.0f s, %d hostile connections at a time\n", elapsed, abusers);
    std::printf("  lobby: %s, resident memory %ld MB at the start, %ld MB at most, %ld MB at the end\n",
                serverUp ? "up throughout" : "DIED", startKb / 1024, peakKb / 1024, endKb / 1024);
    std::printf("  %-16s %12s %10s %9s %11s %14s %12s\n", "abuse", "connections", "cut off", "refused",
                "unaccepted", "longest life s", "bytes sent");
    bool allCut = true;
    for (size_t k = 0; k < totals.size(); ++k) {
        const TAbuseStats& t = totals[k];
        std::printf("  %-16s %12d %10d %9d %11d %14.1f %12lld\n", kAbuseNames[k], t.Connections, t.CutOff,
                    t.Refused, t.Unaccepted, t.LongestLife, static_cast<long long>(t.BytesSent));
        // Every kind of abuse ends with the server closing it.
        if (t.CutOff == 0) allCut = false;
    }
    bool chatWhole = true;
    for (const THonest& h : chat.Users()) {
        int expected = 0;
        for (const THonest& other : chat.Users())
            if (&other != &h) expected += other.Sent;
        std::printf("  %s: sent %d lines, received %d of %d, %d out of order%s\n", h.Name.c_str(), h.Sent, h.Received,
                    expected, h.OutOfOrder, h.Dropped ? ", DROPPED" : "");
        if (h.Dropped || h.OutOfOrder || h.Received != expected || h.Sent == 0) chatWhole = false;
    }
    const bool gameAlike = !digests[0].empty() && std::all_of(digests.begin(), digests.end(),
                                                              [&](const std::string& d) { return d == digests[0]; });
    std::printf("  game: %s (digest %s)\n", gameAlike ? "ended alike on all three machines" : "DIFFERED OR DID NOT END",
                digests[0].empty() ? "none" : digests[0].substr(0, 16).c_str());
    const bool bounded = peakKb < 512 * 1024;
    const bool ok = serverUp && bounded && allCut && chatWhole && gameAlike;
    std::printf("  result: %s\n", ok ? "passed" : "FAILED");
    if (ok) fs::remove_all(dir);
    else std::printf("  logs kept in %s\n", dir.c_str());
    return ok ? 0 : 1;
}
