#include "to_itaca/export_context.h"

#include "formats/centre_document.h"
#include "runs/lookups.h"

namespace to_itaca {

bool isPlaced(const formats::DbfTable& soluc, formats::RecNo row) {
    return soluc.integer(row, "DIA") != 0 && soluc.number(row, "HORA") != 0;
}

AnsiString dayLetter(const formats::DbfTable& soluc, formats::RecNo row) {
    static const char* const letters[] = {"L", "M", "X", "J", "V", "S", "D"};
    const long long day = soluc.integer(row, "DIA");
    return day >= 1 && day <= 7 ? AnsiString(letters[day - 1]) : AnsiString();
}

std::optional<Session> lookupSession(const formats::DbfTable& grid, const formats::DbfTable& soluc,
                                     formats::RecNo row) {
    const auto found =
        runs::lookupNonEmpty(grid, {{"HORA", AnsiString(formats::numberText(soluc.number(row, "HORA")))}});
    if (!found) return std::nullopt;
    return Session{grid.text(*found, "SESION_ORDEN"), grid.text(*found, "HORADESDE"),
                   grid.text(*found, "HORAHASTA")};
}

formats::XmlElement appendSession(formats::XmlElement& section, std::string_view name,
                                  const ExportContext& run, formats::RecNo row, const Session& session) {
    formats::XmlElement element = section.appendElement(name);
    namespace sesion = formats::centre::sesion_horario;
    element.setAttribute(sesion::plantilla, run.templateCode);
    element.setAttribute(sesion::dia_semana, dayLetter(run.tables.soluc, row));
    element.setAttribute(sesion::sesion_orden, session.order);
    element.setAttribute(sesion::hora_desde, session.from);
    element.setAttribute(sesion::hora_hasta, session.to);
    return element;
}

AnsiString itacaCode(ExportContext& run, const formats::DbfTable& table, formats::RecNo row,
                     std::string_view field, const CodesOfAKind& kind) {
    const AnsiString stored = table.text(row, field);
    AnsiString whole = kind.restore(stored, table.width(field));
    if (whole != stored) ++run.restoredCodes;
    return whole;
}

std::vector<std::string> ExportContext::reportLines() const {
    std::vector<std::string> lines{"Filas de clase de SOLUC (a horario_grupo):"};
    classRows.appendLines(lines, "  ");
    lines.push_back("Filas de ocupación de SOLUC (a horario_ocupacion):");
    occupationRows.appendLines(lines, "  ");
    lines.push_back("Códigos de ITACA escritos enteros que las tablas guardaban cortados: " +
                    std::to_string(restoredCodes));
    return lines;
}

}  // namespace to_itaca
