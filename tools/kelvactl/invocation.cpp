#include "invocation.h"

#include <charconv>
#include <cstdio>

#include "adapter_argument.h"
#include "failure.h"
#include "kv/jobs/capabilities.h"
#include "kv/platform/system.h"
#include "kv/platform/terminal.h"

namespace kv::kelvactl {

namespace {

std::string numberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

std::string adapterName(const jobs::ListedAdapter& adapter) {
    return "adapter " + std::to_string(adapter.index) + " (" + adapter.description + ")";
}

LibrarySession& Invocation::library() {
    if (!library_) library_.emplace(LibrarySession::open());
    return *library_;
}

jobs::ListedAdapter Invocation::adapterArgument(size_t position) {
    if (position >= line_.positionals.size())
        fail(exitcode::kUsage, "name the adapter (an index, an Ethernet address or a connection name): see kelvactl " +
                                   line_.command + " --help");
    return resolveAdapter(line_.positionals[position], library().adapters());
}

jobs::AdapterRecords Invocation::select(const jobs::ListedAdapter& adapter) {
    const size_t mark = messages_.mark();
    auto records = jobs::selectAndRead(adapter.index);
    if (!records)
        fail(exitcode::kLibraryFailed, adapterName(adapter) + " does not answer" + messages_.saidSince(mark) +
                                           ": check that it is enabled and plugged in, then run kelvactl list");
    return std::move(*records);
}

void Invocation::require(const jobs::ListedAdapter& adapter, const jobs::AdapterRecords& records, uint32_t jobBits,
                         std::string_view job, std::string_view whoHasIt) {
    if (jobs::offers(records.pageSet, jobBits)) return;
    fail(exitcode::kLibraryFailed, adapterName(adapter) + " has no " + std::string(job) + ": " + std::string(whoHasIt));
}

uint32_t Invocation::numberOption(std::string_view name, uint32_t fallback, uint32_t low, uint32_t high) const {
    const auto text = line_.option(name);
    if (!text) return fallback;
    uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (ec != std::errc() || end != text->data() + text->size() || value < low || value > high)
        fail(exitcode::kUsage, std::string(name) + " takes a whole number from " + std::to_string(low) + " to " +
                                   std::to_string(high) + ", not \"" + *text + "\"");
    return value;
}

double Invocation::secondsOption(std::string_view name, double fallback, double low, double high) const {
    const auto text = line_.option(name);
    if (!text) return fallback;
    double value = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (ec != std::errc() || end != text->data() + text->size() || !(value >= low && value <= high))
        fail(exitcode::kUsage, std::string(name) + " takes seconds from " + numberText(low) + " to " +
                                   numberText(high) + ", not \"" + *text + "\"");
    return value;
}

bool Invocation::interrupted() { return platform::interrupted(); }

bool Invocation::pause(uint32_t ms) {
    constexpr uint32_t kStepMs = 250;
    for (uint32_t left = ms; left > 0 && !interrupted();) {
        const uint32_t step = left < kStepMs ? left : kStepMs;
        platform::clock().sleep(step);
        left -= step;
    }
    return !interrupted();
}

}  // namespace kv::kelvactl
