#include "framework/ansi_text.h"

#include "kv/text.h"

namespace kv::ui {

QString fromAnsi(std::string_view text) {
    const std::u16string wide = kv::ansiToUtf16(text);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::string toAnsi(const QString& text) {
    return kv::utf16ToAnsi(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())));
}

}  // namespace kv::ui
