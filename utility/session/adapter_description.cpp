#include "app/adapter_description.h"

#include "app/driver_version.h"
#include "framework/ansi_text.h"
#include "kelvalib.h"

namespace kv::diag {

QString adapterDescriptionText(const char* description) {
    QString text = ui::fromAnsi(fieldText(description, KV_DESCRIPTION_CHARS));
    while (text.endsWith(u'\n') || text.endsWith(u'\r')) text.chop(1);
    return text;
}

}  // namespace kv::diag
