// registry.reg: the keys the suite reads, exported from the system's registry as "Windows
// Registry Editor Version 5.00" text in UTF-8 — strings as "text", DWORDs as dword:, every other
// type as hex(N): bytes.
#pragma once

#include <string>
#include <string_view>

#include "capture_log.h"
#include "kv/platform/registry.h"

namespace kv::capture {

class RegistryExport {
public:
    explicit RegistryExport(CaptureLog& log) : log_(log) {}

    // A key under HKEY_LOCAL_MACHINE with its values and every subkey below it, written under
    // the path `exportAs` (its own path when empty). A key that cannot be opened is logged and
    // left out, with what lies below it. False when the key is not there.
    bool addTree(std::u16string_view path, std::u16string_view exportAs = {});
    // One value of a key under HKEY_LOCAL_MACHINE (the key's other values stay out), written
    // like addTree's keys. False when the value is not there.
    bool addValue(std::u16string_view path, std::u16string_view name, std::u16string_view exportAs = {});

    std::string text() const;

private:
    void addKey(platform::RegKeyHandle key, const std::u16string& exportPath, const std::u16string& path);
    void appendValue(std::u16string_view name, uint32_t type, const std::vector<uint8_t>& data);

    CaptureLog& log_;
    std::string text_;
};

}  // namespace kv::capture
