#pragma once

// Child processes of the benchmark and load programs: servers and players
// started with their output in a log file, and stopped the way a service is.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace qx::bench {

// Starts `args` (the program first) with its output and errors in `log`;
// -1 when no process could be made.
inline pid_t Spawn(const std::vector<std::string>& args, const std::filesystem::path& log) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
        ::dup2(out, 1);
        ::dup2(out, 2);
    }
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    std::_Exit(127);
}

inline bool Alive(pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) == 0; }

// SIGTERM, five seconds to finish, then SIGKILL.
inline void Stop(pid_t pid) {
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
        ::usleep(50000);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

} // namespace qx::bench
