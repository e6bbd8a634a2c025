#include "output_directory.h"

#include "kv/platform/files.h"

namespace kv::capture {

bool OutputDirectory::make(std::u16string_view relative) {
    auto& files = platform::files();
    // The root's parents first: those that exist, and a drive, simply refuse.
    for (size_t end = root_.find_first_of(u"\\/", 1); end != std::u16string::npos;
         end = root_.find_first_of(u"\\/", end + 1))
        files.createDirectory(root_.substr(0, end));
    if (!files.createDirectory(root_)) return false;
    for (size_t end = 0; end < relative.size();) {
        end = relative.find(u'\\', end + 1);
        if (end == std::u16string_view::npos) end = relative.size();
        if (!files.createDirectory(path(relative.substr(0, end)))) return false;
    }
    return true;
}

std::u16string OutputDirectory::path(std::u16string_view relative) const {
    std::u16string out = root_;
    if (!out.empty() && out.back() != u'\\' && out.back() != u'/') out += u'\\';
    return out + std::u16string(relative);
}

bool OutputDirectory::write(std::u16string_view relative, std::string_view text) const {
    auto file = platform::files().open(path(relative), platform::FileMode::WriteTruncate);
    return file && file->write(text);
}

}  // namespace kv::capture
