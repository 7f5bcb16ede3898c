#include "formats/dbf.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <set>
#include <utility>

#include "formats/codepage.h"
#include "formats/dbf_layout.h"
#include "formats/error.h"

namespace formats {
namespace {

using namespace dbf_layout;

char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

std::string_view stripTrailingPadding(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
    return s;
}

std::string_view stripPadding(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\0')) s.remove_prefix(1);
    return stripTrailingPadding(s);
}

// Level-7 integers (`I`, `+`) are big-endian with the sign bit flipped: 1 is 80 00 00 01.
std::int32_t decodeLevel7Integer(std::string_view b) {
    std::uint32_t v = 0;
    for (char c : b) v = (v << 8) | static_cast<unsigned char>(c);
    return static_cast<std::int32_t>(v ^ 0x80000000u);
}

std::int32_t decodeLittleEndianInteger(std::string_view b) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[i]);
    return static_cast<std::int32_t>(v);
}

// `O`: the level-7 document says "Double, 8 bytes, no conversions, stored as a double"; it is read as the
// IEEE 754 double in the file's own (little-endian) byte order.
double decodeDouble(std::string_view b) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[i]);
    double d;
    std::memcpy(&d, &v, sizeof d);
    return d;
}

// A level-7 binary number (`I`, `+`, `O`) whose bytes are all zero was never written (a written 0 is
// 80 00 00 00): it holds no value and reads as empty, as a blank `N` field does. Read as a number, it is
// 0, so a solution row with a blank `DIA` or `HORA` is not placed.
bool isBlankBinary(std::string_view b) {
    return std::all_of(b.begin(), b.end(), [](char c) { return c == '\0'; });
}

// Lookup keys: each field's compare form, preceded by its length.
void appendKeyPart(std::string& key, const std::string& part) {
    key += static_cast<char>(part.size() & 0xFF);
    key += static_cast<char>(part.size() >> 8);
    key += part;
}

// The tables held open in this process: a second open of the same file is refused.
std::set<std::string>& openTables() {
    static std::set<std::string> tables;
    return tables;
}

std::string registryKey(const fs::path& path) {
    std::error_code ec;
    fs::path key = fs::weakly_canonical(path, ec);
    if (ec) key = fs::absolute(path).lexically_normal();
    return key.string();
}

}  // namespace

class DbfTable::Registration {
public:
    Registration(const fs::path& path, const fs::path& shownAs) : key_(registryKey(path)) {
        if (!openTables().insert(key_).second) {
            throw Error("La tabla \"" + shown(shownAs) + "\" ya está abierta");
        }
    }
    ~Registration() { openTables().erase(key_); }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

private:
    std::string key_;
};

DbfTable::DbfTable() = default;
DbfTable::DbfTable(DbfTable&&) noexcept = default;
DbfTable& DbfTable::operator=(DbfTable&&) noexcept = default;
DbfTable::~DbfTable() = default;

void DbfTable::release() noexcept {
    lock_.release();
    registration_.reset();
}

DbfTable DbfTable::create(const fs::path& path, const std::vector<FieldDef>& fields,
                          const fs::path& shownAs) {
    DbfTable t;
    t.path_ = path;
    t.shownAs_ = shownAs.empty() ? path : shownAs;
    const std::string header = buildHeader(fields, shown(t.shownAs_));
    t.registration_ = std::make_unique<Registration>(path, t.shownAs_);
    t.parse(header);
    t.dirty_ = true;
    return t;
}

DbfTable DbfTable::open(const fs::path& path, const fs::path& shownAs) {
    DbfTable t;
    t.path_ = path;
    t.shownAs_ = shownAs.empty() ? path : shownAs;
    t.registration_ = std::make_unique<Registration>(path, t.shownAs_);
    const std::string bytes = readWholeFile(path);
    t.lock_ = FileLock(path);
    t.parse(bytes);
    return t;
}

void DbfTable::parse(const std::string& bytes) {
    Header header = parseHeader(bytes, shown(shownAs_));
    level7_ = header.level7;
    fieldDefs_ = header.fields;
    fieldList_.clear();
    for (std::size_t i = 0; i < header.fields.size(); ++i)
        fieldList_.push_back({header.fields[i], header.offsets[i]});
    recordLength_ = header.recordLength;
    recordCount_ = header.recordCount;
    header_ = bytes.substr(0, header.headerLength);
    data_ = bytes.substr(header.headerLength, recordCount_ * recordLength_);
    liveCount_ = 0;
    for (RecNo r = 1; r <= recordCount_; ++r) liveCount_ += isDeleted(r) ? 0 : 1;
    codePage_ = codePageOfDriver(static_cast<unsigned char>(header_[kLanguageDriverAt]),
                                 driverName(header_, level7_));
}

std::size_t DbfTable::width(std::string_view name) const {
    return field(name).def.length;
}

// A table has a handful of fields: a walk comparing names without regard to ASCII letter case is
// quicker than building a key for a hash lookup.
std::size_t DbfTable::fieldNumber(std::string_view name) const {
    const auto sameName = [name](const Field& f) {
        const std::string& n = f.def.name;
        return n.size() == name.size() && std::equal(n.begin(), n.end(), name.begin(), [](char a, char b) {
                   return a == b || upperAscii(a) == upperAscii(b);
               });
    };
    const auto it = std::find_if(fieldList_.begin(), fieldList_.end(), sameName);
    if (it == fieldList_.end()) {
        throw Error("La tabla \"" + shown(shownAs_) + "\" no tiene el campo " + std::string(name));
    }
    return static_cast<std::size_t>(it - fieldList_.begin());
}

const DbfTable::Field& DbfTable::field(std::string_view name) const {
    return fieldList_[fieldNumber(name)];
}

void DbfTable::checkRow(RecNo row) const {
    if (row == 0 || row > recordCount_) {
        throw Error("La tabla \"" + shown(shownAs_) + "\" no tiene el registro " + std::to_string(row));
    }
}

bool DbfTable::isDeleted(RecNo row) const {
    checkRow(row);
    return data_[(row - 1) * recordLength_] == kDeleted;
}

RecNo DbfTable::nextRow(RecNo after) const {
    for (RecNo r = after + 1; r <= recordCount_; ++r) {
        if (data_[(r - 1) * recordLength_] != kDeleted) return r;
    }
    return 0;
}

std::string_view DbfTable::cell(RecNo row, const Field& f) const {
    checkRow(row);
    return std::string_view(data_).substr((row - 1) * recordLength_ + f.offset, f.def.length);
}

char* DbfTable::cellForWrite(RecNo row, std::size_t fieldNo) {
    checkRow(row);
    return &data_[(row - 1) * recordLength_ + fieldList_[fieldNo].offset];
}

void DbfTable::failField(RecNo row, const Field& f, const std::string& what) const {
    throw Error("La tabla \"" + shown(shownAs_) + "\", registro " + std::to_string(row) + ", campo " +
                f.def.name + ": " + what);
}

AnsiString DbfTable::text(RecNo row, std::string_view fieldName) const {
    return textOf(row, field(fieldName));
}

double DbfTable::number(RecNo row, std::string_view fieldName) const {
    return numberOf(row, field(fieldName));
}

AnsiString DbfTable::textOf(RecNo row, const Field& f) const {
    const std::string_view bytes = cell(row, f);
    switch (f.def.type) {
        case 'C': {
            std::string s(stripTrailingPadding(bytes));
            if (codePage_) {
                for (char& c : s) c = static_cast<char>(codePage_->toAnsi[static_cast<unsigned char>(c)]);
            }
            return AnsiString(std::move(s));
        }
        case 'N':
        case 'F':
        case 'L':
        case 'D':
            return AnsiString(std::string(stripPadding(bytes)));
        case 'I':
        case '+':
        case 'O':
            if (level7_ && isBlankBinary(bytes)) return AnsiString();
            return AnsiString(numberText(numberOf(row, f)));
        default:
            failField(row, f, "el tipo de campo '" + std::string(1, f.def.type) + "' no se puede leer");
    }
}

double DbfTable::parseNumber(RecNo row, const Field& f, std::string_view text) const {
    text = stripPadding(text);
    if (text.empty()) return 0;
    if (text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        failField(row, f, "\"" + AnsiString(std::string(text)).toUtf8() + "\" no es un número");
    }
    return value;
}

double DbfTable::numberOf(RecNo row, const Field& f) const {
    const std::string_view bytes = cell(row, f);
    if (level7_ && fixedLengthOf(f.def.type) >= 4 && isBlankBinary(bytes)) return 0;
    switch (f.def.type) {
        case 'N':
        case 'F':
        case 'C':
        case 'D':
            return parseNumber(row, f, bytes);
        case 'I':
            return level7_ ? decodeLevel7Integer(bytes) : decodeLittleEndianInteger(bytes);
        case '+':
            if (!level7_) failField(row, f, "el tipo '+' solo existe en tablas de nivel 7");
            return decodeLevel7Integer(bytes);
        case 'O':
            if (!level7_) failField(row, f, "el tipo 'O' solo existe en tablas de nivel 7");
            return decodeDouble(bytes);
        default:
            failField(row, f, "el tipo de campo '" + std::string(1, f.def.type) + "' no es numérico");
    }
}

long long DbfTable::integer(RecNo row, std::string_view fieldName) const {
    const double value = number(row, fieldName);
    if (value != std::floor(value) || std::fabs(value) > 9.0e15) {
        failField(row, field(fieldName), numberText(value) + " no es un número entero");
    }
    return static_cast<long long>(value);
}

bool DbfTable::boolean(RecNo row, std::string_view fieldName) const {
    const Field& f = field(fieldName);
    if (f.def.type != 'L') failField(row, f, "no es un campo lógico");
    const char c = cell(row, f)[0];
    return c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

std::string_view DbfTable::raw(RecNo row, std::string_view fieldName) const {
    return cell(row, field(fieldName));
}

void DbfTable::checkWritable() const {
    if (!level7_) {
        throw Error("La tabla \"" + shown(shownAs_) + "\" no es de nivel 7 y este programa no la modifica");
    }
}

// `encode` gives the field's new bytes. A write that changes nothing leaves the indexes alone.
template <typename Encode>
void DbfTable::writeCell(RecNo row, std::string_view fieldName, Encode encode) {
    checkWritable();
    const std::size_t fieldNo = fieldNumber(fieldName);
    const Field& f = fieldList_[fieldNo];
    const std::string bytes = encode(f);
    if (cell(row, f) == bytes) return;
    const bool live = !isDeleted(row);
    if (live) unindex(row, fieldNo);
    std::memcpy(cellForWrite(row, fieldNo), bytes.data(), bytes.size());
    if (live) reindex(row, fieldNo);
    dirty_ = true;
}

void DbfTable::setText(RecNo row, std::string_view fieldName, const AnsiString& value) {
    writeCell(row, fieldName, [&](const Field& f) {
        if (f.def.type != 'C') failField(row, f, "no es un campo de texto");
        std::string bytes = value.bytes().substr(0, f.def.length);
        if (codePage_) {
            for (char& c : bytes) c = static_cast<char>(codePage_->fromAnsi[static_cast<unsigned char>(c)]);
        }
        bytes.resize(f.def.length, ' ');
        return bytes;
    });
}

void DbfTable::setNumber(RecNo row, std::string_view fieldName, double value) {
    writeCell(row, fieldName, [&](const Field& f) {
        if (f.def.type != 'N' && f.def.type != 'F') failField(row, f, "no es un campo numérico");
        char buf[400];
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed,
                                             static_cast<int>(f.def.decimals));
        const std::size_t n = static_cast<std::size_t>(end - buf);
        if (ec != std::errc() || n > f.def.length) {
            failField(row, f, "el número " + numberText(value) + " no cabe en el campo");
        }
        return std::string(f.def.length - n, ' ') + std::string(buf, n);
    });
}

void DbfTable::setInteger(RecNo row, std::string_view fieldName, long long value) {
    setNumber(row, fieldName, static_cast<double>(value));
}

void DbfTable::setBoolean(RecNo row, std::string_view fieldName, bool value) {
    writeCell(row, fieldName, [&](const Field& f) {
        if (f.def.type != 'L') failField(row, f, "no es un campo lógico");
        return std::string(1, value ? 'T' : 'F');
    });
}

RecNo DbfTable::append() {
    checkWritable();
    data_.append(recordLength_, ' ');
    const RecNo row = ++recordCount_;
    ++liveCount_;
    for (auto& [fieldNos, index] : indexes_) index[keyOf(row, fieldNos)].push_back(row);
    dirty_ = true;
    return row;
}

void DbfTable::remove(RecNo row) {
    checkWritable();
    if (isDeleted(row)) return;
    for (auto& [fieldNos, index] : indexes_) {
        auto& rows = index[keyOf(row, fieldNos)];
        rows.erase(std::lower_bound(rows.begin(), rows.end(), row));
    }
    data_[(row - 1) * recordLength_] = kDeleted;
    --liveCount_;
    dirty_ = true;
}

void DbfTable::pack() {
    checkWritable();
    std::string packed;
    packed.reserve(liveCount_ * recordLength_);
    for (RecNo r = firstRow(); r != 0; r = nextRow(r))
        packed.append(data_, (r - 1) * recordLength_, recordLength_);
    data_ = std::move(packed);
    recordCount_ = liveCount_;
    indexes_.clear();
    dirty_ = true;
}

std::string numberText(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, end);
}

AnsiString textAsStored(const AnsiString& value, std::size_t width) {
    return AnsiString(std::string(stripTrailingPadding(std::string_view(value.bytes()).substr(0, width))));
}

AnsiString DbfTable::asStored(std::string_view field, const AnsiString& value) const {
    return storedForm(this->field(field), value);
}

AnsiString DbfTable::storedForm(const Field& f, const AnsiString& value) const {
    if (f.def.type == 'C') return textAsStored(value, f.def.length);
    return AnsiString(std::string(stripPadding(value.bytes())));
}

// How a stored cell compares in a lookup: a text without its padding, a binary number as its value.
std::string DbfTable::compareForm(RecNo row, const Field& f) const {
    switch (f.def.type) {
        case 'C':
        case 'I':
        case '+':
        case 'O':
            return textOf(row, f).bytes();
        case 'N':
        case 'F':
        case 'L':
        case 'D':
            return std::string(stripPadding(cell(row, f)));
        default:
            return std::string(cell(row, f));
    }
}

std::string DbfTable::keyOf(RecNo row, const std::vector<std::size_t>& fieldNos) const {
    std::string key;
    for (std::size_t fieldNo : fieldNos) appendKeyPart(key, compareForm(row, fieldList_[fieldNo]));
    return key;
}

DbfTable::Index& DbfTable::indexFor(const std::vector<std::size_t>& fieldNos) const {
    auto [it, inserted] = indexes_.try_emplace(fieldNos);
    if (inserted) {
        for (RecNo r = firstRow(); r != 0; r = nextRow(r)) it->second[keyOf(r, fieldNos)].push_back(r);
    }
    return it->second;
}

void DbfTable::unindex(RecNo row, std::size_t fieldNo) {
    for (auto& [fieldNos, index] : indexes_) {
        if (std::find(fieldNos.begin(), fieldNos.end(), fieldNo) == fieldNos.end()) continue;
        auto& rows = index[keyOf(row, fieldNos)];
        rows.erase(std::lower_bound(rows.begin(), rows.end(), row));
    }
}

void DbfTable::reindex(RecNo row, std::size_t fieldNo) {
    for (auto& [fieldNos, index] : indexes_) {
        if (std::find(fieldNos.begin(), fieldNos.end(), fieldNo) == fieldNos.end()) continue;
        auto& rows = index[keyOf(row, fieldNos)];
        rows.insert(std::lower_bound(rows.begin(), rows.end(), row), row);
    }
}

std::optional<RecNo> DbfTable::locate(const std::vector<FieldMatch>& matches) const {
    std::vector<std::size_t> fieldNos;
    std::string key;
    for (const FieldMatch& m : matches) {
        fieldNos.push_back(fieldNumber(m.field));
        appendKeyPart(key, storedForm(fieldList_[fieldNos.back()], m.value).bytes());
    }
    const Index& index = indexFor(fieldNos);
    const auto it = index.find(key);
    if (it == index.end() || it->second.empty()) return std::nullopt;
    return it->second.front();
}

std::string DbfTable::fileBytes() const {
    std::string bytes = header_;
    const DateTime today = localDateTime();
    stampHeader(bytes, static_cast<std::uint32_t>(recordCount_), today.year, today.month, today.day);
    bytes += data_;
    bytes += static_cast<char>(kEndOfFile);
    return bytes;
}

void DbfTable::close() {
    if (!registration_) return;
    try {
        // No flush here: a run's commit flushes every table it stages, once.
        if (dirty_) writeFileAtomically(path_, fileBytes(), Flush::No, [this] { lock_.release(); });
    } catch (...) {
        release();
        throw;
    }
    release();
}

}  // namespace formats
