// Common ground of the capture's tests: machines written as directories in a scratch folder,
// installed from there on the virtual clock like a support engineer's machine, and captured
// in-process into another folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "kv/sim/host.h"
#include "kv/sim/machine.h"
#include "kv/sim/testing/machine_builder.h"
#include "kv/sim/testing/machine_directory.h"
#include "kv/sim/testing/scratch_directory.h"
#include "kv/text.h"
#include "machine_capture.h"

namespace kv::capture::test {

using sim::testing::MachineBuilder;

class CaptureTest : public ::testing::Test {
protected:
    std::filesystem::path folder(const std::string& name) const { return root_ / name; }

    // Loads the machine directory and makes it the host's machine, its trace empty.
    static sim::Host& installFrom(const std::filesystem::path& directory) {
        sim::Host& host = sim::Host::get();
        host.install(sim::loadMachineDirectory(directory), sim::SimClock::Mode::Virtual);
        return host;
    }

    // Installs the machine afresh and captures it into `target`; returns the exit code.
    static int captureFreshly(const std::filesystem::path& machine, const std::filesystem::path& target) {
        installFrom(machine);
        return captureMachine(utf8ToUtf16(target.string()));
    }

    static std::string fileText(const std::filesystem::path& path) { return sim::testing::readFile(path); }

private:
    sim::testing::ScratchDirectory scratch_;
    std::filesystem::path root_ = std::filesystem::current_path();
};

}  // namespace kv::capture::test
