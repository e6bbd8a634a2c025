#include "notify.h"

#include "kv/platform/ui.h"
#include "kv/text.h"

namespace kv::lib {

namespace {
constexpr char16_t kCaption[] = u"Kelvalib";
}

void showMessage(std::string_view text) {
    platform::messageBoxes().show(utf8ToUtf16(text), kCaption, platform::mb::kOk);
}

void showExclamation(std::string_view text) {
    platform::messageBoxes().show(utf8ToUtf16(text), kCaption, platform::mb::kOk | platform::mb::kIconExclamation);
}

void writeStdout(std::string_view text) { platform::console().write(text); }

}  // namespace kv::lib
