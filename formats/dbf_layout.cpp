#include "formats/dbf_layout.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "formats/dbf.h"
#include "formats/error.h"

namespace formats::dbf_layout {
namespace {

// Windows ANSI: the language driver dBase names "'ascii' ANSI" (DBWINUS0, code page 1252), whose mark in
// byte 29 is 0x57 ("ANSI" in the language driver ID tables of dBase and ESRI).
constexpr unsigned char kAnsiDriverId = 0x57;
constexpr std::string_view kAnsiDriverName = "DBWINUS0";
constexpr unsigned char kLevel7Version = 0x04;

// Version bytes of dBase III to 7 (and the FoxPro files that share their layout). Those that flag a memo
// file (0x83, 0x8B, 0x8C, 0xF5, ...) open without it: no memo field is read.
constexpr unsigned char kKnownVersions[] = {0x03, 0x04, 0x05, 0x30, 0x31, 0x32, 0x43,
                                            0x63, 0x83, 0x8B, 0x8C, 0xCB, 0xF5, 0xFB};

bool isKnownVersion(unsigned char v) {
    return std::find(std::begin(kKnownVersions), std::end(kKnownVersions), v) != std::end(kKnownVersions);
}

std::uint32_t le32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint16_t le16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}

void putLe32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void putLe16(std::string& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

std::string_view cString(std::string_view bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

}  // namespace

int fixedLengthOf(char type) {
    switch (type) {
        case 'I':
        case '+':
            return 4;
        case 'O':
            return 8;
        case 'L':
            return 1;
        default:
            return 0;
    }
}

Header parseHeader(const std::string& bytes, const std::string& table) {
    const std::string name = "La tabla \"" + table + "\" ";
    if (bytes.size() < kLevel3.first) throw Error(name + "está truncada o no es una tabla dBase");
    const auto version = static_cast<unsigned char>(bytes[kVersionAt]);
    if (!isKnownVersion(version)) throw Error(name + "no es una tabla dBase");
    Header h;
    h.level7 = (version & 0x07) == kLevel7Version;
    const Descriptors& d = h.level7 ? kLevel7 : kLevel3;
    if (bytes.size() < d.first) throw Error(name + "está truncada: falta parte de la cabecera");

    h.recordCount = le32(bytes, kRecordCountAt);
    h.headerLength = le16(bytes, kHeaderLengthAt);
    h.recordLength = le16(bytes, kRecordLengthAt);
    if (h.headerLength > bytes.size())
        throw Error(name + "está truncada: la cabecera pasa del final del archivo");
    if (h.headerLength < d.first + 1) throw Error(name + "tiene una longitud de cabecera no válida");

    std::size_t sum = 1;  // the deletion flag
    for (std::size_t at = d.first;; at += d.size) {
        if (at >= h.headerLength) throw Error(name + "tiene los descriptores de campo sin terminador");
        if (static_cast<unsigned char>(bytes[at]) == kTerminator) break;
        if (at + d.size > h.headerLength)
            throw Error(name + "tiene los descriptores de campo sin terminador");
        FieldDef def;
        def.name = cString(std::string_view(bytes).substr(at, d.nameLength));
        def.type = bytes[at + d.typeAt];
        def.length = static_cast<std::uint8_t>(bytes[at + d.lengthAt]);
        def.decimals = static_cast<std::uint8_t>(bytes[at + d.decimalsAt]);
        const int fixed = fixedLengthOf(def.type);
        if (def.length == 0 || (fixed != 0 && def.length != fixed)) {
            throw Error(name + "tiene el campo " + def.name + " con una longitud no válida");
        }
        h.fields.push_back(def);
        h.offsets.push_back(sum);
        sum += def.length;
    }
    if (h.fields.empty()) throw Error(name + "no tiene campos");
    if (sum != h.recordLength) {
        throw Error(name + "tiene una longitud de registro (" + std::to_string(h.recordLength) +
                    ") que no cuadra con sus campos (" + std::to_string(sum) + ")");
    }
    if (std::uint64_t{h.recordCount} * h.recordLength > bytes.size() - h.headerLength) {
        throw Error(name + "está truncada: su número de registros (" + std::to_string(h.recordCount) +
                    ") pasa del final del archivo");
    }
    return h;
}

std::string buildHeader(const std::vector<FieldDef>& fields, const std::string& table) {
    if (fields.empty()) throw Error("La tabla \"" + table + "\" no tiene campos");
    std::string header(kLevel7.first + kLevel7.size * fields.size() + 1, '\0');
    header[kVersionAt] = static_cast<char>(kLevel7Version);
    header[kLanguageDriverAt] = static_cast<char>(kAnsiDriverId);
    std::memcpy(&header[kDriverNameAt], kAnsiDriverName.data(), kAnsiDriverName.size());
    std::size_t recordLength = 1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDef& f = fields[i];
        if (f.name.empty() || f.name.size() >= kLevel7.nameLength || f.length == 0) {
            throw Error("Definición de campo no válida en la tabla \"" + table + "\": " + f.name);
        }
        const std::size_t at = kLevel7.first + kLevel7.size * i;
        std::memcpy(&header[at], f.name.data(), f.name.size());
        header[at + kLevel7.typeAt] = f.type;
        header[at + kLevel7.lengthAt] = static_cast<char>(f.length);
        header[at + kLevel7.decimalsAt] = static_cast<char>(f.decimals);
        recordLength += f.length;
    }
    header.back() = static_cast<char>(kTerminator);
    putLe16(header, kHeaderLengthAt, static_cast<std::uint16_t>(header.size()));
    putLe16(header, kRecordLengthAt, static_cast<std::uint16_t>(recordLength));
    return header;
}

void stampHeader(std::string& header, std::uint32_t recordCount, int year, int month, int day) {
    header[kDateAt] = static_cast<char>(year - 1900);
    header[kDateAt + 1] = static_cast<char>(month);
    header[kDateAt + 2] = static_cast<char>(day);
    putLe32(header, kRecordCountAt, recordCount);
}

std::string_view driverName(const std::string& header, bool level7) {
    if (!level7) return {};
    return cString(std::string_view(header).substr(kDriverNameAt, kDriverNameLength));
}

}  // namespace formats::dbf_layout
