// What online play costs: how many frames a second two machines can agree on over loopback
// (the game runs at 30, so anything in the thousands means the network adds next to nothing),
// how many frames pass between a key press and the frame that shows it, lockstep against
// rollback, and whole headless peers. The cost of a rollback itself is in world_bench.cpp.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "net/net_session.h"
#include "net/rollback.h"

namespace {

using namespace net;
using Steady = std::chrono::steady_clock;

struct Pair {
    NetSession host;
    NetSession guest;
    bool ok = false;

    explicit Pair(int delay) {
        // Lockstep: every frame is an exchange (rollback needs a world to step).
        std::atomic<int> port{0};
        host.onListening = [&](uint16_t p) { port = p; };
        SessionSettings h;
        h.hosting = true;
        h.port = 0;
        h.hello.version = "bench";
        h.hello.mode = Mode::lockstep;
        h.hello.delay = static_cast<uint8_t>(delay);
        bool hostOk = false;
        std::thread t([&] {
            Hello agreed, peer;
            hostOk = host.start(h, agreed, peer);
        });
        while (port == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        SessionSettings g = h;
        g.hosting = false;
        g.hostName = "127.0.0.1";
        g.port = static_cast<uint16_t>(port);
        Hello agreed, peer;
        bool guestOk = guest.start(g, agreed, peer);
        t.join();
        ok = hostOk && guestOk;
    }
};

// Frames agreed per second by two sessions in two threads: the network's own share of a frame.
void BM_LockstepExchange(benchmark::State& state) {
    Pair pair(2);
    if (!pair.ok) {
        state.SkipWithError("could not connect over loopback");
        return;
    }
    uint32_t frame = 0;
    const uint32_t batch = 1000;
    for (auto _ : state) {
        uint32_t first = frame + 1;
        frame += batch;
        std::thread t([&] {
            FrameInput none, out;
            for (uint32_t f = first; f <= frame; ++f) {
                pair.guest.exchange(f, none, out);
                pair.guest.frameDone(f, f);
            }
        });
        FrameInput none, out;
        for (uint32_t f = first; f <= frame; ++f) {
            pair.host.exchange(f, none, out);
            pair.host.frameDone(f, f);
        }
        t.join();
    }
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(frame), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LockstepExchange)->Unit(benchmark::kMillisecond)->UseRealTime();

// The frame in which a key pressed in frame 10 reaches the game, counted inclusively: the
// input delay plus the frame it was pressed in. Argument: rollback's delay 0-2, or 10 + D for
// lockstep at delay D (its default is 2). A rollback game needs no answer from the other
// machine to show a local key, so it is measured on the local side alone.
void BM_InputLatency(benchmark::State& state) {
    bool lockstep = state.range(0) >= 10;
    int delay = static_cast<int>(state.range(0) % 10);
    state.SetLabel(lockstep ? "lockstep" : "rollback");
    double frames = 0;
    for (auto _ : state) {
        if (!lockstep) {
            Rollback rollback(Role::host, delay, 1, 0);
            const uint32_t pressed = 10;
            uint32_t seen = 0;
            std::vector<GameEvent> none;
            for (uint32_t f = 1; f <= 30 && seen == 0; ++f) {
                FrameInput local;
                if (f >= pressed) local.players[0].keys = gameKeyBit(57);
                rollback.forgetNews();
                rollback.putLocal(f, local);
                if (rollback.prepare(f).players[0].keys != 0) seen = f;
                rollback.stepped(f, none);
            }
            frames = static_cast<double>(seen - pressed + 1);
            continue;
        }
        Pair pair(delay);
        if (!pair.ok) {
            state.SkipWithError("could not connect over loopback");
            return;
        }
        const uint32_t pressed = 10;
        std::atomic<uint32_t> seen{0};
        std::thread t([&] {
            FrameInput none, out;
            for (uint32_t f = 1; f <= 30; ++f) {
                pair.guest.exchange(f, none, out);
                if (out.players[0].keys != 0 && seen == 0) seen = f;
            }
        });
        FrameInput out;
        for (uint32_t f = 1; f <= 30; ++f) {
            FrameInput local;
            if (f >= pressed) local.players[0].keys = gameKeyBit(57);
            pair.host.exchange(f, local, out);
        }
        t.join();
        frames = static_cast<double>(seen - pressed + 1);
    }
    state.counters["latency_frames"] = frames;
    state.counters["latency_ms"] = frames * 33;
}
BENCHMARK(BM_InputLatency)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(12)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

pid_t spawn(const std::string& command) {
    pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// The whole program twice, host and guest, headless on loopback, against one program alone:
// argument 0 alone, 1 rollback, 2 lockstep; 3: three times, host and two guests, rollback.
void BM_HeadlessPeers(benchmark::State& state) {
    const bool networked = state.range(0) != 0;
    const bool three = state.range(0) == 3;
    const char* const modes[] = {"alone", "rollback", "lockstep", "three machines"};
    state.SetLabel(modes[state.range(0)]);
    std::string mode = state.range(0) == 2 ? " --net-mode lockstep" : "";
    const int frames = 6000;
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("parapet_net_bench_" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::string common = std::string("exec '") + PARAPET_BINARY + "' --headless --data '" +
                         PARAPET_DATA_DIR + "' --frames " + std::to_string(frames) +
                         " --save-dir '" + dir.string();
    for (auto _ : state) {
        fs::remove(dir / "host.err");
        Steady::time_point begin = Steady::now();
        if (!networked) {
            int status = std::system((common + "/alone'").c_str());
            if (status != 0) state.SkipWithError("the program failed");
        } else {
            pid_t host = spawn(common + "/host' --host 0" + mode + (three ? " --machines 3" : "") +
                               " 2>'" + (dir / "host.err").string() + "'");
            int port = 0;
            for (int i = 0; i < 1000 && port == 0; ++i) {
                std::string err = readFile((dir / "host.err").string());
                size_t at = err.find("on port ");
                if (at != std::string::npos)
                    port = std::atoi(err.c_str() + at + 8);
                else
                    usleep(5000);
            }
            std::string join = " --join 127.0.0.1:" + std::to_string(port) + mode + " 2>/dev/null";
            pid_t guest = spawn(common + "/guest'" + join);
            pid_t second = three ? spawn(common + "/second'" + join) : 0;
            int a = 0, b = 0, c = 0;
            waitpid(guest, &a, 0);
            if (three) waitpid(second, &c, 0);
            waitpid(host, &b, 0);
            if (a != 0 || b != 0 || c != 0) state.SkipWithError("a peer failed");
        }
        double seconds = std::chrono::duration<double>(Steady::now() - begin).count();
        state.SetIterationTime(seconds);
        state.counters["frames_per_second"] = frames / seconds;
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_HeadlessPeers)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
