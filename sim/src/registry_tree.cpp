#include "kv/sim/registry_tree.h"

#include <algorithm>
#include <optional>

#include "kv/bytes.h"
#include "kv/text.h"

namespace kv::sim {

namespace {

void appendUtf16le(std::vector<uint8_t>& out, std::u16string_view s) {
    for (char16_t c : s) {
        out.push_back(uint8_t(c & 0xFF));
        out.push_back(uint8_t(c >> 8));
    }
}

struct RootName {
    std::u16string_view full;
    std::u16string_view abbreviation;
};

constexpr RootName kRoots[] = {
    {u"HKEY_LOCAL_MACHINE", u"HKLM"}, {u"HKEY_CURRENT_USER", u"HKCU"},   {u"HKEY_CLASSES_ROOT", u"HKCR"},
    {u"HKEY_USERS", u"HKU"},          {u"HKEY_CURRENT_CONFIG", u"HKCC"},
};

// Splits a full path into its components; nullopt when a component is empty.
std::optional<std::vector<std::u16string_view>> splitPath(std::u16string_view path) {
    if (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
    if (path.empty()) return std::nullopt;
    std::vector<std::u16string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t end = path.find(u'\\', start);
        const std::u16string_view part = path.substr(start, end == std::u16string_view::npos ? end : end - start);
        if (part.empty()) return std::nullopt;
        parts.push_back(part);
        if (end == std::u16string_view::npos) return parts;
        start = end + 1;
    }
}

auto findByName(const std::vector<std::unique_ptr<RegistryKey>>& keys, std::u16string_view name) {
    return std::find_if(keys.begin(), keys.end(), [&](const auto& k) { return equalsIgnoreCase(k->name(), name); });
}

}  // namespace

// ---- RegValue ----

RegValue RegValue::string(std::u16string name, std::u16string_view value, uint32_t type) {
    RegValue v{std::move(name), type, {}};
    v.data.reserve(value.size() * 2 + 2);
    appendUtf16le(v.data, value);
    appendUtf16le(v.data, std::u16string_view(u"\0", 1));
    return v;
}

RegValue RegValue::dword(std::u16string name, uint32_t value) {
    RegValue v{std::move(name), kRegDword, std::vector<uint8_t>(4)};
    writeU32(v.data, 0, value);
    return v;
}

RegValue RegValue::qword(std::u16string name, uint64_t value) {
    RegValue v{std::move(name), kRegQword, std::vector<uint8_t>(8)};
    writeU64(v.data, 0, value);
    return v;
}

RegValue RegValue::binary(std::u16string name, std::vector<uint8_t> bytes) {
    return RegValue{std::move(name), kRegBinary, std::move(bytes)};
}

RegValue RegValue::multiString(std::u16string name, const std::vector<std::u16string>& strings) {
    RegValue v{std::move(name), kRegMultiSz, {}};
    for (const auto& s : strings) {
        if (s.empty()) continue;
        appendUtf16le(v.data, s);
        appendUtf16le(v.data, std::u16string_view(u"\0", 1));
    }
    appendUtf16le(v.data, std::u16string_view(u"\0", 1));
    return v;
}

std::u16string RegValue::asString() const {
    std::u16string out;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        const char16_t c = readU16(data, i);
        if (c == 0) break;
        out.push_back(c);
    }
    return out;
}

uint32_t RegValue::asDword() const { return readU32(data, 0); }

uint64_t RegValue::asQword() const { return readU64(data, 0); }

std::vector<std::u16string> RegValue::asMultiString() const {
    std::vector<std::u16string> out;
    std::u16string current;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        const char16_t c = readU16(data, i);
        if (c != 0) {
            current.push_back(c);
        } else if (current.empty()) {
            return out;
        } else {
            out.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty()) out.push_back(std::move(current));
    return out;
}

// ---- RegistryKey ----

RegistryKey::RegistryKey(const RegistryKey& other) : name_(other.name_), values_(other.values_) {
    subkeys_.reserve(other.subkeys_.size());
    for (const auto& child : other.subkeys_) subkeys_.push_back(std::make_unique<RegistryKey>(*child));
}

RegistryKey& RegistryKey::operator=(const RegistryKey& other) {
    if (this != &other) *this = RegistryKey(other);
    return *this;
}

const RegValue* RegistryKey::findValue(std::u16string_view name) const {
    for (const auto& v : values_)
        if (equalsIgnoreCase(v.name, name)) return &v;
    return nullptr;
}

void RegistryKey::setValue(RegValue value) {
    for (auto& v : values_) {
        if (equalsIgnoreCase(v.name, value.name)) {
            v.type = value.type;
            v.data = std::move(value.data);
            return;
        }
    }
    values_.push_back(std::move(value));
}

bool RegistryKey::deleteValue(std::u16string_view name) {
    const auto it =
        std::find_if(values_.begin(), values_.end(), [&](const RegValue& v) { return equalsIgnoreCase(v.name, name); });
    if (it == values_.end()) return false;
    values_.erase(it);
    return true;
}

RegistryKey* RegistryKey::findSubkey(std::u16string_view name) {
    const auto it = findByName(subkeys_, name);
    return it == subkeys_.end() ? nullptr : it->get();
}

const RegistryKey* RegistryKey::findSubkey(std::u16string_view name) const {
    const auto it = findByName(subkeys_, name);
    return it == subkeys_.end() ? nullptr : it->get();
}

RegistryKey& RegistryKey::createSubkey(std::u16string_view name) {
    if (RegistryKey* existing = findSubkey(name)) return *existing;
    subkeys_.push_back(std::make_unique<RegistryKey>(std::u16string(name)));
    return *subkeys_.back();
}

bool RegistryKey::deleteSubkey(std::u16string_view name) {
    const auto it = findByName(subkeys_, name);
    if (it == subkeys_.end()) return false;
    subkeys_.erase(it);
    return true;
}

// ---- RegistryTree ----

RegistryTree::RegistryTree() {
    for (const auto& r : kRoots) roots_.push_back(std::make_unique<RegistryKey>(std::u16string(r.full)));
}

RegistryTree::RegistryTree(const RegistryTree& other) {
    for (const auto& r : other.roots_) roots_.push_back(std::make_unique<RegistryKey>(*r));
}

RegistryTree& RegistryTree::operator=(const RegistryTree& other) {
    if (this != &other) *this = RegistryTree(other);
    return *this;
}

std::u16string_view RegistryTree::canonicalRootName(std::u16string_view name) {
    for (const auto& r : kRoots)
        if (equalsIgnoreCase(name, r.full) || equalsIgnoreCase(name, r.abbreviation)) return r.full;
    return {};
}

bool RegistryTree::isValidPath(std::u16string_view fullPath) {
    const auto parts = splitPath(fullPath);
    return parts && !canonicalRootName(parts->front()).empty();
}

RegistryKey* RegistryTree::root(std::u16string_view hiveName) {
    const std::u16string_view full = canonicalRootName(hiveName);
    if (full.empty()) return nullptr;
    for (const auto& r : roots_)
        if (r->name() == full) return r.get();
    return nullptr;
}

const RegistryKey* RegistryTree::root(std::u16string_view hiveName) const {
    return const_cast<RegistryTree*>(this)->root(hiveName);
}

RegistryKey* RegistryTree::find(std::u16string_view fullPath) {
    const auto parts = splitPath(fullPath);
    if (!parts) return nullptr;
    RegistryKey* key = root(parts->front());
    for (size_t i = 1; key && i < parts->size(); ++i) key = key->findSubkey((*parts)[i]);
    return key;
}

const RegistryKey* RegistryTree::find(std::u16string_view fullPath) const {
    return const_cast<RegistryTree*>(this)->find(fullPath);
}

RegistryKey* RegistryTree::create(std::u16string_view fullPath) {
    const auto parts = splitPath(fullPath);
    if (!parts) return nullptr;
    RegistryKey* key = root(parts->front());
    if (!key) return nullptr;
    for (size_t i = 1; i < parts->size(); ++i) key = &key->createSubkey((*parts)[i]);
    return key;
}

bool RegistryTree::remove(std::u16string_view fullPath) {
    const auto parts = splitPath(fullPath);
    if (!parts || parts->size() < 2) return false;
    RegistryKey* parent = root(parts->front());
    for (size_t i = 1; parent && i + 1 < parts->size(); ++i) parent = parent->findSubkey((*parts)[i]);
    return parent && parent->deleteSubkey(parts->back());
}

}  // namespace kv::sim
