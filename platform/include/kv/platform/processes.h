// Starting programs: hidden, waiting for them or not.
#pragma once

#include <cstdint>
#include <string_view>

namespace kv::platform {

struct StartRequest {
    std::u16string_view verb = u"open";  // the shell verb ("open", "Open")
    std::u16string_view file;             // program, relative to the current directory or a full path
    std::u16string_view parameters;       // handed to the program as its command line, never to a shell
    bool hidden = true;
    bool wait = false;                    // wait for the program to end
};

class Processes {
public:
    virtual ~Processes() = default;
    // ShellExecuteExW / CreateProcessW. With wait, *exitCode receives the program's exit code.
    virtual bool start(const StartRequest& request, uint32_t* exitCode = nullptr) = 0;
};

Processes& processes();

}  // namespace kv::platform
