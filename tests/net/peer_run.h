#pragma once
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

// Two headless parapets talking over loopback, as separate processes, and a lossy relay to put
// between them.
namespace peer_run {

struct Peer {
    pid_t pid = -1;
    std::string dir;  // save/, trace.jsonl, stderr.txt
};

// Starts `parapet --headless ... <args>` in the background with `script` as its input.
Peer start(const std::string& dir, const std::string& script, const std::string& args);
// The port a `--host 0` peer printed, or 0 if it printed none within timeoutMs.
int hostPort(const Peer& host, int timeoutMs);
// Exit code, or -1 after killing a peer that ran longer than timeoutMs.
int wait(Peer& peer, int timeoutMs);
// Waits until stderr.txt contains `text`; false after timeoutMs.
bool waitForText(const Peer& peer, const std::string& text, int timeoutMs);
std::string readFile(const std::string& path);
// A trace without the lines that name this machine's own files.
std::string comparableTrace(const Peer& peer);

// A UDP relay on 127.0.0.1 that forwards between the first client it hears and the host at
// `hostPort`, dropping, delaying and so reordering datagrams at random (fixed seed).
class LossyRelay {
public:
    LossyRelay(int hostPort, int dropPercent, int maxDelayMs, uint32_t seed);
    ~LossyRelay();
    int port() const { return port_; }
    int dropped() const { return dropped_; }
    int forwarded() const { return forwarded_; }

private:
    void run();
    int socket_ = -1;
    int port_ = 0;
    int hostPort_;
    int dropPercent_;
    int maxDelayMs_;
    uint32_t seed_;
    std::atomic<bool> stop_{false};
    std::atomic<int> dropped_{0};
    std::atomic<int> forwarded_{0};
    std::thread thread_;
};

}  // namespace peer_run
