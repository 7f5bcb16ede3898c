#include "to_timetable/conversion_context.h"

namespace to_timetable {

void ConversionContext::writeCode(formats::DbfTable& table, formats::RecNo row, std::string_view field,
                                  const AnsiString& code) {
    table.setText(row, field, code);
    const std::size_t width = table.width(field);
    if (code.size() <= width) return;
    const std::string tableName = table.path().stem().string();
    const std::string key = tableName + "." + std::string(field) + "\n" + code.bytes();
    if (!warned_.insert(key).second) return;
    dialogs.warn(AnsiString::fromUtf8("aviso: el código \"" + code.toUtf8() + "\" (" +
                                      std::to_string(code.size()) + " caracteres) no cabe en " + tableName +
                                      "." + std::string(field) + " (" + std::to_string(width) + ")"));
}

}  // namespace to_timetable
