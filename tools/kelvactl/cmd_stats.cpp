// kelvactl stats: the counters, sampled N times S seconds apart, with the throughput between one
// sample and the next.
#include <cstdio>

#include "commands.h"
#include "failure.h"
#include "invocation.h"
#include "json_facts.h"
#include "kv/platform/system.h"

namespace kv::kelvactl {

namespace {

struct Sample {
    double elapsedSeconds;
    jobs::CounterSample counters;
    std::optional<jobs::SampleRates> rates;  // none for the first sample
};

std::string sampleHeading(size_t number, const Sample& sample) {
    char text[64];
    std::snprintf(text, sizeof text, "Sample %zu at %.1f s\n", number, sample.elapsedSeconds);
    return text;
}

}  // namespace

int runStats(Invocation& invocation) {
    const double interval = invocation.secondsOption("--interval", 1.0, 0.1, 3600.0);
    const uint32_t count = invocation.numberOption("--count", 1, 0, 1000000);  // 0: until Ctrl+C
    const jobs::ListedAdapter adapter = invocation.adapterArgument(0);
    const jobs::AdapterRecords records = invocation.select(adapter);
    Output& out = invocation.output();
    out.print(jobs::adapterHeading(adapter) + "\n");

    auto& clock = platform::clock();
    const uint64_t startMs = clock.nowMs();
    std::vector<Sample> samples;
    bool interrupted = false;
    for (uint32_t n = 0; count == 0 || n < count; ++n) {
        if ((n > 0 && !Invocation::pause(static_cast<uint32_t>(interval * 1000.0 + 0.5))) ||
            Invocation::interrupted()) {
            interrupted = true;
            break;
        }
        Sample sample{static_cast<double>(clock.nowMs() - startMs) / 1000.0, jobs::readCounters(records.driverVersion),
                      std::nullopt};
        if (!samples.empty())
            sample.rates = jobs::ratesBetween(samples.back().counters, sample.counters,
                                              sample.elapsedSeconds - samples.back().elapsedSeconds);
        if (count != 1) out.print((n > 0 ? "\n" : "") + sampleHeading(n + 1, sample));
        out.print(jobs::countersText(sample.counters, sample.rates));
        samples.push_back(std::move(sample));
        if (count != 1) out.progress("sample " + std::to_string(n + 1) + (count ? " of " + std::to_string(count) : ""));
    }

    JsonValue list = JsonValue::array();
    for (const Sample& sample : samples) {
        JsonValue entry = countersJson(sample.counters);
        entry.set("elapsed_s", JsonValue::number(sample.elapsedSeconds))
            .set("throughput", sample.rates ? ratesJson(*sample.rates) : JsonValue());
        list.push(std::move(entry));
    }
    out.setDocument(JsonValue::object()
                        .set("adapter", adapterJson(adapter))
                        .set("interval_s", JsonValue::number(interval))
                        .set("samples", std::move(list))
                        .set("interrupted", interrupted));
    return interrupted ? exitcode::kInterrupted : exitcode::kDone;
}

}  // namespace kv::kelvactl
