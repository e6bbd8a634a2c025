#include "machine_capture.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "adapter_reads.h"
#include "capture_log.h"
#include "inf_copy.h"
#include "kelvalib.h"
#include "kv/platform/system.h"
#include "kv/protocol.h"
#include "kv/text.h"
#include "net_devices.h"
#include "output_directory.h"
#include "registry_export.h"
#include "registry_values.h"
#include "system_facts.h"

namespace kv::capture {

namespace {

std::u16string descriptionOf(const KV_WCHAR* slot) {
    std::u16string text;
    for (size_t i = 0; i < KV_DESCRIPTION_CHARS && slot[i]; ++i) text += static_cast<char16_t>(slot[i]);
    if (!text.empty() && text.back() == u'\n') text.pop_back();
    return text;
}

// The adapters the library lists, each read in turn; their GUIDs go to `guids`. A VLAN virtual
// adapter is written as an entry of its parent's "vlans", so that the replay starts it as a VLAN
// of that parent's miniport, as the original was.
JsonValue captureAdapters(CaptureLog& log, JsonValue& machine, std::vector<std::u16string>& guids) {
    JsonValue adapters = JsonValue::array();
    auto list = std::make_unique<AdapterList_W>();
    // Listing selects the first adapter: a busy one ends the program there, as every selection.
    log.note("listing the adapters");
    if (!API_GetAdapterList_W(list.get())) {
        log.skipped("adapters", "the protocol driver's adapter list ended abnormally");
        return adapters;
    }
    uint32_t tableError = 0;
    const auto table = readAdapterTable(log, &tableError);
    if (tableError) machine.member("ipHelper").member("faults").set("error", tableError);
    const uint32_t count = std::min<uint32_t>(list->Count, KV_MAX_ADAPTERS);
    auto isVlan = [&](uint32_t i) {
        return list->ParentIndex[i] >= 0 && static_cast<uint32_t>(list->ParentIndex[i]) < count;
    };
    std::vector<CapturedAdapter> captured;
    std::vector<int> written(count, -1);  // list index -> index in the adapters array
    for (uint32_t i = 0; i < count; ++i) {
        if (isVlan(i)) continue;
        written[i] = static_cast<int>(captured.size());
        captured.push_back(captureAdapter(static_cast<int>(i), descriptionOf(list->Description[i]), table, log));
    }
    std::vector<JsonValue> vlans(captured.size(), JsonValue::array());
    for (uint32_t i = 0; i < count; ++i) {
        if (!isVlan(i)) continue;
        const int parent = written[static_cast<size_t>(list->ParentIndex[i])];
        CapturedAdapter vlan = captureVlan(static_cast<int>(i), table, log);
        if (parent >= 0 && !vlan.guid.empty()) vlans[static_cast<size_t>(parent)].push(std::move(vlan.json));
    }
    for (size_t k = 0; k < captured.size(); ++k) {
        if (!vlans[k].empty()) captured[k].json.set("vlans", std::move(vlans[k]));
        guids.push_back(captured[k].guid);
        adapters.push(std::move(captured[k].json));
    }
    return adapters;
}

std::string registryText(CaptureLog& log) {
    RegistryExport reg(log);
    for (const char16_t* tree : {kNetClassKey, kNetworkConnectionsKey, kTcpipInterfacesKey}) reg.addTree(tree);
    // The replay has one registry view: a 32-bit utility's settings count as the utility's.
    if (!reg.addTree(kSettingsKey)) reg.addTree(kSettingsKey32, kSettingsKey);
    if (!reg.addValue(kRunKey, kRunValue)) reg.addValue(kRunKey32, kRunValue, kRunKey);
    return reg.text();
}

}  // namespace

int captureMachine(std::u16string_view directory) {
    OutputDirectory out{std::u16string(directory)};
    CaptureLog log;
    if (!out.make()) {
        log.note("The directory " + utf16ToUtf8(directory) + " cannot be made.");
        return 1;
    }
    log.startFile(out.path(u"capture.log"));
    log.note("Capturing this computer into " + utf16ToUtf8(directory));
    JsonValue machine = JsonValue::object();
    machine.set("name", "captured");
    machine.set("os", captureOs(log));

    const bool installed = serviceInstalled(protocol::kServiceName);
    const bool open = API_Open() == 1;
    const uint32_t openError = open ? 0 : platform::system().lastError();
    machine.set("protocolDriver", protocolDriverState(installed, openError, log));
    std::vector<std::u16string> guids;
    machine.set("adapters", open ? captureAdapters(log, machine, guids) : JsonValue::array());
    API_Close();
    if (!guids.empty())
        log.note(
            "protocol bindings: not read (only the binding tool lists them, and the capture starts no "
            "program); the replay binds the usual protocols");
    machine.set("devices", captureNetDevices(guids, log));
    machine.set("services", captureServices(log));

    const std::string registry = registryText(log);
    copyInfFiles(out, log);
    log.note(std::to_string(guids.size()) + " adapter(s) captured; " + std::to_string(log.skippedCount()) +
             " read(s) left out");
    const bool written = out.write(u"machine.json", machine.text()) && out.write(u"registry.reg", registry);
    if (!written) log.note("The machine files cannot be written into " + utf16ToUtf8(directory) + ".");
    return written ? 0 : 1;
}

}  // namespace kv::capture
