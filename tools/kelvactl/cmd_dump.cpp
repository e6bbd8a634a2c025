// kelvactl eeprom and regs: the serial EEPROM's words and the register window, as hex.
#include "commands.h"
#include "failure.h"
#include "invocation.h"
#include "json_facts.h"
#include "kv/jobs/capabilities.h"

namespace kv::kelvactl {

namespace {

constexpr std::string_view kFamilyOnly = "only the Tavrick family's chips have one";

jobs::ListedAdapter familyAdapter(Invocation& invocation, std::string_view what) {
    const jobs::ListedAdapter adapter = invocation.adapterArgument(0);
    const jobs::AdapterRecords records = invocation.select(adapter);
    Invocation::require(adapter, records, jobs::pageset::kFamilyChips, what, kFamilyOnly);
    return adapter;
}

}  // namespace

int runEeprom(Invocation& invocation) {
    const jobs::ListedAdapter adapter = familyAdapter(invocation, "serial EEPROM port");
    const auto config = jobs::readEepromConfig();
    const jobs::EepromRead read = config ? jobs::readEepromWords(*config, Invocation::interrupted) : jobs::EepromRead{};
    if (read.outcome == jobs::EepromRead::Outcome::PortUnreadable)
        fail(exitcode::kLibraryFailed, "the driver of " + adapterName(adapter) + " refused to read the EEPROM port");
    if (read.outcome == jobs::EepromRead::Outcome::PinWriteRefused)
        fail(exitcode::kLibraryFailed, "the driver of " + adapterName(adapter) +
                                           " refused a write to the EEPROM port in the middle of a word; the port's "
                                           "pins may be left driven: reload the driver (kelvactl reload)");
    Output& out = invocation.output();
    out.print(jobs::adapterHeading(adapter) + "\n" + jobs::hexWordsText(read.words));
    if (!read.pinsRestored)
        out.note("the EEPROM port's pins could not be put back: reload the driver (kelvactl reload)");
    out.setDocument(JsonValue::object().set("adapter", adapterJson(adapter)).set("eeprom", eepromJson(read)));
    return read.outcome == jobs::EepromRead::Outcome::Stopped ? exitcode::kInterrupted : exitcode::kDone;
}

int runRegs(Invocation& invocation) {
    const jobs::ListedAdapter adapter = familyAdapter(invocation, "register window");
    const auto window = jobs::readRegisterWindow();
    if (!window)
        fail(exitcode::kLibraryFailed, "the driver of " + adapterName(adapter) + " refused to read the registers");
    invocation.output().print(jobs::adapterHeading(adapter) + "\n" + jobs::hexBytesText(*window));
    invocation.output().setDocument(
        JsonValue::object().set("adapter", adapterJson(adapter)).set("registers", registersJson(*window)));
    return exitcode::kDone;
}

}  // namespace kv::kelvactl
