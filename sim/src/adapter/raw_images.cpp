#include "kv/sim/adapter/raw_images.h"

#include <stdexcept>
#include <string>

#include "kv/text.h"

namespace kv::sim {

namespace {

// The text of an image: one string, or the strings of an array one after the other.
std::string imageText(const Json& image, std::string_view what) {
    if (image.isString()) return image.asString();
    if (!image.isArray()) throw std::runtime_error(std::string(what) + " must be a string or an array of strings");
    std::string text;
    for (const Json& line : image.elements()) {
        if (!line.isString()) throw std::runtime_error(std::string(what) + " must be a string or an array of strings");
        text += line.asString() + " ";
    }
    return text;
}

// Blank-separated groups of hex digits, each `digits` digits at most; a group longer than that
// is read as consecutive values of `digits` digits ("001d7a" is 00 1d 7a).
template <typename T>
void applyHexGroups(const std::string& text, std::span<T> out, unsigned digits, std::string_view what) {
    size_t count = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ' || text[pos] == '\t' || text[pos] == ',') {
            ++pos;
            continue;
        }
        uint32_t value = 0;
        unsigned n = 0;
        for (; n < digits && pos < text.size() && hexDigitValue(text[pos]) >= 0; ++n, ++pos)
            value = value * 16 + static_cast<uint32_t>(hexDigitValue(text[pos]));
        if (n == 0 || (pos < text.size() && text[pos] != ' ' && text[pos] != '\t' && text[pos] != ',' &&
                       hexDigitValue(text[pos]) < 0))
            throw std::runtime_error(std::string(what) + ": \"" + text.substr(pos, 12) + "\" is not hex");
        if (count >= out.size())
            throw std::runtime_error(std::string(what) + " holds more than " + std::to_string(out.size()) + " values");
        out[count++] = static_cast<T>(value);
    }
}

}  // namespace

void applyByteImage(const Json& image, std::span<uint8_t> bytes, std::string_view what) {
    if (image.isNull()) return;
    applyHexGroups(imageText(image, what), bytes, 2, what);
}

void applyWordImage(const Json& page, std::span<uint16_t> words, std::string_view what) {
    if (page.isNull()) return;
    applyHexGroups(imageText(page, what), words, 4, what);
}

}  // namespace kv::sim
