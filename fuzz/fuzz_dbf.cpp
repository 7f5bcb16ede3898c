// The dBase reader on arbitrary bytes: every row and field read as text and number, the values read
// found again by lookups, and for a level-7 table a row appended, one removed, the table packed, written
// back and read again. Errors with a message are fine; a crash, a sanitizer report or a broken promise
// is not.
#include <cstddef>
#include <cstdint>

#include "formats/error.h"
#include "fuzz/fuzz_support.h"

namespace {

using formats::AnsiString;
using formats::DbfTable;
using fuzzing::require;
namespace fs = std::filesystem;

void readEverything(const DbfTable& table) {
    for (formats::RecNo row : table.rows()) {
        for (const formats::FieldDef& field : table.fields()) {
            try {
                const AnsiString text = table.text(row, field.name);
                const auto found = table.locate({{field.name, text}});
                require(found && *found <= row, "a value read is not found by a lookup");
                require(table.text(*found, field.name) == text, "a lookup found a row with another value");
            } catch (const formats::Error&) {
            }
            try {
                (void)table.number(row, field.name);
            } catch (const formats::Error&) {
            }
        }
    }
}

void changeAndWriteBack(DbfTable& table, const fs::path& path) {
    const formats::RecNo added = table.append();
    for (const formats::FieldDef& field : table.fields()) {
        if (field.type == 'C') table.setText(added, field.name, AnsiString("fuzz"));
    }
    std::size_t expected = table.rowCount();
    if (const formats::RecNo first = table.firstRow(); first != added) {
        table.remove(first);
        --expected;
    }
    table.pack();
    table.close();
    DbfTable again = DbfTable::open(path);
    require(again.rowCount() == expected, "rows lost or gained by writing back");
    readEverything(again);
    again.close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path path = fuzzing::freshScratch() / "T.DBF";
    fuzzing::writeFile(path, std::string(reinterpret_cast<const char*>(data), size));
    try {
        DbfTable table = DbfTable::open(path);
        readEverything(table);
        if (table.isLevel7()) {
            changeAndWriteBack(table, path);
        } else {
            table.close();
        }
    } catch (const formats::Error&) {
    }
    return 0;
}
