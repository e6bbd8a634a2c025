// kelvactl wol: a magic packet through an adapter, as the Wake On LAN page sends it, and the
// page's ping for an IPv4 address or a NetBIOS name.
#include "adapter_argument.h"
#include "commands.h"
#include "failure.h"
#include "invocation.h"
#include "json_facts.h"
#include "kv/ipv4.h"
#include "kv/jobs/wake_on_lan.h"
#include "kv/text.h"

namespace kv::kelvactl {

namespace {

// Starts the page's ping for the target; its JSON.
JsonValue ping(Output& out, const std::string& target) {
    const bool started = jobs::startPing(utf8ToUtf16(target));
    out.print(started ? "Started ping -n 1 " + target + ".\n" : "");
    if (!started) out.note("ping could not be started for " + target);
    return JsonValue::object().set("target", target).set("started", started);
}

// The adapter --adapter names, or the first one.
jobs::ListedAdapter resolveSender(Invocation& invocation) {
    const auto& adapters = invocation.library().adapters();
    if (const auto named = invocation.line().option("--adapter")) return resolveAdapter(*named, adapters);
    if (adapters.empty()) fail(exitcode::kNoSuchAdapter, "the protocol driver lists no adapter to send through");
    return adapters.front();
}

}  // namespace

int runWol(Invocation& invocation) {
    const std::string& addressText = invocation.line().positionals.at(0);
    const auto target = jobs::parseEthernetAddressAnySpelling(addressText);
    if (!target)
        fail(exitcode::kUsage, "\"" + addressText +
                                   "\" is no Ethernet address: give twelve hexadecimal digits, as 00-1D-7A-00-00-01 "
                                   "or 001D7A000001");
    const auto ip = invocation.line().option("--ip");
    if (ip && !parseIpv4(*ip))
        fail(exitcode::kUsage, "\"" + *ip + "\" is no IPv4 address: give four numbers, as 192.168.1.20");
    const auto name = invocation.line().option("--name");
    if (name && name->empty()) fail(exitcode::kUsage, "--name needs the computer's NetBIOS name");

    const jobs::ListedAdapter adapter = resolveSender(invocation);
    invocation.select(adapter);
    const size_t mark = invocation.messages().mark();
    const bool sent = jobs::sendMagicPacket(*target);
    Output& out = invocation.output();
    const std::string targetText = jobs::ethernetAddressText(target->data());
    if (!sent)
        fail(exitcode::kLibraryFailed, "the magic packet could not be sent through " + adapterName(adapter) +
                                           invocation.messages().saidSince(mark) +
                                           ": choose another adapter with --adapter");
    out.print("Magic packet for " + targetText + " sent through " + adapterName(adapter) + ".\n");
    JsonValue document = JsonValue::object()
                             .set("target", targetText)
                             .set("adapter", adapterJson(adapter))
                             .set("magic_packet_sent", true)
                             .set("ping_ip", ip ? ping(out, *ip) : JsonValue())
                             .set("ping_name", name ? ping(out, *name) : JsonValue());
    out.setDocument(std::move(document));
    return exitcode::kDone;
}

}  // namespace kv::kelvactl
