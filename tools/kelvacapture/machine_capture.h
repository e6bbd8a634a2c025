// The whole capture: the system, every adapter the library lists, the devices of the class
// "Net", the registry keys and INF files the suite reads, written as a machine directory with
// its capture.log.
#pragma once

#include <string_view>

namespace kv::capture {

// Returns the program's exit code: 0 when the machine directory was written (reads that failed
// are in capture.log), 1 when the directory cannot be written.
int captureMachine(std::u16string_view directory);

}  // namespace kv::capture
