#include "formats/codepage.h"

#include <iconv.h>

#include <cctype>
#include <map>
#include <memory>
#include <string>

#include "formats/error.h"
#include "formats/text.h"

namespace formats {
namespace {

// Language driver IDs that name a DOS code page (dBase and FoxPro's table of driver marks, as also
// listed in the ESRI code page table). Every other mark is read as Windows ANSI.
int dosCodePageOfId(unsigned char id) {
    switch (id) {
        case 0x01:
        case 0x09:
        case 0x0B:
        case 0x0D:
        case 0x0F:
        case 0x11:
        case 0x15:
        case 0x18:
        case 0x19:
        case 0x1B:
            return 437;
        case 0x02:
        case 0x0A:
        case 0x0E:
        case 0x10:
        case 0x12:
        case 0x14:
        case 0x16:
        case 0x1A:
        case 0x1D:
        case 0x25:
        case 0x37:
            return 850;
        case 0x08:
        case 0x17:
        case 0x66:
            return 865;
        case 0x1F:
        case 0x22:
        case 0x23:
        case 0x40:
        case 0x64:
            return 852;
        case 0x1C:
        case 0x6C:
            return 863;
        case 0x24:
            return 860;
        case 0x26:
        case 0x65:
            return 866;
        case 0x67:
            return 861;
        case 0x6A:
            return 737;
        case 0x6B:
            return 857;
        default:
            return 0;
    }
}

// Level-7 driver names of DOS code pages look like "DB850ES0": "DB", the code page, a country, a digit.
int dosCodePageOfName(std::string_view name) {
    if (name.size() < 5 || name.substr(0, 2) != "DB") return 0;
    for (std::size_t i = 2; i < 5; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
    }
    return std::stoi(std::string(name.substr(2, 3)));
}

std::unique_ptr<CodePage> buildCodePage(int number) {
    const std::string name = "CP" + std::to_string(number);
    iconv_t cd = ::iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        throw Error("La página de códigos " + std::to_string(number) + " no está disponible en este sistema");
    }
    auto page = std::make_unique<CodePage>();
    page->number = number;
    page->fromAnsi.fill('?');
    for (int b = 0; b < 256; ++b) {
        unsigned char ansi = '?';
        if (b < 0x80) {
            ansi = static_cast<unsigned char>(b);
        } else {
            char in = static_cast<char>(b);
            char out[8];
            char* inPtr = &in;
            char* outPtr = out;
            std::size_t inLeft = 1, outLeft = sizeof out;
            ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) {
                const AnsiString converted = AnsiString::fromUtf8(std::string_view(out, outPtr - out));
                if (converted.size() == 1) ansi = converted[0];
            }
        }
        page->toAnsi[b] = ansi;
        // The first DOS byte that gives a Windows-1252 byte is the one written back for it.
        if (ansi != '?' && page->fromAnsi[ansi] == '?') page->fromAnsi[ansi] = static_cast<unsigned char>(b);
    }
    page->fromAnsi['?'] = '?';
    ::iconv_close(cd);
    return page;
}

}  // namespace

const CodePage* codePageOfDriver(unsigned char driverId, std::string_view driverName) {
    int number = dosCodePageOfName(driverName);
    if (number == 0 && driverName.substr(0, 5) != "DBWIN") number = dosCodePageOfId(driverId);
    if (number == 0) return nullptr;
    static std::map<int, std::unique_ptr<CodePage>> pages;
    auto& page = pages[number];
    if (!page) page = buildCodePage(number);
    return page.get();
}

}  // namespace formats
