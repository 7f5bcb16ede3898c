// The layouts of the tables the conversion run leaves in the work folder for the timetable program.
#pragma once

#include <string_view>
#include <vector>

#include "formats/dbf.h"

namespace formats {

struct TableLayout {
    std::string_view name;  // the table's name; its data file is the name followed by ".DBF"
    std::vector<FieldDef> fields;
};

namespace tables {
const TableLayout& ASIGNOMT();
const TableLayout& PROFT();
const TableLayout& AULAT();
const TableLayout& CURSOST();
const TableLayout& GRUPOST();
const TableLayout& ASIGT();
const TableLayout& DIASHORAST();
}  // namespace tables

}  // namespace formats
