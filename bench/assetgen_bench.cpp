// How long the build's asset step takes: one whole assetgen run (pictures, sound effects
// and the eight tunes) into a scratch directory. The sounds and music are meant to take
// well under ten seconds on two cores; child_cpu_s shows the processor time behind it.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

// The benchmark binary and assetgen are built into the same directory.
fs::path assetgenPath() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path("assetgen") : self.parent_path() / "assetgen";
}

double childCpuSeconds() {
    rusage r{};
    getrusage(RUSAGE_CHILDREN, &r);
    return r.ru_utime.tv_sec + r.ru_stime.tv_sec + 1e-6 * (r.ru_utime.tv_usec + r.ru_stime.tv_usec);
}

void BM_GenerateAllAssets(benchmark::State& state) {
    fs::path tool = assetgenPath();
    if (!fs::exists(tool)) {
        state.SkipWithError("assetgen not built beside the benchmark");
        return;
    }
    fs::path out = fs::temp_directory_path() / ("parapet-assetgen-bench-" + std::to_string(getpid()));
    std::string cmd = "\"" + tool.string() + "\" \"" + out.string() + "\" >/dev/null 2>&1";
    double cpuBefore = childCpuSeconds();
    for (auto _ : state) {
        if (std::system(cmd.c_str()) != 0) {
            state.SkipWithError("assetgen failed");
            break;
        }
    }
    state.counters["child_cpu_s"] =
        benchmark::Counter((childCpuSeconds() - cpuBefore) / static_cast<double>(state.iterations()));
    fs::remove_all(out);
}
BENCHMARK(BM_GenerateAllAssets)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

}  // namespace
