// The utility's string table: every user-visible text of the pages and the tray menu, by id.
#pragma once

#include <QString>
#include <string_view>

namespace kv::diag {

// The text of string `id` (8-bit, as the resource holds it); empty for an id the table lacks.
std::string_view stringResource(int id);
// The same as a QString.
QString loadString(int id);

}  // namespace kv::diag
