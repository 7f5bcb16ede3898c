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
struct DosMark {
    unsigned char id;
    int codePage;
};
constexpr DosMark kDosMarks[] = {
    {0x01, 437}, {0x09, 437}, {0x0B, 437}, {0x0D, 437}, {0x0F, 437}, {0x11, 437}, {0x15, 437}, {0x18, 437},
    {0x19, 437}, {0x1B, 437}, {0x02, 850}, {0x0A, 850}, {0x0E, 850}, {0x10, 850}, {0x12, 850}, {0x14, 850},
    {0x16, 850}, {0x1A, 850}, {0x1D, 850}, {0x25, 850}, {0x37, 850}, {0x08, 865}, {0x17, 865}, {0x66, 865},
    {0x1F, 852}, {0x22, 852}, {0x23, 852}, {0x40, 852}, {0x64, 852}, {0x1C, 863}, {0x6C, 863}, {0x24, 860},
    {0x26, 866}, {0x65, 866}, {0x67, 861}, {0x6A, 737}, {0x6B, 857},
};

int dosCodePageOfId(unsigned char id) {
    for (const DosMark& mark : kDosMarks) {
        if (mark.id == id) return mark.codePage;
    }
    return 0;
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
