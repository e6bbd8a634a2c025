// registry.reg: the reader on any bytes (UTF-16LE with or without its byte order mark, UTF-8,
// 8-bit REGEDIT4); and the writer: a tree it writes reads back as the same tree, without
// warnings, in both encodings.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "kv/sim/reg_file.h"
#include "kv/text.h"

using kv::fuzz::check;
using namespace kv::sim;

namespace {

bool sameKey(const RegistryKey& a, const RegistryKey& b) {
    if (a.name() != b.name() || a.values() != b.values() || a.subkeys().size() != b.subkeys().size()) return false;
    for (size_t i = 0; i < a.subkeys().size(); ++i)
        if (!sameKey(*a.subkeys()[i], *b.subkeys()[i])) return false;
    return true;
}

bool sameTree(const RegistryTree& a, const RegistryTree& b) {
    for (size_t i = 0; i < a.roots().size(); ++i)
        if (!sameKey(*a.roots()[i], *b.roots()[i])) return false;
    return true;
}

bool survivesUtf8(const std::u16string& name) { return kv::utf8ToUtf16(kv::utf16ToUtf8(name)) == name; }

// Whether every key and value name can be carried by UTF-8 text.
bool namesSurviveUtf8(const RegistryKey& key) {
    if (!survivesUtf8(key.name())) return false;
    for (const RegValue& v : key.values())
        if (!survivesUtf8(v.name)) return false;
    for (const auto& child : key.subkeys())
        if (!namesSurviveUtf8(*child)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegistryTree tree;
    try {
        tree = parseRegFile(std::span<const uint8_t>(data, size));
    } catch (const RegFileError&) {
        return 0;
    }
    bool utf8Names = true;
    for (const auto& root : tree.roots()) utf8Names = utf8Names && namesSurviveUtf8(*root);
    for (const auto encoding : {RegFileEncoding::Utf16le, RegFileEncoding::Utf8}) {
        if (encoding == RegFileEncoding::Utf8 && !utf8Names) continue;
        const std::vector<uint8_t> written = writeRegFile(tree, encoding);
        std::vector<std::string> warnings;
        const RegistryTree back = parseRegFile(written, &warnings);
        check(warnings.empty(), "a written file reads back without warnings");
        check(sameTree(tree, back), "a written file reads back as the same tree");
        check(writeRegFile(back, encoding) == written, "the tree read back is written identically");
    }
    return 0;
}
