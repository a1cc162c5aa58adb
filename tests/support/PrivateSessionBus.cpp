#include "support/PrivateSessionBus.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <thread>

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Starts argv with its standard output on a pipe; the pid, and the pipe's
// reading end in *out.
pid_t spawnWithOutput(const std::vector<std::string>& argv, int* out) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return -1;
    }
    *out = fds[0];
    return pid;
}

// Reads until the first line feed or the time is up.
std::string readLine(int fd, int ms) {
    std::string line;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        char c;
        if (read(fd, &c, 1) != 1) break;
        if (c == '\n') return line;
        line += c;
    }
    return line;
}

void stop(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

constexpr char kConfig[] = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

}  // namespace

PrivateSessionBus::PrivateSessionBus() {
    folder_.write("bus.conf", kConfig);
    int out = -1;
    daemon_ = spawnWithOutput(
        {"dbus-daemon", "--nofork", "--print-address=1", "--config-file=" + folder_.native("bus.conf").string()}, &out);
    if (daemon_ < 0) return;
    address_ = readLine(out, 5000);
    close(out);
    if (!address_.empty()) setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
}

PrivateSessionBus::~PrivateSessionBus() {
    stop(standIn_);
    stop(daemon_);
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

bool PrivateSessionBus::startStandInDesktop(const std::string& answer) {
    if (!running()) return false;
    int out = -1;
    standIn_ = spawnWithOutput({VELTRIX_STAND_IN_DESKTOP, folder_.native("requests.log").string(), answer}, &out);
    if (standIn_ < 0) return false;
    const bool ready = readLine(out, 5000) == "ready";
    close(out);
    return ready;
}

std::vector<std::string> PrivateSessionBus::requests() const {
    std::vector<std::string> lines;
    std::ifstream in(folder_.native("requests.log"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

PrivateSessionBus::Result PrivateSessionBus::run(const std::vector<std::string>& argv) {
    Result result;
    int out = -1;
    pid_t pid = spawnWithOutput(argv, &out);
    if (pid < 0) return result;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        pollfd p{out, POLLIN, 0};
        if (std::chrono::steady_clock::now() > until) {
            kill(pid, SIGKILL);
            break;
        }
        if (poll(&p, 1, 50) <= 0) continue;
        char buffer[512];
        ssize_t n = read(out, buffer, sizeof buffer);
        if (n <= 0) break;
        result.out.append(buffer, static_cast<std::size_t>(n));
    }
    close(out);
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (!result.out.empty() && result.out.back() == '\n') result.out.pop_back();
    return result;
}
