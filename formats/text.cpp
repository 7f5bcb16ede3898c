#include "formats/text.h"

#include <array>
#include <cstdint>

namespace formats {
namespace {

// Unicode code points of the bytes 0x80-0x9F in Windows-1252. The five bytes the code page leaves
// undefined map to the C1 control of the same value, so that every byte survives a round trip.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t codePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return byte;
}

std::optional<unsigned char> byteOf(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == cp) return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `pos`; nullopt for a malformed one (then `pos` moves one byte on).
std::optional<char32_t> decodeUtf8(std::string_view s, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(s[pos++]);
    if (lead < 0x80) return lead;
    int extra;
    char32_t cp;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, cp = lead & 0x07;
    } else {
        return std::nullopt;
    }
    std::size_t p = pos;
    for (int i = 0; i < extra; ++i, ++p) {
        if (p >= s.size() || (static_cast<unsigned char>(s[p]) & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (static_cast<unsigned char>(s[p]) & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    pos = p;
    return cp;
}

std::optional<AnsiString> convertFromUtf8(std::string_view utf8, bool strict) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto cp = decodeUtf8(utf8, pos);
        if (!cp && strict) return std::nullopt;
        const auto byte = cp ? byteOf(*cp) : std::nullopt;
        out += byte ? static_cast<char>(*byte) : '?';
    }
    return AnsiString(std::move(out));
}

std::array<unsigned char, 256> makeFoldTable() {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c) {
        if (c != 0xD7) table[c] = static_cast<unsigned char>(c + 32);
    }
    table[0x8A] = 0x9A;  // Š
    table[0x8C] = 0x9C;  // Œ
    table[0x8E] = 0x9E;  // Ž
    table[0x9F] = 0xFF;  // Ÿ
    return table;
}

const std::array<unsigned char, 256> kFold = makeFoldTable();

}  // namespace

AnsiString AnsiString::fromUtf8(std::string_view utf8) {
    return *convertFromUtf8(utf8, false);
}

std::optional<AnsiString> AnsiString::fromUtf8Strict(std::string_view utf8) {
    return convertFromUtf8(utf8, true);
}

std::string AnsiString::toUtf8() const {
    std::string out;
    out.reserve(bytes_.size());
    for (char c : bytes_) appendUtf8(out, codePointOf(static_cast<unsigned char>(c)));
    return out;
}

AnsiString AnsiString::substr(std::size_t pos, std::size_t count) const {
    if (pos >= bytes_.size()) return AnsiString();
    return AnsiString(bytes_.substr(pos, count));
}

AnsiString& AnsiString::operator+=(const AnsiString& other) {
    bytes_ += other.bytes_;
    return *this;
}

std::string_view trimControl(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
    return text.substr(begin, end - begin);
}

AnsiString trimControl(const AnsiString& text) {
    return AnsiString(std::string(trimControl(text.bytes())));
}

unsigned char foldCase(unsigned char c) {
    return kFold[c];
}

AnsiString foldCase(const AnsiString& text) {
    std::string out = text.bytes();
    for (char& c : out) c = static_cast<char>(kFold[static_cast<unsigned char>(c)]);
    return AnsiString(std::move(out));
}

bool equalsIgnoreCase(const AnsiString& a, const AnsiString& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (kFold[a[i]] != kFold[b[i]]) return false;
    }
    return true;
}

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

}  // namespace formats
