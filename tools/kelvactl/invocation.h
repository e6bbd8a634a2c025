// One run of a command: its command line, where it writes, the library's messages, and the library
// and adapter it works on, opened when the command first asks for them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "command_line.h"
#include "kv/jobs/adapter_facts.h"
#include "library_messages.h"
#include "library_session.h"
#include "output.h"

namespace kv::kelvactl {

class Invocation {
public:
    Invocation(const CommandLine& line, Output& output, LibraryMessages& messages)
        : line_(line), output_(output), messages_(messages) {}

    const CommandLine& line() const { return line_; }
    Output& output() { return output_; }
    LibraryMessages& messages() { return messages_; }

    // The library with its adapters listed; Failure when the protocol driver does not open.
    LibrarySession& library();
    // The adapter the positional argument names; Failure when none does.
    jobs::ListedAdapter adapterArgument(size_t position);
    // Makes the adapter the current one and reads its records; Failure when it does not answer.
    jobs::AdapterRecords select(const jobs::ListedAdapter& adapter);
    // Failure (library) when the adapter does not offer the job of these page-set bits.
    static void require(const jobs::ListedAdapter& adapter, const jobs::AdapterRecords& records, uint32_t jobBits,
                        std::string_view job, std::string_view whoHasIt);

    // A whole number option within [low, high]; the fallback when it is not given.
    uint32_t numberOption(std::string_view name, uint32_t fallback, uint32_t low, uint32_t high) const;
    // A number of seconds within [low, high], fractions allowed.
    double secondsOption(std::string_view name, double fallback, double low, double high) const;

    // Ctrl+C has been pressed: stop at the next safe point.
    static bool interrupted();
    // Waits on the platform clock in steps short enough to notice Ctrl+C soon; false when it came.
    static bool pause(uint32_t ms);

private:
    const CommandLine& line_;
    Output& output_;
    LibraryMessages& messages_;
    std::optional<LibrarySession> library_;
};

// "adapter 0 (Tavrick ...)", for messages.
std::string adapterName(const jobs::ListedAdapter& adapter);

}  // namespace kv::kelvactl
