#include "command_line.h"

namespace kv::cyclenic {

namespace {

constexpr std::string_view kBlanks = " \t";
// An OEM id is accepted only when it names the maker's PCI vendor.
constexpr std::string_view kOemIdMark = "pci\\ven_1d7a";

std::vector<std::string_view> tokensOf(std::string_view line) {
    std::vector<std::string_view> tokens;
    size_t pos = line.find_first_not_of(kBlanks);
    while (pos != std::string_view::npos) {
        const size_t end = line.find_first_of(kBlanks, pos);
        tokens.push_back(line.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
        pos = end == std::string_view::npos ? end : line.find_first_not_of(kBlanks, end);
    }
    return tokens;
}

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    return out;
}

bool beginsWithQuote(std::string_view token) { return !token.empty() && token.front() == '"'; }

}  // namespace

std::u16string_view argumentsOf(std::u16string_view commandLine) {
    size_t pos = 0;
    if (!commandLine.empty() && commandLine.front() == u'"') {
        const size_t close = commandLine.find(u'"', 1);
        pos = close == std::u16string_view::npos ? commandLine.size() : close + 1;
    } else {
        pos = commandLine.find_first_of(u" \t");
        if (pos == std::u16string_view::npos) pos = commandLine.size();
    }
    while (pos < commandLine.size() && (commandLine[pos] == u' ' || commandLine[pos] == u'\t')) ++pos;
    return commandLine.substr(pos);
}

ParsedCommandLine parseCommandLine(std::string_view line) {
    ParsedCommandLine parsed;
    const std::string lower = lowerAscii(line);
    const std::vector<std::string_view> tokens = tokensOf(lower);
    for (size_t i = 0; i < tokens.size(); ++i) {
        const std::string_view token = tokens[i];
        if (beginsWithQuote(token)) continue;
        if (const int group = groupOfOption(token); group != kNoGroup) {
            parsed.group = group;
            continue;
        }
        if (token != "/hwid") {
            parsed.valid = false;
            continue;
        }
        parsed.logLines.emplace_back(kUseOemIdLine);
        // "/hwid" as the last token has no id behind it, which counts as a rejected id.
        const std::string_view id = i + 1 < tokens.size() ? tokens[++i] : std::string_view();
        if (id.empty() || beginsWithQuote(id) || id.find(kOemIdMark) == std::string_view::npos) {
            parsed.logLines.emplace_back(kWrongOemIdLine);
            parsed.valid = false;
            continue;
        }
        parsed.oemIdGiven = true;
        parsed.oemId = std::string(id.substr(0, id.find('"')));
        parsed.logLines.push_back(parsed.oemId);
    }
    return parsed;
}

}  // namespace kv::cyclenic
