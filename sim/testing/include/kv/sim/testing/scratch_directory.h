// A fresh temporary directory made the current one for a test (the outside tools exchange their
// files under fixed names there), and the previous current directory restored afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace kv::sim::testing {

class ScratchDirectory {
public:
    ScratchDirectory() : previous_(std::filesystem::current_path().string()) {
        std::random_device random;
        path_ = (std::filesystem::temp_directory_path() / ("kelva-test-" + std::to_string(random()))).string();
        std::filesystem::create_directories(path_);
        std::filesystem::current_path(path_);
    }
    ~ScratchDirectory() {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    bool has(const std::string& name) const { return std::filesystem::exists(std::filesystem::path(path_) / name); }
    std::string read(const std::string& name) const {
        std::ifstream in(std::filesystem::path(path_) / name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    // Kept as strings: the leak checker cannot follow the tagged pointers a multi-part
    // std::filesystem::path keeps its components behind, and reports them as leaks.
    std::string previous_;
    std::string path_;
};

}  // namespace kv::sim::testing
