// A long-running program's memory: 100,000 library calls in one process that keeps no trace
// lines (as the programs users run), with the resident size before and after as counters.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "kelvalib.h"
#include "kv/sim/testing/machine_builder.h"

namespace {

// The resident set in MB, from /proc/self/statm; 0 where there is none.
double residentMb() {
    long pages = 0;
    long resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return 0;
    const int read = std::fscanf(statm, "%ld %ld", &pages, &resident);
    std::fclose(statm);
    return read == 2 ? static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0) : 0;
}

template <typename Call>
void runCalls(benchmark::State& state, Call call) {
    kv::sim::testing::MachineBuilder machine;
    machine.addAdapter();
    machine.install();
    kv::sim::Host::get().trace().keepLines(false);
    API_Open();
    AdapterList_A list{};
    API_GetAdapterList_A(&list);
    // A first round lets the process reach its working size.
    for (int i = 0; i < 1000; ++i) call();
    const double before = residentMb();
    for (auto _ : state)
        for (int i = 0; i < 100000; ++i) call();
    state.counters["rss_before_MB"] = before;
    state.counters["rss_after_MB"] = residentMb();
    state.counters["rss_growth_MB"] = residentMb() - before;
    API_Close();
}

void BM_LoopbackTestCalls(benchmark::State& state) {
    runCalls(state, [] { benchmark::DoNotOptimize(API_LoopbackTest()); });
}
BENCHMARK(BM_LoopbackTestCalls)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_GetOidCalls(benchmark::State& state) {
    runCalls(state, [] {
        uint32_t value = 0;
        uint32_t length = 0;
        benchmark::DoNotOptimize(API_GetOID(0x00010107, &value, sizeof value, &length));
    });
}
BENCHMARK(BM_GetOidCalls)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
