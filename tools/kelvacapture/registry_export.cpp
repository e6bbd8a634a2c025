#include "registry_export.h"

#include <cstdio>
#include <vector>

#include "kv/platform/types.h"
#include "kv/text.h"
#include "registry_values.h"

namespace kv::capture {

namespace {

constexpr char kHeader[] = "Windows Registry Editor Version 5.00\n\n";
constexpr char16_t kHivePrefix[] = u"HKEY_LOCAL_MACHINE\\";

std::string quotedRegText(std::u16string_view text) {
    std::string out = "\"";
    for (char c : utf16ToUtf8(text)) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

// A string the text form can carry: one terminator at the end at most, no line breaks.
std::optional<std::u16string> plainString(const std::vector<uint8_t>& data) {
    if (data.size() % 2) return std::nullopt;
    std::u16string text;
    for (size_t i = 0; i + 1 < data.size(); i += 2) text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (!text.empty() && text.back() == u'\0') text.pop_back();
    for (char16_t c : text)
        if (c == u'\0' || c == u'\r' || c == u'\n') return std::nullopt;
    return text;
}

std::string keyLine(const std::u16string& path) { return "[" + utf16ToUtf8(kHivePrefix + path) + "]\n"; }

}  // namespace

bool RegistryExport::addTree(std::u16string_view path, std::u16string_view exportAs) {
    platform::RegKeyHandle handle = nullptr;
    const uint32_t error = platform::registry().openKey(platform::hiveKey(platform::Hive::LocalMachine), path,
                                                        platform::regaccess::kRead, &handle);
    const std::string name = "registry key HKEY_LOCAL_MACHINE\\" + utf16ToUtf8(path);
    if (error == platform::err::kFileNotFound) {
        log_.note(name + ": not present");
        return false;
    }
    if (error != platform::err::kSuccess) {
        log_.skipped(name, "it cannot be opened, error " + std::to_string(error));
        return true;
    }
    const platform::RegKey key(handle);
    addKey(key.get(), std::u16string(exportAs.empty() ? path : exportAs), std::u16string(path));
    return true;
}

bool RegistryExport::addValue(std::u16string_view path, std::u16string_view name, std::u16string_view exportAs) {
    const platform::RegKey key = openMachineKey(path);
    auto& registry = platform::registry();
    std::u16string valueName;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    for (uint32_t i = 0; key.valid() && registry.enumValue(key.get(), i, &valueName, &type, &data) == 0; ++i) {
        if (!equalsIgnoreCase(valueName, name)) continue;
        text_ += keyLine(std::u16string(exportAs.empty() ? path : exportAs));
        appendValue(valueName, type, data);
        text_ += "\n";
        return true;
    }
    log_.note("registry value HKEY_LOCAL_MACHINE\\" + utf16ToUtf8(path) + " \"" + utf16ToUtf8(name) +
              "\": not present");
    return false;
}

// `path` is where the key lies, `exportPath` where registry.reg puts it.
void RegistryExport::addKey(platform::RegKeyHandle key, const std::u16string& exportPath, const std::u16string& path) {
    auto& registry = platform::registry();
    text_ += keyLine(exportPath);
    std::u16string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    for (uint32_t i = 0; registry.enumValue(key, i, &name, &type, &data) == platform::err::kSuccess; ++i)
        appendValue(name, type, data);
    text_ += "\n";
    for (uint32_t i = 0; registry.enumKey(key, i, &name) == platform::err::kSuccess; ++i) {
        platform::RegKeyHandle child = nullptr;
        if (registry.openKey(key, name, platform::regaccess::kRead, &child) != platform::err::kSuccess) {
            log_.skipped("registry key HKEY_LOCAL_MACHINE\\" + utf16ToUtf8(path + u"\\" + name), "it cannot be opened");
            continue;
        }
        const platform::RegKey owned(child);
        addKey(owned.get(), exportPath + u"\\" + name, path + u"\\" + name);
    }
}

void RegistryExport::appendValue(std::u16string_view name, uint32_t type, const std::vector<uint8_t>& data) {
    text_ += name.empty() ? std::string("@") : quotedRegText(name);
    text_ += '=';
    const auto plain = type == platform::regtype::kSz ? plainString(data) : std::nullopt;
    if (plain) {
        text_ += quotedRegText(*plain);
    } else if (type == platform::regtype::kDword && data.size() == 4) {
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x",
                      static_cast<unsigned>(data[0] | data[1] << 8 | data[2] << 16 | uint32_t(data[3]) << 24));
        text_ += text;
    } else {
        char prefix[24];
        if (type == platform::regtype::kBinary)
            std::snprintf(prefix, sizeof prefix, "hex:");
        else
            std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
        text_ += prefix;
        for (size_t i = 0; i < data.size(); ++i) {
            char pair[4];
            std::snprintf(pair, sizeof pair, "%02x", data[i]);
            text_ += (i ? "," : "") + std::string(pair);
        }
    }
    text_ += "\n";
}

std::string RegistryExport::text() const { return kHeader + text_; }

}  // namespace kv::capture
