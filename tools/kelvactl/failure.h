// How kelvactl ends: its exit statuses, and the failure that ends a command early with the one line
// that says what failed and what to do.
#pragma once

#include <stdexcept>
#include <string>

namespace kv::kelvactl {

namespace exitcode {
inline constexpr int kDone = 0;           // done, and healthy
inline constexpr int kFaultFound = 1;     // done, and a fault found (a failed test, a cable fault, no link)
inline constexpr int kUsage = 2;          // the command line is wrong
inline constexpr int kNoSuchAdapter = 3;  // no adapter answers to the ADAPTER argument
inline constexpr int kLibraryFailed = 4;  // the library or the driver failed or refused
inline constexpr int kInterrupted = 130;  // Ctrl+C: stopped at a safe point, what was changed put back
}  // namespace exitcode

class Failure : public std::runtime_error {
public:
    Failure(int exitCode, const std::string& message) : std::runtime_error(message), exitCode_(exitCode) {}
    int exitCode() const { return exitCode_; }

private:
    int exitCode_;
};

[[noreturn]] inline void fail(int exitCode, const std::string& message) { throw Failure(exitCode, message); }

}  // namespace kv::kelvactl
