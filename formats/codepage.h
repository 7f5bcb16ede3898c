// DOS code pages of dBase files, converted byte by byte to and from Windows-1252.
#pragma once

#include <array>
#include <string_view>

namespace formats {

struct CodePage {
    int number;                             // 437, 850, ...
    std::array<unsigned char, 256> toAnsi;  // DOS byte -> Windows-1252 byte ("?" when it has none)
    std::array<unsigned char, 256> fromAnsi;
};

// The DOS code page a dBase language driver names, or nullptr for Windows ANSI, 0x00 and unknown marks.
// `driverName` is the level-7 language driver name (empty for earlier levels); it wins over the byte.
const CodePage* codePageOfDriver(unsigned char driverId, std::string_view driverName);

}  // namespace formats
