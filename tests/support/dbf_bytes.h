// dBase files built byte by byte, following the documented layouts, for what the engine must read but
// never writes itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

inline std::string le32(std::uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
            static_cast<char>(v >> 24)};
}
inline std::string le16(std::uint16_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8)};
}

struct RawField {
    std::string name;
    char type;
    int length;
    int decimals = 0;
};

// Builds the bytes of a table by hand, following the documented layouts.
inline std::string buildLevel7(const std::vector<RawField>& fields, const std::vector<std::string>& records,
                               unsigned char driverId = 0x57, const std::string& driverName = "DBWINUS0") {
    std::string h(68, '\0');
    h[0] = 0x04;
    h[1] = 124, h[2] = 5, h[3] = 6;
    int recordLength = 1;
    for (const auto& f : fields) recordLength += f.length;
    h.replace(4, 4, le32(records.size()));
    h.replace(8, 2, le16(68 + 48 * fields.size() + 1));
    h.replace(10, 2, le16(recordLength));
    h[29] = static_cast<char>(driverId);
    h.replace(32, driverName.size(), driverName);
    for (const auto& f : fields) {
        std::string d(48, '\0');
        d.replace(0, f.name.size(), f.name);
        d[32] = f.type, d[33] = static_cast<char>(f.length), d[34] = static_cast<char>(f.decimals);
        h += d;
    }
    h += '\x0D';
    for (const auto& r : records) h += r;
    return h + '\x1A';
}

inline std::string buildLevel3(const std::vector<RawField>& fields, const std::vector<std::string>& records,
                               unsigned char driverId = 0x00) {
    std::string h(32, '\0');
    h[0] = 0x03;
    int recordLength = 1;
    for (const auto& f : fields) recordLength += f.length;
    h.replace(4, 4, le32(records.size()));
    h.replace(8, 2, le16(32 + 32 * fields.size() + 1));
    h.replace(10, 2, le16(recordLength));
    h[29] = static_cast<char>(driverId);
    for (const auto& f : fields) {
        std::string d(32, '\0');
        d.replace(0, f.name.size(), f.name);
        d[11] = f.type, d[16] = static_cast<char>(f.length), d[17] = static_cast<char>(f.decimals);
        h += d;
    }
    h += '\x0D';
    for (const auto& r : records) h += r;
    return h;
}

}  // namespace testing_support
