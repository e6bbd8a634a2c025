// Text between the library's 8-bit (ANSI) strings and Qt's strings: the _A exports hand over
// and take texts of the system code page.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kv::ui {

QString fromAnsi(std::string_view text);
std::string toAnsi(const QString& text);

}  // namespace kv::ui
