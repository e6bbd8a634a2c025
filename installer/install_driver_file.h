// Puts the older protocol driver's file, diag50xp.sys, from the current directory into the
// system's driver directory. A 32-bit process on 64-bit Windows sees a redirected system
// directory, so the redirection is switched off for the copy and restored afterwards. Progress
// goes to standard output, one line per step.
#pragma once

#include <string>
#include <string_view>

namespace kv::plantdrv {

inline constexpr std::u16string_view kDriverFile = u"diag50xp.sys";

// "<windows directory>\System32\Drivers\diag50xp.sys".
std::u16string targetPathIn(std::u16string_view windowsDirectory);

void installDriverFile();

}  // namespace kv::plantdrv
