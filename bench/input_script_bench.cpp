#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/headless/input_script.h"

namespace {

struct ScratchFile {
    std::string path;
    ~ScratchFile() {
        if (!path.empty()) std::remove(path.c_str());
    }
};

// Scripts near the 64 MiB a script may have, written once per process: 0 mixes taps, key
// changes, stick moves and comments as a long scripted run holds them; 1 is long taps only,
// every release landing hundreds of lines after its press.
const std::string& bigScript(int kind, size_t& bytes) {
    static ScratchFile files[2];
    static size_t sizes[2] = {};
    std::string& path = files[kind].path;
    if (path.empty()) {
        path = (std::filesystem::temp_directory_path() /
                ("parapet_bench_script_" + std::to_string(::getpid()) + "_" + std::to_string(kind) +
                 ".txt"))
                   .string();
        std::ofstream out(path);
        const char* mixed[] = {" tap RSHIFT\n", " key LEFT down\n", " key LEFT up\n",
                               " joy 0 axis x -1024  # run left\n", " tap SPACE 3\n"};
        std::string line;
        for (int frame = 1; sizes[kind] < (62u << 20); ++frame) {
            line = std::to_string(frame) + (kind == 0 ? mixed[frame % 5] : " tap SPACE 500\n");
            out << line;
            sizes[kind] += line.size();
        }
    }
    bytes = sizes[kind];
    return path;
}

// How much the resident memory of a fresh process grows while it loads the script: the peak
// of the load alone, measured in a child so earlier runs cannot hide it.
long peakGrowthKiB(const std::string& path) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return -1;
    pid_t child = ::fork();
    if (child == 0) {
        rusage before{}, after{};
        ::getrusage(RUSAGE_SELF, &before);
        InputScript script;
        std::string error;
        loadInputScript(path, script, error);
        ::getrusage(RUSAGE_SELF, &after);
        long growth = after.ru_maxrss - before.ru_maxrss;
        _exit(::write(pipeFds[1], &growth, sizeof growth) == sizeof growth ? 0 : 1);
    }
    long growth = -1;
    if (::read(pipeFds[0], &growth, sizeof growth) != sizeof growth) growth = -1;
    ::waitpid(child, nullptr, 0);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    return growth;
}

}  // namespace

// Loading the biggest script allowed: it must go at 10 MB/s or more, with memory following
// the commands it holds, never the file's size.
static void BM_LoadBigInputScript(benchmark::State& state) {
    size_t bytes = 0;
    const std::string& path = bigScript(static_cast<int>(state.range(0)), bytes);
    size_t commands = 0;
    for (auto _ : state) {
        InputScript script;
        std::string error;
        if (!loadInputScript(path, script, error)) state.SkipWithError(error.c_str());
        commands = script.commands.size();
        benchmark::DoNotOptimize(script.commands.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    long kib = peakGrowthKiB(path);
    state.counters["file_MiB"] = static_cast<double>(bytes) / (1 << 20);
    state.counters["commands"] = static_cast<double>(commands);
    state.counters["peak_MiB"] = static_cast<double>(kib) / 1024;
    state.counters["peak_bytes_per_command"] =
        commands > 0 ? static_cast<double>(kib) * 1024 / static_cast<double>(commands) : 0;
    state.counters["command_bytes"] = sizeof(InputCommand);
}
BENCHMARK(BM_LoadBigInputScript)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kSecond)
    ->Iterations(3)
    ->UseRealTime();
