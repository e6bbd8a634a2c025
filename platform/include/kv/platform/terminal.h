// What a command-line program needs of the system it runs on: its arguments in Unicode, whether
// standard error is a terminal (progress lines are drawn there only then), a console that shows
// UTF-8, and Ctrl+C turned into a request to stop rather than the end of the process.
#pragma once

#include <string>
#include <vector>

namespace kv::platform {

// The program's arguments after its name, as UTF-8. On Windows they come from the wide command
// line, so every character the user typed arrives, whatever the code page.
std::vector<std::string> programArguments(int argc, char** argv);

// True when standard error is a terminal (a console window) rather than a file or a pipe.
bool standardErrorIsTerminal();

// Makes the console show the program's UTF-8 output as such (a Windows console reads bytes in its
// own code page otherwise; its code page is put back when the program ends); nothing where
// terminals take UTF-8 already.
void useUtf8Console();

// From now on the first Ctrl+C (Ctrl+Break, a closing console; SIGINT or SIGTERM on POSIX systems)
// only sets the interrupt flag and writes `notice` (a text of static storage) to standard error:
// the program stops at its next safe point and puts back what it changed. A second one ends the
// process at once, as it would have without this call.
void catchInterrupts(const char* notice);

// Whether an interrupt has arrived since catchInterrupts.
bool interrupted();

}  // namespace kv::platform
