// The tool's command line: blank-separated tokens, read after lower-casing the whole line.
//   "/4440", "/4450", "/4420"  choose the chip group (the last one counts)
//   "/hwid <id>"               an OEM hardware id, logged only
//   "..." (a leading quote)    ignored
// Any other token makes the line invalid; parsing still goes on to its end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "chip_group.h"

namespace kv::cyclenic {

inline constexpr std::string_view kUseOemIdLine = "Use OEM HWID...";
inline constexpr std::string_view kWrongOemIdLine = "Wrong OEM HWID...";

struct ParsedCommandLine {
    int group = kNoGroup;
    bool oemIdGiven = false;
    std::string oemId;  // lower-cased, cut at its first double quote
    bool valid = true;
    // The log lines parsing produced, in order, without line feeds.
    std::vector<std::string> logLines;
};

// The arguments part of a full command line: what follows the program name (quoted or not) and
// the blanks behind it.
std::u16string_view argumentsOf(std::u16string_view commandLine);

ParsedCommandLine parseCommandLine(std::string_view line);

}  // namespace kv::cyclenic
