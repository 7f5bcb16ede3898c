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
    cutCodes.add(tableName + "." + std::string(field));
    dialogs.warn(AnsiString::fromUtf8("aviso: el código \"" + code.toUtf8() + "\" (" +
                                      std::to_string(code.size()) + " caracteres) no cabe en " + tableName +
                                      "." + std::string(field) + " (" + std::to_string(width) + ")"));
}

bool ConversionContext::ask(runs::Question question, const AnsiString& text) {
    const bool yes = dialogs.confirm(question, text);
    answers.push_back(std::string(question == runs::Question::AllTemplates
                                      ? "¿Tomar las líneas de todas las plantillas?: "
                                      : "¿Quitar los grupos y profesores sin clases?: ") +
                      (yes ? "Sí" : "No"));
    return yes;
}

std::vector<std::string> ConversionContext::reportLines() const {
    std::vector<std::string> lines;
    const auto section = [&](const std::string& title, const runs::Tally& tally) {
        lines.push_back(title);
        tally.appendLines(lines, "  ");
    };
    section("Líneas de horario de grupo (horario_grupo):", groupLines);
    section("Líneas de horario de ocupación (horario_ocupacion):", occupationLines);
    section("Códigos de ITACA cortados para caber en su campo (véanse los avisos):", cutCodes);
    lines.push_back("Preguntas:");
    for (const std::string& answer : answers) lines.push_back("  " + answer);
    if (answers.empty()) lines.push_back("  ninguna");
    return lines;
}

}  // namespace to_timetable
