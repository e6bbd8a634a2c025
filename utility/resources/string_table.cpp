#include "resources/string_table.h"

#include "framework/ansi_text.h"

namespace kv::diag {

QString loadString(int id) { return ui::fromAnsi(stringResource(id)); }

}  // namespace kv::diag
