// The utility's string table: every user-visible text of the pages and the tray menu, by id. The
// table itself is shared with the jobs (kv/jobs/string_table.h).
#pragma once

#include <QString>
#include <string_view>

#include "kv/jobs/string_table.h"

namespace kv::diag {

using jobs::stringResource;
// The text of string `id` as a QString; empty for an id the table lacks.
QString loadString(int id);

}  // namespace kv::diag
