#include "net/peer_run.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

namespace peer_run {

namespace {

using Steady = std::chrono::steady_clock;

int64_t millisSince(Steady::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start).count();
}

}  // namespace

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

Peer start(const std::string& dir, const std::string& script, const std::string& args) {
    Peer peer;
    peer.dir = dir;
    std::ofstream(dir + "/input.txt") << script;
    std::string command = std::string("exec '") + PARAPET_BINARY + "' --headless --data '" +
                          PARAPET_DATA_DIR + "' --save-dir '" + dir + "/save' --screenshot-dir '" +
                          dir + "/shots' --trace '" + dir + "/trace.jsonl' --input '" + dir +
                          "/input.txt' " + args + " >'" + dir + "/stdout.txt' 2>'" + dir +
                          "/stderr.txt'";
    peer.pid = fork();
    if (peer.pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return peer;
}

bool waitForText(const Peer& peer, const std::string& text, int timeoutMs) {
    Steady::time_point begin = Steady::now();
    while (millisSince(begin) < timeoutMs) {
        if (readFile(peer.dir + "/stderr.txt").find(text) != std::string::npos) return true;
        usleep(20000);
    }
    return false;
}

int hostPort(const Peer& host, int timeoutMs) {
    if (!waitForText(host, "on port ", timeoutMs)) return 0;
    std::string errors = readFile(host.dir + "/stderr.txt");
    return std::atoi(errors.c_str() + errors.find("on port ") + 8);
}

int wait(Peer& peer, int timeoutMs) {
    Steady::time_point begin = Steady::now();
    int status = 0;
    while (true) {
        pid_t done = waitpid(peer.pid, &status, WNOHANG);
        if (done == peer.pid) break;
        if (millisSince(begin) >= timeoutMs) {
            kill(peer.pid, SIGKILL);
            waitpid(peer.pid, &status, 0);
            peer.pid = -1;
            return -1;
        }
        usleep(20000);
    }
    peer.pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string comparableTrace(const Peer& peer) {
    std::istringstream in(readFile(peer.dir + "/trace.jsonl"));
    std::string line, out;
    while (std::getline(in, line))
        if (line.find("\"path\"") == std::string::npos) out += line + "\n";
    return out;
}

LossyRelay::LossyRelay(int hostPort, int dropPercent, int maxDelayMs, uint32_t seed)
    : hostPort_(hostPort), dropPercent_(dropPercent), maxDelayMs_(maxDelayMs), seed_(seed) {
    socket_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

LossyRelay::~LossyRelay() {
    stop_ = true;
    thread_.join();
    ::close(socket_);
}

void LossyRelay::run() {
    struct Held {
        Steady::time_point due;
        sockaddr_in to;
        std::vector<uint8_t> bytes;
    };
    std::vector<Held> held;
    std::mt19937 random(seed_);
    sockaddr_in host{};
    host.sin_family = AF_INET;
    host.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    host.sin_port = htons(static_cast<uint16_t>(hostPort_));
    sockaddr_in guest{};
    bool guestKnown = false;
    uint8_t buffer[4096];
    while (!stop_) {
        pollfd fd{socket_, POLLIN, 0};
        ::poll(&fd, 1, 2);
        if (fd.revents & POLLIN) {
            sockaddr_in from{};
            socklen_t length = sizeof from;
            ssize_t got = ::recvfrom(socket_, buffer, sizeof buffer, 0,
                                     reinterpret_cast<sockaddr*>(&from), &length);
            if (got > 0) {
                bool fromHost = from.sin_port == host.sin_port;
                if (!fromHost && !guestKnown) {
                    guest = from;
                    guestKnown = true;
                }
                if (fromHost && !guestKnown) continue;
                if (static_cast<int>(random() % 100) < dropPercent_) {
                    ++dropped_;
                } else {
                    int delay = maxDelayMs_ > 0 ? static_cast<int>(random() % (maxDelayMs_ + 1)) : 0;
                    held.push_back({Steady::now() + std::chrono::milliseconds(delay),
                                    fromHost ? guest : host,
                                    std::vector<uint8_t>(buffer, buffer + got)});
                }
            }
        }
        // Each datagram leaves at its own time, so later ones often overtake earlier ones.
        Steady::time_point now = Steady::now();
        for (size_t i = 0; i < held.size();) {
            if (held[i].due > now) {
                ++i;
                continue;
            }
            ::sendto(socket_, held[i].bytes.data(), held[i].bytes.size(), 0,
                     reinterpret_cast<const sockaddr*>(&held[i].to), sizeof held[i].to);
            ++forwarded_;
            held.erase(held.begin() + static_cast<long>(i));
        }
    }
}

}  // namespace peer_run
