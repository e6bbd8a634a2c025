// The values kelvapost posts: a number (decimal or 0x hexadecimal) or the name of one of the
// utility's protocol values.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kv::kelvapost {

struct NamedValue {
    std::string_view name;
    intptr_t value;
    std::string_view meaning;
};

// The utility's message protocol, by name.
inline constexpr NamedValue kNamedValues[] = {
    {"mouse-move", 0x0200, "start or stretch the tray animation"},
    {"double-click", 0x0203, "show or hide the window"},
    {"right-button", 0x0204, "open the tray menu"},
    {"show", 0x5678, "bring the window back (what a second start sends)"},
    {"quit", 0x9ABC, "ask the running utility to end"},
};

// The value of a name or a number that fits the message's lParam; nothing otherwise.
std::optional<intptr_t> parseMessageValue(std::string_view text);

}  // namespace kv::kelvapost
