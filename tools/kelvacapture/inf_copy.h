// The INF files the network devices' driver keys name by "InfPath", copied into the machine
// directory's C tree: a bare name from the system's INF directory to C\WINDOWS\INF, an absolute
// path "X:\dir\file.inf" to X\dir\file.inf.
#pragma once

#include "capture_log.h"
#include "output_directory.h"

namespace kv::capture {

void copyInfFiles(OutputDirectory& out, CaptureLog& log);

}  // namespace kv::capture
