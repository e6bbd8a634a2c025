// Message boxes and the diagnostic lines written to standard output.
#pragma once

#include <cstdint>
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

class Console {
public:
    virtual ~Console() = default;
    // Writes text to standard output as it stands.
    virtual void write(std::string_view text) = 0;
};

Console& console();

}  // namespace kv::platform
