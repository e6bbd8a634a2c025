// One machine directory, several programs, one registry: each program's changes reach the others
// and survive them, writers killed at any moment never cut registry.reg, and a save that fails
// makes the registry call fail.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <thread>

#include "kv/platform/registry.h"
#include "kv/sim/host.h"
#include "kv/sim/reg_file.h"
#include "kv/sim/testing/machine_directory.h"
#include "kv/sim/testing/write_faults.h"
#include "kv/text.h"

namespace kv::sim {
namespace {

namespace p = kv::platform;
using testing::MachineBuilder;
using testing::MachineDirectory;

constexpr char kKeyText[] = "SOFTWARE\\Shared";

// A registry of some size, so that a cut file would lose keys.
std::string manyKeys() {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kept\\Key" + std::to_string(i) + "]\r\n\"Value\"=\"kept " +
                std::to_string(i) + "\"\r\n\r\n";
    return text;
}

MachineBuilder sharedMachine() {
    MachineBuilder machine;
    machine.addAdapter();
    machine.registry(manyKeys());
    return machine;
}

RegistryTree loadFile(const std::filesystem::path& path, std::vector<std::string>* warnings) {
    const std::string text = testing::readFile(path);
    return parseRegFile(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), warnings);
}

std::u16string stringAt(const RegistryTree& tree, std::u16string_view key, std::u16string_view value) {
    const RegistryKey* k = tree.find(key);
    const RegValue* v = k ? k->findValue(value) : nullptr;
    return v ? v->asString() : u"<missing>";
}

class SharedRegistry : public ::testing::Test {
protected:
    SharedRegistry() : directory_(sharedMachine()) {}

    // The test process is one of the programs on the directory.
    void loadHere() { Host::get().install(loadMachineDirectory(directory_.machine()), SimClock::Mode::Virtual); }
    int peer(const std::vector<std::string>& arguments) { return directory_.run(KV_REGISTRY_PEER, arguments).exitCode; }
    std::filesystem::path file() const { return directory_.machine() / "registry.reg"; }

    static uint32_t setHere(p::RegKeyHandle key, std::u16string_view name, std::u16string_view text) {
        const std::u16string data(text);
        return p::registry().setValue(key, name, p::regtype::kSz, data.c_str(),
                                      static_cast<uint32_t>((data.size() + 1) * sizeof(char16_t)));
    }
    static std::u16string readHere(p::RegKeyHandle key, std::u16string_view name) {
        char16_t buffer[64] = {};
        uint32_t bytes = sizeof buffer;
        if (p::registry().queryValue(key, name, nullptr, buffer, &bytes)) return u"<missing>";
        return buffer;
    }
    static p::RegKey createHere(std::u16string_view path) {
        p::RegKey key;
        EXPECT_EQ(
            p::registry().createKey(p::hiveKey(p::Hive::LocalMachine), path, p::regaccess::kAllAccess, key.receive()),
            0u);
        return key;
    }

    MachineDirectory directory_;
};

TEST_F(SharedRegistry, ProgramsReadEachOthersValuesAndKeepThem) {
    loadHere();
    p::RegKey key = createHere(u"SOFTWARE\\Shared");
    EXPECT_EQ(readHere(key.get(), u"Other"), u"<missing>");
    ASSERT_EQ(peer({"set", kKeyText, "Other", "b", "1"}), 0);
    // Read again without loading the machine anew.
    EXPECT_EQ(readHere(key.get(), u"Other"), u"b-0");
    ASSERT_EQ(setHere(key.get(), u"Mine", u"a"), 0u);
    ASSERT_EQ(peer({"set", kKeyText, "Other", "b", "2"}), 0);
    ASSERT_EQ(setHere(key.get(), u"Mine", u"a2"), 0u);

    std::vector<std::string> warnings;
    const RegistryTree saved = loadFile(file(), &warnings);
    EXPECT_EQ(warnings, std::vector<std::string>{});
    EXPECT_EQ(stringAt(saved, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Shared", u"Other"), u"b-1");
    EXPECT_EQ(stringAt(saved, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Shared", u"Mine"), u"a2");
    EXPECT_EQ(stringAt(saved, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Kept\\Key39", u"Value"), u"kept 39");
}

TEST_F(SharedRegistry, AKeyDeletedByAnotherProgramFailsThroughItsOpenHandleOnly) {
    loadHere();
    p::RegKey doomed = createHere(u"SOFTWARE\\Shared\\Doomed");
    p::RegKey beside = createHere(u"SOFTWARE\\Shared\\Beside");
    ASSERT_EQ(peer({"delete", "SOFTWARE\\Shared\\Doomed"}), 0);

    EXPECT_EQ(setHere(doomed.get(), u"Value", u"lost"), p::err::kKeyDeleted);
    EXPECT_EQ(readHere(doomed.get(), u"Value"), u"<missing>");
    EXPECT_EQ(setHere(beside.get(), u"Value", u"kept"), 0u);
    // A key made again under the name is another key: the old handle does not reach it.
    p::RegKey again = createHere(u"SOFTWARE\\Shared\\Doomed");
    EXPECT_EQ(setHere(again.get(), u"Value", u"new"), 0u);
    EXPECT_EQ(setHere(doomed.get(), u"Value", u"lost"), p::err::kKeyDeleted);
    EXPECT_EQ(p::registry().closeKey(doomed.release()), 0u);

    const RegistryTree saved = loadFile(file(), nullptr);
    EXPECT_EQ(stringAt(saved, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Shared\\Beside", u"Value"), u"kept");
    EXPECT_EQ(stringAt(saved, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Shared\\Doomed", u"Value"), u"new");
}

TEST_F(SharedRegistry, ABurstOfProgramsKeepsEveryProgramsLastValue) {
    constexpr int kPrograms = 4;
    constexpr int kWrites = 12;
    std::vector<std::unique_ptr<p::testing::StartedProgram>> programs;
    for (int i = 0; i < kPrograms; ++i)
        programs.push_back(directory_.start(KV_REGISTRY_PEER, {"set", kKeyText, "writer" + std::to_string(i),
                                                               "w" + std::to_string(i), std::to_string(kWrites)}));
    for (auto& program : programs) ASSERT_EQ(program->wait(), 0);

    std::vector<std::string> warnings;
    const RegistryTree saved = loadFile(file(), &warnings);
    EXPECT_EQ(warnings, std::vector<std::string>{});
    for (int i = 0; i < kPrograms; ++i)
        EXPECT_EQ(stringAt(saved, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Shared", utf8ToUtf16("writer" + std::to_string(i))),
                  utf8ToUtf16("w" + std::to_string(i) + "-" + std::to_string(kWrites - 1)));
}

// Writers killed at random moments, two at once and one alone: registry.reg always loads with
// every key it had, and the next writer clears what the killed ones left behind.
TEST_F(SharedRegistry, WritersKilledAtRandomMomentsNeverCutTheFile) {
    std::mt19937 random(std::random_device{}());
    const RegistryTree before = loadFile(file(), nullptr);
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        const int writers = round % 4 == 3 ? 1 : 2;
        std::vector<std::unique_ptr<p::testing::StartedProgram>> programs;
        for (int i = 0; i < writers; ++i)
            programs.push_back(directory_.start(KV_REGISTRY_PEER, {"set", kKeyText, "writer" + std::to_string(i),
                                                                   "round" + std::to_string(round), "1000000"}));
        // Kill them once the file has changed a random number of times, wherever they are then.
        const auto writes = std::uniform_int_distribution<int>(1, 4)(random);
        auto stamp = std::filesystem::last_write_time(file());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (int seen = 0; seen < writes && std::chrono::steady_clock::now() < deadline;) {
            std::this_thread::yield();
            std::error_code ec;
            const auto now = std::filesystem::last_write_time(file(), ec);
            if (!ec && now != stamp) ++seen, stamp = now;
        }
        for (auto& program : programs) program->kill();
        for (auto& program : programs) program->wait();

        std::vector<std::string> warnings;
        const RegistryTree saved = loadFile(file(), &warnings);
        EXPECT_EQ(warnings, std::vector<std::string>{});
        for (int i = 0; i < 40; ++i) {
            const std::u16string key = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Kept\\Key" + utf8ToUtf16(std::to_string(i));
            EXPECT_EQ(stringAt(saved, key, u"Value"), stringAt(before, key, u"Value"));
        }
    }
    ASSERT_EQ(peer({"set", kKeyText, "last", "x", "1"}), 0);
    for (const auto& entry : std::filesystem::directory_iterator(directory_.machine()))
        EXPECT_FALSE(entry.path().extension() == ".tmp") << entry.path();
}

// A full or read-only machine directory: the call fails with the system's error, the file stays
// byte for byte, and the value reads back as before.
TEST_F(SharedRegistry, ASaveThatFailsFailsTheCallAndChangesNothing) {
    struct Case {
        std::function<testing::WriteFaults()> faults;
        uint32_t error;
    } cases[] = {{[] { return testing::WriteFaults::diskFull(8192); }, p::err::kDiskFull},
                 {[] { return testing::WriteFaults::readOnly(); }, p::err::kAccessDenied}};
    loadHere();
    p::RegKey key = createHere(u"SOFTWARE\\Shared");
    ASSERT_EQ(setHere(key.get(), u"Value", u"old"), 0u);
    const std::string bytes = testing::readFile(file());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        {
            const auto faults = c.faults();
            EXPECT_EQ(setHere(key.get(), u"Value", u"new"), c.error);
            p::RegKey sub;
            EXPECT_EQ(p::registry().createKey(key.get(), u"Sub", p::regaccess::kAllAccess, sub.receive()), c.error);
        }
        EXPECT_EQ(readHere(key.get(), u"Value"), u"old");
        EXPECT_EQ(testing::readFile(file()), bytes);
        EXPECT_FALSE(Host::get().trace().linesOf("regsave").empty());
    }
    for (const auto& entry : std::filesystem::directory_iterator(directory_.machine()))
        EXPECT_FALSE(entry.path().extension() == ".tmp") << entry.path();
}

}  // namespace
}  // namespace kv::sim
