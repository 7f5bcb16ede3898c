// The dBase engine: tables read whole into memory, level 7 written, levels III to 7 read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "formats/files.h"
#include "formats/text.h"

namespace formats {

struct CodePage;

struct FieldDef {
    std::string name;
    char type;  // 'C', 'N', 'F', 'L', 'D', 'I', 'O', '+', or any other byte (kept raw)
    std::uint8_t length;
    std::uint8_t decimals = 0;

    static FieldDef text(std::string name, std::uint8_t width) { return {std::move(name), 'C', width, 0}; }
    static FieldDef boolean(std::string name) { return {std::move(name), 'L', 1, 0}; }
    static FieldDef integer(std::string name) { return {std::move(name), 'N', 11, 0}; }
    static FieldDef floating(std::string name) { return {std::move(name), 'N', 20, 4}; }
};

// A record number: the row's position in the file, from 1. 0 stands for "no row".
using RecNo = std::size_t;

// One field of a lookup and the text it must equal.
struct FieldMatch {
    std::string_view field;
    AnsiString value;
};

// A text as a `C` field `width` characters wide reads it back once stored: cut to the width, without
// trailing padding.
AnsiString textAsStored(const AnsiString& value, std::size_t width);
// A number in decimal: a whole one without fraction or exponent ("3", never " 3", "3.00" or "3e+00"),
// any other in its shortest form.
std::string numberText(double value);

class DbfTable {
public:
    // A new, empty level-7 table at `path`; the file is written by close(). Messages name the table as
    // `shownAs` when given (a staged table by its place in the work folder), as `path` otherwise.
    static DbfTable create(const fs::path& path, const std::vector<FieldDef>& fields,
                           const fs::path& shownAs = {});
    // Reads the whole table at `path` into memory and holds it exclusively until close().
    static DbfTable open(const fs::path& path, const fs::path& shownAs = {});

    // A table that an error left open is released without being written back.
    // (Defaulted where Registration is complete.)
    DbfTable(DbfTable&&) noexcept;
    DbfTable& operator=(DbfTable&&) noexcept;
    ~DbfTable();

    const fs::path& path() const { return path_; }
    bool isLevel7() const { return level7_; }
    const std::vector<FieldDef>& fields() const { return fieldDefs_; }
    // The width of a field, in characters (bytes).
    std::size_t width(std::string_view field) const;

    // Rows in stored order, deleted rows passed over. nextRow(0) is the first; 0 after the last.
    RecNo nextRow(RecNo after) const;
    RecNo firstRow() const { return nextRow(0); }
    std::size_t rowCount() const { return liveCount_; }
    // Records in the file, deleted ones included: the highest record number.
    std::size_t recordCount() const { return recordCount_; }
    bool isDeleted(RecNo row) const;

    class RowRange;
    RowRange rows() const;

    // Reads. A `C` field reads without its trailing padding, in Windows-1252 whatever the table's code
    // page; an empty number reads as 0; a number that is not one, or a field whose type cannot be read so,
    // is an error naming the table, the row and the field.
    AnsiString text(RecNo row, std::string_view field) const;
    double number(RecNo row, std::string_view field) const;
    long long integer(RecNo row, std::string_view field) const;
    bool boolean(RecNo row, std::string_view field) const;
    std::string_view raw(RecNo row, std::string_view field) const;

    // Writes (level-7 tables only). A text longer than its field is cut to the width.
    void setText(RecNo row, std::string_view field, const AnsiString& value);
    void setNumber(RecNo row, std::string_view field, double value);
    void setInteger(RecNo row, std::string_view field, long long value);
    void setBoolean(RecNo row, std::string_view field, bool value);

    RecNo append();
    void remove(RecNo row);
    void pack();

    // The first row in stored order whose fields equal the values exactly (letter case included). A value
    // is compared as it would read back once stored: cut to the field's width, without trailing blanks.
    std::optional<RecNo> locate(const std::vector<FieldMatch>& matches) const;
    // The form in which a value would read back once stored in the field, as lookups compare it.
    AnsiString asStored(std::string_view field, const AnsiString& value) const;

    // Writes the table back when it changed since it was opened (through a temporary file, a flush and a
    // rename), then releases it. Throws on failure.
    void close();

private:
    struct Field {
        FieldDef def;
        std::size_t offset;
    };
    using Index = std::unordered_map<std::string, std::vector<RecNo>>;
    class Registration;

    DbfTable();
    void parse(const std::string& bytes);
    const Field& field(std::string_view name) const;
    std::size_t fieldNumber(std::string_view name) const;
    std::string_view cell(RecNo row, const Field& f) const;
    char* cellForWrite(RecNo row, std::size_t fieldNo);
    void checkRow(RecNo row) const;
    void checkWritable() const;
    [[noreturn]] void failField(RecNo row, const Field& f, const std::string& what) const;
    double parseNumber(RecNo row, const Field& f, std::string_view text) const;
    AnsiString textOf(RecNo row, const Field& f) const;
    double numberOf(RecNo row, const Field& f) const;
    std::string compareForm(RecNo row, const Field& f) const;
    AnsiString storedForm(const Field& f, const AnsiString& value) const;
    std::string keyOf(RecNo row, const std::vector<std::size_t>& fieldNos) const;
    Index& indexFor(const std::vector<std::size_t>& fieldNos) const;
    void unindex(RecNo row, std::size_t fieldNo);
    void reindex(RecNo row, std::size_t fieldNo);
    template <typename Encode>
    void writeCell(RecNo row, std::string_view field, Encode encode);
    std::string fileBytes() const;
    void release() noexcept;

    fs::path path_;
    fs::path shownAs_;  // how messages name the table
    bool level7_ = true;
    bool dirty_ = false;
    std::string header_;  // the header as read or built; count and date are patched on write-back
    std::vector<FieldDef> fieldDefs_;
    std::vector<Field> fieldList_;
    std::size_t recordLength_ = 1;
    std::size_t recordCount_ = 0;
    std::size_t liveCount_ = 0;
    std::string data_;
    const CodePage* codePage_ = nullptr;  // nullptr: Windows-1252
    mutable std::map<std::vector<std::size_t>, Index> indexes_;
    std::unique_ptr<Registration> registration_;  // held while the table is open
    FileLock lock_;
};

class DbfTable::RowRange {
public:
    class iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = RecNo;
        using difference_type = std::ptrdiff_t;
        using pointer = const RecNo*;
        using reference = RecNo;
        iterator(const DbfTable* table, RecNo row) : table_(table), row_(row) {}
        RecNo operator*() const { return row_; }
        // Looks for the next row only now, so the loop body may delete the current row or append.
        iterator& operator++() {
            row_ = table_->nextRow(row_);
            return *this;
        }
        bool operator==(const iterator& other) const { return row_ == other.row_; }

    private:
        const DbfTable* table_;
        RecNo row_;
    };
    explicit RowRange(const DbfTable* table) : table_(table) {}
    iterator begin() const { return {table_, table_->firstRow()}; }
    iterator end() const { return {table_, 0}; }

private:
    const DbfTable* table_;
};

inline DbfTable::RowRange DbfTable::rows() const {
    return RowRange(this);
}

}  // namespace formats
