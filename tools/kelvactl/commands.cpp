#include "commands.h"

#include <algorithm>

#include "kv/jobs/text_layout.h"

namespace kv::kelvactl {

namespace {

constexpr std::string_view kAdapterHelp =
    "ADAPTER is the index kelvactl list shows, the adapter's Ethernet address in any common spelling\n"
    "(00-1D-7A-00-00-01, 00:1d:7a:00:00:01, 001D7A000001) or its connection name (\"Local Area Connection\").\n";

}  // namespace

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"list",
         "list",
         "every adapter the library lists, with its address, chip, link and parent",
         "Lists every adapter the protocol driver is bound to: its index (the ADAPTER of the other\n"
         "commands), Ethernet address, chip, link and, for a VLAN, the adapter it belongs to.\n",
         {},
         0,
         0,
         runList},
        {"info",
         "info ADAPTER",
         "identity, addresses, link and driver, as the General and Driver pages show them",
         "Shows what the utility's General and Driver pages show: the Ethernet and IP address, connection\n"
         "name, VLAN ID, link speed and duplex, the PCI location, identifiers and resources, and the\n"
         "driver's description, provider, version, date, INF file and program files.\n",
         {},
         1,
         1,
         runInfo},
        {"stats",
         "stats ADAPTER [--interval S] [--count N]",
         "traffic counters, and the throughput between samples",
         "Reads the adapter's counters (packets sent and received, send and receive errors, bytes sent and\n"
         "received) N times, S seconds apart (default: once; S defaults to 1), and shows the throughput\n"
         "between one sample and the next. --count 0 samples until Ctrl+C.\n",
         {"--interval", "--count"},
         1,
         1,
         runStats},
        {"test",
         "test ADAPTER [--tests register,eeprom,mac-loopback,phy-loopback,irq,fifo] [--repeat N]",
         "the hardware self-tests, as the Diagnostics page runs them",
         "Runs the adapter's hardware self-tests (default: every test its chip has; the 4420 class has\n"
         "register, eeprom and loopback) with the Diagnostics page's rules: on Windows 5.1 and 5.2 the\n"
         "other protocols are unbound around the run and the frames already queued drained; the driver is\n"
         "reloaded at the end, whatever happened. --repeat N runs N passes (0: until Ctrl+C, which stops\n"
         "after the test that runs). Shows each test's passes and failures, the failures of the last pass\n"
         "and the verdict; exits with 1 when a test failed.\n",
         {"--tests", "--repeat"},
         1,
         1,
         runTest},
        {"cable",
         "cable ADAPTER",
         "the cable analysis: each pair's state and distance, or the length with link",
         "Runs the cable analysis of the Cable page. Without link each pair is tested for a short or an\n"
         "open and the distance to it; with link the PHY's estimate of the cable length is shown for every\n"
         "pair. The link drops for some seconds while the PHY negotiates again. Exits with 1 when a pair\n"
         "has a fault.\n",
         {},
         1,
         1,
         runCable},
        {"green",
         "green ADAPTER [on|off]",
         "show or switch the green feature",
         "Shows the green feature's status, the cable-length stage the PHY chose and the controller's\n"
         "power, or switches the feature on or off (it needs a link of 100 Mbps or more to switch on;\n"
         "exits with 1 when there is none).\n",
         {},
         1,
         2,
         runGreen},
        {"wol",
         "wol ADDRESS [--adapter ADAPTER] [--ip A.B.C.D] [--name NAME]",
         "send a magic packet, as the Wake On LAN page does",
         "Sends a magic packet for the Ethernet address ADDRESS (any common spelling) through the adapter\n"
         "(default: adapter 0). --ip and --name also start the system's ping once for that IPv4 address or\n"
         "NetBIOS name, whose address resolution or name query wakes an adapter set to wake on them.\n",
         {"--adapter", "--ip", "--name"},
         1,
         1,
         runWol},
        {"advanced",
         "advanced ADAPTER [NAME [VALUE]]",
         "the driver's advanced settings and their values; show one; set one",
         "Lists the driver's advanced settings (as its installation describes them under Ndi\\params) with\n"
         "their values and the values each may hold, shows one (NAME: its name or its description), or\n"
         "sets one: VALUE is one of the listed values or their texts, a number in the setting's range, a\n"
         "text (written in upper case, as the page's field turns it), or \"Not Present\" for an optional\n"
         "setting. The value is written into the driver key and the driver reloaded, as the Advanced\n"
         "Setting page's \"Modify\" does; the other settings are left as they are.\n",
         {},
         1,
         3,
         runAdvanced},
        {"vlan",
         "vlan ADAPTER [list | add ID | delete ID | set ID NEW]",
         "the VLAN page's operations",
         "Lists the VLANs of a physical adapter (each a virtual adapter of its own) with their IDs,\n"
         "connection names and adapters, adds a VLAN with an ID from 1 to 4094, deletes one or gives one a\n"
         "new ID, as the VLAN page does; the driver must be version 5.611 or later.\n",
         {},
         1,
         4,
         runVlan},
        {"reload",
         "reload ADAPTER",
         "reload the adapter's driver",
         "Disables and enables the adapter, so that its driver starts again with its settings.\n",
         {},
         1,
         1,
         runReload},
        {"eeprom",
         "eeprom ADAPTER",
         "the serial EEPROM's words, as hex",
         "Reads every word of the adapter's serial EEPROM through its EEPROM port (64 or 128 words), and\n"
         "puts the port's pins back as they were.\n",
         {},
         1,
         1,
         runEeprom},
        {"regs",
         "regs ADAPTER",
         "the controller's register window, as hex",
         "Reads the controller's register window (1024 bytes) in one read.\n",
         {},
         1,
         1,
         runRegs},
        {"report",
         "report [ADAPTER]",
         "everything the read-only commands show, in one document for a support case",
         "Writes one document with the suite's version, the Windows version, the protocol driver's state,\n"
         "the adapter list and, for one adapter or for all, what info, stats, green, advanced, vlan, eeprom and regs\n"
         "show.\n"
         "The document is written even when the protocol driver does not open (the exit status is 4 then).\n",
         {},
         0,
         1,
         runReport},
    };
    return table;
}

const Command* findCommand(std::string_view name) {
    const auto& table = commands();
    const auto found = std::find_if(table.begin(), table.end(), [&](const Command& c) { return c.name == name; });
    return found == table.end() ? nullptr : &*found;
}

std::string generalHelp() {
    std::vector<std::vector<std::string>> rows;
    for (const Command& command : commands()) rows.push_back({std::string(command.name), std::string(command.summary)});
    std::string text =
        "Usage: kelvactl [--json] [--verbose] COMMAND [ADAPTER] [ARGS]\n"
        "       kelvactl COMMAND --help\n\n"
        "Diagnostics of the Tavrick family's Ethernet adapters from the command line.\n\nCommands:\n";
    text += jobs::tableText(rows, 2) + "\n" + std::string(kAdapterHelp) +
            "\nOptions:\n"
            "  --json       one JSON document on standard output (keys in docs/CLI.md)\n"
            "  --verbose    show the library's own messages on standard error\n"
            "  --help       this text, or a command's with kelvactl COMMAND --help\n"
            "  --version    the suite's version\n"
            "\nExit status: 0 done and healthy; 1 done and a fault found; 2 usage; 3 no such adapter;\n"
            "4 the library or driver failed; 130 stopped by Ctrl+C (what was changed is put back).\n";
    return text;
}

std::string commandHelp(const Command& command) {
    std::string text =
        "Usage: kelvactl [--json] " + std::string(command.synopsis) + "\n\n" + std::string(command.details);
    if (command.synopsis.find("ADAPTER") != std::string_view::npos) text += "\n" + std::string(kAdapterHelp);
    return text;
}

}  // namespace kv::kelvactl
