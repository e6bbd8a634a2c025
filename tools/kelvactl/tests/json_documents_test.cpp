// Every command's JSON document against the keys docs/CLI.md documents for it: the keys the runs
// of a command produce are exactly the documented ones, no more and no fewer.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "kv/sim/json.h"
#include "kv/sim/testing/machine_directory.h"
#include "machine.h"

namespace kv::kelvactl {
namespace {

using sim::Json;
using sim::testing::MachineDirectory;
using Keys = std::set<std::string>;

// A section of the documentation: its rows' keys and the shapes they hold ("`link` object").
struct Section {
    std::vector<std::pair<std::string, std::string>> rows;  // key, shape or empty
};

std::map<std::string, Section> documentedSections() {
    std::istringstream doc(sim::testing::readFile(KV_CLI_DOC));
    std::map<std::string, Section> sections;
    Section* current = nullptr;
    for (std::string line; std::getline(doc, line);) {
        if (line.rfind("### `", 0) == 0) {
            current = &sections[line.substr(5, line.find('`', 5) - 5)];
        } else if (line.rfind("## ", 0) == 0) {
            current = nullptr;
        } else if (current && line.rfind("| `", 0) == 0) {
            const std::string key = line.substr(3, line.find('`', 3) - 3);
            const size_t typeStart = line.find('|', 3) + 1;
            const std::string type = line.substr(typeStart, line.find('|', typeStart) - typeStart);
            const size_t shape = type.find('`');
            current->rows.emplace_back(key, shape == std::string::npos
                                                ? std::string()
                                                : type.substr(shape + 1, type.find('`', shape + 1) - shape - 1));
        }
    }
    return sections;
}

// The documented keys of a section, the shapes' keys spelled out under their rows.
Keys documentedKeys(const std::map<std::string, Section>& sections, const std::string& name) {
    Keys keys;
    for (const auto& [key, shape] : sections.at(name).rows) {
        if (key.size() < 2 || key.compare(key.size() - 2, 2, "[]") != 0) keys.insert(key);
        if (shape.empty()) continue;
        for (const std::string& inner : documentedKeys(sections, shape)) keys.insert(key + "." + inner);
    }
    return keys;
}

// Every key of a document: members of objects, "[]" for the elements of arrays of objects.
void collectKeys(const Json& value, const std::string& prefix, Keys& keys) {
    if (value.isObject()) {
        for (const auto& [name, member] : value.items()) {
            const std::string key = prefix.empty() ? name : prefix + "." + name;
            keys.insert(key);
            collectKeys(member, key, keys);
        }
    } else if (value.isArray()) {
        for (const Json& element : value.elements())
            if (element.isObject()) collectKeys(element, prefix + "[]", keys);
    }
}

TEST(KelvactlJson, EveryDocumentHasExactlyItsDocumentedKeys) {
    const MachineDirectory machine{kelvactlMachine()};
    const struct {
        const char* section;
        std::vector<std::vector<std::string>> runs;
        int exitCode;
    } commands[] = {
        {"list", {{"list"}}, 0},
        {"info", {{"info", "0"}, {"info", "2"}, {"info", "3"}}, 0},
        {"stats", {{"stats", "0", "--count", "2", "--interval", "0.5"}}, 0},
        {"test", {{"test", "0", "--repeat", "2"}}, 0},
        {"cable", {{"cable", "2"}}, 1},
        {"green", {{"green", "0"}, {"green", "0", "on"}}, 0},
        {"advanced",
         {{"advanced", "0"}, {"advanced", "0", "*SpeedDuplex"}, {"advanced", "0", "Receive Buffers", "128"}},
         0},
        {"wol",
         {{"wol", "00-11-22-33-44-55", "--ip", "192.168.1.5", "--name", "FILESERVER"}, {"wol", "001122334455"}},
         0},
        {"vlan", {{"vlan", "0", "add", "12"}, {"vlan", "0", "set", "12", "30"}, {"vlan", "0"}}, 0},
        {"reload", {{"reload", "0"}}, 0},
        {"eeprom", {{"eeprom", "0"}}, 0},
        {"regs", {{"regs", "0"}}, 0},
        {"report", {{"report"}}, 0},
        {"--version", {{"--version"}}, 0},
        {"error", {{"info", "9"}}, 3},
    };
    const auto sections = documentedSections();
    for (const auto& command : commands) {
        Keys produced;
        for (std::vector<std::string> arguments : command.runs) {
            arguments.insert(arguments.begin(), "--json");
            const auto run = machine.run(KV_KELVACTL, arguments);
            EXPECT_EQ(run.exitCode, command.exitCode) << arguments[1] << ": " << run.errors;
            collectKeys(sim::parseJson(run.output), "", produced);
        }
        EXPECT_EQ(produced, documentedKeys(sections, command.section)) << command.section;
    }
}

}  // namespace
}  // namespace kv::kelvactl
