// The library's own reports: modal message boxes with an OK button, and diagnostic lines on
// standard output. Texts are fixed; numbers are appended by the caller, never formatted from
// user text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kv::lib {

void showMessage(std::string_view text);
void showExclamation(std::string_view text);
void writeStdout(std::string_view text);

}  // namespace kv::lib
