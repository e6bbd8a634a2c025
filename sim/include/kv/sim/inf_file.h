// Driver INF files, read the way the system's setup API reads them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv::sim {

// One line of a section, after quotes, comments, continuations and %strkey% substitution.
struct InfLine {
    // The text before the first '=' (when it comes before any comma); absent for lines without '='.
    std::optional<std::u16string> key;
    // The comma-separated values. "key =" with nothing after it has none; "key = ,x" has "" and "x".
    std::vector<std::u16string> fields;

    // Setup API numbering: field 0 is the key, or the first value when there is no key; field i >= 1
    // is the i-th value. nullopt past the end.
    std::optional<std::u16string> field(size_t index) const;
    // Number of values, not counting the key.
    size_t fieldCount() const { return fields.size(); }

    bool operator==(const InfLine&) const = default;
};

// A parsed INF file. Never fails: text the setup API would skip is skipped here too.
//  - "[Name]" starts a section; names are trimmed and case-insensitive, and a section that appears
//    again continues the first one. Lines before the first section are ignored.
//  - ';' outside quotes starts a comment. "..." quotes a value: quotes are removed, "" inside is one
//    quote, and quoted text keeps its blanks and its commas, '=' and ';'. Blanks around values are
//    trimmed. A quote still open at the end of a line closes there.
//  - A backslash that is the last non-blank character of a line, outside quotes and comments, joins
//    the next line onto this one; the backslash and the line break are dropped.
//  - %strkey% in keys and values is replaced by the first value of that key in [Strings]
//    (case-insensitive); %% is one %; unknown keys (such as directory ids like %10%) stay as written.
//    The [Strings] section itself is kept as written.
class InfFile {
public:
    static InfFile parse(std::u16string_view text);
    // UTF-16LE with the FF FE byte order mark, UTF-8 with its byte order mark, else 8-bit ANSI.
    static InfFile parseBytes(std::span<const uint8_t> bytes);

    // nullptr when the file has no such section.
    const std::vector<InfLine>* section(std::u16string_view name) const;
    // In order of first appearance, spelled as first written.
    std::vector<std::u16string> sectionNames() const;
    // The first line of the section with that key (case-insensitive); nullptr when there is none.
    const InfLine* findLine(std::u16string_view section, std::u16string_view key) const;

private:
    struct Section {
        std::u16string name;
        std::vector<InfLine> lines;
    };

    std::vector<Section> sections_;
};

}  // namespace kv::sim
