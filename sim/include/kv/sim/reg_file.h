// Registry Editor 5.00 (.reg) text: the format the simulated host keeps its registry in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "kv/sim/registry_tree.h"

namespace kv::sim {

enum class RegFileEncoding { Utf8, Utf16le };

// The file cannot be imported at all (missing or wrong header). what() reads "line N: <problem>".
class RegFileError : public std::runtime_error {
public:
    RegFileError(size_t line, const std::string& problem);
    size_t line() const { return line_; }

private:
    size_t line_;
};

// UTF-16LE when the bytes start with the FF FE byte order mark, or look like UTF-16LE text without
// one (second byte zero); UTF-8 otherwise.
RegFileEncoding detectRegFileEncoding(std::span<const uint8_t> bytes);

// Imports .reg text onto `tree`: [key] creates the key with its parents, [-key] deletes it with its
// subtree, "name"=- deletes a value, anything else sets a value. Accepts UTF-16LE (with BOM) or
// UTF-8 (with or without BOM), CRLF or LF line ends. The first non-blank line must be
// "Windows Registry Editor Version 5.00" or "REGEDIT4"; in a REGEDIT4 file without a BOM the text
// and the string data of hex(1), hex(2) and hex(7) values are 8-bit ANSI.
// A wrong header throws RegFileError before the tree is touched. Malformed lines are skipped, each
// with a warning "line N: ..." appended to `warnings` when given, and the rest is still imported.
void applyRegFile(RegistryTree& tree, std::span<const uint8_t> bytes, std::vector<std::string>* warnings = nullptr);

// applyRegFile onto an empty tree.
RegistryTree parseRegFile(std::span<const uint8_t> bytes, std::vector<std::string>* warnings = nullptr);

// Writes every non-empty root and all keys below it, depth first in creation order, each key's
// values in their stored order, as "Windows Registry Editor Version 5.00" text with CRLF line ends;
// UTF-16LE output starts with a byte order mark, UTF-8 output has none. Reading the result back
// gives an identical tree; only in UTF-8 output a key or value name holding a surrogate without
// its partner, which UTF-8 cannot carry, reads back with U+FFFD in its place.
std::vector<uint8_t> writeRegFile(const RegistryTree& tree, RegFileEncoding encoding);

}  // namespace kv::sim
