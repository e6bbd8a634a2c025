#include "install_log.h"

namespace kv::cyclenic {

InstallLog InstallLog::open() {
    return InstallLog(
        platform::files().open(pathIn(platform::files().currentDirectory()), platform::FileMode::WriteTruncate));
}

std::u16string InstallLog::pathIn(std::u16string_view currentDirectory) {
    std::u16string path = currentDirectory.empty() ? std::u16string(u"c:\\") : std::u16string(currentDirectory);
    return path + u"\\InstallLog.txt";
}

void InstallLog::write(std::string_view line) {
    if (!file_) return;
    std::string text(line);
    text += '\n';
    file_->write(text);
}

void InstallLog::writeExitCode(int code) { write(std::string("Exit code:") + " = " + std::to_string(code)); }

}  // namespace kv::cyclenic
