// Raw images of an adapter's hardware, as a capture of a real machine writes them under the
// adapter's "images": they stand in for the modelled power-up contents.
//
//   "registers", "pciConfig"   bytes from offset 0: a string, or an array of strings, of hex
//                              pairs; blanks between the pairs are ignored ("00 1d 7a 44 ...")
//   "phy"                      an array of up to four pages, each a string of up to 32 words of
//                              hex digits separated by blanks ("1140 7949 1d7a 4401 ...")
//
// Anything not covered by an image keeps its modelled value.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "kv/sim/json.h"

namespace kv::sim {

// Stores the image's bytes into `bytes` from offset 0. Throws std::runtime_error naming `what`
// for a malformed image or one longer than `bytes`.
void applyByteImage(const Json& image, std::span<uint8_t> bytes, std::string_view what);
// Stores one page's words into `words` from register 0; throws like applyByteImage.
void applyWordImage(const Json& page, std::span<uint16_t> words, std::string_view what);

}  // namespace kv::sim
