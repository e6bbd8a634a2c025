// A command request round trip through the library, the simulated driver and the adapter model,
// and a whole adapter listing: what every page refresh of the utility costs.
#include <benchmark/benchmark.h>

#include "kelvalib.h"
#include "kv/sim/testing/machine_builder.h"

namespace {

void install(int adapters) {
    kv::sim::testing::MachineBuilder machine;
    for (int i = 0; i < adapters; ++i) machine.addAdapter();
    machine.install();
    API_Open();
}

void BM_CommandRequest(benchmark::State& state) {
    install(1);
    AdapterList_A list{};
    API_GetAdapterList_A(&list);
    for (auto _ : state) {
        benchmark::DoNotOptimize(API_EnableTVXDiag());
        kv::sim::Host::get().trace().clear();
    }
    API_Close();
}
BENCHMARK(BM_CommandRequest);

void BM_ListAdapters(benchmark::State& state) {
    install(static_cast<int>(state.range(0)));
    AdapterList_A list{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(API_GetAdapterList_A(&list));
        kv::sim::Host::get().trace().clear();
    }
    API_Close();
}
BENCHMARK(BM_ListAdapters)->Arg(1)->Arg(10);

}  // namespace
