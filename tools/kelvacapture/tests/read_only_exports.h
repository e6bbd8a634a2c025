// Every read-only export of the library, asked of every adapter it lists, as one table of answers
// ("adapter 1 API_GetLinkSpeed" -> "1 1000"), each with the message boxes it showed. Two
// machines that answer alike give equal tables.
#pragma once

#include <map>
#include <string>

namespace kv::capture::test {

using Answers = std::map<std::string, std::string>;

// Opens the library, lists the adapters and walks them; the statistics are asked first, so
// that counters growing with time read as they stood at the adapter's first query.
Answers askReadOnlyExports();

}  // namespace kv::capture::test
