// Message boxes and the diagnostic lines written to standard output.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace kv::platform {

namespace mb {
inline constexpr uint32_t kOk = 0x0;
inline constexpr uint32_t kOkCancel = 0x1;
inline constexpr uint32_t kYesNo = 0x4;
inline constexpr uint32_t kIconError = 0x10;
inline constexpr uint32_t kIconQuestion = 0x20;
inline constexpr uint32_t kIconExclamation = 0x30;
inline constexpr uint32_t kIconInformation = 0x40;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
}  // namespace mb

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // MessageBoxW(no owner, text, caption, flags), modal, shown from the calling thread.
    virtual int show(std::u16string_view text, std::u16string_view caption, uint32_t flags) = 0;
};

MessageBoxes& messageBoxes();

// Who shows the boxes on the simulated host: a windowed program installs a presenter that puts
// each box on its screen and returns the button pressed (without one, the host answers with the
// box's affirmative button). On Windows the system shows the boxes itself and the presenter is
// not used. An empty presenter removes the installed one.
using MessageBoxPresenter = std::function<int(std::u16string_view text, std::u16string_view caption, uint32_t flags)>;
void setMessageBoxPresenter(MessageBoxPresenter presenter);

// A program without windows (a command line run from a script) takes every box itself, on both
// hosts: the presenter answers in place of the system's box, which would wait for a click nobody
// makes. On the simulated host the box is traced first, as every box is. An empty presenter gives
// the boxes back to the system.
void setConsoleMessageBoxes(MessageBoxPresenter presenter);

class Console {
public:
    virtual ~Console() = default;
    // Writes text to standard output as it stands.
    virtual void write(std::string_view text) = 0;
};

Console& console();

// Where the diagnostic lines go instead of standard output: a program whose standard output
// carries a document of its own (a JSON report) takes them elsewhere. On the simulated host they
// are traced all the same. An empty sink sends them to standard output again.
using ConsoleSink = std::function<void(std::string_view text)>;
void setConsoleSink(ConsoleSink sink);

}  // namespace kv::platform
