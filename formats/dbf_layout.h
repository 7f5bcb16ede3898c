// The dBase file layout, stated once for reading and writing: the header, the field descriptors of each
// level, and the marks inside records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

struct FieldDef;

namespace dbf_layout {

// Header offsets shared by every level.
inline constexpr std::size_t kVersionAt = 0, kDateAt = 1, kRecordCountAt = 4, kHeaderLengthAt = 8,
                             kRecordLengthAt = 10, kLanguageDriverAt = 29;
// Level 7 follows the 32 shared bytes with the 32-byte language driver name and 4 reserved bytes.
inline constexpr std::size_t kDriverNameAt = 32, kDriverNameLength = 32;
inline constexpr unsigned char kTerminator = 0x0D, kEndOfFile = 0x1A;
inline constexpr char kDeleted = '*';

// One field descriptor: its size and where its parts stand in it, for one level.
struct Descriptors {
    std::size_t first;  // where the first descriptor starts: the header's fixed part
    std::size_t size;
    std::size_t nameLength, typeAt, lengthAt, decimalsAt;
};
// "Data File Header Structure for the dBASE Version 7 Table File": a 68-byte fixed part and 48-byte
// descriptors (32-byte name, type, length, decimal count, ...).
inline constexpr Descriptors kLevel7{68, 48, 32, 32, 33, 34};
// dBase III to V: a 32-byte fixed part and 32-byte descriptors (11-byte name, type, ..., length at 16).
inline constexpr Descriptors kLevel3{32, 32, 11, 11, 16, 17};

// The header as read: the level, the counts, the fields with each one's offset in a record.
struct Header {
    bool level7;
    std::uint32_t recordCount;
    std::size_t headerLength, recordLength;
    std::vector<FieldDef> fields;
    std::vector<std::size_t> offsets;
};

// Reads the header of `bytes`, checking every length against the file's own size before it is used. A
// malformed header is an Error whose message begins with `table` (the table as messages name it).
Header parseHeader(const std::string& bytes, const std::string& table);
// The header of a new, empty level-7 table in Windows ANSI, without a Field Properties Structure.
std::string buildHeader(const std::vector<FieldDef>& fields, const std::string& table);
// Sets the record count and the last-update date of a header about to be written.
void stampHeader(std::string& header, std::uint32_t recordCount, int year, int month, int day);
// The language driver name of a level-7 header; empty for other levels.
std::string_view driverName(const std::string& header, bool level7);

// The length a binary or logical field must have; 0 for the types whose length is free.
int fixedLengthOf(char type);

}  // namespace dbf_layout
}  // namespace formats
