// Loading and saving registry.reg, and one registry call of a program on a machine directory:
// a write takes the directory's lock, looks whether another program changed the file, and saves
// it flushed to disk; a read looks at the file's stamp.
#include <benchmark/benchmark.h>

#include <string>

#include "kv/platform/registry.h"
#include "kv/sim/reg_file.h"
#include "kv/sim/testing/machine_builder.h"

namespace {

std::string machineRegistry(int keys) {
    std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
    for (int i = 0; i < keys; ++i) {
        text +=
            "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\"
            "{4D36E972-E325-11CE-BFC1-08002BE10318}\\" +
            std::to_string(i) + "]\r\n";
        text += "\"DriverDesc\"=\"Tavrick PCI-E Gigabit Ethernet Controller\"\r\n";
        text += "\"NetCfgInstanceId\"=\"{6F1C2B3A-4450-4C1D-9A7E-1D7A44500001}\"\r\n";
        text += "\"Characteristics\"=dword:00000084\r\n";
        text += "\"InstallTimeStamp\"=hex:d9,07,0b,00,02,00,11,00,0e,00,1e,00,2a,00,00,00\r\n\r\n";
    }
    return text;
}

void BM_ParseRegistry(benchmark::State& state) {
    const std::string text = machineRegistry(static_cast<int>(state.range(0)));
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    for (auto _ : state) benchmark::DoNotOptimize(kv::sim::parseRegFile(bytes));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseRegistry)->Arg(16)->Arg(1024);

void BM_WriteRegistry(benchmark::State& state) {
    const std::string text = machineRegistry(static_cast<int>(state.range(0)));
    const auto tree =
        kv::sim::parseRegFile(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    for (auto _ : state) benchmark::DoNotOptimize(kv::sim::writeRegFile(tree, kv::sim::RegFileEncoding::Utf8));
}
BENCHMARK(BM_WriteRegistry)->Arg(16)->Arg(1024);

// The utility's settings key on the default machine, installed from a directory of its own
// (which lives as long as the builder).
struct SettingsKey {
    kv::sim::testing::MachineBuilder machine = kv::sim::testing::MachineBuilder::defaultMachine();
    kv::platform::RegKey key;
    SettingsKey() {
        namespace p = kv::platform;
        machine.inDirectory().install();
        p::registry().createKey(p::hiveKey(p::Hive::LocalMachine), u"SOFTWARE\\Kelvadiag", p::regaccess::kAllAccess,
                                key.receive());
    }
};

void BM_RegistryValueWrite(benchmark::State& state) {
    namespace p = kv::platform;
    const SettingsKey settings;
    uint32_t value = 0;
    for (auto _ : state) {
        ++value;
        if (p::registry().setValue(settings.key.get(), u"Bench", p::regtype::kDword, &value, sizeof value) != 0)
            state.SkipWithError("the registry write failed");
        kv::sim::Host::get().trace().clear();
    }
}
BENCHMARK(BM_RegistryValueWrite)->Unit(benchmark::kMicrosecond);

void BM_RegistryValueRead(benchmark::State& state) {
    namespace p = kv::platform;
    const SettingsKey settings;
    char16_t text[64];
    for (auto _ : state) {
        uint32_t bytes = sizeof text;
        if (p::registry().queryValue(settings.key.get(), u"AppDir", nullptr, text, &bytes) != 0)
            state.SkipWithError("the registry read failed");
    }
}
BENCHMARK(BM_RegistryValueRead);

}  // namespace
