// The utility's command line: the "/hw" switch (start hidden in the tray) and the standard
// handling of every other parameter.
#pragma once

#include <string>
#include <vector>

namespace kv::diag {

struct CommandLine {
    // The last parameter was a switch ("/" or "-") whose first two letters are "hw" (case matters).
    bool hiddenStart = false;
    // The "/allpages" switch was given (app/all_pages_mode.h). It leaves "/hw" as it was.
    bool allPages = false;
    // The switches other than "/hw" and "/allpages" (without their "/" or "-"), for the standard
    // handling.
    std::vector<std::string> switches;
    // The parameters that are not switches: documents to open.
    std::vector<std::string> files;
};

// `arguments` without the program name.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The standard handling: the utility has no documents, so a document to open or to print cannot
// be processed and the program must end; any other switch is ignored. True when the start goes on.
bool processCommandLine(const CommandLine& commandLine);

}  // namespace kv::diag
